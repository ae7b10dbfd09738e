#include <string>
#include <string_view>

#include "runtime/standin/page/charset.h"
#include "runtime/standin/page/html_reader.h"

namespace cef_standin::page {

namespace {

struct NamedReference {
  std::string_view name;
  char32_t code_point;
};

// The references pages commonly use; rarer ones stay as written.
constexpr NamedReference kNamed[] = {
    {"amp", '&'},       {"lt", '<'},        {"gt", '>'},        {"quot", '"'},
    {"apos", '\''},     {"nbsp", 0xA0},     {"copy", 0xA9},     {"reg", 0xAE},
    {"trade", 0x2122},  {"hellip", 0x2026}, {"mdash", 0x2014},  {"ndash", 0x2013},
    {"laquo", 0xAB},    {"raquo", 0xBB},    {"lsaquo", 0x2039}, {"rsaquo", 0x203A},
    {"middot", 0xB7},   {"bull", 0x2022},   {"deg", 0xB0},      {"times", 0xD7},
    {"divide", 0xF7},   {"euro", 0x20AC},   {"pound", 0xA3},    {"yen", 0xA5},
    {"cent", 0xA2},     {"sect", 0xA7},     {"para", 0xB6},     {"lsquo", 0x2018},
    {"rsquo", 0x2019},  {"ldquo", 0x201C},  {"rdquo", 0x201D},  {"sbquo", 0x201A},
    {"bdquo", 0x201E},  {"iexcl", 0xA1},    {"iquest", 0xBF},   {"shy", 0xAD},
    {"plusmn", 0xB1},   {"micro", 0xB5},    {"frac12", 0xBD},   {"frac14", 0xBC},
    {"frac34", 0xBE},   {"sup2", 0xB2},     {"sup3", 0xB3},     {"larr", 0x2190},
    {"rarr", 0x2192},   {"uarr", 0x2191},   {"darr", 0x2193},   {"harr", 0x2194},
    {"hearts", 0x2665}, {"spades", 0x2660}, {"clubs", 0x2663},  {"diams", 0x2666},
    {"ensp", 0x2002},   {"emsp", 0x2003},   {"thinsp", 0x2009}, {"zwnj", 0x200C},
    {"zwj", 0x200D},    {"agrave", 0xE0},   {"aacute", 0xE1},   {"acirc", 0xE2},
    {"atilde", 0xE3},   {"auml", 0xE4},     {"aring", 0xE5},    {"aelig", 0xE6},
    {"ccedil", 0xE7},   {"egrave", 0xE8},   {"eacute", 0xE9},   {"ecirc", 0xEA},
    {"euml", 0xEB},     {"igrave", 0xEC},   {"iacute", 0xED},   {"icirc", 0xEE},
    {"iuml", 0xEF},     {"ntilde", 0xF1},   {"ograve", 0xF2},   {"oacute", 0xF3},
    {"ocirc", 0xF4},    {"otilde", 0xF5},   {"ouml", 0xF6},     {"oslash", 0xF8},
    {"ugrave", 0xF9},   {"uacute", 0xFA},   {"ucirc", 0xFB},    {"uuml", 0xFC},
    {"yacute", 0xFD},   {"yuml", 0xFF},     {"szlig", 0xDF},    {"Agrave", 0xC0},
    {"Aacute", 0xC1},   {"Acirc", 0xC2},    {"Auml", 0xC4},     {"Aring", 0xC5},
    {"AElig", 0xC6},    {"Ccedil", 0xC7},   {"Eacute", 0xC9},   {"Egrave", 0xC8},
    {"Ntilde", 0xD1},   {"Ouml", 0xD6},     {"Oslash", 0xD8},   {"Uuml", 0xDC},
    {"alpha", 0x3B1},   {"beta", 0x3B2},    {"gamma", 0x3B3},   {"delta", 0x3B4},
    {"pi", 0x3C0},      {"sigma", 0x3C3},   {"omega", 0x3C9},   {"Omega", 0x3A9},
    {"infin", 0x221E},  {"ne", 0x2260},     {"le", 0x2264},     {"ge", 0x2265},
    {"check", 0x2713},  {"star", 0x2606},   {"minus", 0x2212},  {"prime", 0x2032},
};

// Legacy references that also count without the semicolon.
bool AllowedWithoutSemicolon(std::string_view name) {
  return name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "nbsp" ||
         name == "copy" || name == "reg";
}

char32_t FixNumeric(unsigned long value) {
  // The C1 controls pages mean as windows-1252, the way browsers read them.
  static constexpr char16_t kC1[32] = {
      0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return 0xFFFD;
  if (value >= 0x80 && value < 0xA0)
    return kC1[value - 0x80];
  return static_cast<char32_t>(value);
}

// Reads one reference at `text[at]` == '&'; on success appends it, moves
// `at` past it and returns true.
bool DecodeOne(std::string_view text, std::size_t& at, std::string& out) {
  std::size_t i = at + 1;
  if (i < text.size() && text[i] == '#') {
    ++i;
    int base = 10;
    if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
      base = 16;
      ++i;
    }
    unsigned long value = 0;
    std::size_t digits = 0;
    while (i < text.size()) {
      const char c = text[i];
      int digit = -1;
      if (c >= '0' && c <= '9')
        digit = c - '0';
      else if (base == 16 && c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
      else if (base == 16 && c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
      if (digit < 0)
        break;
      if (value <= 0x10FFFF)
        value = value * static_cast<unsigned long>(base) + static_cast<unsigned long>(digit);
      ++digits;
      ++i;
    }
    if (digits == 0)
      return false;
    if (i < text.size() && text[i] == ';')
      ++i;
    AppendUtf8(FixNumeric(value), out);
    at = i;
    return true;
  }
  const std::size_t start = i;
  while (i < text.size() && i - start < 10 &&
         ((text[i] >= 'a' && text[i] <= 'z') || (text[i] >= 'A' && text[i] <= 'Z') ||
          (text[i] >= '0' && text[i] <= '9')))
    ++i;
  const std::string_view name = text.substr(start, i - start);
  const bool semicolon = i < text.size() && text[i] == ';';
  for (const NamedReference& reference : kNamed) {
    if (reference.name == name && (semicolon || AllowedWithoutSemicolon(name))) {
      AppendUtf8(reference.code_point, out);
      at = semicolon ? i + 1 : i;
      return true;
    }
  }
  return false;
}

}  // namespace

void AppendDecodedReferences(std::string_view text, std::string& out) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t amp = text.find('&', at);
    if (amp == std::string_view::npos) {
      out.append(text.substr(at));
      return;
    }
    out.append(text.substr(at, amp - at));
    at = amp;
    if (!DecodeOne(text, at, out)) {
      out += '&';
      ++at;
    }
  }
}

}  // namespace cef_standin::page
