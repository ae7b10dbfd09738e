#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/include/cef_command_line.h"

namespace {

std::vector<std::wstring> Argv(CefRefPtr<CefCommandLine> command_line) {
  std::vector<CefString> argv;
  command_line->GetArgv(argv);
  return std::vector<std::wstring>(argv.begin(), argv.end());
}

std::vector<std::wstring> Arguments(CefRefPtr<CefCommandLine> command_line) {
  CefCommandLine::ArgumentList arguments;
  command_line->GetArguments(arguments);
  return std::vector<std::wstring>(arguments.begin(), arguments.end());
}

TEST(CefCommandLineTest, ParsesProgramSwitchesAndArguments) {
  CefRefPtr<CefCommandLine> command_line = CefCommandLine::CreateCommandLine();
  ASSERT_TRUE(command_line);
  command_line->InitFromString(
      L"\"C:\\Program Files\\Qel\\Qelmora.exe\" --type=renderer -Lang=zh \"--path=a b\" "
      L"first -- --not-a-switch");
  EXPECT_EQ(command_line->GetProgram().ToWString(), L"C:\\Program Files\\Qel\\Qelmora.exe");
  EXPECT_TRUE(command_line->HasSwitches());
  EXPECT_EQ(command_line->GetSwitchValue(L"type").ToWString(), L"renderer");
  EXPECT_TRUE(command_line->HasSwitch(L"LANG")) << "switch names ignore case";
  EXPECT_EQ(command_line->GetSwitchValue(L"lang").ToWString(), L"zh");
  EXPECT_EQ(command_line->GetSwitchValue(L"path").ToWString(), L"a b");
  EXPECT_FALSE(command_line->HasSwitch(L"not-a-switch"));
  EXPECT_EQ(Arguments(command_line), (std::vector<std::wstring>{L"first", L"--not-a-switch"}));

  CefCommandLine::SwitchMap switches;
  command_line->GetSwitches(switches);
  EXPECT_EQ(switches.size(), 3u);
}

TEST(CefCommandLineTest, AppendedSwitchesKeepTheirOrderAheadOfArguments) {
  CefRefPtr<CefCommandLine> command_line = CefCommandLine::CreateCommandLine();
  command_line->InitFromString(L"prog.exe --existing arg");
  command_line->AppendSwitchWithValue(L"ppapi-flash-path", L"PepperFlash\\pepflashplayer.dll");
  command_line->AppendSwitch(L"process-per-site");
  command_line->AppendSwitchWithValue(L"user-agent", L"Qel Client/1.0");
  command_line->AppendArgument(L"last arg");

  EXPECT_EQ(Argv(command_line),
            (std::vector<std::wstring>{
                L"prog.exe", L"--existing", L"--ppapi-flash-path=PepperFlash\\pepflashplayer.dll",
                L"--process-per-site", L"--user-agent=Qel Client/1.0", L"arg", L"last arg"}));
  const std::wstring text = command_line->GetCommandLineString();
  EXPECT_EQ(text,
            L"prog.exe --existing --ppapi-flash-path=PepperFlash\\pepflashplayer.dll "
            L"--process-per-site --user-agent=\"Qel Client/1.0\" arg \"last arg\"");

  // The text parses back into the same command line.
  CefRefPtr<CefCommandLine> reparsed = CefCommandLine::CreateCommandLine();
  reparsed->InitFromString(text);
  EXPECT_EQ(Argv(reparsed), Argv(command_line));
}

TEST(CefCommandLineTest, RepeatedSwitchTakesTheLastValue) {
  CefRefPtr<CefCommandLine> command_line = CefCommandLine::CreateCommandLine();
  command_line->AppendSwitchWithValue(L"enable-webgl", L"0");
  command_line->AppendSwitchWithValue(L"Enable-WebGL", L"1");
  EXPECT_EQ(command_line->GetSwitchValue(L"enable-webgl").ToWString(), L"1");
  EXPECT_FALSE(command_line->HasArguments());
}

TEST(CefCommandLineTest, CopyIsIndependentAndWrapperGoesFirst) {
  CefRefPtr<CefCommandLine> command_line = CefCommandLine::CreateCommandLine();
  command_line->InitFromString(L"prog.exe --a");
  CefRefPtr<CefCommandLine> copy = command_line->Copy();
  copy->AppendSwitch(L"b");
  EXPECT_FALSE(command_line->HasSwitch(L"b"));
  EXPECT_FALSE(copy->IsReadOnly());

  command_line->PrependWrapper(L"debugger.exe --attach");
  EXPECT_EQ(command_line->GetProgram().ToWString(), L"debugger.exe");
  command_line->AppendArgument(L"x");
  EXPECT_EQ(Arguments(command_line), (std::vector<std::wstring>{L"x"}));

  command_line->Reset();
  EXPECT_FALSE(command_line->HasSwitches());
  EXPECT_EQ(Argv(command_line), (std::vector<std::wstring>{L""}));
}

TEST(CefCommandLineTest, EmptyAndOddTextsParseWithoutSwitches) {
  CefRefPtr<CefCommandLine> command_line = CefCommandLine::CreateCommandLine();
  command_line->InitFromString(L"");
  EXPECT_EQ(command_line->GetCommandLineString().ToWString(), L"\"\"");
  command_line->InitFromString(L"prog - -- --=x \"unterminated");
  EXPECT_FALSE(command_line->HasSwitch(L""));
  EXPECT_EQ(Arguments(command_line), (std::vector<std::wstring>{L"-", L"--=x", L"unterminated"}));
}

}  // namespace
