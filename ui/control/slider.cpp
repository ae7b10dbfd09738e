#include "ui/control/slider.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "ui/control/attribute_value.h"

namespace ui {

namespace {

struct ThumbImageAttribute {
  const wchar_t* name;
  ControlState state;
};

constexpr ThumbImageAttribute kThumbImageAttributes[] = {
    {L"thumbnormalimage", ControlState::kNormal},
    {L"thumbhotimage", ControlState::kHot},
    {L"thumbpushedimage", ControlState::kPushed},
    {L"thumbdisabledimage", ControlState::kDisabled},
};

}  // namespace

Slider::Slider() : thumb_images_(this) {}

void Slider::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  for (const ThumbImageAttribute& entry : kThumbImageAttributes) {
    if (name == entry.name) {
      SetThumbImage(entry.state, value);
      return;
    }
  }
  if (name == L"step") {
    SetChangeStep(attribute_value::ReadInt(value));
  } else if (name == L"thumbsize") {
    const UiSize size = attribute_value::ReadSize(value);
    SetThumbSize(size.cx, size.cy);
  } else if (name == L"progressbarpadding") {
    SetProgressBarPadding(attribute_value::ReadPadding(value));
  } else {
    Progress::ApplyAttribute(name, value);
  }
}

void Slider::SetThumbSize(int32_t width, int32_t height) {
  thumb_width_ = width;
  thumb_height_ = height;
}

void Slider::SetProgressBarPadding(const UiPadding& padding) {
  progress_bar_padding_ = padding;
  if (fixed_width_ == kAuto || fixed_height_ == kAuto)
    RequestAncestorLayout();
  else
    Invalidate();
}

void Slider::SetThumbImage(ControlState state, const std::wstring& image) {
  thumb_images_.Get(state).SetImageString(image);
  Invalidate();
}

UiRect Slider::GetProgressRect() {
  UiRect filled = Progress::GetProgressRect();
  const double range = static_cast<double>(max_) - min_;
  if (horizontal_) {
    filled.right = static_cast<int32_t>(static_cast<double>(bounds_.Width() - thumb_width_) *
                                            (value_ - min_) / range +
                                        thumb_width_ / 2 + 0.5);
  } else {
    filled.top = static_cast<int32_t>(
        (max_ - value_) * static_cast<double>(bounds_.Height() - thumb_height_) / range +
        thumb_height_ / 2 + 0.5);
  }
  return filled;
}

UiRect Slider::GetThumbRect() const {
  const UiRect& b = bounds_;
  // Before painting corrects them, the range may be empty and the value
  // outside it; the thumb then stays within the bounds.
  const double range = static_cast<double>(max_) - min_;
  const double share = range > 0 ? std::clamp((value_ - min_) / range, 0.0, 1.0) : 0.0;
  UiRect thumb;
  if (horizontal_) {
    thumb.left =
        static_cast<int32_t>(static_cast<double>(b.right - b.left - thumb_width_) * share) + b.left;
    thumb.top = (b.bottom + b.top - thumb_height_) / 2;
  } else {
    thumb.left = (b.right + b.left - thumb_width_) / 2;
    thumb.top = (b.bottom - thumb_height_) -
                static_cast<int32_t>(static_cast<double>(b.bottom - thumb_height_ - b.top) * share);
  }
  thumb.right = thumb.left + thumb_width_;
  thumb.bottom = thumb.top + thumb_height_;
  return thumb;
}

double Slider::ValueAt(UiPoint point) const {
  const UiRect& b = bounds_;
  const double range = static_cast<double>(max_) - min_;
  if (horizontal_) {
    const int32_t half = thumb_width_ / 2;
    if (point.x >= b.right - half)
      return max_;
    if (point.x <= b.left + half)
      return min_;
    return min_ + static_cast<double>(point.x - b.left - half) * range /
                      static_cast<double>(b.right - b.left - thumb_width_);
  }
  const int32_t half = thumb_height_ / 2;
  if (point.y >= b.bottom - half)
    return min_;
  if (point.y <= b.top + half)
    return max_;
  return min_ + static_cast<double>(b.bottom - half - point.y) * range /
                    static_cast<double>(b.bottom - b.top - thumb_height_);
}

void Slider::PaintStateImage(IRenderContext* context) {
  const UiRect full = bounds_;
  bounds_ = {full.left + progress_bar_padding_.left, full.top + progress_bar_padding_.top,
             full.right - progress_bar_padding_.right, full.bottom - progress_bar_padding_.bottom};
  Progress::PaintStateImage(context);
  bounds_ = full;

  const UiRect dest = GetThumbRect().Offset(-full.left, -full.top);
  wchar_t text[96] = {};
  swprintf(text, std::size(text), L"destscale='false' dest='%d,%d,%d,%d'", dest.left, dest.top,
           dest.right, dest.bottom);
  thumb_modifier_ = text;
  if (IsEnabled()) {
    ControlState tried = ControlState::kNormal;
    if (IsMouseCaptured())
      tried = ControlState::kPushed;
    else if (thumb_state_ == ControlState::kHot)
      tried = ControlState::kHot;
    if (tried != ControlState::kNormal && thumb_images_.HasImage(tried) &&
        DrawImage(context, thumb_images_.Get(tried), thumb_modifier_)) {
      return;
    }
  }
  if (thumb_images_.HasImage(ControlState::kNormal))
    DrawImage(context, thumb_images_.Get(ControlState::kNormal), thumb_modifier_);
}

void Slider::ClearImageCache() {
  Progress::ClearImageCache();
  thumb_images_.ClearCache();
}

void Slider::RaiseValueChange() {
  if (window_)
    SendEvent(kEventValueChange);
}

bool Slider::HandleEvent(EventArgs* args) {
  if (!IsMouseEnabled() && IsMouseEvent(args->type))
    return ForwardToParent(args);
  switch (args->type) {
    case kEventMouseButtonDown:
    case kEventInternalDoubleClick:
    case kEventPointerDown: {
      if (IsEnabled()) {
        const UiPoint offset = GetScrollOffset();
        const UiPoint point{args->mousePoint.x + offset.x, args->mousePoint.y + offset.y};
        const UiRect thumb = GetThumbRect();
        if (point.x >= thumb.left && point.x < thumb.right && point.y >= thumb.top &&
            point.y < thumb.bottom) {
          SetMouseCaptured(true);
        }
      }
      return true;
    }
    case kEventMouseMove:
    case kEventPointerMove:
      if (IsMouseCaptured()) {
        value_ = ValueAt(args->mousePoint);
        Invalidate();
      }
      return true;
    case kEventMouseButtonUp:
    case kEventPointerUp:
      if (IsMouseCaptured())
        SetMouseCaptured(false);
      if (IsEnabled()) {
        value_ = ValueAt(args->mousePoint);
        RaiseValueChange();
        Invalidate();
      }
      return true;
    case kEventInternalMenu:
      return true;
    case kEventMouseScrollWheel:
      value_ += static_cast<intptr_t>(args->wParam) > 0 ? step_ : -step_;
      Invalidate();
      RaiseValueChange();
      return true;
    case kEventMouseEnter:
      thumb_state_ = ControlState::kHot;
      Invalidate();
      break;
    case kEventMouseLeave:
      thumb_state_ = ControlState::kNormal;
      Invalidate();
      break;
    default:
      break;
  }
  return Progress::HandleEvent(args);
}

}  // namespace ui
