#pragma once

#include <windows.h>

#include "ui/render/bitmap.h"
#include "ui/render/gdiplus_api.h"
#include "ui/render/geometry.h"

namespace ui {

// A GDI+ graphics object that draws straight into a bitmap's premultiplied
// pixels, with the device context's drawing origin and clip carried over.
// Drawing through the device context instead gives the same pixels where
// it works, but some GDI+ implementations then neither anti-alias nor keep
// thin shapes and text cheap: they go through a temporary copy of the
// whole bounding box.
class PixelGraphics {
 public:
  // How much of the bitmap the graphics object sees.
  enum class Extent {
    // All of it, clipped by a GDI+ clip: shapes rasterise exactly as they
    // always have, whatever their coordinates.
    kWholeBitmap,
    // Only the clip's bounding box, whose edges then clip for free: a GDI+
    // clip costs some implementations more than drawing a short label.
    // Moves the device coordinates by whole pixels, which text drawing does
    // not notice; some curve flattening does, by a pixel here and there.
    kVisibleArea,
  };

  // `limit`, when given, narrows the clip further (logical coordinates).
  PixelGraphics(HDC dc,
                const GdiBitmap& bitmap,
                bool anti_alias,
                const UiRect* limit = nullptr,
                Extent extent = Extent::kWholeBitmap);
  PixelGraphics(const PixelGraphics&) = delete;
  PixelGraphics& operator=(const PixelGraphics&) = delete;
  ~PixelGraphics();

  // Null as well when nothing can show (an empty clip).
  gdip::GpGraphics* get() const { return graphics_; }
  explicit operator bool() const { return graphics_ != nullptr; }

 private:
  // The device-space rectangle that can show, or empty; `region`, when the
  // clip is not a rectangle, receives its shape (device coordinates).
  static UiRect VisibleArea(HDC dc,
                            const GdiBitmap& bitmap,
                            POINT origin,
                            const UiRect* limit,
                            HRGN* region);
  bool WrapPixels(const GdiBitmap& bitmap, const UiRect& area);

  gdip::GpBitmap* image_ = nullptr;
  gdip::GpGraphics* graphics_ = nullptr;
};

}  // namespace ui
