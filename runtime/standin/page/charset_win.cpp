#include <windows.h>

#include <climits>

#include "runtime/standin/page/charset.h"

namespace cef_standin::page {

bool DecodeCodePage(unsigned code_page, std::string_view bytes, std::string& out) {
  if (bytes.empty()) {
    out.clear();
    return true;
  }
  if (bytes.size() > INT_MAX / 2)
    return false;
  const int length = static_cast<int>(bytes.size());
  const int wide = MultiByteToWideChar(code_page, 0, bytes.data(), length, nullptr, 0);
  if (wide <= 0)
    return false;
  std::u16string text(static_cast<std::size_t>(wide), u'\0');
  if (MultiByteToWideChar(code_page, 0, bytes.data(), length,
                          reinterpret_cast<wchar_t*>(text.data()), wide) != wide)
    return false;
  out = Utf16ToUtf8(text);
  return true;
}

}  // namespace cef_standin::page
