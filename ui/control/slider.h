#pragma once

#include <cstdint>
#include <string>

#include "ui/control/progress.h"
#include "ui/control/state_image.h"

namespace ui {

// A progress bar with a thumb that the mouse drags, clicks and the wheel
// move; a release or a wheel notch raises "valuechange" (51). Dragging
// itself raises nothing. The thumb's hot image is shown while the mouse is
// over the slider.
class Slider : public Progress {
 public:
  Slider();

  // Control.
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintStateImage(IRenderContext* context) override;
  void ClearImageCache() override;
  bool HandleEvent(EventArgs* args) override;
  // Progress.
  UiRect GetProgressRect() override;

  // Window coordinates.
  UiRect GetThumbRect() const;
  int32_t GetChangeStep() const { return step_; }
  void SetChangeStep(int32_t step) { step_ = step; }
  UiSize GetThumbSize() const { return {thumb_width_, thumb_height_}; }
  void SetThumbSize(int32_t width, int32_t height);
  UiPadding GetProgressBarPadding() const { return progress_bar_padding_; }
  void SetProgressBarPadding(const UiPadding& padding);
  void SetThumbImage(ControlState state, const std::wstring& image);

 private:
  // The value the point stands for, from the full bounds.
  double ValueAt(UiPoint point) const;
  void RaiseValueChange();

  int32_t step_ = 1;
  int32_t thumb_width_ = 10;
  int32_t thumb_height_ = 10;
  StateImage thumb_images_;
  UiPadding progress_bar_padding_;
  ControlState thumb_state_ = ControlState::kNormal;
  std::wstring thumb_modifier_;
};

}  // namespace ui
