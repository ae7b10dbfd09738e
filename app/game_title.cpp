#include "app/game_title.h"

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
  return FromCodePage(bytes, code_page);
}

std::optional<std::wstring> GameTitleFromUrl(const std::wstring& url, UINT code_page) {
  const size_t bar = url.find(L'|');
  if (bar == std::wstring::npos)
    return std::nullopt;
  const std::wstring rest = url.substr(bar + 1);
  const size_t second_bar = rest.find(L'|');
  const std::wstring first = second_bar == std::wstring::npos ? rest : rest.substr(0, second_bar);
  const std::wstring second = second_bar == std::wstring::npos ? rest : rest.substr(second_bar + 1);
  return DecodeTitlePart(first, code_page) + L"-" + DecodeTitlePart(second, code_page);
}
