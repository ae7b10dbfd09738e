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
  // `limit`, when given, narrows the clip further (logical coordinates).
  PixelGraphics(HDC dc, const GdiBitmap& bitmap, bool anti_alias, const UiRect* limit = nullptr);
  PixelGraphics(const PixelGraphics&) = delete;
  PixelGraphics& operator=(const PixelGraphics&) = delete;
  ~PixelGraphics();

  gdip::GpGraphics* get() const { return graphics_; }
  explicit operator bool() const { return graphics_ != nullptr; }

 private:
  void CarryOverClipAndOrigin(HDC dc, const UiRect* limit);

  gdip::GpBitmap* image_ = nullptr;
  gdip::GpGraphics* graphics_ = nullptr;
};

}  // namespace ui
