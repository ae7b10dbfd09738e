// data: addresses come from pages: any text after "data:" must decode or
// be refused, with a lower-case MIME type and the payload's bytes; any
// bytes written in base64 (with white space and padding as pages write
// it) must decode to themselves; Content-Type values split into a type
// without parameters and a charset.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwctype>
#include <string>
#include <string_view>

#include "base/util/string_util.h"
#include "runtime/standin/net/content_type.h"
#include "runtime/standin/net/data_url.h"
#include "runtime/standin/net/url.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using fuzz::Check;
using fuzz::WideFrom;

bool IsLower(const std::wstring& text) {
  for (wchar_t c : text) {
    if (static_cast<wchar_t>(std::towlower(c)) != c)
      return false;
  }
  return true;
}

std::string Base64(std::string_view bytes, bool wrap) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size())
      group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size())
      group |= static_cast<unsigned char>(bytes[i + 2]);
    text += kDigits[group >> 18];
    text += kDigits[(group >> 12) & 63];
    text += i + 1 < bytes.size() ? kDigits[(group >> 6) & 63] : '=';
    text += i + 2 < bytes.size() ? kDigits[group & 63] : '=';
    if (wrap && i % 57 == 54)
      text += "\r\n";
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::wstring text = WideFrom(bytes);

  const cef_standin::DataUrlContent content = cef_standin::DecodeDataUrl(text);
  const size_t comma = text.find(L',');
  Check(content.valid || comma != std::wstring::npos || content.bytes.empty());
  if (content.valid) {
    Check(comma != std::wstring::npos);
    Check(!content.mime_type.empty() && IsLower(content.mime_type) && IsLower(content.charset));
    Check(content.mime_type.find(L';') == std::wstring::npos);
    Check(content.bytes.size() <= 4 * size);
  }

  // The input's bytes as base64 come back as they are.
  const std::string encoded = Base64(bytes, size % 2 == 1);
  const cef_standin::DataUrlContent decoded = cef_standin::DecodeDataUrl(
      L"application/octet-stream;BASE64," + std::wstring(encoded.begin(), encoded.end()));
  Check(decoded.valid && decoded.bytes == bytes);
  Check(decoded.mime_type == L"application/octet-stream");

  std::wstring mime_type, charset;
  cef_standin::SplitContentType(text, &mime_type, &charset);
  Check(mime_type.find(L';') == std::wstring::npos && IsLower(mime_type) && IsLower(charset));
  Check(mime_type.empty() || (mime_type.front() != L' ' && mime_type.back() != L' '));
  return 0;
}
