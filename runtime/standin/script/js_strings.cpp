#include "runtime/standin/script/js_strings.h"

#include <cstdint>

namespace cef_standin::script {

namespace {

void AppendUtf8(uint32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void AppendUtf16(uint32_t c, std::wstring* out) {
  if (c < 0x10000) {
    out->push_back(static_cast<wchar_t>(c));
  } else {
    c -= 0x10000;
    out->push_back(static_cast<wchar_t>(0xD800 | (c >> 10)));
    out->push_back(static_cast<wchar_t>(0xDC00 | (c & 0x3FF)));
  }
}

}  // namespace

std::string ToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = static_cast<uint16_t>(text[i]);
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
      const uint32_t low = static_cast<uint16_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    AppendUtf8(c, &out);
  }
  return out;
}

std::wstring FromUtf8(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<uint8_t>(text[i]);
    int extra = 0;
    uint32_t c = lead;
    if (lead >= 0xF0 && lead < 0xF8) {
      extra = 3;
      c = lead & 0x07;
    } else if (lead >= 0xE0) {
      extra = lead < 0xF0 ? 2 : -1;
      c = lead & 0x0F;
    } else if (lead >= 0xC0) {
      extra = 1;
      c = lead & 0x1F;
    } else if (lead >= 0x80) {
      extra = -1;
    }
    bool valid = extra >= 0 && i + static_cast<size_t>(extra) < text.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<uint8_t>(text[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80)
        valid = false;
      else
        c = (c << 6) | (next & 0x3F);
    }
    if (!valid || c > 0x10FFFF) {
      out.push_back(L'\xFFFD');
      ++i;
      continue;
    }
    AppendUtf16(c, &out);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

JSValue NewJsString(JSContext* ctx, std::wstring_view text) {
  const std::string utf8 = ToUtf8(text);
  return JS_NewStringLen(ctx, utf8.data(), utf8.size());
}

std::wstring JsToWString(JSContext* ctx, JSValueConst value) {
  size_t length = 0;
  const char* utf8 = JS_ToCStringLen(ctx, &length, value);
  if (!utf8) {
    JS_FreeValue(ctx, JS_GetException(ctx));
    return std::wstring();
  }
  std::wstring result = FromUtf8(std::string_view(utf8, length));
  JS_FreeCString(ctx, utf8);
  return result;
}

}  // namespace cef_standin::script
