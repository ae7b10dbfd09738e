#include "ui/render/brush.h"

#include <utility>

namespace ui {

Brush_Gdiplus::Brush_Gdiplus(UiColor color) : color_(color) {
  gdip::GpSolidFill* solid = nullptr;
  Track(gdip::GdipCreateSolidFill(color, &solid));
  solid_ = solid;
}

Brush_Gdiplus::Brush_Gdiplus(HBITMAP bitmap) {
  MakeTexture(bitmap);
}

Brush_Gdiplus::Brush_Gdiplus(std::unique_ptr<IBitmap> bitmap) : bitmap_(std::move(bitmap)) {
  MakeTexture(bitmap_ ? bitmap_->Handle() : nullptr);
}

Brush_Gdiplus::~Brush_Gdiplus() {
  if (solid_)
    gdip::GdipDeleteBrush(solid_);
  if (texture_)
    gdip::GdipDeleteBrush(texture_);
}

std::unique_ptr<IBrush> Brush_Gdiplus::Clone() const {
  std::unique_ptr<Brush_Gdiplus> copy(new Brush_Gdiplus());
  copy->color_ = color_;
  if (solid_)
    copy->Track(gdip::GdipCloneBrush(solid_, &copy->solid_));
  if (texture_)
    copy->Track(gdip::GdipCloneBrush(texture_, &copy->texture_));
  return copy;
}

void Brush_Gdiplus::MakeTexture(HBITMAP bitmap) {
  if (!bitmap) {
    last_status_ = gdip::InvalidParameter;
    return;
  }
  gdip::GpBitmap* image = nullptr;
  Track(gdip::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image));
  if (!image)
    return;
  gdip::GpTexture* texture = nullptr;
  Track(gdip::GdipCreateTexture(image, gdip::WrapModeTile, &texture));
  texture_ = texture;
  // The texture keeps its own copy of the pixels.
  gdip::GdipDisposeImage(image);
}

void Brush_Gdiplus::Track(gdip::Status status) {
  if (status != gdip::Ok)
    last_status_ = status;
}

}  // namespace ui
