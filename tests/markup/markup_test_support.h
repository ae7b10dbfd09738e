#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "ui/core/markup.h"

namespace ui::test {

// UTF-16 literals work on both builds; the parser's unit type differs.
inline MarkupString Text(std::u16string_view text) {
  return MarkupString(text.begin(), text.end());
}

// Printable form for comparisons: ASCII as is, other units as \uXXXX.
inline std::string Show(const MarkupChar* text) {
  if (!text)
    return "(null)";
  std::string shown;
  for (; *text; ++text) {
    const unsigned unit = static_cast<unsigned>(*text);
    if (unit >= 0x20 && unit < 0x7F) {
      shown += static_cast<char>(unit);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\u%04X", unit);
      shown += escaped;
    }
  }
  return shown;
}

inline std::string Show(const MarkupString& text) {
  return Show(text.c_str());
}

inline bool Load(MarkupDocument& document, std::u16string_view text) {
  return document.LoadFromString(Text(text).c_str());
}

}  // namespace ui::test
