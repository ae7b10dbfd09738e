#pragma once

#include <windows.h>

#include <memory>

#include "base/callback/weak_callback.h"
#include "ui/render/bitmap.h"
#include "ui/render/gdiplus_api.h"
#include "ui/render/geometry.h"

namespace ui {

// The virtual operations keep this order.
class IBrush : public kbase::SupportWeakCallback {
 public:
  virtual std::unique_ptr<IBrush> Clone() const = 0;
  virtual UiColor GetColor() const = 0;
  // The bitmap the brush owns, if it was made from one it owns.
  virtual IBitmap* GetBitmap() const = 0;
};

// IBrush over a GDI+ solid brush or a tiling texture brush.
class Brush_Gdiplus : public IBrush {
 public:
  explicit Brush_Gdiplus(UiColor color);
  // A texture brush from a copy of the bitmap's pixels; the bitmap itself
  // stays the caller's.
  explicit Brush_Gdiplus(HBITMAP bitmap);
  // A texture brush that keeps `bitmap` alive with it.
  explicit Brush_Gdiplus(std::unique_ptr<IBitmap> bitmap);
  ~Brush_Gdiplus() override;

  std::unique_ptr<IBrush> Clone() const override;
  UiColor GetColor() const override { return color_; }
  IBitmap* GetBitmap() const override { return bitmap_.get(); }

  gdip::GpBrush* solid_brush() const { return solid_; }
  gdip::GpBrush* texture_brush() const { return texture_; }
  // The solid brush if there is one, else the texture brush.
  gdip::GpBrush* fill_brush() const { return solid_ ? solid_ : texture_; }
  gdip::Status last_status() const { return last_status_; }

 private:
  Brush_Gdiplus() = default;
  void MakeTexture(HBITMAP bitmap);
  void Track(gdip::Status status);

  UiColor color_ = 0;
  std::unique_ptr<IBitmap> bitmap_;
  gdip::GpBrush* solid_ = nullptr;
  gdip::GpBrush* texture_ = nullptr;
  gdip::Status last_status_ = gdip::Ok;
};

}  // namespace ui
