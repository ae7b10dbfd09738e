#include "runtime/standin/net/content_disposition.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "base/util/string_util.h"

namespace cef_standin {

namespace {

// Longer names are cut, so that the folder's path and the name stay
// within what Windows accepts.
constexpr size_t kMaxNameLength = 200;

std::wstring Trim(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos)
    return std::wstring();
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// ASCII only: header words are ASCII, and names must not change with the
// locale.
std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z')
      c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return text;
}

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9')
    return c - L'0';
  if (c >= L'a' && c <= L'f')
    return c - L'a' + 10;
  if (c >= L'A' && c <= L'F')
    return c - L'A' + 10;
  return -1;
}

// The parts between ';' outside double quotes.
std::vector<std::wstring> SplitParameters(const std::wstring& value) {
  std::vector<std::wstring> parts(1);
  bool quoted = false;
  for (size_t i = 0; i < value.size(); ++i) {
    const wchar_t c = value[i];
    if (quoted && c == L'\\' && i + 1 < value.size()) {
      parts.back() += c;
      parts.back() += value[++i];
      continue;
    }
    if (c == L'"')
      quoted = !quoted;
    if (c == L';' && !quoted) {
      parts.emplace_back();
      continue;
    }
    parts.back() += c;
  }
  return parts;
}

// A token as it stands, or a quoted string's content. In quotes, "\\\""
// and "\\\\" stand for the character after the backslash; other
// backslashes are kept, since servers send Windows paths unescaped.
std::wstring Unquote(const std::wstring& text) {
  if (text.empty() || text.front() != L'"')
    return text;
  std::wstring content;
  for (size_t i = 1; i < text.size() && text[i] != L'"'; ++i) {
    if (text[i] == L'\\' && i + 1 < text.size() && (text[i + 1] == L'"' || text[i + 1] == L'\\'))
      ++i;
    content += text[i];
  }
  return content;
}

// "UTF-8'lang'%E2%82%AC.txt"; false when the charset is neither UTF-8
// nor ISO-8859-1 or the bytes are not text in it.
bool DecodeExtendedValue(const std::wstring& text, std::wstring* decoded) {
  const size_t first_quote = text.find(L'\'');
  const size_t second_quote =
      first_quote == std::wstring::npos ? first_quote : text.find(L'\'', first_quote + 1);
  if (second_quote == std::wstring::npos)
    return false;
  const std::wstring charset = Lower(Trim(text.substr(0, first_quote)));
  std::string bytes;
  for (size_t i = second_quote + 1; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      bytes.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
      continue;
    }
    if (c < 0x21 || c > 0x7E)
      return false;
    bytes.push_back(static_cast<char>(c));
  }
  decoded->clear();
  if (charset == L"utf-8") {
    const kbase::Utf16String units = kbase::Utf8ToUtf16(bytes);
    if (units.empty() && !bytes.empty())
      return false;
    decoded->assign(units.begin(), units.end());
    return true;
  }
  if (charset == L"iso-8859-1") {
    for (unsigned char byte : bytes)
      decoded->push_back(static_cast<wchar_t>(byte));
    return true;
  }
  return false;
}

bool IsDeviceName(std::wstring stem) {
  while (!stem.empty() && stem.back() == L' ')
    stem.pop_back();
  stem = Lower(stem);
  static constexpr const wchar_t* kDevices[] = {L"con", L"prn",    L"aux",
                                                L"nul", L"conin$", L"conout$"};
  for (const wchar_t* device : kDevices) {
    if (stem == device)
      return true;
  }
  return stem.size() == 4 && (stem.compare(0, 3, L"com") == 0 || stem.compare(0, 3, L"lpt") == 0) &&
         stem[3] >= L'1' && stem[3] <= L'9';
}

}  // namespace

ContentDisposition ParseContentDisposition(const std::wstring& value) {
  ContentDisposition result;
  const std::vector<std::wstring> parts = SplitParameters(value);
  if (Lower(Trim(parts[0])) != L"attachment")
    return result;
  result.attachment = true;
  std::wstring plain, extended;
  bool have_extended = false;
  for (size_t i = 1; i < parts.size(); ++i) {
    const size_t equals = parts[i].find(L'=');
    if (equals == std::wstring::npos)
      continue;
    const std::wstring name = Lower(Trim(parts[i].substr(0, equals)));
    const std::wstring text = Trim(parts[i].substr(equals + 1));
    if (name == L"filename" && plain.empty())
      plain = Unquote(text);
    else if (name == L"filename*" && !have_extended)
      have_extended = DecodeExtendedValue(text, &extended);
  }
  result.file_name = have_extended && !extended.empty() ? extended : plain;
  return result;
}

std::wstring PlainFileName(const std::wstring& name, const std::wstring& fallback) {
  const size_t slash = name.find_last_of(L"/\\");
  std::wstring plain = slash == std::wstring::npos ? name : name.substr(slash + 1);
  constexpr std::wstring_view kRefused = L"<>:\"|?*";
  for (wchar_t& c : plain) {
    if (c < 0x20 || c == 0x7F || kRefused.find(c) != std::wstring_view::npos)
      c = L'_';
  }
  plain.erase(0, std::min(plain.find_first_not_of(L' '), plain.size()));
  if (IsDeviceName(plain.substr(0, plain.find(L'.'))))
    plain.insert(0, 1, L'_');
  // Cut after the prefix, so that the cut name is as long as names get.
  if (plain.size() > kMaxNameLength) {
    plain.resize(kMaxNameLength);
    // No half of a surrogate pair at the end.
    if (plain.back() >= 0xD800 && plain.back() <= 0xDBFF)
      plain.pop_back();
  }
  // Windows drops trailing dots and spaces, which would make ".." the
  // folder above.
  while (!plain.empty() && (plain.back() == L'.' || plain.back() == L' '))
    plain.pop_back();
  return plain.empty() ? fallback : plain;
}

}  // namespace cef_standin
