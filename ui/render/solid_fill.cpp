#include "ui/render/solid_fill.h"

namespace ui {
namespace {

uint32_t Scale(uint32_t channel, uint32_t alpha) {
  return (channel * alpha + 127) / 255;
}

}  // namespace

SolidFill::~SolidFill() {
  if (dc_) {
    SelectObject(dc_, old_bitmap_);
    DeleteDC(dc_);
  }
  if (bitmap_)
    DeleteObject(bitmap_);
}

uint32_t SolidFill::Premultiply(UiColor color) {
  const uint32_t a = color >> 24;
  const uint32_t r = Scale((color >> 16) & 0xFF, a);
  const uint32_t g = Scale((color >> 8) & 0xFF, a);
  const uint32_t b = Scale(color & 0xFF, a);
  return (a << 24) | (r << 16) | (g << 8) | b;
}

bool SolidFill::Fill(HDC target, const UiRect& rect, UiColor color) {
  if (!target || !EnsureSource())
    return false;
  // Only the part that can show is blended: the source is uniform, so
  // cropping changes nothing, and huge rectangles stay cheap.
  RECT box = {};
  if (GetClipBox(target, &box) == NULLREGION || box.right <= box.left)
    return true;
  const UiRect area = UiRect::Intersection(rect, {box.left, box.top, box.right, box.bottom});
  if (area.IsEmpty())
    return true;
  GdiFlush();
  *pixel_ = Premultiply(color);
  const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  return AlphaBlend(target, area.left, area.top, area.Width(), area.Height(), dc_, 0, 0, 1, 1,
                    blend) != FALSE;
}

bool SolidFill::EnsureSource() {
  if (dc_)
    return true;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 1;
  info.bmiHeader.biHeight = 1;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  dc_ = bitmap_ ? CreateCompatibleDC(nullptr) : nullptr;
  if (!dc_) {
    if (bitmap_)
      DeleteObject(bitmap_);
    bitmap_ = nullptr;
    return false;
  }
  old_bitmap_ = SelectObject(dc_, bitmap_);
  pixel_ = static_cast<uint32_t*>(bits);
  return true;
}

}  // namespace ui
