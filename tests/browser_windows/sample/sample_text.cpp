#include "tests/browser_windows/sample/sample_text.h"

#include <cwctype>
#include <optional>

#include "base/util/string_util.h"

namespace browser_sample {

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

bool IsJsonSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

std::wstring TrimmedJson(const std::wstring& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsJsonSpace(text[begin]))
    ++begin;
  while (end > begin && IsJsonSpace(text[end - 1]))
    --end;
  return text.substr(begin, end - begin);
}

std::optional<wchar_t> HexUnit(const std::wstring& text, size_t at) {
  if (at + 4 > text.size())
    return std::nullopt;
  unsigned value = 0;
  for (size_t i = at; i < at + 4; ++i) {
    const wchar_t c = text[i];
    value <<= 4;
    if (c >= L'0' && c <= L'9')
      value |= c - L'0';
    else if (c >= L'a' && c <= L'f')
      value |= c - L'a' + 10;
    else if (c >= L'A' && c <= L'F')
      value |= c - L'A' + 10;
    else
      return std::nullopt;
  }
  return static_cast<wchar_t>(value);
}

bool IsHighSurrogate(wchar_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// The value of a JSON string literal that is the whole of |json|; nullopt
// when |json| is anything else. Unpaired surrogates become U+FFFD, so the
// text can always be shown and converted.
std::optional<std::wstring> DecodeJsonString(const std::wstring& json) {
  if (json.size() < 2 || json.front() != L'"' || json.back() != L'"')
    return std::nullopt;
  std::wstring value;
  const size_t end = json.size() - 1;
  for (size_t i = 1; i < end; ++i) {
    wchar_t c = json[i];
    if (c == L'"' || c < 0x20)
      return std::nullopt;
    if (c == L'\\') {
      if (++i >= end)
        return std::nullopt;
      switch (json[i]) {
        case L'"':
          c = L'"';
          break;
        case L'\\':
          c = L'\\';
          break;
        case L'/':
          c = L'/';
          break;
        case L'b':
          c = L'\b';
          break;
        case L'f':
          c = L'\f';
          break;
        case L'n':
          c = L'\n';
          break;
        case L'r':
          c = L'\r';
          break;
        case L't':
          c = L'\t';
          break;
        case L'u': {
          const std::optional<wchar_t> unit = HexUnit(json, i + 1);
          if (!unit || i + 4 >= end)
            return std::nullopt;
          c = *unit;
          i += 4;
          break;
        }
        default:
          return std::nullopt;
      }
    }
    value.push_back(c);
  }
  // Pairs stay, anything unpaired is replaced.
  for (size_t i = 0; i < value.size(); ++i) {
    if (IsHighSurrogate(value[i]) && i + 1 < value.size() && IsLowSurrogate(value[i + 1])) {
      ++i;
    } else if (IsHighSurrogate(value[i]) || IsLowSurrogate(value[i])) {
      value[i] = kReplacement;
    }
  }
  return value;
}

}  // namespace

std::wstring AddressFromTyped(const std::wstring& typed) {
  size_t begin = 0;
  size_t end = typed.size();
  while (begin < end && std::iswspace(typed[begin]))
    ++begin;
  while (end > begin && std::iswspace(typed[end - 1]))
    --end;
  const std::wstring address = typed.substr(begin, end - begin);
  if (address.empty())
    return address;
  if (address.find(L"://") != std::wstring::npos || address.rfind(L"about:", 0) == 0 ||
      address.rfind(L"data:", 0) == 0) {
    return address;
  }
  return L"http://" + address;
}

std::wstring MessageFromJson(const std::string& json) {
  const std::wstring text = kbase::Utf8ToUtf16(json);
  const std::optional<std::wstring> decoded = DecodeJsonString(TrimmedJson(text));
  return decoded ? *decoded : text;
}

std::string MessageShownReply(size_t length) {
  return "{\"shown\":true,\"length\":" + std::to_string(length) + "}";
}

}  // namespace browser_sample
