#include "base/file/file_util.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/temp_folder.h"

namespace kbase {
namespace {

TEST(DirectoryPartTest, CutsAfterTheLastSeparator) {
  std::wstring directory = L"untouched";
  EXPECT_FALSE(DirectoryPart(L"", &directory));
  EXPECT_FALSE(DirectoryPart(L"\\", &directory));
  EXPECT_FALSE(DirectoryPart(L"a", &directory));
  EXPECT_FALSE(DirectoryPart(L"file.txt", &directory));
  EXPECT_EQ(directory, L"untouched");

  EXPECT_TRUE(DirectoryPart(L"folder\\file.exe", &directory));
  EXPECT_EQ(directory, L"folder\\");
  EXPECT_TRUE(DirectoryPart(L"C:/games/qel/Qelmora.exe", &directory));
  EXPECT_EQ(directory, L"C:/games/qel/");
  EXPECT_TRUE(DirectoryPart(L"C:\\mixed/sep\\name", &directory));
  EXPECT_EQ(directory, L"C:\\mixed/sep\\");
  EXPECT_TRUE(DirectoryPart(L"/x", &directory));
  EXPECT_EQ(directory, L"/");
  EXPECT_TRUE(DirectoryPart(L"dir\\", &directory));
  EXPECT_EQ(directory, L"dir\\");
}

TEST(ModuleDirectoryTest, IsTheFolderOfThisProgram) {
  const std::wstring directory = ModuleDirectory();
  ASSERT_GE(directory.size(), 2u);
  EXPECT_EQ(directory.back(), L'\\');
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  EXPECT_EQ(std::wstring(program).rfind(directory, 0), 0u);
  EXPECT_EQ(std::wstring(program).find_first_of(L"\\/", directory.size()), std::wstring::npos);
}

using test::IsDirectory;

class CreateDirectoryTreeTest : public ::testing::Test {
 protected:
  test::TempFolder folder_{L"qel_tree"};
  const std::wstring& root_ = folder_.path();
};

TEST_F(CreateDirectoryTreeTest, ExistingFolderIsLeftAlone) {
  EXPECT_TRUE(CreateDirectoryTree(root_.c_str()));
  EXPECT_TRUE(CreateDirectoryTree(root_.substr(0, root_.size() - 1).c_str()));
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((root_ + L"*").c_str(), &entry);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  int entries = 0;
  do {
    ++entries;
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  EXPECT_EQ(entries, 2) << "only . and ..";
}

TEST_F(CreateDirectoryTreeTest, CreatesEveryMissingFolderAcrossDoubledSeparators) {
  EXPECT_TRUE(CreateDirectoryTree((root_ + L"first\\\\second").c_str()));
  EXPECT_TRUE(IsDirectory(root_ + L"first"));
  EXPECT_TRUE(IsDirectory(root_ + L"first\\second"));

  EXPECT_TRUE(CreateDirectoryTree((root_ + L"one//two/three/").c_str()));
  EXPECT_TRUE(IsDirectory(root_ + L"one\\two\\three"));
  EXPECT_TRUE(CreateDirectoryTree((root_ + L"cef_temp\\CefLocalStorage").c_str()));
  EXPECT_TRUE(IsDirectory(root_ + L"cef_temp\\CefLocalStorage"));
}

TEST_F(CreateDirectoryTreeTest, FailsBelowAFileAndOnMissingPaths) {
  const std::wstring file = root_ + L"plain.txt";
  HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  CloseHandle(handle);
  EXPECT_FALSE(CreateDirectoryTree(file.c_str()));
  EXPECT_FALSE(CreateDirectoryTree((file + L"\\below").c_str()));
  EXPECT_FALSE(IsDirectory(file + L"\\below"));

  EXPECT_FALSE(CreateDirectoryTree(nullptr));
  EXPECT_FALSE(CreateDirectoryTree(L""));
}

TEST_F(CreateDirectoryTreeTest, RootedPathStaysRooted) {
  // "\folder\..." on the current drive must not turn into a folder below
  // the current directory.
  ASSERT_GT(root_.size(), 2u);
  ASSERT_EQ(root_[1], L':') << "the temporary folder has a drive letter";
  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(root_.c_str()));

  const std::wstring rooted = root_.substr(2) + L"rooted\\inner";
  EXPECT_TRUE(CreateDirectoryTree(rooted.c_str()));
  EXPECT_TRUE(IsDirectory(root_ + L"rooted\\inner"));
  const std::wstring first_name = root_.substr(3, root_.find(L'\\', 3) - 3);
  EXPECT_FALSE(IsDirectory(root_ + first_name)) << "created below the current directory";

  SetCurrentDirectoryW(previous);
}

}  // namespace
}  // namespace kbase
