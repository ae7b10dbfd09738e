#include "app/game_title.h"

#include "app/game_title_parts.h"

namespace {

std::wstring FromCodePage(const std::string& bytes, UINT code_page) {
  if (bytes.empty())
    return {};
  const int length =
      MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (length <= 0)
    return {};
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                      length);
  return text;
}

}  // namespace

std::wstring DecodeTitlePart(const std::wstring& part, UINT code_page) {
  return FromCodePage(TitlePartBytes(part), code_page);
}

std::optional<std::wstring> GameTitleFromUrl(const std::wstring& url, UINT code_page) {
  const auto parts = GameTitleParts(url);
  if (!parts)
    return std::nullopt;
  return DecodeTitlePart(parts->first, code_page) + L"-" +
         DecodeTitlePart(parts->second, code_page);
}
