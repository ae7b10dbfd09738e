#include "ui/control/slider.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "ui/control/attribute_value.h"
#include "ui/control/control_host.h"

namespace ui {

namespace {

struct ThumbImage {
  const wchar_t* name;
  ControlState state;
};

constexpr ThumbImage kThumbImages[] = {
    {L"thumbnormalimage", ControlState::kNormal},
    {L"thumbhotimage", ControlState::kHot},
    {L"thumbpushedimage", ControlState::kPushed},
    {L"thumbdisabledimage", ControlState::kDisabled},
};

int32_t Truncate(double value) {
  return static_cast<int32_t>(std::clamp(value, -2147483648.0, 2147483647.0));
}

}  // namespace

Slider::Slider() : thumb_images_(this) {
  text_style_ = DT_CENTER | DT_SINGLELINE;
}

void Slider::SetThumbSize(UiSize size) {
  // A negative thumb would turn the track arithmetic inside out.
  thumb_width_ = std::max(size.cx, 0);
  thumb_height_ = std::max(size.cy, 0);
}

void Slider::SetProgressBarPadding(const UiPadding& padding) {
  progress_bar_padding_ = padding;
  RequestLayoutOrInvalidate();
}

void Slider::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"step") {
    step_ = attribute_value::ReadInt(value);
    return;
  }
  if (name == L"thumbsize") {
    SetThumbSize(attribute_value::ReadSize(value));
    return;
  }
  if (name == L"progressbarpadding") {
    SetProgressBarPadding(attribute_value::ReadPadding(value));
    return;
  }
  for (const ThumbImage& entry : kThumbImages) {
    if (name == entry.name) {
      thumb_images_.Get(entry.state).SetImageString(value);
      Invalidate();
      return;
    }
  }
  Progress::ApplyAttribute(name, value);
}

UiRect Slider::GetProgressRect() {
  UiRect rect = Progress::GetProgressRect();
  const double span = static_cast<double>(max_) - min_;
  if (span <= 0)
    return rect;
  if (horizontal_) {
    rect.right = Truncate((bounds_.Width() - thumb_width_) * (value_ - min_) / span +
                          thumb_width_ / 2 + 0.5);
  } else {
    rect.top = Truncate((max_ - value_) * (bounds_.Height() - thumb_height_) / span +
                        thumb_height_ / 2 + 0.5);
  }
  return rect;
}

UiRect Slider::GetThumbRect() const {
  const UiRect& b = bounds_;
  const double span = static_cast<double>(max_) - min_;
  const double ratio = span > 0 ? (value_ - min_) / span : 0;
  UiRect thumb;
  if (horizontal_) {
    thumb.left = Truncate((b.right - b.left - thumb_width_) * ratio + b.left);
    thumb.top = (b.bottom + b.top - thumb_height_) / 2;
  } else {
    thumb.left = (b.right + b.left - thumb_width_) / 2;
    thumb.top = Truncate((b.bottom - thumb_height_) - (b.bottom - thumb_height_ - b.top) * ratio);
  }
  thumb.right = thumb.left + thumb_width_;
  thumb.bottom = thumb.top + thumb_height_;
  return thumb;
}

double Slider::ValueAt(UiPoint point) const {
  const UiRect& b = bounds_;
  const double span = static_cast<double>(max_) - min_;
  if (horizontal_) {
    const int32_t half = thumb_width_ / 2;
    if (point.x >= b.right - half)
      return max_;
    if (point.x <= b.left + half)
      return min_;
    return min_ + (point.x - b.left - half) * span / (b.right - b.left - thumb_width_);
  }
  const int32_t half = thumb_height_ / 2;
  if (point.y >= b.bottom - half)
    return min_;
  if (point.y <= b.top + half)
    return max_;
  return min_ + (b.bottom - half - point.y) * span / (b.bottom - b.top - thumb_height_);
}

void Slider::PaintStateImage(IRenderContext* context) {
  const UiRect full = bounds_;
  bounds_ = full.Deflate(progress_bar_padding_);
  PaintBar(context);
  bounds_ = full;

  const UiRect thumb = GetThumbRect();
  wchar_t text[96];
  std::swprintf(text, std::size(text), L"destscale='false' dest='%d,%d,%d,%d'",
                thumb.left - full.left, thumb.top - full.top, thumb.right - full.left,
                thumb.bottom - full.top);
  thumb_modifier_ = text;
  ControlState tried = ControlState::kNormal;
  if (mouse_captured_)
    tried = ControlState::kPushed;
  else if (thumb_state_ == ControlState::kHot)
    tried = ControlState::kHot;
  if (!IsEnabled())
    tried = ControlState::kNormal;
  if (tried != ControlState::kNormal && thumb_images_.HasImage(tried) &&
      DrawImage(context, thumb_images_.Get(tried), thumb_modifier_)) {
    return;
  }
  if (thumb_images_.HasImage(ControlState::kNormal))
    DrawImage(context, thumb_images_.Get(ControlState::kNormal), thumb_modifier_);
}

void Slider::UpdateThumbHot(UiPoint point) {
  const ControlState state =
      GetThumbRect().Contains(point) ? ControlState::kHot : ControlState::kNormal;
  if (state == thumb_state_)
    return;
  thumb_state_ = state;
  Invalidate();
}

bool Slider::HandleEvent(EventArgs* args) {
  if (!mouse_enabled_ && IsMouseEvent(args->type)) {
    if (parent_)
      return ForwardToParent(args);
    return Progress::HandleEvent(args);
  }
  switch (args->type) {
    case kEventMouseButtonDown:
    case kEventInternalDoubleClick:
    case kEventPointerDown: {
      const UiPoint offset = GetScrollOffset();
      const UiPoint point = {args->mousePoint.x + offset.x, args->mousePoint.y + offset.y};
      if (IsEnabled() && GetThumbRect().Contains(point)) {
        mouse_captured_ = true;
        Invalidate();
      }
      return true;
    }
    case kEventMouseMove:
    case kEventPointerMove:
      if (mouse_captured_) {
        SetValue(ValueAt(args->mousePoint));
      } else {
        const UiPoint offset = GetScrollOffset();
        UpdateThumbHot({args->mousePoint.x + offset.x, args->mousePoint.y + offset.y});
      }
      return true;
    case kEventMouseButtonUp:
    case kEventPointerUp:
      mouse_captured_ = false;
      if (IsEnabled()) {
        const LivenessWatch watch(liveness_);
        value_ = ValueAt(args->mousePoint);
        SendEvent(kEventValueChange);
        if (!watch.IsDestroyed())
          Invalidate();
      }
      return true;
    case kEventMouseLeave:
      if (thumb_state_ != ControlState::kNormal) {
        thumb_state_ = ControlState::kNormal;
        Invalidate();
      }
      return Progress::HandleEvent(args);
    case kEventInternalMenu:
      return true;
    case kEventMouseScrollWheel: {
      // Not clamped here: the next painting corrects the value.
      const auto delta = static_cast<int32_t>(static_cast<intptr_t>(args->wParam));
      value_ += delta > 0 ? step_ : -static_cast<double>(step_);
      Invalidate();
      SendEvent(kEventValueChange);
      return true;
    }
    default:
      return Progress::HandleEvent(args);
  }
}

void Slider::ClearImageCache() {
  Progress::ClearImageCache();
  thumb_images_.ClearCache();
}

}  // namespace ui
