#include "app/app_paths.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(AppPathsTest, FoldersHangOffTheProgramFolderWithOneSeparator) {
  const std::wstring module = ModuleDirectory();
  ASSERT_FALSE(module.empty());
  EXPECT_EQ(module.back(), L'\\');
  EXPECT_EQ(module.find(L"\\\\"), std::wstring::npos);
  EXPECT_EQ(BrowserDataFolder(), module + L"cef_temp\\");
  EXPECT_EQ(ResourceRoot(), module + L"resources\\");

  wchar_t program[MAX_PATH];
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  EXPECT_EQ(std::wstring(program).rfind(module, 0), 0u) << "the folder of this very program";
}

}  // namespace
