#pragma once

#include <string>

namespace cef_standin {

// Page bytes as text in the named charset; UTF-8 when the charset is empty
// or unknown. A UTF-8 or UTF-16 byte order mark wins over the charset, as
// in browsers. Bytes that do not decode become U+FFFD.
std::wstring DecodeText(const std::string& bytes, const std::wstring& charset);

}  // namespace cef_standin
