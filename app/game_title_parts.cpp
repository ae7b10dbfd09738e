#include "app/game_title_parts.h"

#include "base/util/string_util.h"

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
  return kbase::PercentDecode(low_bytes);
}
