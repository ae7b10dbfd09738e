#include "ui/control/circle_progress.h"

#include <windows.h>

#include <algorithm>

#include "ui/control/attribute_value.h"
#include "ui/control/control_host.h"
#include "ui/core/global_resources.h"
#include "ui/render/arc_stroke.h"
#include "ui/render/gdiplus_image.h"
#include "ui/render/render_context.h"

namespace ui {

namespace {

constexpr float kTop = 270.0f;

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

uint32_t ColorOf(const std::wstring& value) {
  return GlobalResources::ColorByName(attribute_value::SkipLeadingBlanks(value));
}

}  // namespace

CircleProgress::CircleProgress() = default;

CircleProgress::~CircleProgress() = default;

void CircleProgress::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"circular") {
    SetCircular(attribute_value::ReadBool(value));
  } else if (name == L"circlewidth") {
    SetCircleWidth(attribute_value::ReadInt(value));
  } else if (name == L"indicator") {
    SetIndicator(value);
  } else if (name == L"clockwise") {
    SetClockwise(attribute_value::ReadBool(value));
  } else if (name == L"bgcolor") {
    background_color_ = ColorOf(value);
    Invalidate();
  } else if (name == L"fgcolor") {
    foreground_color_ = ColorOf(value);
    Invalidate();
  } else if (name == L"gradientcolor") {
    gradient_color_ = ColorOf(value);
    Invalidate();
  } else {
    Progress::ApplyAttribute(name, value);
  }
}

void CircleProgress::SetCircular(bool circular) {
  circular_ = circular;
  Invalidate();
}

void CircleProgress::SetClockwise(bool clockwise) {
  if (clockwise == clockwise_)
    return;
  clockwise_ = clockwise;
  if (indicator_)
    indicator_->Rotate(GdiplusImage::Turn::kHalf);
}

void CircleProgress::SetCircleWidth(int32_t width) {
  circle_width_ = width;
  Invalidate();
}

void CircleProgress::SetIndicator(const std::wstring& path) {
  if (path == indicator_path_)
    return;
  indicator_path_ = path;
  indicator_.reset();
  std::wstring candidate = path;
  if (!FileExists(candidate)) {
    candidate = GlobalResources::ResourceFolder() + (window_ ? window_->SkinFolder() : L"") + path;
  }
  if (path.empty() || !FileExists(candidate))
    return;
  indicator_ = GdiplusImage::Load(candidate);
  if (!indicator_)
    return;
  indicator_->Rotate(clockwise_ ? GdiplusImage::Turn::kQuarter
                                : GdiplusImage::Turn::kThreeQuarters);
  Invalidate();
}

void CircleProgress::PaintStateImage(IRenderContext* context) {
  Progress::PaintStateImage(context);
  if (!circular_)
    return;
  const UiRect& b = bounds_;
  const int32_t cx = b.left + (b.right - b.left) / 2;
  const int32_t cy = b.top + (b.bottom - b.top) / 2;
  const int32_t side = std::min(b.Width(), b.Height());
  const UiRect square{cx - side / 2, cy - side / 2, cx - side / 2 + side, cy - side / 2 + side};

  const float inset = indicator_ ? static_cast<float>(indicator_->Width()) / 2.0f
                                 : static_cast<float>(circle_width_) * 0.5f;
  ArcStroke arc;
  arc.x = static_cast<float>(square.left) + inset + 1;
  arc.y = static_cast<float>(square.top) + inset + 1;
  arc.width = arc.height = static_cast<float>(side) - 2 * inset - 2;
  arc.pen_width = circle_width_;

  // Normalised by the progress's painting above.
  const double share = (value_ - min_) / (static_cast<double>(max_) - min_);
  const auto sweep = static_cast<float>((clockwise_ ? 1 : -1) * 360.0 * share);

  arc.start_angle = kTop;
  arc.sweep_angle = 360.0f;
  arc.color = background_color_;
  context->DrawArc(arc);

  arc.sweep_angle = sweep;
  arc.color = foreground_color_;
  arc.gradient_color = gradient_color_;
  arc.gradient_box = square;
  context->DrawArc(arc);

  if (indicator_) {
    const int32_t width = indicator_->Width();
    const int32_t height = indicator_->Height();
    const int32_t x = cx - width / 2;
    const int32_t y = static_cast<int32_t>(arc.y) - height / 2;
    context->DrawRotatedImage(*indicator_, {x, y, x + width, y + height}, {cx, cy}, sweep);
  }
}

void CircleProgress::ClearImageCache() {
  Progress::ClearImageCache();
  indicator_.reset();
}

}  // namespace ui
