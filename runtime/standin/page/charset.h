#pragma once

// Response bytes to UTF-8. Portable; the Windows build adds GBK through the
// system's code pages.

#include <string>
#include <string_view>

namespace cef_standin::page {

// The charset of `bytes`: `declared` (the response's label) when known,
// else a <meta charset> or <meta http-equiv content="...charset=..."> in
// the first 1024 bytes, else "utf-8". Lower case canonical names:
// "utf-8", "windows-1252" (also for iso-8859-1 and latin1), "gbk" (also for
// gb2312 and gb18030).
std::string SniffCharset(std::string_view bytes, std::string_view declared);

// Decodes `bytes` in `charset` to UTF-8; invalid sequences become U+FFFD.
// An unknown charset decodes as UTF-8.
std::string DecodeToUtf8(std::string_view bytes, std::string_view charset);

// Appends `code_point` to `out` as UTF-8.
void AppendUtf8(char32_t code_point, std::string& out);
// UTF-8 to UTF-16 and back, invalid input replaced with U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Bytes in a system code page to UTF-8; false when the system cannot.
bool DecodeCodePage(unsigned code_page, std::string_view bytes, std::string& out);

}  // namespace cef_standin::page
