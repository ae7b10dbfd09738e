#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/render/geometry.h"

namespace ui {

// Fills rectangles with one colour by alpha-blending a single premultiplied
// pixel over them: the same source-over result as a solid GDI+ brush
// without anti-aliasing, keeps the alpha that plain GDI fills lose, and
// costs a fraction of a GDI+ fill. Honours the target's origin and clip.
class SolidFill {
 public:
  SolidFill() = default;
  SolidFill(const SolidFill&) = delete;
  SolidFill& operator=(const SolidFill&) = delete;
  ~SolidFill();

  // False when nothing could be drawn (no pixel source, or GDI refused).
  bool Fill(HDC target, const UiRect& rect, UiColor color);

  // The premultiplied form of a straight ARGB colour, rounded.
  static uint32_t Premultiply(UiColor color);

 private:
  bool EnsureSource();

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_bitmap_ = nullptr;
  uint32_t* pixel_ = nullptr;
};

}  // namespace ui
