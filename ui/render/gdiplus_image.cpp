#include "ui/render/gdiplus_image.h"

#include "ui/render/gdiplus_api.h"

namespace ui {

GdiplusImage::~GdiplusImage() {
  gdip::GdipDisposeImage(image_);
}

// static
std::unique_ptr<GdiplusImage> GdiplusImage::Load(const std::wstring& path) {
  gdip::GpImage* image = nullptr;
  if (gdip::GdipLoadImageFromFile(path.c_str(), &image) != gdip::Ok || !image)
    return nullptr;
  return std::unique_ptr<GdiplusImage>(new GdiplusImage(image));
}

void GdiplusImage::Rotate(Turn turn) {
  gdip::GdipImageRotateFlip(image_, static_cast<gdip::RotateFlipType>(turn));
}

int GdiplusImage::Width() const {
  UINT width = 0;
  gdip::GdipGetImageWidth(image_, &width);
  return static_cast<int>(width);
}

int GdiplusImage::Height() const {
  UINT height = 0;
  gdip::GdipGetImageHeight(image_, &height);
  return static_cast<int>(height);
}

}  // namespace ui
