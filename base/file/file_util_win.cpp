#include "base/file/file_util.h"

#include <windows.h>

#include <string_view>
#include <vector>

namespace kbase {

namespace {

bool IsSeparator(wchar_t unit) {
  return unit == L'\\' || unit == L'/';
}

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

size_t SkipName(std::wstring_view path, size_t position) {
  while (position < path.size() && !IsSeparator(path[position]))
    ++position;
  return position;
}

size_t SkipSeparators(std::wstring_view path, size_t position) {
  while (position < path.size() && IsSeparator(path[position]))
    ++position;
  return position;
}

// The start of a path that names no folder to create and must stay as it
// is: the separator of "\folder" and the server and share of
// "\\server\share\folder". Splitting those away would turn the path into a
// relative one and create the folders below the current directory.
size_t RootLength(std::wstring_view path) {
  const size_t leading = SkipSeparators(path, 0);
  if (leading < 2)
    return leading;
  const size_t server_end = SkipSeparators(path, SkipName(path, leading));
  return SkipSeparators(path, SkipName(path, server_end));
}

// "a\\b//c" -> "a\", "a\b\", "a\b\c": a run of separators counts as one.
std::vector<std::wstring> FolderPrefixes(std::wstring_view path) {
  const size_t root_length = RootLength(path);
  std::wstring prefix(path.substr(0, root_length));
  std::vector<std::wstring> prefixes;
  size_t position = root_length;
  while (position < path.size()) {
    const size_t name_end = SkipName(path, position);
    prefix.append(path.substr(position, name_end - position));
    position = SkipSeparators(path, name_end);
    if (position < path.size())
      prefix.push_back(L'\\');
    prefixes.push_back(prefix);
  }
  return prefixes;
}

}  // namespace

std::wstring ModuleDirectory() {
  // The allocation holding this function's code starts at its module's
  // base address, which is the module handle.
  static const int kAnchor = 0;
  MEMORY_BASIC_INFORMATION memory = {};
  if (!VirtualQuery(&kAnchor, &memory, sizeof(memory)) || !memory.AllocationBase)
    return std::wstring();
  const HMODULE module = static_cast<HMODULE>(memory.AllocationBase);

  std::wstring file_name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(module, file_name.data(), static_cast<DWORD>(file_name.size()));
    if (length == 0)
      return std::wstring();
    if (length < file_name.size()) {
      file_name.resize(length);
      break;
    }
    file_name.resize(file_name.size() * 2);
  }

  std::wstring directory;
  return DirectoryPart(file_name, &directory) ? directory : std::wstring();
}

bool CreateDirectoryTree(const wchar_t* path) {
  if (!path || !*path)
    return false;
  const std::wstring full_path(path);
  if (IsDirectory(full_path))
    return true;

  for (const std::wstring& prefix : FolderPrefixes(full_path)) {
    if (IsDirectory(prefix))
      continue;
    if (!CreateDirectoryW(prefix.c_str(), nullptr)) {
      // Another process may have created it in the meantime.
      if (GetLastError() != ERROR_ALREADY_EXISTS || !IsDirectory(prefix))
        return false;
    }
  }
  return true;
}

}  // namespace kbase
