#include "ui/render/solid_fill.h"

#include <algorithm>

namespace ui {
namespace {

// Wide and short: the rectangles of a skin are mostly wider than tall, and
// a refill for a new colour touches 64 KiB.
constexpr int kTileWidth = 256;
constexpr int kTileHeight = 64;

uint32_t Scale(uint32_t channel, uint32_t alpha) {
  return (channel * alpha + 127) / 255;
}

}  // namespace

SolidFill::Source::~Source() {
  if (dc_) {
    SelectObject(dc_, old_bitmap_);
    DeleteDC(dc_);
  }
  if (bitmap_)
    DeleteObject(bitmap_);
}

bool SolidFill::Source::Ensure(int width, int height) {
  if (dc_)
    return true;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
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
  pixels_ = static_cast<uint32_t*>(bits);
  return true;
}

uint32_t SolidFill::Premultiply(UiColor color) {
  const uint32_t a = color >> 24;
  const uint32_t r = Scale((color >> 16) & 0xFF, a);
  const uint32_t g = Scale((color >> 8) & 0xFF, a);
  const uint32_t b = Scale(color & 0xFF, a);
  return (a << 24) | (r << 16) | (g << 8) | b;
}

bool SolidFill::Fill(HDC target, const UiRect& rect, UiColor color) {
  if (!target)
    return false;
  // Only the part that can show is drawn: the source is uniform, so
  // cropping changes nothing, and huge rectangles stay cheap.
  RECT box = {};
  if (GetClipBox(target, &box) == NULLREGION || box.right <= box.left)
    return true;
  const UiRect area = UiRect::Intersection(rect, {box.left, box.top, box.right, box.bottom});
  if (area.IsEmpty())
    return true;
  const uint32_t pixel = Premultiply(color);
  // Source-over with an opaque source leaves exactly the source.
  if (pixel >> 24 == 255 && Copy(target, area, pixel))
    return true;
  return Blend(target, area, pixel);
}

bool SolidFill::Blend(HDC target, const UiRect& area, uint32_t pixel) {
  if (!pixel_.Ensure(1, 1))
    return false;
  // GDI may still hold a blend from the previous colour in a batch.
  GdiFlush();
  *pixel_.pixels() = pixel;
  const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  return AlphaBlend(target, area.left, area.top, area.Width(), area.Height(), pixel_.dc(), 0, 0, 1,
                    1, blend) != FALSE;
}

bool SolidFill::Copy(HDC target, const UiRect& area, uint32_t pixel) {
  const bool fresh = !tile_.dc();
  if (!tile_.Ensure(kTileWidth, kTileHeight))
    return false;
  if (fresh || tile_color_ != pixel) {
    GdiFlush();
    std::fill_n(tile_.pixels(), kTileWidth * kTileHeight, pixel);
    tile_color_ = pixel;
  }
  // 64-bit steps: logical coordinates may lie close to the int32 limits.
  for (int64_t y = area.top; y < area.bottom; y += kTileHeight) {
    const auto height = static_cast<int>(std::min<int64_t>(kTileHeight, area.bottom - y));
    for (int64_t x = area.left; x < area.right; x += kTileWidth) {
      const auto width = static_cast<int>(std::min<int64_t>(kTileWidth, area.right - x));
      if (!BitBlt(target, static_cast<int>(x), static_cast<int>(y), width, height, tile_.dc(), 0, 0,
                  SRCCOPY)) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace ui
