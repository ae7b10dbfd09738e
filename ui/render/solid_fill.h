#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/render/geometry.h"

namespace ui {

// Fills rectangles with one colour by alpha-blending a single premultiplied
// pixel over them: the same source-over result as a solid GDI+ brush
// without anti-aliasing, keeps the alpha that plain GDI fills lose, and
// costs a fraction of a GDI+ fill. Opaque colours, whose blend is a plain
// copy, are copied from a tile of that colour instead, which is many times
// cheaper still. Honours the target's origin and clip.
class SolidFill {
 public:
  SolidFill() = default;
  SolidFill(const SolidFill&) = delete;
  SolidFill& operator=(const SolidFill&) = delete;
  ~SolidFill() = default;

  // False when nothing could be drawn (no pixel source, or GDI refused).
  bool Fill(HDC target, const UiRect& rect, UiColor color);

  // The premultiplied form of a straight ARGB colour, rounded.
  static uint32_t Premultiply(UiColor color);

 private:
  // A DIB section selected into its own memory device context.
  class Source {
   public:
    Source() = default;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;
    ~Source();

    // Creates the section on first use; false when that fails.
    bool Ensure(int width, int height);
    HDC dc() const { return dc_; }
    uint32_t* pixels() const { return pixels_; }

   private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_bitmap_ = nullptr;
    uint32_t* pixels_ = nullptr;
  };

  bool Blend(HDC target, const UiRect& area, uint32_t pixel);
  bool Copy(HDC target, const UiRect& area, uint32_t pixel);

  Source pixel_;
  Source tile_;
  // The colour every pixel of `tile_` has; meaningful once it exists.
  uint32_t tile_color_ = 0;
};

}  // namespace ui
