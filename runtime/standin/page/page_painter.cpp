#include "runtime/standin/page/page_painter.h"

#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>
#include <vector>

#include "runtime/standin/page/charset.h"
#include "runtime/standin/page/gdi_fonts.h"
#include "runtime/standin/page/image_store.h"

namespace cef_standin::page {

namespace {

constexpr Color kControlBorder = 0xFF767676;
constexpr Color kFocusBorder = 0xFF1A73E8;
constexpr Color kButtonFace = 0xFFEFEFEF;
constexpr Color kButtonPressed = 0xFFDADADA;
constexpr Color kPlaceholder = 0xFF757575;

COLORREF Ref(Color color) {
  return RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
}

void Fill(HDC dc, const Rect& rect, Color color) {
  const unsigned alpha = color >> 24;
  if (alpha == 0 || rect.IsEmpty())
    return;
  if (alpha < 255) {
    Gdiplus::Graphics graphics(dc);
    Gdiplus::SolidBrush brush(
        Gdiplus::Color(static_cast<BYTE>(alpha), static_cast<BYTE>((color >> 16) & 0xFF),
                       static_cast<BYTE>((color >> 8) & 0xFF), static_cast<BYTE>(color & 0xFF)));
    graphics.FillRectangle(&brush, rect.x, rect.y, rect.width, rect.height);
    return;
  }
  const RECT r{rect.x, rect.y, rect.right(), rect.bottom()};
  SetDCBrushColor(dc, Ref(color));
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Frame(HDC dc, const Rect& rect, Color color, int thickness) {
  for (int i = 0; i < thickness; ++i) {
    const Rect r{rect.x + i, rect.y + i, rect.width - 2 * i, rect.height - 2 * i};
    if (r.IsEmpty())
      return;
    Fill(dc, {r.x, r.y, r.width, 1}, color);
    Fill(dc, {r.x, r.bottom() - 1, r.width, 1}, color);
    Fill(dc, {r.x, r.y, 1, r.height}, color);
    Fill(dc, {r.right() - 1, r.y, 1, r.height}, color);
  }
}

void RoundBox(HDC dc, const Rect& rect, Color face, Color border, int thickness) {
  Gdiplus::Graphics graphics(dc);
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  const float inset = static_cast<float>(thickness) / 2;
  const Gdiplus::REAL x = static_cast<float>(rect.x) + inset;
  const Gdiplus::REAL y = static_cast<float>(rect.y) + inset;
  const Gdiplus::REAL w = static_cast<float>(rect.width) - 2 * inset;
  const Gdiplus::REAL h = static_cast<float>(rect.height) - 2 * inset;
  const Gdiplus::REAL r = std::min<Gdiplus::REAL>(3, std::min(w, h) / 2);
  if (w <= 0 || h <= 0)
    return;
  Gdiplus::GraphicsPath path;
  path.AddArc(x, y, 2 * r, 2 * r, 180, 90);
  path.AddArc(x + w - 2 * r, y, 2 * r, 2 * r, 270, 90);
  path.AddArc(x + w - 2 * r, y + h - 2 * r, 2 * r, 2 * r, 0, 90);
  path.AddArc(x, y + h - 2 * r, 2 * r, 2 * r, 90, 90);
  path.CloseFigure();
  auto gdip_color = [](Color c) {
    return Gdiplus::Color(static_cast<BYTE>(c >> 24), static_cast<BYTE>((c >> 16) & 0xFF),
                          static_cast<BYTE>((c >> 8) & 0xFF), static_cast<BYTE>(c & 0xFF));
  };
  Gdiplus::SolidBrush brush(gdip_color(face));
  graphics.FillPath(&brush, &path);
  Gdiplus::Pen pen(gdip_color(border), static_cast<Gdiplus::REAL>(thickness));
  graphics.DrawPath(&pen, &path);
}

void DrawText16(HDC dc,
                GdiFonts& fonts,
                const FontKey& font,
                Color color,
                int x,
                int baseline,
                std::u16string_view text) {
  if (text.empty())
    return;
  HGDIOBJ old = SelectObject(dc, fonts.Font(font));
  SetTextColor(dc, Ref(color));
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
  // GDI draws at most a few thousand characters reliably in one call.
  constexpr std::size_t kChunk = 2048;
  int pen = x;
  for (std::size_t at = 0; at < text.size(); at += kChunk) {
    const std::u16string_view part = text.substr(at, kChunk);
    ExtTextOutW(dc, pen, baseline, 0, nullptr, reinterpret_cast<const wchar_t*>(part.data()),
                static_cast<UINT>(part.size()), nullptr);
    pen += fonts.TextWidth(font, part);
  }
  SelectObject(dc, old);
}

int BaselineIn(const Rect& rect, GdiFonts& fonts, const FontKey& font) {
  const FontMetrics metrics = fonts.Metrics(font);
  return rect.y + (rect.height - metrics.ascent - metrics.descent) / 2 + metrics.ascent;
}

void CenteredLabel(HDC dc,
                   GdiFonts& fonts,
                   const FontKey& font,
                   Color color,
                   const Rect& rect,
                   std::u16string_view label) {
  const int width = fonts.TextWidth(font, label);
  DrawText16(dc, fonts, font, color, rect.x + (rect.width - width) / 2,
             BaselineIn(rect, fonts, font), label);
}

void PaintButton(HDC dc,
                 const Rect& rect,
                 const DisplayItem& item,
                 const PaintState& state,
                 GdiFonts& fonts,
                 std::u16string_view label) {
  const bool focused = state.focused == item.node.get();
  const bool pressed = state.pressed == item.node.get();
  const Color face = item.background ? item.background : pressed ? kButtonPressed : kButtonFace;
  RoundBox(dc, rect, face, focused ? kFocusBorder : kControlBorder, focused ? 2 : 1);
  CenteredLabel(dc, fonts, item.font, item.color, rect, label);
}

void PaintTextField(HDC dc,
                    const DisplayItem& item,
                    const PaintState& state,
                    GdiFonts& fonts,
                    const Rect& rect) {
  const Node& field = *item.node;
  const bool focused = state.focused == &field;
  Fill(dc, rect, item.background ? item.background : 0xFFFFFFFF);
  Frame(dc, rect, focused ? kFocusBorder : kControlBorder, focused ? 2 : 1);
  const Rect inner = FieldTextRect(rect);
  const std::u16string text = FieldDisplayText(field);
  HRGN clip = CreateRectRgn(0, 0, 0, 0);
  const bool had_clip = GetClipRgn(dc, clip) == 1;
  IntersectClipRect(dc, inner.x, inner.y, inner.right(), inner.bottom());
  const FontMetrics metrics = fonts.Metrics(item.font);
  const int line = LineHeight(metrics, item.font.size);
  if (field.Is("textarea")) {
    // Lines as typed, no wrapping; the caret on its line.
    std::size_t start = 0;
    int top = inner.y;
    std::size_t caret_line_start = 0;
    int caret_top = inner.y;
    for (std::size_t i = 0; i <= text.size(); ++i) {
      if (i == text.size() || text[i] == u'\n') {
        DrawText16(dc, fonts, item.font, item.color, inner.x, top + metrics.ascent,
                   std::u16string_view(text).substr(start, i - start));
        if (state.caret >= start && state.caret <= i) {
          caret_line_start = start;
          caret_top = top;
        }
        start = i + 1;
        top += line;
      }
    }
    if (focused && state.caret_visible && state.window_focused) {
      const int x = inner.x + fonts.TextWidth(
                                  item.font, std::u16string_view(text).substr(
                                                 caret_line_start, state.caret - caret_line_start));
      Fill(dc, {x, caret_top, 1, line}, 0xFF000000);
    }
  } else {
    const int baseline = BaselineIn(inner, fonts, item.font);
    const int scroll = focused ? state.field_scroll : 0;
    if (text.empty() && field.HasAttribute("placeholder")) {
      DrawText16(dc, fonts, item.font, kPlaceholder, inner.x, baseline,
                 Utf8ToUtf16(field.AttributeOr("placeholder")));
    } else {
      DrawText16(dc, fonts, item.font, item.color, inner.x - scroll, baseline, text);
    }
    if (focused && state.caret_visible && state.window_focused) {
      const std::size_t caret = std::min(state.caret, text.size());
      const int x =
          inner.x - scroll + fonts.TextWidth(item.font, std::u16string_view(text).substr(0, caret));
      const FontMetrics m = fonts.Metrics(item.font);
      Fill(dc, {x, baseline - m.ascent, 1, m.ascent + m.descent}, 0xFF000000);
    }
  }
  SelectClipRgn(dc, had_clip ? clip : nullptr);
  DeleteObject(clip);
}

void PaintCheck(HDC dc, const DisplayItem& item, const PaintState& state, const Rect& rect) {
  const Node& box = *item.node;
  const bool focused = state.focused == &box;
  const bool radio = box.InputType() == "radio";
  const bool checked = box.Checked();
  Gdiplus::Graphics graphics(dc);
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  const Gdiplus::Color border =
      focused ? Gdiplus::Color(255, 0x1A, 0x73, 0xE8) : Gdiplus::Color(255, 0x76, 0x76, 0x76);
  const Gdiplus::Color accent(255, 0x1A, 0x73, 0xE8);
  const auto x = static_cast<Gdiplus::REAL>(rect.x) + 0.5f;
  const auto y = static_cast<Gdiplus::REAL>(rect.y) + 0.5f;
  const auto w = static_cast<Gdiplus::REAL>(rect.width) - 1;
  const auto h = static_cast<Gdiplus::REAL>(rect.height) - 1;
  Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
  Gdiplus::Pen pen(border, 1);
  if (radio) {
    graphics.FillEllipse(&white, x, y, w, h);
    graphics.DrawEllipse(&pen, x, y, w, h);
    if (checked) {
      Gdiplus::SolidBrush dot(accent);
      graphics.FillEllipse(&dot, x + w / 4, y + h / 4, w / 2, h / 2);
    }
    return;
  }
  if (checked) {
    Gdiplus::SolidBrush fill(accent);
    graphics.FillRectangle(&fill, x, y, w, h);
    Gdiplus::Pen tick(Gdiplus::Color(255, 255, 255, 255), 2);
    const Gdiplus::PointF points[] = {{x + w * 0.2f, y + h * 0.5f},
                                      {x + w * 0.42f, y + h * 0.72f},
                                      {x + w * 0.8f, y + h * 0.28f}};
    graphics.DrawLines(&tick, points, 3);
  } else {
    graphics.FillRectangle(&white, x, y, w, h);
    graphics.DrawRectangle(&pen, x, y, w, h);
  }
}

void PaintSelect(HDC dc,
                 const DisplayItem& item,
                 const PaintState& state,
                 GdiFonts& fonts,
                 const Rect& rect) {
  const bool focused = state.focused == item.node.get();
  RoundBox(dc, rect, item.background ? item.background : 0xFFFFFFFF,
           focused ? kFocusBorder : kControlBorder, focused ? 2 : 1);
  std::u16string label;
  for (const NodePtr& option : item.node->QuerySelectorAll("option")) {
    if (option->Value() == item.node->Value()) {
      label = Utf8ToUtf16(option->TextContent());
      break;
    }
  }
  DrawText16(dc, fonts, item.font, item.color, rect.x + 6, BaselineIn(rect, fonts, item.font),
             label);
  // The drop-down arrow.
  Gdiplus::Graphics graphics(dc);
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  Gdiplus::SolidBrush arrow(Gdiplus::Color(255, 0x44, 0x44, 0x44));
  const auto cx = static_cast<Gdiplus::REAL>(rect.right() - 12);
  const auto cy = static_cast<Gdiplus::REAL>(rect.y + rect.height / 2);
  const Gdiplus::PointF points[] = {{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 3}};
  graphics.FillPolygon(&arrow, points, 3);
}

void PaintControl(HDC dc,
                  const DisplayItem& item,
                  const PaintState& state,
                  GdiFonts& fonts,
                  const Rect& rect) {
  const Node& node = *item.node;
  if (node.IsTextField()) {
    PaintTextField(dc, item, state, fonts, rect);
    return;
  }
  if (node.Is("select")) {
    PaintSelect(dc, item, state, fonts, rect);
    return;
  }
  if (node.Is("audio")) {
    RoundBox(dc, rect, 0xFFF1F3F4, 0xFFDADCE0, 1);
    CenteredLabel(dc, fonts, item.font, 0xFF333333, {rect.x, rect.y, 28, rect.height}, u"\u25B6");
    Fill(dc, {rect.x + 34, rect.y + rect.height / 2, std::max(0, rect.width - 48), 2}, 0xFF9AA0A6);
    return;
  }
  if (node.Is("input")) {
    const std::string type = node.InputType();
    if (type == "checkbox" || type == "radio") {
      PaintCheck(dc, item, state, rect);
      return;
    }
    if (type == "file") {
      const int button_width = fonts.TextWidth(item.font, u"Choose File") + 24;
      PaintButton(dc, {rect.x, rect.y, button_width, rect.height}, item, state, fonts,
                  u"Choose File");
      const std::string chosen = node.Value();
      const std::size_t slash = chosen.find_last_of("/\\");
      const std::u16string name =
          chosen.empty() ? u"No file chosen"
                         : Utf8ToUtf16(chosen.substr(slash == std::string::npos ? 0 : slash + 1));
      DrawText16(dc, fonts, item.font, item.color, rect.x + button_width + 8,
                 BaselineIn(rect, fonts, item.font), name);
      return;
    }
  }
  PaintButton(dc, rect, item, state, fonts, ControlLabel(node));
}

void PaintImage(HDC dc,
                const DisplayItem& item,
                GdiFonts& fonts,
                const ImageStore& images,
                const Rect& rect) {
  if (images.Draw(dc, item.url, rect))
    return;
  // Placeholder until the bytes arrive (or for good when they failed).
  Frame(dc, rect, 0xFFC0C0C0, 1);
  if (!item.text.empty()) {
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    const bool had_clip = GetClipRgn(dc, clip) == 1;
    IntersectClipRect(dc, rect.x + 1, rect.y + 1, rect.right() - 1, rect.bottom() - 1);
    DrawText16(dc, fonts, item.font, 0xFF555555, rect.x + 4, BaselineIn(rect, fonts, item.font),
               item.text);
    SelectClipRgn(dc, had_clip ? clip : nullptr);
    DeleteObject(clip);
  }
}

bool FocusedLink(const PaintState& state, const Node* node) {
  if (!state.focused || !state.focused->Is("a"))
    return false;
  return state.focused->IsInclusiveAncestorOf(node);
}

}  // namespace

std::u16string FieldDisplayText(const Node& field) {
  std::u16string text = Utf8ToUtf16(field.Value());
  if (field.Is("input") && field.InputType() == "password")
    return std::u16string(text.size(), u'\u2022');
  if (field.Is("input"))
    std::replace_if(
        text.begin(), text.end(), [](char16_t c) { return c < 0x20; }, u' ');
  return text;
}

Rect FieldTextRect(const Rect& control) {
  return {control.x + 4, control.y + 3, std::max(0, control.width - 8),
          std::max(0, control.height - 6)};
}

int FieldScrollFor(const Node& field,
                   const Rect& control,
                   std::size_t caret,
                   int current_scroll,
                   GdiFonts& fonts,
                   const FontKey& font) {
  if (field.Is("textarea"))
    return 0;
  const std::u16string text = FieldDisplayText(field);
  const int inner = FieldTextRect(control).width;
  const int x =
      fonts.TextWidth(font, std::u16string_view(text).substr(0, std::min(caret, text.size())));
  int scroll = current_scroll;
  if (x - scroll > inner - 1)
    scroll = x - inner + 1;
  if (x - scroll < 0)
    scroll = x;
  const int total = fonts.TextWidth(font, text);
  scroll = std::min(scroll, std::max(0, total - inner + 1));
  return std::max(0, scroll);
}

void PaintPage(HDC dc,
               const LayoutResult& layout,
               int scroll_y,
               const Rect& dirty,
               const PaintState& state,
               GdiFonts& fonts,
               const ImageStore& images) {
  Fill(dc, dirty, layout.canvas | 0xFF000000);
  const Rect document_dirty{dirty.x, dirty.y + scroll_y, dirty.width, dirty.height};
  for (const DisplayItem& item : layout.items) {
    // Text overhangs its box a little (italics, accents): a margin.
    const Rect reach{item.rect.x - 4, item.rect.y - 4, item.rect.width + 8, item.rect.height + 8};
    if (!reach.Intersects(document_dirty))
      continue;
    const Rect rect{item.rect.x, item.rect.y - scroll_y, item.rect.width, item.rect.height};
    switch (item.kind) {
      case ItemKind::kBackground:
        Fill(dc, rect, item.color);
        break;
      case ItemKind::kText: {
        Fill(dc, rect, item.background);
        DrawText16(dc, fonts, item.font, item.color, rect.x, item.baseline - scroll_y, item.text);
        if (item.underline) {
          const FontMetrics metrics = fonts.Metrics(item.font);
          const int y = item.baseline - scroll_y + std::max(1, metrics.descent / 3);
          Fill(dc, {rect.x, y, rect.width, std::max(1, item.font.size / 14)}, item.color);
        }
        if (FocusedLink(state, item.node.get())) {
          const RECT r{rect.x - 1, rect.y, rect.right() + 1, rect.bottom()};
          SetTextColor(dc, RGB(0, 0, 0));
          SetBkColor(dc, RGB(255, 255, 255));
          DrawFocusRect(dc, &r);
        }
        break;
      }
      case ItemKind::kControl:
        PaintControl(dc, item, state, fonts, rect);
        break;
      case ItemKind::kImage:
        PaintImage(dc, item, fonts, images, rect);
        break;
      case ItemKind::kFrame:
        Fill(dc, rect, 0xFFFFFFFF);
        Frame(dc, rect, 0xFFA0A0A0, 2);
        break;
      case ItemKind::kRule:
        Fill(dc, {rect.x, rect.y, rect.width, 1}, 0xFF9A9A9A);
        Fill(dc, {rect.x, rect.y + 1, rect.width, 1}, 0xFFEEEEEE);
        break;
      case ItemKind::kBullet:
        DrawText16(dc, fonts, item.font, item.color, rect.x, item.baseline - scroll_y, item.text);
        break;
    }
  }
}

}  // namespace cef_standin::page
