#pragma once

// Paints a laid out page into a device context: backgrounds, text, links,
// images, rules, list markers, and form controls drawn from their current
// state (value, checked, focus, caret). Renderer thread only.

#include <windows.h>

#include <cstddef>
#include <string>

#include "runtime/standin/page/layout.h"

namespace cef_standin::page {

class GdiFonts;
class ImageStore;

struct PaintState {
  const Node* focused = nullptr;
  const Node* pressed = nullptr;
  bool window_focused = true;
  bool caret_visible = false;
  // Caret in the focused text field, UTF-16 units, and the field's
  // horizontal scroll in pixels.
  std::size_t caret = 0;
  int field_scroll = 0;
};

// Paints the items that meet `dirty` (view coordinates) with the document
// scrolled by `scroll_y`. The caller clips `dc` to `dirty`.
void PaintPage(HDC dc,
               const LayoutResult& layout,
               int scroll_y,
               const Rect& dirty,
               const PaintState& state,
               GdiFonts& fonts,
               const ImageStore& images);

// What a text field shows: its value, bullets for a password.
std::u16string FieldDisplayText(const Node& field);
// The area inside a text field's border where its text goes.
Rect FieldTextRect(const Rect& control);
// The horizontal scroll that keeps the caret of a one-line field visible.
int FieldScrollFor(const Node& field,
                   const Rect& control,
                   std::size_t caret,
                   int current_scroll,
                   GdiFonts& fonts,
                   const FontKey& font);

}  // namespace cef_standin::page
