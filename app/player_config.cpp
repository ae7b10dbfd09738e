#include "app/player_config.h"

#include <windows.h>

#include <shlwapi.h>

namespace {

// Room for 255 characters and the terminator.
constexpr DWORD kValueCapacity = 256;

std::wstring ReadValue(const std::wstring& ini_path, const wchar_t* key) {
  wchar_t value[kValueCapacity] = {};
  GetPrivateProfileStringW(L"vynt", key, L"", value, kValueCapacity, ini_path.c_str());
  return value;
}

}  // namespace

PlayerConfig ReadPlayerConfig(const std::wstring& ini_path) {
  return {ReadValue(ini_path, L"uid"), ReadValue(ini_path, L"filename")};
}

std::wstring PlayerConfigPath() {
  wchar_t folder[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, folder, MAX_PATH);
  PathRemoveFileSpecW(folder);
  wchar_t path[MAX_PATH] = {};
  PathCombineW(path, folder, L"config.ini");
  return path;
}
