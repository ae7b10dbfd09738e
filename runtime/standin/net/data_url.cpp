#include "runtime/standin/net/data_url.h"

#include <algorithm>
#include <cwctype>

#include "base/util/string_util.h"
#include "runtime/standin/net/content_type.h"
#include "runtime/standin/net/url.h"

namespace cef_standin {

namespace {

bool DecodeBase64(const std::string& text, std::string* out) {
  auto value = [](char c) -> int {
    if (c >= 'A' && c <= 'Z')
      return c - 'A';
    if (c >= 'a' && c <= 'z')
      return c - 'a' + 26;
    if (c >= '0' && c <= '9')
      return c - '0' + 52;
    if (c == '+' || c == '-')
      return 62;
    if (c == '/' || c == '_')
      return 63;
    return -1;
  };
  std::string clean;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
      clean += c;
  }
  while (!clean.empty() && clean.back() == '=')
    clean.pop_back();
  if (clean.size() % 4 == 1)
    return false;
  unsigned int buffer = 0;
  int bits = 0;
  for (char c : clean) {
    const int v = value(c);
    if (v < 0)
      return false;
    buffer = (buffer << 6) | static_cast<unsigned int>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      *out += static_cast<char>((buffer >> bits) & 0xFF);
    }
  }
  return true;
}

}  // namespace

DataUrlContent DecodeDataUrl(const std::wstring& after_scheme) {
  DataUrlContent content;
  const size_t comma = after_scheme.find(L',');
  if (comma == std::wstring::npos)
    return content;
  std::wstring header = after_scheme.substr(0, comma);
  std::transform(header.begin(), header.end(), header.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  bool base64 = false;
  if (header.size() >= 7 && header.compare(header.size() - 7, 7, L";base64") == 0) {
    base64 = true;
    header.erase(header.size() - 7);
  }
  SplitContentType(header, &content.mime_type, &content.charset);
  if (content.mime_type.empty()) {
    content.mime_type = L"text/plain";
    if (content.charset.empty())
      content.charset = L"us-ascii";
  }
  const std::string payload = kbase::PercentDecode(
      kbase::Utf16ToUtf8(kbase::Utf16String(after_scheme.begin() + comma + 1, after_scheme.end())));
  if (base64) {
    if (!DecodeBase64(payload, &content.bytes))
      return content;
  } else {
    content.bytes = payload;
  }
  content.valid = true;
  return content;
}

}  // namespace cef_standin
