#pragma once

#include <cstdint>
#include <string>

#include "ui/control/image_spec.h"
#include "ui/control/label.h"

namespace ui {

// A text label with a bar filled in proportion to a value between min and
// max. Values outside the range, and a range with min not below max, are
// corrected when the bar is painted, and the corrected values are kept.
// The virtual operations added here keep this order.
class Progress : public Label {
 public:
  Progress();

  // Control.
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintStateImage(IRenderContext* context) override;
  void ClearImageCache() override;

  // The filled part, relative to the control's top-left corner.
  virtual UiRect GetProgressRect();

  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool horizontal);
  int32_t GetMinValue() const { return min_; }
  void SetMinValue(int32_t min);
  int32_t GetMaxValue() const { return max_; }
  void SetMaxValue(int32_t max);
  double GetValue() const { return value_; }
  void SetValue(double value);
  bool IsStretchForeImage() const { return stretch_fore_; }
  void SetStretchForeImage(bool stretch);
  const std::wstring& GetProgressColor() const { return progress_color_; }
  // Stores and invalidates when it differs.
  void SetProgressColor(const std::wstring& color_name);
  void SetProgressImage(const std::wstring& image);

 protected:
  // Puts value, min and max back into a valid range.
  void Normalize();

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
