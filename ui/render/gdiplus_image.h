#pragma once

#include <memory>
#include <string>

// Forward declaration of the GDI+ flat API's image type.
namespace Gdiplus {
class GpImage;
}

namespace ui {

// An image decoded by GDI+ from a file and kept in GDI+'s own form, so that
// it can be turned and drawn rotated. For the few controls that draw such
// images; everything else shares decoded bitmaps through the image cache.
class GdiplusImage {
 public:
  // Quarter turns, as GDI+ numbers them.
  enum class Turn { kQuarter = 1, kHalf = 2, kThreeQuarters = 3 };

  ~GdiplusImage();
  GdiplusImage(const GdiplusImage&) = delete;
  GdiplusImage& operator=(const GdiplusImage&) = delete;

  // Null when the file cannot be opened or decoded.
  static std::unique_ptr<GdiplusImage> Load(const std::wstring& path);

  void Rotate(Turn turn);
  int Width() const;
  int Height() const;
  Gdiplus::GpImage* native() const { return image_; }

 private:
  explicit GdiplusImage(Gdiplus::GpImage* image) : image_(image) {}

  Gdiplus::GpImage* image_;
};

}  // namespace ui
