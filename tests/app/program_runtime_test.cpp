// The program as a whole with the browser runtime: started as a runtime
// sub-process, without the runtime folder, without the runtime library, and
// normally.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/app_paths.h"
#include "base/util/string_util.h"
#include "tests/support/temp_folder.h"

namespace {

using test::IsDirectory;
using test::IsFile;
using test::ReadWholeFile;

// A program folder of its own below the temporary folder: Qelmora.exe and,
// as asked, the runtime folder with or without the runtime library.
class ProgramFolder {
 public:
  enum Runtime { kNoRuntimeFolder, kEmptyRuntimeFolder, kWithRuntime };

  explicit ProgramFolder(Runtime runtime) : folder_(L"qel_program"), root_(folder_.path()) {
    const std::wstring build = ModuleDirectory();
    ready_ = CopyFileW((build + L"Qelmora.exe").c_str(), program().c_str(), FALSE);
    if (runtime != kNoRuntimeFolder)
      ready_ = ready_ && CreateDirectoryW((root_ + L"cef").c_str(), nullptr);
    if (runtime == kWithRuntime) {
      ready_ = ready_ && CopyFileW((build + L"cef\\libcef.dll").c_str(),
                                   (root_ + L"cef\\libcef.dll").c_str(), FALSE);
    }
  }
  bool ready() const { return ready_; }
  const std::wstring& root() const { return root_; }
  std::wstring program() const { return root_ + L"Qelmora.exe"; }

 private:
  test::TempFolder folder_;
  const std::wstring& root_;
  bool ready_ = false;
};

struct WindowOfProcess {
  DWORD process_id;
  std::wstring class_name;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM search) {
  auto* wanted = reinterpret_cast<WindowOfProcess*>(search);
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  if (process_id != wanted->process_id)
    return TRUE;
  wchar_t class_name[64] = {};
  GetClassNameW(window, class_name, 64);
  if (!wanted->class_name.empty() && wanted->class_name != class_name)
    return TRUE;
  wanted->found = window;
  return FALSE;
}

BOOL CALLBACK CollectStaticTexts(HWND window, LPARAM texts) {
  wchar_t class_name[16] = {};
  GetClassNameW(window, class_name, 16);
  if (std::wstring(class_name) == L"Static") {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    if (text[0])
      reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(text);
  }
  return TRUE;
}

// One run of the program.
class ProgramRun {
 public:
  ProgramRun(const std::wstring& program, const std::wstring& arguments) {
    std::wstring command = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process_);
    if (started_)
      CloseHandle(process_.hThread);
  }
  ~ProgramRun() {
    if (!started_)
      return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hProcess);
  }

  bool started() const { return started_; }

  // A top-level window of the process (of the given class, or any), or
  // null; gives up when the process ends or after `timeout_ms`.
  HWND WaitForWindow(const wchar_t* class_name, DWORD timeout_ms = 15000) {
    const ULONGLONG end = GetTickCount64() + timeout_ms;
    while (GetTickCount64() < end) {
      if (HWND window = FindWindow(class_name))
        return window;
      if (WaitForSingleObject(process_.hProcess, 20) == WAIT_OBJECT_0)
        return FindWindow(class_name);
    }
    return nullptr;
  }

  HWND FindWindow(const wchar_t* class_name) const {
    WindowOfProcess search = {process_.dwProcessId, class_name ? class_name : L"", nullptr};
    EnumWindows(&FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  // Waits for the end while watching for windows; the exit code, or -1 when
  // it did not end in time.
  long WaitForExit(DWORD timeout_ms, bool* window_seen = nullptr) {
    const ULONGLONG end = GetTickCount64() + timeout_ms;
    while (GetTickCount64() < end) {
      if (window_seen && FindWindow(nullptr))
        *window_seen = true;
      if (WaitForSingleObject(process_.hProcess, 20) == WAIT_OBJECT_0) {
        DWORD exit_code = 1;
        GetExitCodeProcess(process_.hProcess, &exit_code);
        return static_cast<long>(exit_code);
      }
    }
    return -1;
  }

 private:
  bool started_ = false;
  PROCESS_INFORMATION process_ = {};
};

TEST(ProgramRuntimeTest, SubProcessDoesItsWorkQuietlyAndLeavesNoData) {
  ProgramFolder folder(ProgramFolder::kWithRuntime);
  ASSERT_TRUE(folder.ready());
  for (const wchar_t* arguments : {L"--type=renderer", L"--type=gpu-process --lang=zh-CN"}) {
    ProgramRun run(folder.program(), arguments);
    ASSERT_TRUE(run.started());
    bool window_seen = false;
    EXPECT_EQ(run.WaitForExit(15000, &window_seen), 0) << arguments;
    EXPECT_FALSE(window_seen) << arguments;
  }
  EXPECT_FALSE(IsDirectory(folder.root() + L"cef_temp")) << "no data folder in a sub-process";
}

TEST(ProgramRuntimeTest, MissingRuntimeFolderAsksToUnpackItAndExitsWithZero) {
  ProgramFolder folder(ProgramFolder::kNoRuntimeFolder);
  ASSERT_TRUE(folder.ready());
  ProgramRun run(folder.program(), L"");
  ASSERT_TRUE(run.started());

  HWND box = run.WaitForWindow(L"#32770");
  ASSERT_NE(box, nullptr) << "no message box";
  // The box exists before its texts are set; it shows once it is complete.
  for (int i = 0; i < 500 && !IsWindowVisible(box); ++i)
    Sleep(10);
  ASSERT_TRUE(IsWindowVisible(box));
  wchar_t caption[64] = {};
  GetWindowTextW(box, caption, 64);
  EXPECT_STREQ(caption, L"\u63D0\u793A");
  std::vector<std::wstring> texts;
  EnumChildWindows(box, &CollectStaticTexts, reinterpret_cast<LPARAM>(&texts));
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"\u8BF7\u89E3\u538BCef.rar\u538B\u7F29\u5305"}));
  HWND ok = GetDlgItem(box, IDOK);
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(IsWindowVisible(ok)) << "an OK button";
  for (int button : {IDCANCEL, IDYES, IDNO, IDRETRY, IDABORT, IDIGNORE}) {
    HWND other = GetDlgItem(box, button);
    EXPECT_TRUE(!other || !IsWindowVisible(other)) << "and no other button: " << button;
  }
  EXPECT_EQ(run.FindWindow(L"Game_start"), nullptr) << "nothing else is shown";

  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
  EXPECT_EQ(run.WaitForExit(15000), 0);
  EXPECT_FALSE(IsDirectory(folder.root() + L"cef_temp"));
}

TEST(ProgramRuntimeTest, RuntimeFolderWithoutTheLibraryEndsQuietly) {
  ProgramFolder folder(ProgramFolder::kEmptyRuntimeFolder);
  ASSERT_TRUE(folder.ready());
  ProgramRun run(folder.program(), L"");
  ASSERT_TRUE(run.started());
  bool window_seen = false;
  EXPECT_EQ(run.WaitForExit(15000, &window_seen), 0);
  EXPECT_FALSE(window_seen);
  EXPECT_FALSE(IsDirectory(folder.root() + L"cef_temp"));
}

// The switches after the program on the log's command line.
std::vector<std::string> LoggedSwitches(const std::string& log) {
  const std::string marker = "Command line: ";
  const size_t start = log.find(marker);
  if (start == std::string::npos)
    return {};
  const std::string line = log.substr(start, log.find('\n', start) - start);
  std::vector<std::string> switches;
  size_t position = line.find(" --");
  while (position != std::string::npos) {
    const size_t next = line.find(" --", position + 1);
    switches.push_back(line.substr(
        position + 1, next == std::string::npos ? std::string::npos : next - position - 1));
    position = next;
  }
  return switches;
}

TEST(ProgramRuntimeTest, StartsTheRuntimeRunsAndShutsItDownInOrder) {
  ProgramFolder folder(ProgramFolder::kWithRuntime);
  ASSERT_TRUE(folder.ready());
  ProgramRun run(folder.program(), L"");
  ASSERT_TRUE(run.started());
  HWND window = run.WaitForWindow(L"Game_start");
  ASSERT_NE(window, nullptr) << "no launcher window";

  const std::wstring data_folder = folder.root() + L"cef_temp\\";
  EXPECT_TRUE(IsDirectory(data_folder + L"CefLocalStorage"));
  EXPECT_TRUE(IsFile(data_folder + L"cef.log"));

  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(run.WaitForExit(15000), 0);

  const std::string log = ReadWholeFile(data_folder + L"cef.log");
  EXPECT_EQ(
      LoggedSwitches(log),
      (std::vector<std::string>{
          "--ppapi-flash-version=20.0.0.228", "--ppapi-flash-path=PepperFlash\\pepflashplayer.dll",
          "--process-per-site", "--enable-webgl=1", "--ignore-gpu-blacklist=1",
          "--high-dpi-support=1", "--force-device-scale-factor=1"}));
  const std::string cache = "Cache path: " + kbase::Utf16ToUtf8(data_folder) + "CefLocalStorage";
  EXPECT_NE(log.find(cache), std::string::npos) << log;
  EXPECT_NE(log.find("Cookieable schemes: http, https (and the default schemes)"),
            std::string::npos);
  EXPECT_NE(log.find("Extension registered: v8/extern (581 bytes)"), std::string::npos);

  const size_t initialised = log.find("Runtime initialised");
  const size_t shutting_down = log.find("Shutting down");
  const size_t complete = log.find("Shutdown complete");
  ASSERT_NE(initialised, std::string::npos);
  ASSERT_NE(shutting_down, std::string::npos) << "the runtime was not shut down";
  EXPECT_LT(initialised, shutting_down);
  EXPECT_LT(shutting_down, complete);
  EXPECT_EQ(complete, log.rfind("Shutdown complete")) << "shut down once";
}

}  // namespace
