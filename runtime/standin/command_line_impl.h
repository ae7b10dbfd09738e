#pragma once

#include <map>
#include <string>
#include <vector>

#include "runtime/include/cef_command_line.h"

namespace cef_standin {

// A command line kept as its argument vector: the program, then the
// switches in the order given, then the arguments. Switch names are
// matched without regard to case; the last value of a repeated switch
// wins.
class CommandLineImpl : public CefCommandLine {
 public:
  CommandLineImpl() : argv_(1) {}

  // The running process's own command line.
  static CefRefPtr<CommandLineImpl> FromProcess();

  // Further changes are ignored.
  void SetReadOnly() { read_only_ = true; }
  // The switch's value, or empty.
  std::wstring SwitchValue(const std::wstring& name) const;

  bool IsValid() override { return true; }
  bool IsReadOnly() override { return read_only_; }
  CefRefPtr<CefCommandLine> Copy() override;
  void InitFromString(const CefString& command_line) override;
  void Reset() override;
  void GetArgv(std::vector<CefString>& argv) override;
  CefString GetCommandLineString() override;
  CefString GetProgram() override { return argv_[0]; }
  void SetProgram(const CefString& program) override;
  bool HasSwitches() override { return !switches_.empty(); }
  bool HasSwitch(const CefString& name) override;
  CefString GetSwitchValue(const CefString& name) override { return SwitchValue(name); }
  void GetSwitches(SwitchMap& switches) override;
  void AppendSwitch(const CefString& name) override;
  void AppendSwitchWithValue(const CefString& name, const CefString& value) override;
  bool HasArguments() override { return argv_.size() > begin_arguments_; }
  void GetArguments(ArgumentList& arguments) override;
  void AppendArgument(const CefString& argument) override;
  void PrependWrapper(const CefString& wrapper) override;

 private:
  void InitFromArgv(const std::vector<std::wstring>& argv);
  void AddSwitch(const std::wstring& name, const std::wstring& value);

  std::vector<std::wstring> argv_;
  size_t begin_arguments_ = 1;
  std::map<std::wstring, std::wstring> switches_;
  bool read_only_ = false;

  IMPLEMENT_REFCOUNTING(CommandLineImpl);
};

}  // namespace cef_standin
