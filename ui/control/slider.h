#pragma once

#include <cstdint>
#include <string>

#include "ui/control/progress.h"
#include "ui/control/state_image.h"

namespace ui {

// A progress bar with a thumb: dragging the thumb moves the value, a
// release sets the value at the release point and the wheel steps it;
// releases and wheel steps raise "valuechange".
class Slider : public Progress {
 public:
  Slider();

  // Progress and Control.
  UiRect GetProgressRect() override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintStateImage(IRenderContext* context) override;
  bool HandleEvent(EventArgs* args) override;
  void ClearImageCache() override;

  // Window coordinates.
  UiRect GetThumbRect() const;
  void SetThumbSize(UiSize size);
  void SetProgressBarPadding(const UiPadding& padding);
  int32_t GetStep() const { return step_; }
  ControlState GetThumbState() const { return thumb_state_; }

 private:
  // The value the thumb would show at |point|.
  double ValueAt(UiPoint point) const;
  void UpdateThumbHot(UiPoint point);

  int32_t step_ = 1;
  int32_t thumb_width_ = 10;
  int32_t thumb_height_ = 10;
  StateImage thumb_images_;
  UiPadding progress_bar_padding_;
  ControlState thumb_state_ = ControlState::kNormal;
  std::wstring thumb_modifier_;
};

}  // namespace ui
