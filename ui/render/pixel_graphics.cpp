#include "ui/render/pixel_graphics.h"

namespace ui {

PixelGraphics::PixelGraphics(HDC dc,
                             const GdiBitmap& bitmap,
                             bool anti_alias,
                             const UiRect* limit) {
  if (!dc || !bitmap.Pixels())
    return;
  // GDI may still hold drawing for the section in a batch.
  GdiFlush();
  const int width = bitmap.Width();
  const int height = bitmap.Height();
  auto* scan0 = static_cast<BYTE*>(bitmap.Pixels());
  INT stride = width * 4;
  if (!bitmap.top_down()) {
    scan0 += static_cast<size_t>(height - 1) * static_cast<size_t>(stride);
    stride = -stride;
  }
  if (gdip::GdipCreateBitmapFromScan0(width, height, stride, PixelFormat32bppPARGB, scan0,
                                      &image_) != gdip::Ok) {
    image_ = nullptr;
    return;
  }
  if (gdip::GdipGetImageGraphicsContext(image_, &graphics_) != gdip::Ok) {
    graphics_ = nullptr;
    return;
  }
  CarryOverClipAndOrigin(dc, limit);
  if (anti_alias)
    gdip::GdipSetSmoothingMode(graphics_, gdip::SmoothingModeAntiAlias);
}

PixelGraphics::~PixelGraphics() {
  if (graphics_)
    gdip::GdipDeleteGraphics(graphics_);
  if (image_)
    gdip::GdipDisposeImage(image_);
}

void PixelGraphics::CarryOverClipAndOrigin(HDC dc, const UiRect* limit) {
  POINT origin = {};
  GetWindowOrgEx(dc, &origin);
  // The clip is set in device coordinates, while world and device still
  // agree; then the world moves by the window origin. One clip operation
  // at most, and a plain rectangle where possible: both are cheaper.
  HRGN clip = CreateRectRgn(0, 0, 0, 0);
  const bool has_clip = clip && GetClipRgn(dc, clip) == 1;
  if (limit) {
    const UiRect device = limit->Offset(-origin.x, -origin.y);
    HRGN limit_region = device.IsEmpty()
                            ? CreateRectRgn(0, 0, 0, 0)
                            : CreateRectRgn(device.left, device.top, device.right, device.bottom);
    if (has_clip && limit_region)
      CombineRgn(clip, clip, limit_region, RGN_AND);
    else if (clip && limit_region)
      CombineRgn(clip, limit_region, nullptr, RGN_COPY);
    if (limit_region)
      DeleteObject(limit_region);
  }
  if (clip && (has_clip || limit)) {
    RECT box = {};
    const int kind = GetRgnBox(clip, &box);
    if (kind == SIMPLEREGION || kind == NULLREGION) {
      gdip::GdipSetClipRectI(graphics_, box.left, box.top, box.right - box.left,
                             box.bottom - box.top, gdip::CombineModeReplace);
    } else {
      gdip::GdipSetClipHrgn(graphics_, clip, gdip::CombineModeReplace);
    }
  }
  if (clip)
    DeleteObject(clip);
  if (origin.x != 0 || origin.y != 0) {
    gdip::GdipTranslateWorldTransform(graphics_, static_cast<float>(-origin.x),
                                      static_cast<float>(-origin.y), gdip::MatrixOrderPrepend);
  }
}

}  // namespace ui
