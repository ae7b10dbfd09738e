// Addresses come from pages, redirects and the command line: any text must
// parse into parts that give the same address back when written out and
// read again, references must resolve to such addresses or to nothing,
// and form encoding must decode back to the text's UTF-8. Input: a base
// address, a newline, a reference.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/util/string_util.h"
#include "runtime/standin/net/url.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using fuzz::Check;
using fuzz::WideFrom;

using cef_standin::ParsedUrl;
using cef_standin::ParseUrl;

// A parsed address: well-formed parts, and written out it reads back the
// same.
void CheckParsed(const ParsedUrl& url) {
  if (!url.valid)
    return;
  Check(!url.scheme.empty());
  Check(url.query.empty() || url.query[0] == L'?');
  Check(url.fragment.empty() || url.fragment[0] == L'#');
  if (url.IsHttp()) {
    Check(!url.host.empty() && url.port > 0 && url.port <= 65535);
    Check(!url.path.empty() && url.path[0] == L'/');
    Check(url.path.find_first_of(L"?#") == std::wstring::npos);
    Check(url.query.find(L'#') == std::wstring::npos);
  }
  const std::wstring href = url.Href();
  const ParsedUrl again = ParseUrl(href);
  Check(again.valid && again.Href() == href);
  Check(again.scheme == url.scheme && again.host == url.host && again.port == url.port);
  Check(again.path == url.path && again.query == url.query && again.fragment == url.fragment);
}

void CheckFormEncoding(std::string_view bytes) {
  kbase::Utf16String units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    units.push_back(static_cast<kbase::Utf16Char>(static_cast<unsigned char>(bytes[i]) |
                                                  static_cast<unsigned char>(bytes[i + 1]) << 8));
  const std::string encoded = cef_standin::FormUrlEncode(std::wstring(units.begin(), units.end()));
  std::string spaced;
  for (char c : encoded) {
    Check((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
          std::string_view("*-._%+").find(c) != std::string_view::npos);
    spaced += c == '+' ? ' ' : c;
  }
  Check(kbase::PercentDecode(spaced) == kbase::Utf16ToUtf8(units));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const size_t newline = bytes.find('\n');
  const std::wstring base = WideFrom(bytes.substr(0, newline));
  const std::wstring reference =
      newline == std::string_view::npos ? std::wstring() : WideFrom(bytes.substr(newline + 1));

  CheckParsed(ParseUrl(base));
  CheckParsed(ParseUrl(reference));
  const std::wstring resolved = cef_standin::ResolveUrl(base, reference);
  if (!resolved.empty()) {
    const ParsedUrl url = ParseUrl(resolved);
    Check(url.valid);
    CheckParsed(url);
  }
  Check(kbase::PercentDecode(bytes).size() <= size);
  CheckFormEncoding(bytes);
  return 0;
}
