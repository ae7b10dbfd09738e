#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/control/progress.h"

namespace ui {

class GdiplusImage;

// A progress that also draws its value as an arc growing from the top of a
// circle, with an optional indicator image riding on the arc's end. The
// colours are resolved when their attributes are applied, so a later change
// of the colour table does not affect them.
class CircleProgress : public Progress {
 public:
  CircleProgress();
  ~CircleProgress() override;

  // Control.
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintStateImage(IRenderContext* context) override;
  void ClearImageCache() override;

  bool IsCircular() const { return circular_; }
  void SetCircular(bool circular);
  bool IsClockwise() const { return clockwise_; }
  // Turns an existing indicator half round; repaints nothing.
  void SetClockwise(bool clockwise);
  void SetCircleWidth(int32_t width);
  // A path with no file, as given or below the window's skin folder, or one
  // that does not decode, leaves no indicator.
  void SetIndicator(const std::wstring& path);
  bool HasIndicator() const { return indicator_ != nullptr; }

 private:
  bool circular_ = true;
  bool clockwise_ = true;
  int32_t circle_width_ = 1;
  uint32_t background_color_ = 0;
  uint32_t foreground_color_ = 0;
  uint32_t gradient_color_ = 0;
  std::unique_ptr<GdiplusImage> indicator_;
  std::wstring indicator_path_;
};

}  // namespace ui
