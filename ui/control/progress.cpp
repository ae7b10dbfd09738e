#include "ui/control/progress.h"

#include <cwchar>

#include "ui/control/attribute_value.h"
#include "ui/core/global_resources.h"
#include "ui/render/render_context.h"

namespace ui {

namespace {

constexpr int32_t kDefaultBarHeight = 12;

// "%d,%d,%d,%d" of a rectangle.
std::wstring RectText(const UiRect& rect) {
  wchar_t text[64] = {};
  swprintf(text, std::size(text), L"%d,%d,%d,%d", rect.left, rect.top, rect.right, rect.bottom);
  return text;
}

}  // namespace

Progress::Progress() {
  text_style_ = DT_CENTER | DT_SINGLELINE;
  fixed_height_ = kDefaultBarHeight;
}

void Progress::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"hor")
    SetHorizontal(attribute_value::ReadBool(value));
  else if (name == L"min")
    SetMinValue(attribute_value::ReadInt(value));
  else if (name == L"max")
    SetMaxValue(attribute_value::ReadInt(value));
  else if (name == L"value")
    SetValue(attribute_value::ReadInt(value));
  else if (name == L"progressimage")
    SetProgressImage(value);
  else if (name == L"isstretchfore")
    SetStretchForeImage(attribute_value::ReadBool(value));
  else if (name == L"progresscolor")
    SetProgressColor(attribute_value::SkipLeadingBlanks(value));
  else
    Label::ApplyAttribute(name, value);
}

void Progress::SetHorizontal(bool horizontal) {
  if (horizontal_ == horizontal)
    return;
  horizontal_ = horizontal;
  Invalidate();
}

void Progress::SetMinValue(int32_t min) {
  min_ = min;
  Invalidate();
}

void Progress::SetMaxValue(int32_t max) {
  max_ = max;
  Invalidate();
}

void Progress::SetValue(double value) {
  value_ = value;
  Invalidate();
}

void Progress::SetStretchForeImage(bool stretch) {
  if (stretch_fore_ == stretch)
    return;
  stretch_fore_ = stretch;
  Invalidate();
}

void Progress::SetProgressColor(const std::wstring& color_name) {
  if (progress_color_ == color_name)
    return;
  progress_color_ = color_name;
  Invalidate();
}

void Progress::SetProgressImage(const std::wstring& image) {
  progress_image_.SetImageString(image);
  Invalidate();
}

void Progress::Normalize() {
  // One more than the largest int32 does not fit: the range then ends one
  // below, so that it never wraps to a negative width.
  if (min_ >= max_) {
    if (min_ == INT32_MAX)
      min_ = INT32_MAX - 1;
    max_ = min_ + 1;
  }
  if (value_ > max_)
    value_ = max_;
  if (value_ < min_ || value_ != value_)
    value_ = min_;
}

UiRect Progress::GetProgressRect() {
  const double width = bounds_.Width();
  const double height = bounds_.Height();
  const double range = static_cast<double>(max_) - min_;
  if (horizontal_)
    return {0, 0, static_cast<int32_t>(width * (value_ - min_) / range), bounds_.Height()};
  return {0, static_cast<int32_t>((max_ - value_) * height / range), bounds_.Width(),
          bounds_.Height()};
}

void Progress::PaintStateImage(IRenderContext* context) {
  Normalize();
  const UiRect filled = GetProgressRect();
  if (!progress_color_.empty()) {
    if (const uint32_t color = GlobalResources::ColorByName(progress_color_)) {
      UiRect bar = bounds_;
      if (horizontal_)
        bar.right = bar.left + filled.right;
      else
        bar.top = bar.top + filled.top;
      context->FillColor(bar, color, 255);
    }
  }
  if (progress_image_.attributeString.empty())
    return;
  const std::wstring dest = RectText(filled);
  progress_modifier_ = L"destscale='false' dest='" + dest + L"'";
  if (!stretch_fore_)
    progress_modifier_ += L" source='" + dest + L"'";
  DrawImage(context, progress_image_, progress_modifier_);
}

void Progress::ClearImageCache() {
  Label::ClearImageCache();
  progress_image_.ReleaseImage();
}

}  // namespace ui
