#pragma once

#include <cstdint>
#include <string>

#include "ui/control/image_spec.h"
#include "ui/control/label.h"

namespace ui {

// A label with a bar that fills in proportion to its value, from the left
// or from the bottom, with a colour and an image. The virtual operation
// added here follows the label's.
class Progress : public LabelTemplate<Control> {
 public:
  Progress();

  // The filled part relative to the control's top-left corner.
  virtual UiRect GetProgressRect();

  // Control.
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintStateImage(IRenderContext* context) override;
  void ClearImageCache() override;

  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool horizontal);
  int32_t GetMin() const { return min_; }
  void SetMin(int32_t min);
  int32_t GetMax() const { return max_; }
  void SetMax(int32_t max);
  double GetValue() const { return value_; }
  void SetValue(double value);
  void SetProgressImage(const std::wstring& image);
  void SetStretchFore(bool stretch);
  void SetProgressColor(const std::wstring& color_name);

 protected:
  // A minimum not below the maximum, or a value outside them, is corrected
  // here, and the corrected values stay.
  void NormaliseValues();
  // Paints the bar over the current bounds.
  void PaintBar(IRenderContext* context);

  bool horizontal_ = true;
  bool stretch_fore_ = true;
  int32_t max_ = 100;
  int32_t min_ = 0;
  double value_ = 0;
  ImageSpec progress_image_;
  std::wstring progress_color_;
  std::wstring progress_modifier_;
};

}  // namespace ui
