#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/app_paths.h"

namespace {

// Starts Qelmora.exe from the folder of this test and waits for its window.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::wstring command = L"\"" + ModuleDirectory() + L"Qelmora.exe\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process_))
        << "cannot start " << std::string(command.begin(), command.end());
    CloseHandle(process_.hThread);
  }

  void TearDown() override {
    if (process_.hProcess) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(process_.hProcess, 1);
      CloseHandle(process_.hProcess);
    }
  }

  HWND WaitForWindow(const wchar_t* class_name) {
    for (int i = 0; i < 300; ++i) {
      HWND window = FindWindowW(class_name, nullptr);
      if (window && IsWindowVisible(window))
        return window;
      if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0)
        return nullptr;
    }
    return nullptr;
  }

  PROCESS_INFORMATION process_ = {};
};

TEST_F(ProgramTest, ShowsItsWindowAndExitsWithZeroWhenItCloses) {
  HWND window = WaitForWindow(L"Game_start");
  ASSERT_NE(window, nullptr) << "no visible launcher window";

  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  EXPECT_STREQ(text, L"Qelmora");

  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(process_.hProcess, 15000), WAIT_OBJECT_0) << "still running";
  DWORD exit_code = 1;
  GetExitCodeProcess(process_.hProcess, &exit_code);
  EXPECT_EQ(exit_code, 0u);
}

}  // namespace
