#pragma once

#include <windows.h>

#include <cstdint>

#include "base/callback/weak_callback.h"
#include "ui/render/geometry.h"

namespace ui {

// A 32-bit premultiplied-alpha pixel buffer (bytes blue, green, red, alpha;
// rows of width * 4 bytes). The virtual operations keep this order.
class IBitmap : public kbase::SupportWeakCallback {
 public:
  // Replaces any previous pixels. False (and no pixels) for a null device
  // context, a dimension that is not positive, or a failed allocation.
  virtual bool Init(HDC dc, int width, int height, bool flip) = 0;
  virtual void Clear() = 0;
  // Hands the section to the caller, who then owns it; the bitmap is empty.
  virtual HBITMAP Detach() = 0;
  virtual HBITMAP Handle() const = 0;
  virtual void* Pixels() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Sets every byte of the pixels of `rect` (clamped to the bitmap).
  virtual void ResetPixels(const UiRect& rect, uint8_t value) = 0;
  // Repairs the alpha that GDI drawing leaves at 0: pixels of `dirty` that
  // lie in the central cross left by `padding` get alpha 255, or 0 when
  // `marker` is not 0 and their alpha equals it. Colour bytes stay.
  virtual void FixAlpha(const UiRect& dirty, const UiPadding& padding, uint8_t marker) = 0;
};

// IBitmap over a GDI DIB section.
class GdiBitmap : public IBitmap {
 public:
  GdiBitmap() = default;
  ~GdiBitmap() override;

  bool Init(HDC dc, int width, int height, bool flip) override;
  void Clear() override;
  HBITMAP Detach() override;
  HBITMAP Handle() const override { return bitmap_; }
  void* Pixels() const override { return pixels_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void ResetPixels(const UiRect& rect, uint8_t value) override;
  void FixAlpha(const UiRect& dirty, const UiPadding& padding, uint8_t marker) override;

  // False for a section created bottom-up (the first memory row is the
  // image's last).
  bool top_down() const { return top_down_; }

 private:
  void Destroy();
  // The rows and columns of `rect` that exist; empty when none do.
  UiRect ClampToBitmap(const UiRect& rect) const;
  // Memory row of image row `y`: a bottom-up section stores the last row first.
  uint8_t* Row(int y) const;
  size_t ByteCount() const;

  HBITMAP bitmap_ = nullptr;
  uint8_t* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool top_down_ = true;
};

}  // namespace ui
