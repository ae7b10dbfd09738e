#include "runtime/standin/page/style.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "base/util/string_util.h"

namespace cef_standin::page {

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

struct NamedColor {
  std::string_view name;
  Color color;
};

constexpr NamedColor kNamedColors[] = {
    {"black", 0xFF000000},      {"white", 0xFFFFFFFF},     {"red", 0xFFFF0000},
    {"green", 0xFF008000},      {"blue", 0xFF0000FF},      {"yellow", 0xFFFFFF00},
    {"gray", 0xFF808080},       {"grey", 0xFF808080},      {"silver", 0xFFC0C0C0},
    {"maroon", 0xFF800000},     {"purple", 0xFF800080},    {"fuchsia", 0xFFFF00FF},
    {"lime", 0xFF00FF00},       {"olive", 0xFF808000},     {"navy", 0xFF000080},
    {"teal", 0xFF008080},       {"aqua", 0xFF00FFFF},      {"orange", 0xFFFFA500},
    {"darkgray", 0xFFA9A9A9},   {"lightgray", 0xFFD3D3D3}, {"lightgrey", 0xFFD3D3D3},
    {"darkblue", 0xFF00008B},   {"darkred", 0xFF8B0000},   {"darkgreen", 0xFF006400},
    {"whitesmoke", 0xFFF5F5F5}, {"gold", 0xFFFFD700},      {"pink", 0xFFFFC0CB},
    {"brown", 0xFFA52A2A},      {"steelblue", 0xFF4682B4}, {"dimgray", 0xFF696969},
};

std::optional<float> ParseNumber(std::string_view text) {
  float value = 0;
  const char* end = text.data() + text.size();
  // from_chars for float is not in every standard library this builds
  // with, so digits are read by hand.
  const char* at = text.data();
  bool any = false;
  while (at < end && *at >= '0' && *at <= '9') {
    value = value * 10 + static_cast<float>(*at - '0');
    any = true;
    ++at;
  }
  if (at < end && *at == '.') {
    ++at;
    float scale = 0.1f;
    while (at < end && *at >= '0' && *at <= '9') {
      value += scale * static_cast<float>(*at - '0');
      scale /= 10;
      any = true;
      ++at;
    }
  }
  if (!any || at != end || value > 100000)
    return std::nullopt;
  return value;
}

// The pieces of a shorthand such as "margin: 4px 8px".
std::vector<std::string_view> SplitWords(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
      ++at;
    const std::size_t start = at;
    while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at])))
      ++at;
    if (at > start)
      words.push_back(text.substr(start, at - start));
  }
  return words;
}

void ApplyEdges(std::string_view value, int font_size, int reference, Edges& edges) {
  const std::vector<std::string_view> words = SplitWords(value);
  if (words.empty() || words.size() > 4)
    return;
  int px[4];
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::optional<Length> length = ParseLength(words[i], font_size);
    if (!length)
      return;
    px[i] = length->Resolve(reference, 0);
  }
  switch (words.size()) {
    case 1:
      edges = {px[0], px[0], px[0], px[0]};
      break;
    case 2:
      edges = {px[0], px[1], px[0], px[1]};
      break;
    case 3:
      edges = {px[0], px[1], px[2], px[1]};
      break;
    default:
      edges = {px[0], px[1], px[2], px[3]};
      break;
  }
}

void ApplyEdge(std::string_view value, int font_size, int reference, int& edge) {
  if (const std::optional<Length> length = ParseLength(value, font_size))
    edge = length->Resolve(reference, 0);
}

void ApplyTagDefaults(std::string_view tag, ComputedStyle& style) {
  struct Heading {
    std::string_view tag;
    float size;
    float margin;
  };
  static constexpr Heading kHeadings[] = {{"h1", 2.0f, 0.67f},  {"h2", 1.5f, 0.83f},
                                          {"h3", 1.17f, 1.0f},  {"h4", 1.0f, 1.33f},
                                          {"h5", 0.83f, 1.67f}, {"h6", 0.67f, 2.33f}};
  static constexpr std::string_view kBlocks[] = {
      "html",       "body",    "div",    "p",      "ul",       "ol",      "form",    "table",
      "tbody",      "thead",   "tfoot",  "tr",     "td",       "th",      "hr",      "pre",
      "blockquote", "center",  "header", "footer", "nav",      "section", "article", "main",
      "aside",      "dl",      "dt",     "dd",     "fieldset", "address", "figure",  "caption",
      "h1",         "h2",      "h3",     "h4",     "h5",       "h6",      "legend",  "noscript",
      "menu",       "details", "summary"};
  static constexpr std::string_view kHidden[] = {
      "head",     "title",  "style", "script",   "meta",    "link",   "base",
      "template", "option", "param", "datalist", "noembed", "object", "noscript"};
  static constexpr std::string_view kReplaced[] = {"img",    "input",  "button", "textarea",
                                                   "select", "iframe", "audio"};
  style.display = Display::kInline;
  for (std::string_view name : kBlocks) {
    if (tag == name)
      style.display = Display::kBlock;
  }
  for (std::string_view name : kHidden) {
    if (tag == name)
      style.display = Display::kNone;
  }
  for (std::string_view name : kReplaced) {
    if (tag == name)
      style.display = Display::kInlineBlock;
  }
  const int em = style.font_size;
  if (tag == "li") {
    style.display = Display::kListItem;
  } else if (tag == "body") {
    style.margin = {8, 8, 8, 8};
  } else if (tag == "p" || tag == "blockquote" || tag == "dl" || tag == "pre") {
    style.margin.top = style.margin.bottom = em;
    if (tag == "blockquote")
      style.margin.left = style.margin.right = 40;
  } else if (tag == "ul" || tag == "ol" || tag == "menu") {
    style.margin.top = style.margin.bottom = em;
    style.padding.left = 40;
  } else if (tag == "dd") {
    style.margin.left = 40;
  } else if (tag == "a") {
    style.color = 0xFF0000EE;
    style.underline = true;
  } else if (tag == "b" || tag == "strong" || tag == "th" || tag == "dt" || tag == "legend") {
    style.bold = true;
  } else if (tag == "i" || tag == "em" || tag == "cite" || tag == "var" || tag == "address") {
    style.italic = true;
  } else if (tag == "u" || tag == "ins") {
    style.underline = true;
  } else if (tag == "small") {
    style.font_size = std::max(1, em * 5 / 6);
  } else if (tag == "big") {
    style.font_size = em * 6 / 5;
  } else if (tag == "center") {
    style.text_align = TextAlign::kCenter;
  } else if (tag == "hr") {
    style.margin.top = style.margin.bottom = em / 2;
  } else if (tag == "td" || tag == "th") {
    style.padding = {2, 4, 2, 4};
  } else if (tag == "table") {
    style.margin.top = style.margin.bottom = 4;
  } else if (tag == "fieldset") {
    style.margin = {8, 2, 8, 2};
    style.padding = {6, 12, 10, 12};
  }
  if (tag == "pre" || tag == "textarea")
    style.preformatted = true;
  if (tag == "pre" || tag == "code" || tag == "tt" || tag == "kbd" || tag == "samp")
    style.monospace = true;
  if (tag == "input" || tag == "button" || tag == "select" || tag == "textarea") {
    // Controls draw their own text in a smaller face, as browsers do.
    style.font_size = 13;
    style.bold = false;
    style.underline = false;
    style.color = 0xFF000000;
    style.text_align = TextAlign::kLeft;
  }
  if (tag == "th")
    style.text_align = TextAlign::kCenter;
  for (const Heading& heading : kHeadings) {
    if (tag == heading.tag) {
      style.bold = true;
      style.font_size = static_cast<int>(std::lround(static_cast<float>(em) * heading.size));
      const int margin =
          static_cast<int>(std::lround(static_cast<float>(style.font_size) * heading.margin));
      style.margin.top = style.margin.bottom = margin;
    }
  }
}

std::optional<int> ParseFontSize(std::string_view value, int parent_size) {
  struct Keyword {
    std::string_view name;
    int px;
  };
  static constexpr Keyword kKeywords[] = {{"xx-small", 9}, {"x-small", 10}, {"small", 13},
                                          {"medium", 16},  {"large", 18},   {"x-large", 24},
                                          {"xx-large", 32}};
  for (const Keyword& keyword : kKeywords) {
    if (value == keyword.name)
      return keyword.px;
  }
  if (value == "smaller")
    return std::max(1, parent_size * 5 / 6);
  if (value == "larger")
    return parent_size * 6 / 5;
  if (value.size() > 2 && value.substr(value.size() - 2) == "pt") {
    if (const std::optional<float> pt = ParseNumber(value.substr(0, value.size() - 2)))
      return static_cast<int>(std::lround(*pt * 4 / 3));
    return std::nullopt;
  }
  const std::optional<Length> length = ParseLength(value, parent_size);
  if (!length || length->IsAuto())
    return std::nullopt;
  return length->Resolve(parent_size, parent_size);
}

}  // namespace

std::optional<Color> ParseColor(std::string_view text) {
  const std::string value = Lower(Trim(text));
  if (value == "transparent")
    return kTransparent;
  for (const NamedColor& named : kNamedColors) {
    if (value == named.name)
      return named.color;
  }
  if (!value.empty() && value[0] == '#') {
    int digits[6];
    const std::size_t count = value.size() - 1;
    if (count != 3 && count != 6)
      return std::nullopt;
    for (std::size_t i = 0; i < count; ++i) {
      digits[i] = kbase::HexDigitValue(value[i + 1]);
      if (digits[i] < 0)
        return std::nullopt;
    }
    Color rgb = 0;
    if (count == 3) {
      for (int i = 0; i < 3; ++i)
        rgb = (rgb << 8) | static_cast<Color>(digits[i] * 17);
    } else {
      for (int i = 0; i < 6; ++i)
        rgb = (rgb << 4) | static_cast<Color>(digits[i]);
    }
    return 0xFF000000 | rgb;
  }
  const bool rgba = value.rfind("rgba(", 0) == 0;
  if ((value.rfind("rgb(", 0) == 0 || rgba) && value.back() == ')') {
    std::string_view inner(value);
    inner = inner.substr(rgba ? 5 : 4, inner.size() - (rgba ? 6 : 5));
    Color rgb = 0;
    int parts = 0;
    float alpha = 1;
    while (true) {
      const std::size_t comma = inner.find(',');
      const std::string_view part = Trim(inner.substr(0, comma));
      const std::optional<float> number = ParseNumber(part);
      if (!number)
        return std::nullopt;
      if (parts < 3)
        rgb = (rgb << 8) | static_cast<Color>(std::min(255.0f, *number));
      else
        alpha = std::min(1.0f, *number);
      ++parts;
      if (comma == std::string_view::npos)
        break;
      inner.remove_prefix(comma + 1);
    }
    if (parts != (rgba ? 4 : 3))
      return std::nullopt;
    return (static_cast<Color>(std::lround(alpha * 255)) << 24) | rgb;
  }
  return std::nullopt;
}

int Length::Resolve(int reference, int fallback) const {
  switch (unit) {
    case Unit::kPixels:
      return static_cast<int>(std::lround(value));
    case Unit::kPercent:
      return static_cast<int>(std::lround(value * static_cast<float>(reference) / 100));
    case Unit::kAuto:
      break;
  }
  return fallback;
}

std::optional<Length> ParseLength(std::string_view text, int font_size) {
  const std::string value = Lower(Trim(text));
  if (value == "auto")
    return Length{};
  std::string_view number(value);
  Length length;
  length.unit = Length::Unit::kPixels;
  float scale = 1;
  if (number.size() > 2 && number.substr(number.size() - 2) == "px") {
    number.remove_suffix(2);
  } else if (number.size() > 2 && number.substr(number.size() - 2) == "em") {
    number.remove_suffix(2);
    scale = static_cast<float>(font_size);
  } else if (number.size() > 2 && number.substr(number.size() - 2) == "pt") {
    number.remove_suffix(2);
    scale = 4.0f / 3.0f;
  } else if (!number.empty() && number.back() == '%') {
    number.remove_suffix(1);
    length.unit = Length::Unit::kPercent;
  }
  const std::optional<float> parsed = ParseNumber(number);
  if (!parsed)
    return std::nullopt;
  length.value = *parsed * scale;
  return length;
}

void InlineStyle::Parse(std::string_view text) {
  declarations_.clear();
  while (!text.empty()) {
    const std::size_t semicolon = std::min(text.find(';'), text.size());
    const std::string_view part = text.substr(0, semicolon);
    text.remove_prefix(std::min(semicolon + 1, text.size()));
    const std::size_t colon = part.find(':');
    if (colon == std::string_view::npos)
      continue;
    const std::string name = Lower(Trim(part.substr(0, colon)));
    std::string_view value = Trim(part.substr(colon + 1));
    const std::size_t important = Lower(value).find("!important");
    if (important != std::string::npos)
      value = Trim(value.substr(0, important));
    if (name.empty() || value.empty())
      continue;
    Set(name, value);
  }
}

std::string InlineStyle::Serialize() const {
  std::string out;
  for (const Declaration& declaration : declarations_) {
    if (!out.empty())
      out += ' ';
    out += declaration.name + ": " + declaration.value + ";";
  }
  return out;
}

std::string InlineStyle::Get(std::string_view name) const {
  const std::string lower = Lower(name);
  for (const Declaration& declaration : declarations_) {
    if (declaration.name == lower)
      return declaration.value;
  }
  return {};
}

void InlineStyle::Set(std::string_view name, std::string_view value) {
  const std::string lower = Lower(Trim(name));
  const std::string_view trimmed = Trim(value);
  auto it = std::find_if(declarations_.begin(), declarations_.end(),
                         [&lower](const Declaration& d) { return d.name == lower; });
  if (it != declarations_.end())
    declarations_.erase(it);
  if (!trimmed.empty() && !lower.empty())
    declarations_.push_back({lower, std::string(trimmed)});
}

ComputedStyle RootStyle() {
  return ComputedStyle();
}

ComputedStyle ComputeStyle(const ComputedStyle& parent,
                           std::string_view tag,
                           const InlineStyle& declarations,
                           int containing_width) {
  ComputedStyle style;
  style.color = parent.color;
  style.font_size = parent.font_size;
  style.bold = parent.bold;
  style.italic = parent.italic;
  style.underline = parent.underline;
  style.preformatted = parent.preformatted;
  style.monospace = parent.monospace;
  style.text_align = parent.text_align;
  ApplyTagDefaults(tag, style);
  for (const InlineStyle::Declaration& declaration : declarations.declarations()) {
    const std::string& name = declaration.name;
    const std::string value = Lower(declaration.value);
    if (name == "display") {
      if (value == "none")
        style.display = Display::kNone;
      else if (value == "block" || value == "flex" || value == "table" || value == "grid")
        style.display = Display::kBlock;
      else if (value == "inline")
        style.display = Display::kInline;
      else if (value == "inline-block" || value == "inline-flex")
        style.display = Display::kInlineBlock;
      else if (value == "list-item")
        style.display = Display::kListItem;
    } else if (name == "color") {
      if (const std::optional<Color> color = ParseColor(value))
        style.color = *color;
    } else if (name == "background-color" || name == "background") {
      // Of "background" only a colour is understood, as its first word.
      const std::vector<std::string_view> words = SplitWords(value);
      for (std::string_view word : words) {
        if (const std::optional<Color> color = ParseColor(word)) {
          style.background = *color;
          break;
        }
      }
      if (const std::optional<Color> color = ParseColor(value))
        style.background = *color;
    } else if (name == "font-size") {
      if (const std::optional<int> size = ParseFontSize(value, parent.font_size))
        style.font_size = std::clamp(*size, 1, 400);
    } else if (name == "font-weight") {
      if (value == "bold" || value == "bolder" || value == "600" || value == "700" ||
          value == "800" || value == "900")
        style.bold = true;
      else if (value == "normal" || value == "lighter" || value == "400" || value == "300")
        style.bold = false;
    } else if (name == "font-style") {
      style.italic = value == "italic" || value == "oblique";
    } else if (name == "text-decoration" || name == "text-decoration-line") {
      if (value.find("underline") != std::string::npos)
        style.underline = true;
      else if (value == "none")
        style.underline = false;
    } else if (name == "text-align") {
      if (value == "center")
        style.text_align = TextAlign::kCenter;
      else if (value == "right")
        style.text_align = TextAlign::kRight;
      else if (value == "left" || value == "start" || value == "justify")
        style.text_align = TextAlign::kLeft;
    } else if (name == "font-family") {
      style.monospace = value.find("mono") != std::string::npos ||
                        value.find("courier") != std::string::npos ||
                        value.find("consolas") != std::string::npos;
    } else if (name == "white-space") {
      style.preformatted = value == "pre" || value == "pre-wrap";
    } else if (name == "margin") {
      ApplyEdges(value, style.font_size, containing_width, style.margin);
      const std::vector<std::string_view> words = SplitWords(value);
      const std::size_t count = words.size();
      if (count >= 1 && count <= 4) {
        style.margin_right_auto = words[count >= 2 ? 1 : 0] == "auto";
        style.margin_left_auto = words[count == 4 ? 3 : count >= 2 ? 1 : 0] == "auto";
      }
    } else if (name == "padding") {
      ApplyEdges(value, style.font_size, containing_width, style.padding);
    } else if (name == "margin-top") {
      ApplyEdge(value, style.font_size, containing_width, style.margin.top);
    } else if (name == "margin-right") {
      ApplyEdge(value, style.font_size, containing_width, style.margin.right);
      style.margin_right_auto = value == "auto";
    } else if (name == "margin-bottom") {
      ApplyEdge(value, style.font_size, containing_width, style.margin.bottom);
    } else if (name == "margin-left") {
      ApplyEdge(value, style.font_size, containing_width, style.margin.left);
      style.margin_left_auto = value == "auto";
    } else if (name == "padding-top") {
      ApplyEdge(value, style.font_size, containing_width, style.padding.top);
    } else if (name == "padding-right") {
      ApplyEdge(value, style.font_size, containing_width, style.padding.right);
    } else if (name == "padding-bottom") {
      ApplyEdge(value, style.font_size, containing_width, style.padding.bottom);
    } else if (name == "padding-left") {
      ApplyEdge(value, style.font_size, containing_width, style.padding.left);
    } else if (name == "width") {
      if (const std::optional<Length> length = ParseLength(value, style.font_size))
        style.width = *length;
    } else if (name == "height") {
      if (const std::optional<Length> length = ParseLength(value, style.font_size))
        style.height = *length;
    }
  }
  return style;
}

}  // namespace cef_standin::page
