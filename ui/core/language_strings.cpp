#include "ui/core/language_strings.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace ui {

namespace {

// fgets hands out at most this many bytes less one per call; a longer line
// arrives in pieces, each taken as a line of its own.
constexpr int kLineBufferSize = 4096;

bool IsTrimmed(wchar_t c) {
  return c < 30 || c == L' ';
}

std::wstring Trim(const std::wstring& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsTrimmed(text[begin]))
    ++begin;
  while (end > begin && IsTrimmed(text[end - 1]))
    --end;
  return text.substr(begin, end - begin);
}

std::wstring Utf8ToWide(const char* bytes, int size) {
  if (size <= 0)
    return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, bytes, size, nullptr, 0);
  if (length <= 0)
    return {};
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes, size, text.data(), length);
  return text;
}

// The runs of characters between "=" signs; runs of "=" count as one
// separator, leading and trailing ones separate nothing.
std::vector<std::wstring> SplitAtEquals(const std::wstring& text) {
  std::vector<std::wstring> tokens;
  size_t position = 0;
  while (position < text.size()) {
    const size_t begin = text.find_first_not_of(L'=', position);
    if (begin == std::wstring::npos)
      break;
    size_t end = text.find(L'=', begin);
    if (end == std::wstring::npos)
      end = text.size();
    tokens.push_back(text.substr(begin, end - begin));
    position = end;
  }
  return tokens;
}

}  // namespace

LanguageStrings* LanguageStrings::Instance() {
  static LanguageStrings* const instance = new LanguageStrings();
  return instance;
}

bool LanguageStrings::LoadStringsFile(const std::wstring& path) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(thread_checker_);
  strings_.clear();
  FILE* file = nullptr;
  if (_wfopen_s(&file, path.c_str(), L"r") != 0 || !file)
    return false;

  std::vector<std::wstring> lines;
  char buffer[kLineBufferSize];
  bool first_piece = true;
  while (std::fgets(buffer, kLineBufferSize, file)) {
    const char* bytes = buffer;
    size_t size = std::strlen(buffer);
    // A byte-order mark would otherwise become part of the first key.
    if (first_piece && size >= 3 && std::memcmp(bytes, "\xEF\xBB\xBF", 3) == 0) {
      bytes += 3;
      size -= 3;
    }
    first_piece = false;
    std::wstring line = Trim(Utf8ToWide(bytes, static_cast<int>(size)));
    if (!line.empty())
      lines.push_back(std::move(line));
  }
  std::fclose(file);

  for (const std::wstring& line : lines)
    AddLine(line);
  return true;
}

void LanguageStrings::AddLine(const std::wstring& line) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(thread_checker_);
  const std::vector<std::wstring> tokens = SplitAtEquals(Trim(line));
  if (tokens.size() != 2)
    return;
  std::wstring key = Trim(tokens[0]);
  if (key.find(L';') != std::wstring::npos)
    return;  // a comment
  strings_[std::move(key)] = Trim(tokens[1]);
}

void LanguageStrings::Clear() {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(thread_checker_);
  strings_.clear();
}

std::wstring LanguageStrings::StringById(const std::wstring& id) const {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(thread_checker_);
  if (id.empty())
    return {};
  auto found = strings_.find(id);
  if (found == strings_.end())
    return {};
  const std::wstring& stored = found->second;
  std::wstring text;
  text.reserve(stored.size());
  for (size_t i = 0; i < stored.size(); ++i) {
    if (stored[i] == L'\\' && i + 1 < stored.size()) {
      if (stored[i + 1] == L'r') {
        text.push_back(L'\r');
        ++i;
        continue;
      }
      if (stored[i + 1] == L'n') {
        text.push_back(L'\n');
        ++i;
        continue;
      }
    }
    text.push_back(stored[i]);
  }
  return text;
}

}  // namespace ui
