#include "ui/render/matrix.h"

namespace ui {

Matrix_Gdiplus::Matrix_Gdiplus() {
  Track(gdip::GdipCreateMatrix(&matrix_));
}

Matrix_Gdiplus::~Matrix_Gdiplus() {
  if (matrix_)
    gdip::GdipDeleteMatrix(matrix_);
}

void Matrix_Gdiplus::Translate(float dx, float dy) {
  Track(gdip::GdipTranslateMatrix(matrix_, dx, dy, gdip::MatrixOrderPrepend));
}

void Matrix_Gdiplus::Scale(float sx, float sy) {
  Track(gdip::GdipScaleMatrix(matrix_, sx, sy, gdip::MatrixOrderPrepend));
}

void Matrix_Gdiplus::Rotate(float angle) {
  Track(gdip::GdipRotateMatrix(matrix_, angle, gdip::MatrixOrderPrepend));
}

void Matrix_Gdiplus::RotateAt(float angle, const UiPoint& center) {
  const auto cx = static_cast<float>(center.x);
  const auto cy = static_cast<float>(center.y);
  Translate(cx, cy);
  Rotate(angle);
  Translate(-cx, -cy);
}

void Matrix_Gdiplus::Track(gdip::Status status) {
  if (status != gdip::Ok)
    last_status_ = status;
}

}  // namespace ui
