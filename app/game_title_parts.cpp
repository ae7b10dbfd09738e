#include "app/game_title_parts.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::pair<std::wstring, std::wstring>> GameTitleParts(const std::wstring& url) {
  const size_t bar = url.find(L'|');
  if (bar == std::wstring::npos)
    return std::nullopt;
  const std::wstring rest = url.substr(bar + 1);
  const size_t second_bar = rest.find(L'|');
  if (second_bar == std::wstring::npos)
    return std::make_pair(rest, rest);
  return std::make_pair(rest.substr(0, second_bar), rest.substr(second_bar + 1));
}

std::string TitlePartBytes(const std::wstring& part) {
  std::string low_bytes;
  low_bytes.reserve(part.size());
  for (wchar_t unit : part)
    low_bytes.push_back(static_cast<char>(unit & 0xFF));

  std::string bytes;
  bytes.reserve(low_bytes.size());
  for (size_t i = 0; i < low_bytes.size(); ++i) {
    if (low_bytes[i] == '%' && i + 2 < low_bytes.size()) {
      const int high = HexValue(low_bytes[i + 1]);
      const int low = HexValue(low_bytes[i + 2]);
      if (high >= 0 && low >= 0) {
        bytes.push_back(static_cast<char>(high * 16 + low));
        i += 2;
        continue;
      }
    }
    bytes.push_back(low_bytes[i]);
  }
  return bytes;
}
