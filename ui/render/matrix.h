#pragma once

#include "base/callback/weak_callback.h"
#include "ui/render/gdiplus_api.h"
#include "ui/render/geometry.h"

namespace ui {

// An affine transform. Every operation is applied before the transform
// built so far (prepended). The virtual operations keep this order.
class IMatrix : public kbase::SupportWeakCallback {
 public:
  virtual void Translate(float dx, float dy) = 0;
  virtual void Scale(float sx, float sy) = 0;
  virtual void Rotate(float angle) = 0;
  virtual void RotateAt(float angle, const UiPoint& center) = 0;
};

class Matrix_Gdiplus : public IMatrix {
 public:
  Matrix_Gdiplus();
  ~Matrix_Gdiplus() override;

  void Translate(float dx, float dy) override;
  void Scale(float sx, float sy) override;
  void Rotate(float angle) override;
  void RotateAt(float angle, const UiPoint& center) override;

  gdip::GpMatrix* native() const { return matrix_; }
  gdip::Status last_status() const { return last_status_; }

 private:
  void Track(gdip::Status status);

  gdip::GpMatrix* matrix_ = nullptr;
  gdip::Status last_status_ = gdip::Ok;
};

}  // namespace ui
