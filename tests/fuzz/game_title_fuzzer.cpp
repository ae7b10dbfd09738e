// The game address comes from the platform's pages: its title parts must
// be the text after the first "|", split at the next one, and a part's
// bytes its units' low bytes with "%XY" decoded. Any bytes written with
// each "%" escaped (and others escaped or not, in wide units or not) must
// decode to themselves.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/game_title_parts.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using fuzz::Check;
using fuzz::WideFrom;

void CheckParts(const std::wstring& url) {
  const auto parts = GameTitleParts(url);
  const size_t bar = url.find(L'|');
  Check(parts.has_value() == (bar != std::wstring::npos));
  if (!parts)
    return;
  const auto& [first, second] = *parts;
  Check(first.find(L'|') == std::wstring::npos);
  const std::wstring rest = url.substr(bar + 1);
  if (rest.find(L'|') == std::wstring::npos)
    Check(first == rest && second == rest);
  else
    Check(first + L"|" + second == rest);
}

// The bytes written as a part: "%" always escaped, other bytes when a bit
// of the index says so, with either case of hex digits, and units whose
// high byte is not zero.
std::wstring Escaped(std::string_view bytes) {
  static const char kUpper[] = "0123456789ABCDEF";
  static const char kLower[] = "0123456789abcdef";
  std::wstring part;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(bytes[i]);
    const wchar_t high = static_cast<wchar_t>((i % 5) << 8);
    if (byte == '%' || ((byte ^ i) & 1)) {
      const char* digits = i % 3 ? kUpper : kLower;
      part.push_back(static_cast<wchar_t>(high | L'%'));
      part.push_back(static_cast<wchar_t>(high | static_cast<unsigned char>(digits[byte >> 4])));
      part.push_back(static_cast<wchar_t>(high | static_cast<unsigned char>(digits[byte & 15])));
    } else {
      part.push_back(static_cast<wchar_t>(high | byte));
    }
  }
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::wstring url = WideFrom(bytes);
  CheckParts(url);

  const std::string decoded = TitlePartBytes(url);
  Check(decoded.size() <= url.size());
  if (bytes.find('%') == std::string_view::npos)
    Check(decoded == bytes);
  Check(TitlePartBytes(Escaped(bytes)) == bytes);
  return 0;
}
