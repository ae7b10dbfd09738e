#include "ui/render/pixel_graphics.h"

namespace ui {

PixelGraphics::PixelGraphics(HDC dc,
                             const GdiBitmap& bitmap,
                             bool anti_alias,
                             const UiRect* limit,
                             Extent extent) {
  if (!dc || !bitmap.Pixels())
    return;
  POINT origin = {};
  GetWindowOrgEx(dc, &origin);
  HRGN shape = nullptr;
  const UiRect whole{0, 0, bitmap.Width(), bitmap.Height()};
  const UiRect visible = VisibleArea(dc, bitmap, origin, limit, &shape);
  const UiRect image = extent == Extent::kVisibleArea ? visible : whole;
  // An empty clip shows nothing: no graphics at all.
  if (!visible.IsEmpty() && WrapPixels(bitmap, image)) {
    // The clip is set in the image's own coordinates, while world and device
    // still agree; then the world moves by the window origin and the image's
    // place in the bitmap. One clip operation at most, and a plain rectangle
    // where possible: both are cheaper.
    if (shape) {
      OffsetRgn(shape, -image.left, -image.top);
      gdip::GdipSetClipHrgn(graphics_, shape, gdip::CombineModeReplace);
    } else if (visible != image) {
      gdip::GdipSetClipRectI(graphics_, visible.left - image.left, visible.top - image.top,
                             visible.Width(), visible.Height(), gdip::CombineModeReplace);
    }
    const int64_t dx = int64_t{origin.x} + image.left;
    const int64_t dy = int64_t{origin.y} + image.top;
    if (dx != 0 || dy != 0) {
      gdip::GdipTranslateWorldTransform(graphics_, static_cast<float>(-dx), static_cast<float>(-dy),
                                        gdip::MatrixOrderPrepend);
    }
    if (anti_alias)
      gdip::GdipSetSmoothingMode(graphics_, gdip::SmoothingModeAntiAlias);
  }
  if (shape)
    DeleteObject(shape);
}

PixelGraphics::~PixelGraphics() {
  if (graphics_)
    gdip::GdipDeleteGraphics(graphics_);
  if (image_)
    gdip::GdipDisposeImage(image_);
}

// static
UiRect PixelGraphics::VisibleArea(HDC dc,
                                  const GdiBitmap& bitmap,
                                  POINT origin,
                                  const UiRect* limit,
                                  HRGN* region) {
  UiRect area{0, 0, bitmap.Width(), bitmap.Height()};
  if (limit)
    area = UiRect::Intersection(area, limit->Offset(-origin.x, -origin.y));
  if (area.IsEmpty())
    return {};
  HRGN clip = CreateRectRgn(0, 0, 0, 0);
  if (!clip)
    return {};
  if (GetClipRgn(dc, clip) != 1) {
    // No clip on the device context.
    DeleteObject(clip);
    return area;
  }
  if (limit) {
    HRGN limit_region = CreateRectRgn(area.left, area.top, area.right, area.bottom);
    if (!limit_region) {
      DeleteObject(clip);
      return {};
    }
    CombineRgn(clip, clip, limit_region, RGN_AND);
    DeleteObject(limit_region);
  }
  RECT box = {};
  const int kind = GetRgnBox(clip, &box);
  if (kind == COMPLEXREGION)
    *region = clip;
  else
    DeleteObject(clip);
  if (kind != SIMPLEREGION && kind != COMPLEXREGION)
    return {};
  return UiRect::Intersection(area, {box.left, box.top, box.right, box.bottom});
}

bool PixelGraphics::WrapPixels(const GdiBitmap& bitmap, const UiRect& area) {
  // GDI may still hold drawing for the section in a batch.
  GdiFlush();
  const auto stride = static_cast<ptrdiff_t>(bitmap.Width()) * 4;
  // A bottom-up section keeps image row y at memory row height - 1 - y.
  const ptrdiff_t row = bitmap.top_down() ? area.top : bitmap.Height() - 1 - area.top;
  BYTE* scan0 = static_cast<BYTE*>(bitmap.Pixels()) + row * stride + ptrdiff_t{area.left} * 4;
  const auto step = static_cast<INT>(bitmap.top_down() ? stride : -stride);
  if (gdip::GdipCreateBitmapFromScan0(area.Width(), area.Height(), step, PixelFormat32bppPARGB,
                                      scan0, &image_) != gdip::Ok) {
    image_ = nullptr;
    return false;
  }
  if (gdip::GdipGetImageGraphicsContext(image_, &graphics_) != gdip::Ok) {
    graphics_ = nullptr;
    return false;
  }
  return true;
}

}  // namespace ui
