#include "runtime/standin/net/content_type.h"

#include <algorithm>
#include <cwctype>

namespace cef_standin {

std::wstring HeaderToken(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t\"'");
  if (first == std::wstring::npos)
    return std::wstring();
  std::wstring token = text.substr(first, text.find_last_not_of(L" \t\"'") - first + 1);
  std::transform(token.begin(), token.end(), token.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return token;
}

void SplitContentType(const std::wstring& content_type,
                      std::wstring* mime_type,
                      std::wstring* charset) {
  const size_t semicolon = content_type.find(L';');
  *mime_type = HeaderToken(content_type.substr(0, semicolon));
  charset->clear();
  size_t at = semicolon;
  while (at != std::wstring::npos) {
    const size_t next = content_type.find(L';', at + 1);
    const std::wstring parameter = content_type.substr(at + 1, next - at - 1);
    const size_t equals = parameter.find(L'=');
    if (equals != std::wstring::npos && HeaderToken(parameter.substr(0, equals)) == L"charset")
      *charset = HeaderToken(parameter.substr(equals + 1));
    at = next;
  }
}

}  // namespace cef_standin
