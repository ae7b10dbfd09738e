#pragma once

// The style subset of the page: declarations read from a "style" attribute
// or set by script, and the typed values layout uses. Portable.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cef_standin::page {

// 0xAARRGGBB; alpha 0 is transparent.
using Color = std::uint32_t;
constexpr Color kTransparent = 0;

// "red", "#rgb", "#rrggbb", "rgb(r, g, b)", "transparent"; nullopt otherwise.
std::optional<Color> ParseColor(std::string_view text);

struct Length {
  enum class Unit { kPixels, kPercent, kAuto };
  Unit unit = Unit::kAuto;
  float value = 0;
  bool IsAuto() const { return unit == Unit::kAuto; }
  // Pixels against `reference` (the containing width for percentages).
  int Resolve(int reference, int fallback) const;
};

// "12px", "12", "50%", "1.5em" (against `font_size`), "auto"; nullopt
// otherwise. Negative values are refused.
std::optional<Length> ParseLength(std::string_view text, int font_size);

// The declarations of one element, in order, names lower case.
class InlineStyle {
 public:
  struct Declaration {
    std::string name;
    std::string value;
  };

  // Replaces everything with "name: value; ..." text. Malformed parts are
  // skipped; a declaration repeated later wins.
  void Parse(std::string_view text);
  std::string Serialize() const;
  // Empty when absent.
  std::string Get(std::string_view name) const;
  // Empty `value` removes the declaration.
  void Set(std::string_view name, std::string_view value);
  const std::vector<Declaration>& declarations() const { return declarations_; }

 private:
  std::vector<Declaration> declarations_;
};

enum class Display { kBlock, kInline, kInlineBlock, kListItem, kNone };
enum class TextAlign { kLeft, kCenter, kRight };

struct Edges {
  int top = 0;
  int right = 0;
  int bottom = 0;
  int left = 0;
};

// The computed style of one element: defaults for its tag, inherited
// values from its parent, then its own declarations.
struct ComputedStyle {
  Display display = Display::kInline;
  Color color = 0xFF000000;
  Color background = kTransparent;
  int font_size = 16;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool preformatted = false;
  TextAlign text_align = TextAlign::kLeft;
  Edges margin;
  // "margin: 0 auto" and the like: the block is centred when it has a width.
  bool margin_left_auto = false;
  bool margin_right_auto = false;
  Edges padding;
  // Width and height of the content box; auto when unset.
  Length width;
  Length height;
};

// The inherited part of `parent` with the tag's defaults applied and then
// `declarations`. `containing_width` resolves percentages of margins and
// paddings.
ComputedStyle ComputeStyle(const ComputedStyle& parent,
                           std::string_view tag,
                           const InlineStyle& declarations,
                           int containing_width);

// The style of the root, before any element.
ComputedStyle RootStyle();

}  // namespace cef_standin::page
