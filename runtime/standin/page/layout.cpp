#include "runtime/standin/page/layout.h"

#include <algorithm>
#include <utility>

#include "runtime/standin/page/charset.h"

namespace cef_standin::page {

namespace {

bool IsCjk(char16_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFFEF);
}

bool IsCollapsible(char16_t c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

FontKey FontOf(const ComputedStyle& style) {
  return {style.font_size, style.bold, style.italic};
}

// The presentational attributes of old markup, as declarations that the
// element's own style attribute then overrides.
InlineStyle DeclarationsOf(const Node& element) {
  InlineStyle declarations;
  if (const std::string* align = element.GetAttribute("align")) {
    if (!element.Is("img") && !element.Is("iframe"))
      declarations.Set("text-align", *align);
  }
  if (const std::string* color = element.GetAttribute("bgcolor"))
    declarations.Set("background-color", *color);
  if (element.Is("font")) {
    if (const std::string* color = element.GetAttribute("color"))
      declarations.Set("color", *color);
  }
  if (element.Is("body")) {
    if (const std::string* color = element.GetAttribute("text"))
      declarations.Set("color", *color);
  }
  for (const char* name : {"width", "height"}) {
    const std::string* value = element.GetAttribute(name);
    if (value && (element.Is("img") || element.Is("iframe") || element.Is("table") ||
                  element.Is("td") || element.Is("th"))) {
      const bool digits =
          !value->empty() && value->find_first_not_of("0123456789") == std::string::npos;
      declarations.Set(name, digits ? *value + "px" : *value);
    }
  }
  for (const InlineStyle::Declaration& own : element.inline_style().declarations())
    declarations.Set(own.name, own.value);
  return declarations;
}

ComputedStyle StyleOf(const Node& element, const ComputedStyle& parent, int containing_width) {
  ComputedStyle style =
      ComputeStyle(parent, element.tag_name(), DeclarationsOf(element), containing_width);
  if (element.Is("input") && element.InputType() == "hidden")
    style.display = Display::kNone;
  if (element.Is("audio") && !element.HasAttribute("controls"))
    style.display = Display::kNone;
  if (element.HasAttribute("hidden"))
    style.display = Display::kNone;
  return style;
}

bool IsBlockLevel(Display display) {
  return display == Display::kBlock || display == Display::kListItem;
}

bool IsReplaced(const Node& element) {
  return element.Is("img") || element.Is("input") || element.Is("button") ||
         element.Is("textarea") || element.Is("select") || element.Is("iframe") ||
         element.Is("audio");
}

// One thing in an inline formatting context.
struct InlineItem {
  enum class Kind { kText, kAtomic, kBreak };
  Kind kind = Kind::kText;
  std::u16string text;
  ComputedStyle style;
  // The element the text belongs to, or the atomic box's element.
  NodePtr node;
  // Atomic boxes: their margin-box size and laid out content.
  Size size;
  Edges margin;
  std::vector<DisplayItem> content;
};

struct Piece {
  const InlineItem* item;
  std::size_t begin = 0;
  std::size_t end = 0;
  int width = 0;
};

struct Line {
  std::vector<Piece> pieces;
  int width = 0;
};

struct InlineResult {
  int height = 0;
  std::optional<int> first_baseline;
};

class Engine {
 public:
  Engine(TextMeasurer& measurer, const ImageSizeLookup& image_size, const Document& document)
      : measurer_(measurer), image_size_(image_size), document_(document) {}

  LayoutResult Run(int viewport_width) {
    const NodePtr& root = document_.document_element();
    const ComputedStyle root_style = StyleOf(*root, RootStyle(), viewport_width);
    result_.canvas = root_style.background ? root_style.background : 0xFFFFFFFF;
    if (const NodePtr body = document_.body()) {
      const ComputedStyle body_style = StyleOf(*body, root_style, viewport_width);
      if (!root_style.background && body_style.background)
        result_.canvas = body_style.background;
    }
    result_.content_height = LayoutBlock(*root, root_style, 0, 0, viewport_width, 0, items_);
    result_.items = std::move(items_);
    for (const DisplayItem& item : result_.items)
      result_.content_width = std::max(result_.content_width, item.rect.right());
    return std::move(result_);
  }

 private:
  int Width(const FontKey& font, std::u16string_view text) {
    return measurer_.TextWidth(font, text);
  }

  void NoteFocusable(const NodePtr& node) {
    if (node && node->IsFocusable() &&
        (result_.focus_order.empty() || result_.focus_order.back() != node))
      result_.focus_order.push_back(node);
  }

  // Lays out a block-level element whose margin box starts at (x, y) in a
  // containing block `available` wide; returns the margin box's height.
  int LayoutBlock(const Node& element,
                  const ComputedStyle& style,
                  int x,
                  int y,
                  int available,
                  int depth,
                  std::vector<DisplayItem>& out) {
    const Edges& m = style.margin;
    const Edges& p = style.padding;
    int content_width = available - m.left - m.right - p.left - p.right;
    if (!style.width.IsAuto())
      content_width = style.width.Resolve(available, content_width);
    content_width = std::max(0, content_width);
    int left = x + m.left;
    if (!style.width.IsAuto() && style.margin_left_auto) {
      const int spare = available - content_width - p.left - p.right - m.left - m.right;
      if (spare > 0)
        left += style.margin_right_auto ? spare / 2 : spare;
    }
    const std::size_t background_at = out.size();
    out.emplace_back();
    const int content_x = left + p.left;
    const int content_y = y + m.top + p.top;
    int content_height = 0;
    std::optional<int> first_baseline;
    if (depth < kMaxLayoutDepth) {
      if (element.Is("tr")) {
        content_height = LayoutRow(element, style, content_x, content_y, content_width, depth, out);
      } else if (element.Is("hr")) {
        DisplayItem rule;
        rule.kind = ItemKind::kRule;
        rule.rect = {content_x, content_y, content_width, 2};
        out.push_back(rule);
        content_height = 2;
      } else {
        content_height = LayoutChildren(element, style, content_x, content_y, content_width, depth,
                                        first_baseline, out);
      }
    }
    if (!style.height.IsAuto())
      content_height = std::max(0, style.height.Resolve(0, content_height));
    const Rect border_box{left, y + m.top, content_width + p.left + p.right,
                          content_height + p.top + p.bottom};
    DisplayItem& background = out[background_at];
    background.kind = ItemKind::kBackground;
    background.rect = border_box;
    background.color = style.background;
    background.node = const_cast<Node&>(element).SharedFromThis();
    if (style.display == Display::kListItem) {
      DisplayItem bullet;
      bullet.kind = ItemKind::kBullet;
      bullet.font = FontOf(style);
      bullet.color = style.color;
      const Node* list = element.parent();
      if (list && list->Is("ol")) {
        int number = 1;
        for (const NodePtr& sibling : list->children()) {
          if (sibling.get() == &element)
            break;
          if (sibling->Is("li"))
            ++number;
        }
        bullet.text = Utf8ToUtf16(std::to_string(number) + ".");
      } else {
        bullet.text = u"\u2022";
      }
      const int width = Width(bullet.font, bullet.text);
      const FontMetrics metrics = measurer_.Metrics(bullet.font);
      bullet.baseline = first_baseline.value_or(content_y + metrics.ascent);
      bullet.rect = {content_x - width - 6, bullet.baseline - metrics.ascent, width,
                     metrics.ascent + metrics.descent};
      out.push_back(bullet);
    }
    return m.top + border_box.height + m.bottom;
  }

  int LayoutRow(const Node& row,
                const ComputedStyle& style,
                int x,
                int y,
                int width,
                int depth,
                std::vector<DisplayItem>& out) {
    std::vector<std::pair<const Node*, ComputedStyle>> cells;
    for (const NodePtr& child : row.children()) {
      if (!child->IsElement())
        continue;
      ComputedStyle cell_style = StyleOf(*child, style, width);
      if (cell_style.display != Display::kNone)
        cells.emplace_back(child.get(), cell_style);
    }
    if (cells.empty())
      return 0;
    // Cells with a width keep it; the others share what is left equally.
    int fixed = 0;
    int flexible = 0;
    for (auto& [cell, cell_style] : cells) {
      if (cell_style.width.IsAuto())
        ++flexible;
      else
        fixed +=
            cell_style.width.Resolve(width, 0) + cell_style.padding.left + cell_style.padding.right;
    }
    const int share = flexible ? std::max(0, width - fixed) / flexible : 0;
    int height = 0;
    int cell_x = x;
    for (auto& [cell, cell_style] : cells) {
      int cell_width = share;
      if (!cell_style.width.IsAuto()) {
        cell_width =
            cell_style.width.Resolve(width, 0) + cell_style.padding.left + cell_style.padding.right;
        cell_style.width = Length();
      }
      height =
          std::max(height, LayoutBlock(*cell, cell_style, cell_x, y, cell_width, depth + 1, out));
      cell_x += cell_width;
    }
    return height;
  }

  // Block children in flow, runs of inline children in anonymous blocks.
  int LayoutChildren(const Node& element,
                     const ComputedStyle& style,
                     int x,
                     int y,
                     int width,
                     int depth,
                     std::optional<int>& first_baseline,
                     std::vector<DisplayItem>& out) {
    int cursor = y;
    int previous_margin = 0;
    std::vector<const Node*> run;
    auto flush_run = [&]() {
      if (run.empty())
        return;
      const InlineResult result = LayoutInline(run, style, x, cursor, width, depth, out);
      if (!first_baseline)
        first_baseline = result.first_baseline;
      if (result.height > 0) {
        cursor += result.height;
        previous_margin = 0;
      }
      run.clear();
    };
    for (const NodePtr& child : element.children()) {
      if (child->IsText()) {
        run.push_back(child.get());
        continue;
      }
      const ComputedStyle child_style = StyleOf(*child, style, width);
      if (child_style.display == Display::kNone)
        continue;
      if (!IsBlockLevel(child_style.display)) {
        run.push_back(child.get());
        continue;
      }
      flush_run();
      // Adjacent vertical margins of siblings collapse to the larger one.
      const int overlap = std::min(previous_margin, child_style.margin.top);
      cursor -= overlap;
      const std::size_t first_item = out.size();
      cursor += LayoutBlock(*child, child_style, x, cursor, width, depth + 1, out);
      if (!first_baseline) {
        for (std::size_t i = first_item; i < out.size(); ++i) {
          if (out[i].kind == ItemKind::kText) {
            first_baseline = out[i].baseline;
            break;
          }
        }
      }
      previous_margin = child_style.margin.bottom;
    }
    flush_run();
    return cursor - y;
  }

  void CollectInline(const Node& node,
                     const ComputedStyle& parent_style,
                     int width,
                     int depth,
                     std::vector<InlineItem>& items) {
    if (node.IsText()) {
      InlineItem item;
      item.kind = InlineItem::Kind::kText;
      item.style = parent_style;
      item.node = node.parent() ? node.parent()->SharedFromThis() : nullptr;
      const std::u16string text = Utf8ToUtf16(node.data());
      if (parent_style.preformatted) {
        // Lines break where the text does.
        std::size_t start = 0;
        for (std::size_t i = 0; i <= text.size(); ++i) {
          if (i == text.size() || text[i] == '\n') {
            item.text = text.substr(start, i - start);
            std::replace(item.text.begin(), item.text.end(), u'\t', u' ');
            item.text.erase(std::remove(item.text.begin(), item.text.end(), u'\r'),
                            item.text.end());
            if (!item.text.empty())
              items.push_back(item);
            if (i < text.size()) {
              InlineItem line_break;
              line_break.kind = InlineItem::Kind::kBreak;
              line_break.style = parent_style;
              items.push_back(line_break);
            }
            start = i + 1;
          }
        }
        return;
      }
      item.text.reserve(text.size());
      for (char16_t c : text) {
        if (IsCollapsible(c)) {
          if (!last_was_space_)
            item.text += u' ';
          last_was_space_ = true;
        } else {
          item.text += c;
          last_was_space_ = false;
        }
      }
      if (!item.text.empty())
        items.push_back(std::move(item));
      return;
    }
    if (depth >= kMaxLayoutDepth)
      return;
    const ComputedStyle style = StyleOf(node, parent_style, width);
    if (style.display == Display::kNone)
      return;
    const NodePtr shared = const_cast<Node&>(node).SharedFromThis();
    if (node.Is("br")) {
      InlineItem line_break;
      line_break.kind = InlineItem::Kind::kBreak;
      line_break.style = style;
      items.push_back(line_break);
      last_was_space_ = true;
      return;
    }
    if (IsReplaced(node) || style.display == Display::kInlineBlock || IsBlockLevel(style.display)) {
      InlineItem atomic;
      atomic.kind = InlineItem::Kind::kAtomic;
      atomic.style = style;
      atomic.node = shared;
      atomic.margin = style.margin;
      Size box = IsReplaced(node) ? ReplacedSize(node, style, width)
                                  : InlineBlockSize(node, style, width, depth, atomic.content);
      atomic.size = {box.width + style.margin.left + style.margin.right,
                     box.height + style.margin.top + style.margin.bottom};
      items.push_back(std::move(atomic));
      last_was_space_ = false;
      NoteFocusable(shared);
      return;
    }
    if (node.Is("a") && node.HasAttribute("href"))
      NoteFocusable(shared);
    for (const NodePtr& child : node.children())
      CollectInline(*child, style, width, depth + 1, items);
  }

  Size InlineBlockSize(const Node& element,
                       const ComputedStyle& style,
                       int width,
                       int depth,
                       std::vector<DisplayItem>& content) {
    ComputedStyle inner = style;
    inner.margin = Edges();
    int height = LayoutBlock(element, inner, 0, 0, width, depth + 1, content);
    if (style.width.IsAuto()) {
      // Shrink to the content: lay out again at the widest line's width.
      int widest = 0;
      for (const DisplayItem& item : content) {
        if (item.kind != ItemKind::kBackground)
          widest = std::max(widest, item.rect.right());
      }
      inner.width.unit = Length::Unit::kPixels;
      inner.width.value = static_cast<float>(std::max(0, widest - style.padding.left));
      content.clear();
      height = LayoutBlock(element, inner, 0, 0, width, depth + 1, content);
    }
    int right = 0;
    for (const DisplayItem& item : content)
      right = std::max(right, item.rect.right());
    if (!content.empty())
      right = std::max(right, content.front().rect.right());
    return {right, height};
  }

  Size ReplacedSize(const Node& element, const ComputedStyle& style, int width) {
    if (element.Is("img")) {
      const std::string url = document_.ResolveUrl(element.AttributeOr("src"));
      if (!url.empty() && std::find(result_.image_urls.begin(), result_.image_urls.end(), url) ==
                              result_.image_urls.end())
        result_.image_urls.push_back(url);
      std::optional<Size> natural = image_size_ ? image_size_(url) : std::nullopt;
      int w = style.width.IsAuto() ? -1 : style.width.Resolve(width, 0);
      int h = style.height.IsAuto() ? -1 : style.height.Resolve(0, 0);
      if (natural && natural->width > 0 && natural->height > 0) {
        if (w < 0 && h < 0) {
          w = natural->width;
          h = natural->height;
        } else if (w < 0) {
          w = h * natural->width / natural->height;
        } else if (h < 0) {
          h = w * natural->height / natural->width;
        }
      } else {
        // Placeholder: the alt text's width, or a small square.
        const std::u16string alt = Utf8ToUtf16(element.AttributeOr("alt"));
        const FontKey font = FontOf(style);
        if (w < 0)
          w = alt.empty() ? 20 : Width(font, alt) + 8;
        if (h < 0)
          h = alt.empty() ? 20 : LineHeight(measurer_.Metrics(font), style.font_size) + 4;
      }
      return {std::clamp(w, 0, 20000), std::clamp(h, 0, 20000)};
    }
    if (element.Is("iframe")) {
      const int w = style.width.IsAuto() ? 300 : style.width.Resolve(width, 300);
      const int h = style.height.IsAuto() ? 150 : style.height.Resolve(0, 150);
      return {std::clamp(w, 0, 20000), std::clamp(h, 0, 20000)};
    }
    Size size = ControlSize(element, style, measurer_);
    if (!style.width.IsAuto())
      size.width =
          style.width.Resolve(width, size.width) + style.padding.left + style.padding.right;
    if (!style.height.IsAuto())
      size.height = style.height.Resolve(0, size.height);
    return {std::clamp(size.width, 0, 20000), std::clamp(size.height, 0, 20000)};
  }

  InlineResult LayoutInline(const std::vector<const Node*>& run,
                            const ComputedStyle& style,
                            int x,
                            int y,
                            int width,
                            int depth,
                            std::vector<DisplayItem>& out) {
    std::vector<InlineItem> items;
    last_was_space_ = true;
    for (const Node* node : run)
      CollectInline(*node, style, width, depth + 1, items);
    std::vector<Line> lines = BreakLines(items, width);
    InlineResult result;
    int cursor = y;
    for (const Line& line : lines) {
      // Vertical extent: text by its line height, boxes standing on the
      // baseline.
      int ascent = 0;
      int descent = 0;
      for (const Piece& piece : line.pieces) {
        if (piece.item->kind == InlineItem::Kind::kAtomic) {
          ascent = std::max(ascent, piece.item->size.height);
          continue;
        }
        const FontKey font = FontOf(piece.item->style);
        const FontMetrics metrics = measurer_.Metrics(font);
        const int line_height = LineHeight(metrics, font.size);
        const int above = metrics.ascent + (line_height - metrics.ascent - metrics.descent) / 2;
        ascent = std::max(ascent, above);
        descent = std::max(descent, line_height - above);
      }
      if (line.pieces.empty() || (ascent == 0 && descent == 0)) {
        const FontMetrics metrics = measurer_.Metrics(FontOf(style));
        const int line_height = LineHeight(metrics, style.font_size);
        ascent = metrics.ascent + (line_height - metrics.ascent - metrics.descent) / 2;
        descent = line_height - ascent;
      }
      const int baseline = cursor + ascent;
      if (!result.first_baseline)
        result.first_baseline = baseline;
      int offset = 0;
      if (style.text_align == TextAlign::kCenter)
        offset = std::max(0, (width - line.width) / 2);
      else if (style.text_align == TextAlign::kRight)
        offset = std::max(0, width - line.width);
      int piece_x = x + offset;
      for (const Piece& piece : line.pieces) {
        const InlineItem& item = *piece.item;
        if (item.kind == InlineItem::Kind::kAtomic) {
          const int box_x = piece_x + item.margin.left;
          const int box_y = baseline - item.size.height + item.margin.top;
          EmitAtomic(item, box_x, box_y, out);
        } else if (item.kind == InlineItem::Kind::kText && piece.end > piece.begin) {
          const FontKey font = FontOf(item.style);
          DisplayItem text;
          text.kind = ItemKind::kText;
          text.node = item.node;
          text.font = font;
          text.color = item.style.color;
          text.background = item.style.background;
          text.underline = item.style.underline;
          text.text = item.text.substr(piece.begin, piece.end - piece.begin);
          text.baseline = baseline;
          text.rect = {piece_x, cursor, piece.width, ascent + descent};
          out.push_back(std::move(text));
        }
        piece_x += piece.width;
      }
      cursor += ascent + descent;
    }
    result.height = cursor - y;
    return result;
  }

  void EmitAtomic(const InlineItem& item, int x, int y, std::vector<DisplayItem>& out) {
    const Node& node = *item.node;
    const Size box{item.size.width - item.margin.left - item.margin.right,
                   item.size.height - item.margin.top - item.margin.bottom};
    if (!item.content.empty() || !IsReplaced(node)) {
      for (DisplayItem content : item.content) {
        content.rect.x += x;
        content.rect.y += y;
        content.baseline += y;
        out.push_back(std::move(content));
      }
      return;
    }
    DisplayItem atomic;
    atomic.node = item.node;
    atomic.rect = {x, y, box.width, box.height};
    atomic.font = FontOf(item.style);
    atomic.color = item.style.color;
    atomic.background = item.style.background;
    if (node.Is("img")) {
      atomic.kind = ItemKind::kImage;
      atomic.url = document_.ResolveUrl(node.AttributeOr("src"));
      atomic.text = Utf8ToUtf16(node.AttributeOr("alt"));
    } else if (node.Is("iframe")) {
      atomic.kind = ItemKind::kFrame;
    } else {
      atomic.kind = ItemKind::kControl;
    }
    out.push_back(std::move(atomic));
  }

  // Greedy line filling. Breaks fall after spaces and around CJK
  // characters; a word longer than the line is broken between characters.
  std::vector<Line> BreakLines(const std::vector<InlineItem>& items, int width) {
    std::vector<Line> lines(1);
    auto finish = [&]() {
      Line& line = lines.back();
      // Spaces at the end of a line take no room.
      while (!line.pieces.empty()) {
        Piece& last = line.pieces.back();
        if (last.item->kind != InlineItem::Kind::kText || last.end == last.begin ||
            last.item->text[last.end - 1] != u' ' || last.item->style.preformatted)
          break;
        const int space = Width(FontOf(last.item->style), u" ");
        --last.end;
        last.width -= space;
        line.width -= space;
        if (last.end == last.begin)
          line.pieces.pop_back();
      }
      lines.emplace_back();
    };
    auto add = [&](const InlineItem& item, std::size_t begin, std::size_t end, int piece_width) {
      Line& line = lines.back();
      if (!line.pieces.empty()) {
        Piece& last = line.pieces.back();
        if (last.item == &item && last.end == begin) {
          last.end = end;
          last.width += piece_width;
          line.width += piece_width;
          return;
        }
      }
      line.pieces.push_back({&item, begin, end, piece_width});
      line.width += piece_width;
    };
    for (const InlineItem& item : items) {
      if (item.kind == InlineItem::Kind::kBreak) {
        if (lines.back().pieces.empty()) {
          // An empty line still takes a line's height: a zero-width piece.
          lines.back().pieces.push_back({&item, 0, 0, 0});
        }
        finish();
        continue;
      }
      if (item.kind == InlineItem::Kind::kAtomic) {
        if (lines.back().width > 0 && lines.back().width + item.size.width > width)
          finish();
        add(item, 0, 0, item.size.width);
        continue;
      }
      const FontKey font = FontOf(item.style);
      const std::u16string& text = item.text;
      const bool wrap = !item.style.preformatted;
      std::size_t at = 0;
      while (at < text.size()) {
        std::size_t end = at + 1;
        if (text[at] == u' ') {
          while (end < text.size() && text[end] == u' ' && item.style.preformatted)
            ++end;
          if (lines.back().width == 0 && wrap && lines.back().pieces.empty()) {
            at = end;  // no space at the start of a line
            continue;
          }
        } else if (!IsCjk(text[at])) {
          while (end < text.size() && text[end] != u' ' && !IsCjk(text[end]))
            ++end;
        }
        const std::u16string_view unit(text.data() + at, end - at);
        const int unit_width = Width(font, unit);
        Line& line = lines.back();
        if (wrap && text[at] != u' ' && line.width > 0 && line.width + unit_width > width) {
          finish();
        }
        if (wrap && unit_width > width && text[at] != u' ') {
          // Too long for any line: as many characters as fit, line by line.
          std::size_t start = at;
          while (start < end) {
            std::size_t stop = start;
            int fitted = 0;
            while (stop < end) {
              std::size_t next = stop + 1;
              if (next < end && text[stop] >= 0xD800 && text[stop] <= 0xDBFF)
                ++next;
              const int w = Width(font, std::u16string_view(text.data() + stop, next - stop));
              if (fitted + w > width - lines.back().width && stop > start)
                break;
              fitted += w;
              stop = next;
            }
            add(item, start, stop, fitted);
            start = stop;
            if (start < end)
              finish();
          }
        } else {
          add(item, at, end, unit_width);
        }
        at = end;
      }
    }
    if (lines.back().pieces.empty())
      lines.pop_back();
    else
      finish(), lines.pop_back();
    return lines;
  }

  TextMeasurer& measurer_;
  const ImageSizeLookup& image_size_;
  const Document& document_;
  LayoutResult result_;
  std::vector<DisplayItem> items_;
  bool last_was_space_ = true;
};

}  // namespace

Rect Rect::Union(const Rect& other) const {
  if (IsEmpty())
    return other;
  if (other.IsEmpty())
    return *this;
  const int left = std::min(x, other.x);
  const int top = std::min(y, other.y);
  return {left, top, std::max(right(), other.right()) - left,
          std::max(bottom(), other.bottom()) - top};
}

Rect Rect::Intersection(const Rect& other) const {
  const int left = std::max(x, other.x);
  const int top = std::max(y, other.y);
  const int r = std::min(right(), other.right());
  const int b = std::min(bottom(), other.bottom());
  if (r <= left || b <= top)
    return {};
  return {left, top, r - left, b - top};
}

int LineHeight(const FontMetrics& metrics, int font_size) {
  return std::max(metrics.ascent + metrics.descent, font_size * 5 / 4);
}

std::u16string ControlLabel(const Node& control) {
  if (control.Is("button"))
    return Utf8ToUtf16(control.TextContent());
  const std::string type = control.InputType();
  if (control.HasAttribute("value"))
    return Utf8ToUtf16(control.AttributeOr("value"));
  if (type == "submit")
    return u"Submit";
  if (type == "reset")
    return u"Reset";
  if (type == "file")
    return u"Choose File";
  return {};
}

Size ControlSize(const Node& control, const ComputedStyle& style, TextMeasurer& measurer) {
  const FontKey font{style.font_size, style.bold, style.italic};
  const FontMetrics metrics = measurer.Metrics(font);
  const int line = LineHeight(metrics, style.font_size);
  const int average = std::max(1, measurer.TextWidth(font, u"x"));
  if (control.Is("textarea")) {
    const int cols = std::clamp(std::atoi(control.AttributeOr("cols", "20").c_str()), 1, 500);
    const int rows = std::clamp(std::atoi(control.AttributeOr("rows", "2").c_str()), 1, 200);
    return {cols * average + 8, rows * line + 6};
  }
  if (control.Is("select")) {
    int widest = 0;
    for (const NodePtr& option : control.QuerySelectorAll("option"))
      widest = std::max(widest, measurer.TextWidth(font, Utf8ToUtf16(option->TextContent())));
    return {widest + 30, line + 8};
  }
  if (control.Is("audio"))
    return {300, 32};
  if (control.Is("button"))
    return {measurer.TextWidth(font, ControlLabel(control)) + 24, line + 10};
  const std::string type = control.InputType();
  if (type == "checkbox" || type == "radio")
    return {13, 13};
  if (type == "submit" || type == "button" || type == "reset" || type == "image")
    return {measurer.TextWidth(font, ControlLabel(control)) + 24, line + 10};
  if (type == "file")
    return {measurer.TextWidth(font, u"Choose File") + 24 + 8 +
                measurer.TextWidth(font, u"No file chosen"),
            line + 10};
  const int size = std::clamp(std::atoi(control.AttributeOr("size", "20").c_str()), 1, 500);
  return {size * average + 10, line + 8};
}

LayoutResult LayOut(const Document& document,
                    int viewport_width,
                    TextMeasurer& measurer,
                    const ImageSizeLookup& image_size) {
  Engine engine(measurer, image_size, document);
  return engine.Run(std::max(0, viewport_width));
}

}  // namespace cef_standin::page
