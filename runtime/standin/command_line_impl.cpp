#include "runtime/standin/command_line_impl.h"

#include <shellapi.h>
#include <windows.h>

#include <algorithm>
#include <cwctype>

namespace cef_standin {

namespace {

std::wstring ToLower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return text;
}

// "--name=value", "-name" or "/name"; the name is returned lower-cased.
bool ParseSwitch(const std::wstring& argument, std::wstring* name, std::wstring* value) {
  size_t prefix = 0;
  if (argument.rfind(L"--", 0) == 0)
    prefix = 2;
  else if (argument.rfind(L"-", 0) == 0 || argument.rfind(L"/", 0) == 0)
    prefix = 1;
  if (prefix == 0 || argument.size() == prefix)
    return false;
  const size_t equals = argument.find(L'=', prefix);
  *name = ToLower(
      argument.substr(prefix, equals == std::wstring::npos ? std::wstring::npos : equals - prefix));
  *value = equals == std::wstring::npos ? std::wstring() : argument.substr(equals + 1);
  return !name->empty();
}

// Quotes an argument so that CommandLineToArgvW gives it back unchanged.
std::wstring Quote(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
    return argument;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

std::vector<std::wstring> SplitCommandLine(const std::wstring& command_line) {
  std::vector<std::wstring> argv;
  if (command_line.find_first_not_of(L" \t") == std::wstring::npos)
    return argv;
  int count = 0;
  wchar_t** parts = CommandLineToArgvW(command_line.c_str(), &count);
  if (!parts)
    return argv;
  argv.assign(parts, parts + count);
  LocalFree(parts);
  return argv;
}

}  // namespace

CefRefPtr<CommandLineImpl> CommandLineImpl::FromProcess() {
  CefRefPtr<CommandLineImpl> command_line = new CommandLineImpl;
  command_line->InitFromArgv(SplitCommandLine(GetCommandLineW()));
  return command_line;
}

std::wstring CommandLineImpl::SwitchValue(const std::wstring& name) const {
  const auto found = switches_.find(ToLower(name));
  return found == switches_.end() ? std::wstring() : found->second;
}

CefRefPtr<CefCommandLine> CommandLineImpl::Copy() {
  CefRefPtr<CommandLineImpl> copy = new CommandLineImpl;
  copy->argv_ = argv_;
  copy->begin_arguments_ = begin_arguments_;
  copy->switches_ = switches_;
  return copy;
}

void CommandLineImpl::InitFromString(const CefString& command_line) {
  if (read_only_)
    return;
  InitFromArgv(SplitCommandLine(command_line.ToWString()));
}

void CommandLineImpl::InitFromArgv(const std::vector<std::wstring>& argv) {
  argv_.assign(1, argv.empty() ? std::wstring() : argv[0]);
  begin_arguments_ = 1;
  switches_.clear();
  bool parse_switches = true;
  for (size_t i = 1; i < argv.size(); ++i) {
    std::wstring name;
    std::wstring value;
    if (parse_switches && argv[i] == L"--") {
      // Everything after "--" is an argument.
      parse_switches = false;
    } else if (parse_switches && ParseSwitch(argv[i], &name, &value)) {
      switches_[name] = value;
      argv_.insert(argv_.begin() + static_cast<std::ptrdiff_t>(begin_arguments_++), argv[i]);
    } else {
      argv_.push_back(argv[i]);
    }
  }
}

void CommandLineImpl::Reset() {
  if (read_only_)
    return;
  argv_.assign(1, std::wstring());
  begin_arguments_ = 1;
  switches_.clear();
}

void CommandLineImpl::GetArgv(std::vector<CefString>& argv) {
  argv.assign(argv_.begin(), argv_.end());
}

CefString CommandLineImpl::GetCommandLineString() {
  std::wstring text = Quote(argv_[0]);
  for (size_t i = 1; i < argv_.size(); ++i) {
    text.push_back(L' ');
    const size_t equals = argv_[i].find(L'=');
    // A switch's value is quoted on its own: --name="a value".
    if (i < begin_arguments_ && equals != std::wstring::npos)
      text += argv_[i].substr(0, equals + 1) + Quote(argv_[i].substr(equals + 1));
    else
      text += Quote(argv_[i]);
  }
  return text;
}

void CommandLineImpl::SetProgram(const CefString& program) {
  if (!read_only_)
    argv_[0] = program.ToWString();
}

bool CommandLineImpl::HasSwitch(const CefString& name) {
  return switches_.count(ToLower(name.ToWString())) != 0;
}

void CommandLineImpl::GetSwitches(SwitchMap& switches) {
  switches.clear();
  for (const auto& [name, value] : switches_)
    switches.emplace(name, value);
}

void CommandLineImpl::AppendSwitch(const CefString& name) {
  AddSwitch(name.ToWString(), std::wstring());
}

void CommandLineImpl::AppendSwitchWithValue(const CefString& name, const CefString& value) {
  AddSwitch(name.ToWString(), value.ToWString());
}

void CommandLineImpl::AddSwitch(const std::wstring& name, const std::wstring& value) {
  if (read_only_ || name.empty())
    return;
  std::wstring argument = L"--" + name;
  if (!value.empty())
    argument += L"=" + value;
  switches_[ToLower(name)] = value;
  argv_.insert(argv_.begin() + static_cast<std::ptrdiff_t>(begin_arguments_++), argument);
}

void CommandLineImpl::GetArguments(ArgumentList& arguments) {
  arguments.assign(argv_.begin() + static_cast<std::ptrdiff_t>(begin_arguments_), argv_.end());
}

void CommandLineImpl::AppendArgument(const CefString& argument) {
  if (!read_only_)
    argv_.push_back(argument.ToWString());
}

void CommandLineImpl::PrependWrapper(const CefString& wrapper) {
  if (read_only_)
    return;
  const std::vector<std::wstring> parts = SplitCommandLine(wrapper.ToWString());
  if (parts.empty())
    return;
  argv_.insert(argv_.begin(), parts.begin(), parts.end());
  begin_arguments_ += parts.size();
}

}  // namespace cef_standin
