#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base/file/file_util.h"

namespace {

// The program finds the runtime library through the search path, where
// start-up puts the folder "cef"; the tests do the same before the first
// runtime call.
class RuntimeFolderOnPath : public ::testing::Environment {
 public:
  void SetUp() override {
    wchar_t old_path[32768] = {};
    GetEnvironmentVariableW(L"PATH", old_path, 32768);
    const std::wstring folder = kbase::ModuleDirectory() + L"cef";
    SetEnvironmentVariableW(L"PATH", (folder + L";" + old_path).c_str());
  }
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new RuntimeFolderOnPath);

}  // namespace
