#pragma once

#include <string>

#include "ui/control/box.h"
#include "ui/control/control.h"

namespace ui::test {

// A control of fixed size; kStretch and kAuto may be given too.
inline Control* MakeControl(int32_t width, int32_t height) {
  auto* control = new Control;
  control->SetFixedWidth(width);
  control->SetFixedHeight(height);
  return control;
}

inline Control* MakeStretch() {
  return new Control;
}

template <typename BoxType = Box>
BoxType* MakeBox(int32_t width = kStretch, int32_t height = kStretch) {
  auto* box = new BoxType;
  box->SetFixedWidth(width);
  box->SetFixedHeight(height);
  return box;
}

// Text that wraps: |length| pixels of text in lines 10 pixels high; with
// a fixed width the lines break at that width.
class TextControl : public Control {
 public:
  explicit TextControl(int32_t length) : length_(length) {}

  UiSize MeasureText(UiSize /*available*/, bool* /*needs_measure*/) override {
    ++measure_count_;
    if (fixed_width_ > 0)
      return {fixed_width_, (length_ + fixed_width_ - 1) / fixed_width_ * 10};
    return {length_, 10};
  }

  void set_length(int32_t length) { length_ = length; }
  int measure_count() const { return measure_count_; }

 private:
  int32_t length_;
  int measure_count_ = 0;
};

// Counts activations (a button's click).
class ActivatableControl : public Control {
 public:
  void Activate() override { ++activations_; }
  int activations() const { return activations_; }

 private:
  int activations_ = 0;
};

}  // namespace ui::test
