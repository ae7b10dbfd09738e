#include "tests/controls/test_environment.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

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

void PutLe(std::vector<uint8_t>* bytes, uint32_t value, int count) {
  for (int i = 0; i < count; ++i)
    bytes->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Starts the process-wide resources (render factory, GDI+) for the whole
// run, as the application does before its first window.
class ResourcesEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    GlobalResources::Startup(TestFolder(), nullptr, L"theme", L"lang");
  }
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

std::wstring WriteBmp(const std::wstring& name, int32_t width, int32_t height, uint32_t rgb) {
  const uint32_t row = static_cast<uint32_t>((width * 3 + 3) / 4 * 4);
  const uint32_t pixels = row * static_cast<uint32_t>(height);
  std::vector<uint8_t> bytes = {'B', 'M'};
  PutLe(&bytes, 54 + pixels, 4);
  PutLe(&bytes, 0, 4);
  PutLe(&bytes, 54, 4);
  PutLe(&bytes, 40, 4);
  PutLe(&bytes, static_cast<uint32_t>(width), 4);
  PutLe(&bytes, static_cast<uint32_t>(height), 4);
  PutLe(&bytes, 1, 2);
  PutLe(&bytes, 24, 2);
  PutLe(&bytes, 0, 4);
  PutLe(&bytes, pixels, 4);
  PutLe(&bytes, 2835, 4);
  PutLe(&bytes, 2835, 4);
  PutLe(&bytes, 0, 4);
  PutLe(&bytes, 0, 4);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      PutLe(&bytes, rgb, 3);
    for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < row; ++pad)
      bytes.push_back(0);
  }
  const std::wstring path = TestFolder() + name;
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (file) {
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
  }
  return path;
}

}  // namespace ui::test
