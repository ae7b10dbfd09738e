#include "ui/control/progress.h"

#include <windows.h>

#include <cmath>
#include <cwchar>
#include <iterator>

#include "ui/control/attribute_value.h"
#include "ui/core/global_resources.h"
#include "ui/render/render_context.h"

namespace ui {

Progress::Progress() {
  text_style_ = DT_CENTER | DT_SINGLELINE;
  SetFixedHeight(12);
}

void Progress::SetHorizontal(bool horizontal) {
  if (horizontal == horizontal_)
    return;
  horizontal_ = horizontal;
  Invalidate();
}

void Progress::SetMin(int32_t min) {
  min_ = min;
  Invalidate();
}

void Progress::SetMax(int32_t max) {
  max_ = max;
  Invalidate();
}

void Progress::SetValue(double value) {
  value_ = value;
  Invalidate();
}

void Progress::SetProgressImage(const std::wstring& image) {
  progress_image_.SetImageString(image);
  Invalidate();
}

void Progress::SetStretchFore(bool stretch) {
  if (stretch == stretch_fore_)
    return;
  stretch_fore_ = stretch;
  Invalidate();
}

void Progress::SetProgressColor(const std::wstring& color_name) {
  if (color_name == progress_color_)
    return;
  progress_color_ = color_name;
  Invalidate();
}

void Progress::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  using attribute_value::ReadBool;
  using attribute_value::ReadInt;
  if (name == L"hor")
    SetHorizontal(ReadBool(value));
  else if (name == L"min")
    SetMin(ReadInt(value));
  else if (name == L"max")
    SetMax(ReadInt(value));
  else if (name == L"value")
    SetValue(ReadInt(value));
  else if (name == L"progressimage")
    SetProgressImage(value);
  else if (name == L"isstretchfore")
    SetStretchFore(ReadBool(value));
  else if (name == L"progresscolor")
    SetProgressColor(attribute_value::SkipLeadingBlanks(value));
  else
    LabelTemplate<Control>::ApplyAttribute(name, value);
}

void Progress::NormaliseValues() {
  // A maximum of INT32_MAX cannot be raised above an equal minimum.
  if (min_ >= max_) {
    if (min_ == INT32_MAX)
      --min_;
    max_ = min_ + 1;
  }
  if (!(value_ <= max_))  // also catches a value that is not a number
    value_ = value_ > max_ ? max_ : min_;
  if (value_ < min_)
    value_ = min_;
}

UiRect Progress::GetProgressRect() {
  const double width = bounds_.Width();
  const double height = bounds_.Height();
  const double span = static_cast<double>(max_) - min_;
  if (span <= 0)
    return {};
  if (horizontal_)
    return {0, 0, static_cast<int32_t>(width * (value_ - min_) / span), bounds_.Height()};
  return {0, static_cast<int32_t>((max_ - value_) * height / span), bounds_.Width(),
          bounds_.Height()};
}

void Progress::PaintBar(IRenderContext* context) {
  NormaliseValues();
  const UiRect filled = GetProgressRect();
  if (!progress_color_.empty()) {
    const UiColor color = GlobalResources::ColorByName(progress_color_);
    if (color != 0) {
      UiRect rect = bounds_;
      if (horizontal_)
        rect.right = rect.left + filled.right;
      else
        rect.top = rect.top + filled.top;
      context->FillColor(rect, color, 255);
    }
  }
  if (progress_image_.attributeString.empty())
    return;
  wchar_t text[160];
  if (stretch_fore_) {
    std::swprintf(text, std::size(text), L"destscale='false' dest='%d,%d,%d,%d'", filled.left,
                  filled.top, filled.right, filled.bottom);
  } else {
    std::swprintf(text, std::size(text),
                  L"destscale='false' dest='%d,%d,%d,%d' source='%d,%d,%d,%d'", filled.left,
                  filled.top, filled.right, filled.bottom, filled.left, filled.top, filled.right,
                  filled.bottom);
  }
  progress_modifier_ = text;
  DrawImage(context, progress_image_, progress_modifier_);
}

void Progress::PaintStateImage(IRenderContext* context) {
  PaintBar(context);
}

void Progress::ClearImageCache() {
  LabelTemplate<Control>::ClearImageCache();
  progress_image_.ReleaseImage();
}

}  // namespace ui
