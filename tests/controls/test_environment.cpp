#include "tests/controls/test_environment.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "tests/resources/test_files.h"
#include "ui/core/global_resources.h"

namespace ui::test {

namespace {

std::wstring MakeFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder =
      std::wstring(temp) + L"qel_control_tests_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileW((folder + data.cFileName).c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

// Starts the process-wide resources (render factory, GDI+) for the whole
// run, as the application does before its first window.
class ResourcesEnvironment : public testing::Environment {
 public:
  void SetUp() override { GlobalResources::Startup(TestFolder(), nullptr, L"theme", L"lang"); }
  void TearDown() override {
    GlobalResources::Shutdown();
    RemoveFolder(TestFolder());
  }
};

testing::Environment* const g_environment =
    testing::AddGlobalTestEnvironment(new ResourcesEnvironment);

}  // namespace

const std::wstring& TestFolder() {
  static const std::wstring folder = MakeFolder();
  return folder;
}

std::wstring WriteTestFile(const std::wstring& name, const std::vector<uint8_t>& bytes) {
  const std::wstring path = TestFolder() + name;
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (file) {
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
  }
  return path;
}

std::wstring WriteBmp(const std::wstring& name, int32_t width, int32_t height, uint32_t rgb) {
  const Rgba fill = {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                     static_cast<uint8_t>(rgb), 255};
  return WriteTestFile(name, EncodeBmp24(width, height, fill));
}

}  // namespace ui::test
