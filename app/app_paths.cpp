#include "app/app_paths.h"

#include <windows.h>

std::wstring ModuleDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

std::wstring BrowserDataFolder() {
  return ModuleDirectory() + L"cef_temp\\";
}

std::wstring ResourceRoot() {
  return ModuleDirectory() + L"resources\\";
}
