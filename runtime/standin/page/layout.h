#pragma once

// Layout of a document into a flat display list: block flow, word-wrapped
// inline text (CJK text breaks between any two characters), inline boxes
// for images and form controls, table rows as equal columns. Positions are
// in document pixels (the view subtracts its scroll offset). Portable: text
// is measured through `TextMeasurer`.
//
// Content nested deeper than kMaxLayoutDepth elements is not laid out, so
// that script-built trees of any depth cannot exhaust the stack.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "runtime/standin/page/document.h"
#include "runtime/standin/page/style.h"

namespace cef_standin::page {

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int right() const { return x + width; }
  int bottom() const { return y + height; }
  bool IsEmpty() const { return width <= 0 || height <= 0; }
  bool Contains(int px, int py) const {
    return px >= x && py >= y && px < right() && py < bottom();
  }
  bool Intersects(const Rect& other) const {
    return x < other.right() && other.x < right() && y < other.bottom() && other.y < bottom();
  }
  Rect Union(const Rect& other) const;
  Rect Intersection(const Rect& other) const;
  bool operator==(const Rect&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
};

struct FontKey {
  int size = 16;
  bool bold = false;
  bool italic = false;
  bool operator==(const FontKey&) const = default;
};

struct FontMetrics {
  int ascent = 12;
  int descent = 4;
};

class TextMeasurer {
 public:
  virtual FontMetrics Metrics(const FontKey& font) = 0;
  // Advance width of the UTF-16 text.
  virtual int TextWidth(const FontKey& font, std::u16string_view text) = 0;

 protected:
  ~TextMeasurer() = default;
};

enum class ItemKind {
  kBackground,  // a filled rectangle
  kText,        // a run of text on one line
  kControl,     // a form control, drawn from its node's state at paint time
  kImage,       // an image or its placeholder
  kFrame,       // an iframe's place
  kRule,        // a horizontal rule
  kBullet,      // a list marker (text)
};

struct DisplayItem {
  ItemKind kind = ItemKind::kBackground;
  Rect rect;
  // The element the item belongs to (for text: its parent element).
  NodePtr node;
  Color color = 0xFF000000;
  Color background = kTransparent;
  FontKey font;
  bool underline = false;
  std::u16string text;
  // Text: the baseline's y.
  int baseline = 0;
  // Images: the resolved address.
  std::string url;
};

struct LayoutResult {
  std::vector<DisplayItem> items;
  int content_width = 0;
  int content_height = 0;
  // The colour behind everything (body's or html's background).
  Color canvas = 0xFFFFFFFF;
  // Focusable elements that are shown, in tree order.
  std::vector<NodePtr> focus_order;
  // Every image address the page shows, in order, without repeats.
  std::vector<std::string> image_urls;
};

// The natural size of a decoded image, or nullopt while it is not there.
using ImageSizeLookup = std::function<std::optional<Size>(const std::string& url)>;

constexpr int kMaxLayoutDepth = 256;

LayoutResult LayOut(const Document& document,
                    int viewport_width,
                    TextMeasurer& measurer,
                    const ImageSizeLookup& image_size);

// The size a control's box takes (border box), from its node and style.
Size ControlSize(const Node& control, const ComputedStyle& style, TextMeasurer& measurer);
// The text a button-like control shows.
std::u16string ControlLabel(const Node& control);
// Line height of a font.
int LineHeight(const FontMetrics& metrics, int font_size);

}  // namespace cef_standin::page
