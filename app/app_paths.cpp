#include "app/app_paths.h"

#include "base/file/file_util.h"

std::wstring ModuleDirectory() {
  return kbase::ModuleDirectory();
}

std::wstring BrowserDataFolder() {
  return ModuleDirectory() + L"cef_temp\\";
}

std::wstring ResourceRoot() {
  return ModuleDirectory() + L"resources\\";
}
