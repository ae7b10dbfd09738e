#include "runtime/standin/page/charset.h"

#include <algorithm>

namespace cef_standin::page {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '"' || text.front() == '\''))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '"' || text.back() == '\''))
    text.remove_suffix(1);
  return text;
}

// The canonical name of a label, or empty when unknown.
std::string Canonical(std::string_view label) {
  const std::string name = Lower(Trim(label));
  if (name == "utf-8" || name == "utf8" || name == "unicode-1-1-utf-8")
    return "utf-8";
  if (name == "iso-8859-1" || name == "latin1" || name == "iso8859-1" || name == "l1" ||
      name == "windows-1252" || name == "cp1252" || name == "us-ascii" || name == "ascii" ||
      name == "iso_8859-1")
    return "windows-1252";
  if (name == "gbk" || name == "gb2312" || name == "gb18030" || name == "x-gbk" ||
      name == "cp936" || name == "euc-cn")
    return "gbk";
  return {};
}

// The value after "charset=" in `text`, up to a quote, semicolon or space.
std::string_view CharsetParameter(std::string_view text) {
  const std::string lower = Lower(text);
  const std::size_t at = lower.find("charset");
  if (at == std::string::npos)
    return {};
  std::size_t start = at + 7;
  while (start < text.size() && text[start] == ' ')
    ++start;
  if (start >= text.size() || text[start] != '=')
    return {};
  ++start;
  while (start < text.size() && (text[start] == ' ' || text[start] == '"' || text[start] == '\''))
    ++start;
  std::size_t end = start;
  while (end < text.size() && text[end] != '"' && text[end] != '\'' && text[end] != ';' &&
         text[end] != ' ' && text[end] != '>' && text[end] != '/')
    ++end;
  return text.substr(start, end - start);
}

// The 0x80-0x9F row of windows-1252 (0 where undefined: kept as C1).
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// One code point from `text` at `at` (advanced); invalid bytes give
// U+FFFD and advance by one.
char32_t NextUtf8(std::string_view text, std::size_t& at) {
  const unsigned char lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80)
    return lead;
  int extra;
  char32_t code;
  char32_t minimum;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    code = lead & 0x1F;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    code = lead & 0x0F;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    code = lead & 0x07;
    minimum = 0x10000;
  } else {
    return kReplacement;
  }
  if (text.size() - at < static_cast<std::size_t>(extra))
    return kReplacement;
  for (int i = 0; i < extra; ++i) {
    const unsigned char next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
    if ((next & 0xC0) != 0x80)
      return kReplacement;
    code = (code << 6) | (next & 0x3F);
  }
  at += static_cast<std::size_t>(extra);
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
    return kReplacement;
  return code;
}

}  // namespace

void AppendUtf8(char32_t code_point, std::string& out) {
  if (code_point > 0x10FFFF || (code_point >= 0xD800 && code_point <= 0xDFFF))
    code_point = kReplacement;
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code_point >> 18));
    out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  std::size_t at = 0;
  while (at < utf8.size()) {
    const char32_t code = NextUtf8(utf8, at);
    if (code >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t code = utf16[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    }
    AppendUtf8(code, out);
  }
  return out;
}

std::string SniffCharset(std::string_view bytes, std::string_view declared) {
  std::string name = Canonical(declared);
  if (!name.empty())
    return name;
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
    return "utf-8";
  const std::string head = Lower(bytes.substr(0, std::min<std::size_t>(bytes.size(), 1024)));
  std::size_t at = 0;
  while ((at = head.find("<meta", at)) != std::string::npos) {
    const std::size_t end = std::min(head.find('>', at), head.size());
    name = Canonical(CharsetParameter(std::string_view(head).substr(at, end - at)));
    if (!name.empty())
      return name;
    at = end;
  }
  return "utf-8";
}

std::string DecodeToUtf8(std::string_view bytes, std::string_view charset) {
  const std::string name = Canonical(charset);
  std::string out;
  if (name == "windows-1252") {
    out.reserve(bytes.size());
    for (char c : bytes) {
      const unsigned char byte = static_cast<unsigned char>(c);
      char32_t code = byte;
      if (byte >= 0x80 && byte < 0xA0 && kWindows1252High[byte - 0x80])
        code = kWindows1252High[byte - 0x80];
      AppendUtf8(code, out);
    }
    return out;
  }
  if (name == "gbk" && DecodeCodePage(936, bytes, out))
    return out;
  // UTF-8, also for unknown labels; a byte order mark is dropped.
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
    bytes.remove_prefix(3);
  out.reserve(bytes.size());
  std::size_t at = 0;
  while (at < bytes.size()) {
    // Runs of ASCII are copied as they stand.
    const std::size_t start = at;
    while (at < bytes.size() && static_cast<unsigned char>(bytes[at]) < 0x80)
      ++at;
    out.append(bytes.substr(start, at - start));
    if (at < bytes.size())
      AppendUtf8(NextUtf8(bytes, at), out);
  }
  return out;
}

}  // namespace cef_standin::page
