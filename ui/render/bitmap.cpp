#include "ui/render/bitmap.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace ui {
namespace {

constexpr size_t kBytesPerPixel = 4;

// Sections are addressed with signed 32-bit byte counts by GDI; anything
// larger cannot be described to it (and would overflow the header).
bool SizeFitsSection(int width, int height) {
  const uint64_t bytes =
      uint64_t{static_cast<uint32_t>(width)} * static_cast<uint32_t>(height) * kBytesPerPixel;
  return bytes <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
}

}  // namespace

GdiBitmap::~GdiBitmap() {
  Destroy();
}

bool GdiBitmap::Init(HDC dc, int width, int height, bool flip) {
  Destroy();
  if (!dc || width <= 0 || height <= 0 || !SizeFitsSection(width, height))
    return false;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = flip ? -height : height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;

  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!section || !bits) {
    if (section)
      DeleteObject(section);
    return false;
  }
  bitmap_ = section;
  pixels_ = static_cast<uint8_t*>(bits);
  width_ = width;
  height_ = height;
  top_down_ = flip;
  return true;
}

void GdiBitmap::Clear() {
  if (pixels_)
    std::memset(pixels_, 0, ByteCount());
}

HBITMAP GdiBitmap::Detach() {
  HBITMAP section = bitmap_;
  bitmap_ = nullptr;
  pixels_ = nullptr;
  width_ = 0;
  height_ = 0;
  return section;
}

void GdiBitmap::ResetPixels(const UiRect& rect, uint8_t value) {
  const UiRect area = ClampToBitmap(rect);
  if (area.IsEmpty())
    return;
  const size_t offset = static_cast<size_t>(area.left) * kBytesPerPixel;
  const size_t count = static_cast<size_t>(area.Width()) * kBytesPerPixel;
  for (int y = area.top; y < area.bottom; ++y)
    std::memset(Row(y) + offset, value, count);
}

void GdiBitmap::FixAlpha(const UiRect& dirty, const UiPadding& padding, uint8_t marker) {
  const UiRect area = ClampToBitmap(dirty);
  if (area.IsEmpty())
    return;
  // Columns that belong to the vertical bar of the cross.
  const int bar_left = std::max(area.left, padding.left);
  const int bar_right =
      static_cast<int>(std::min<int64_t>(area.right, int64_t{width_} - padding.right));
  for (int y = area.top; y < area.bottom; ++y) {
    const bool in_horizontal_bar =
        y >= padding.top && int64_t{y} < int64_t{height_} - padding.bottom;
    const int from = in_horizontal_bar ? area.left : bar_left;
    const int to = in_horizontal_bar ? area.right : bar_right;
    uint8_t* pixel = Row(y) + static_cast<size_t>(from) * kBytesPerPixel;
    for (int x = from; x < to; ++x, pixel += kBytesPerPixel) {
      uint8_t& alpha = pixel[3];
      alpha = (marker != 0 && alpha == marker) ? 0 : 255;
    }
  }
}

void GdiBitmap::Destroy() {
  if (bitmap_)
    DeleteObject(bitmap_);
  Detach();
}

UiRect GdiBitmap::ClampToBitmap(const UiRect& rect) const {
  if (!pixels_)
    return {};
  return UiRect::Intersection(rect, UiRect{0, 0, width_, height_});
}

uint8_t* GdiBitmap::Row(int y) const {
  const int memory_row = top_down_ ? y : height_ - 1 - y;
  return pixels_ + static_cast<size_t>(memory_row) * static_cast<size_t>(width_) * kBytesPerPixel;
}

size_t GdiBitmap::ByteCount() const {
  return static_cast<size_t>(width_) * static_cast<size_t>(height_) * kBytesPerPixel;
}

}  // namespace ui
