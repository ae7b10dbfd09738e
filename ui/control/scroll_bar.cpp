#include "ui/control/scroll_bar.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "ui/control/attribute_value.h"
#include "ui/control/control_host.h"
#include "ui/control/scrollable_box.h"
#include "ui/core/timer_queue.h"
#include "ui/render/render_context.h"

namespace ui {

namespace {

struct StateName {
  const wchar_t* suffix;
  ControlState state;
};

constexpr StateName kStateNames[] = {
    {L"normalimage", ControlState::kNormal},
    {L"hotimage", ControlState::kHot},
    {L"pushedimage", ControlState::kPushed},
    {L"disabledimage", ControlState::kDisabled},
};

int64_t ClampPos(int64_t pos, int64_t range) {
  return std::clamp<int64_t>(pos, 0, range);
}

}  // namespace

ScrollBar::ScrollBar()
    : bk_images_(this),
      button1_images_(this),
      button2_images_(this),
      thumb_images_(this),
      rail_images_(this) {
  is_float_ = true;
  fixed_width_ = kDefaultThickness;
  fixed_height_ = 0;
  release_on_focus_loss_ = true;
}

ScrollBar::~ScrollBar() = default;

int32_t ScrollBar::Thickness() const {
  return std::max(horizontal_ ? fixed_height_ : fixed_width_, 0);
}

void ScrollBar::SetBounds(const UiRect& rect) {
  Control::SetBounds(rect);
  ComputeParts();
}

void ScrollBar::ComputeParts() {
  const UiRect& b = bounds_;
  const int64_t length = horizontal_ ? b.Width() : b.Height();
  int64_t size = Thickness();
  int64_t available = length;
  if (show_button1_)
    available -= size;
  if (show_button2_)
    available -= size;

  // Works along the bar's direction as (start, end) and maps back.
  auto make = [&](int64_t start, int64_t end) -> UiRect {
    const int32_t s = static_cast<int32_t>(start);
    const int32_t e = static_cast<int32_t>(end);
    const int32_t across = static_cast<int32_t>(size);
    return horizontal_ ? UiRect{s, b.top, e, b.top + across}
                       : UiRect{b.left, s, b.left + across, e};
  };
  const int64_t first = horizontal_ ? b.left : b.top;
  const int64_t last = horizontal_ ? b.right : b.bottom;

  const bool room = size < available;
  if (!room)
    size = length / 2;
  button1_rect_ = show_button1_ ? make(first, first + size) : make(first, first);
  button2_rect_ = show_button2_ ? make(last - size, last) : make(last, last);
  if (!room) {
    thumb_rect_ = UiRect();
    return;
  }
  const int64_t track_start = show_button1_ ? first + size : first;
  const int64_t track_end = show_button2_ ? last - size : last;
  if (range_ == 0) {
    thumb_rect_ = make(track_start, track_end);
    return;
  }
  int64_t thumb = std::max<int64_t>(length * available / (length + range_), thumb_min_length_);
  thumb = std::min(thumb, available);
  const double ratio = static_cast<double>(scroll_pos_) / static_cast<double>(range_);
  const int64_t offset = static_cast<int64_t>(static_cast<double>(available - thumb) * ratio);
  int64_t start = track_start + offset;
  if (start + thumb > track_end)
    start = track_end - thumb;
  thumb_rect_ = make(start, start + thumb);
}

void ScrollBar::SetVisible(bool visible) {
  if (visible == visible_)
    return;
  // The area it leaves must be painted again; a bar lays out only itself.
  if (!visible)
    Invalidate();
  visible_ = visible;
  focused_ = false;
  if (!visible)
    DropFocusIfFocused();
  RequestSelfLayout();
}

void ScrollBar::SetEnabled(bool enabled) {
  Control::SetEnabled(enabled);
  SetPartStates(enabled ? ControlState::kNormal : ControlState::kDisabled);
  Invalidate();
}

void ScrollBar::SetFocus() {
  if (owner_)
    owner_->SetFocus();
  else
    Control::SetFocus();
}

int32_t ScrollBar::GetTabFlags() const {
  // Tab moves between what a user types into, never onto a scroll bar.
  return 0;
}

bool ScrollBar::HasHotState() {
  return true;
}

void ScrollBar::SetPartStates(ControlState state) {
  button1_state_ = state;
  button2_state_ = state;
  thumb_state_ = state;
}

void ScrollBar::SetScrollRange(int64_t range) {
  range = std::clamp<int64_t>(range, 0, kMaxRange);
  if (range == range_)
    return;
  range_ = range;
  scroll_pos_ = std::min(scroll_pos_, range_);
  // A bar standing alone has no owner to show it on hovering: it shows
  // with its range whether it hides automatically or not.
  if (range_ == 0)
    SetVisible(false);
  else if (!visible_ && (!auto_hide_ || !owner_))
    SetFadeVisible(true);
  ComputeParts();
  Invalidate();
}

void ScrollBar::SetBarPos(int64_t pos) {
  pos = ClampPos(pos, range_);
  if (pos == scroll_pos_)
    return;
  scroll_pos_ = pos;
  ComputeParts();
  Invalidate();
}

void ScrollBar::SetHorizontal(bool horizontal) {
  if (horizontal == horizontal_)
    return;
  horizontal_ = horizontal;
  if (horizontal_ && fixed_height_ == 0) {
    fixed_width_ = 0;
    fixed_height_ = kDefaultThickness;
  } else if (!horizontal_ && fixed_width_ == 0) {
    fixed_width_ = kDefaultThickness;
    fixed_height_ = 0;
  }
  if (owner_)
    owner_->RequestLayout();
  else
    RequestAncestorLayout();
}

void ScrollBar::SetThumbMinLength(int32_t length) {
  thumb_min_length_ = std::max(length, 0);
  ComputeParts();
  Invalidate();
}

StateImage* ScrollBar::ImageSetByPrefix(const std::wstring& name, std::wstring* state_name) {
  struct Prefix {
    const wchar_t* text;
    StateImage* set;
  };
  const Prefix prefixes[] = {{L"button1", &button1_images_},
                             {L"button2", &button2_images_},
                             {L"thumb", &thumb_images_},
                             {L"rail", &rail_images_},
                             {L"bk", &bk_images_}};
  for (const Prefix& prefix : prefixes) {
    const size_t length = std::wcslen(prefix.text);
    if (name.compare(0, length, prefix.text) == 0) {
      *state_name = name.substr(length);
      return prefix.set;
    }
  }
  return nullptr;
}

void ScrollBar::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  using attribute_value::ReadBool;
  using attribute_value::ReadInt;
  std::wstring state_name;
  if (StateImage* set = ImageSetByPrefix(name, &state_name)) {
    for (const StateName& entry : kStateNames) {
      if (state_name == entry.suffix) {
        set->Get(entry.state).SetImageString(value);
        Invalidate();
        return;
      }
    }
  }
  if (name == L"hor") {
    SetHorizontal(ReadBool(value));
  } else if (name == L"linesize") {
    SetLineSize(ReadInt(value));
  } else if (name == L"thumbminlength") {
    SetThumbMinLength(ReadInt(value));
  } else if (name == L"range") {
    SetScrollRange(ReadInt(value));
  } else if (name == L"value") {
    SetBarPos(ReadInt(value));
  } else if (name == L"showbutton1") {
    show_button1_ = ReadBool(value);
    ComputeParts();
  } else if (name == L"showbutton2") {
    show_button2_ = ReadBool(value);
    ComputeParts();
  } else if (name == L"autohidescroll") {
    SetAutoHide(ReadBool(value));
  } else {
    Control::ApplyAttribute(name, value);
  }
}

void ScrollBar::ClearImageCache() {
  Control::ClearImageCache();
  for (StateImage* set :
       {&bk_images_, &button1_images_, &button2_images_, &thumb_images_, &rail_images_}) {
    set->ClearCache();
  }
}

// Painting -----------------------------------------------------------------

void ScrollBar::SetPartModifier(const UiRect& rect) {
  wchar_t text[96];
  std::swprintf(text, std::size(text), L"destscale='false' dest='%d,%d,%d,%d'",
                rect.left - bounds_.left, rect.top - bounds_.top, rect.right - bounds_.left,
                rect.bottom - bounds_.top);
  part_modifier_ = text;
}

bool ScrollBar::DrawState(IRenderContext* context, StateImage& images, ControlState state) {
  if (!images.HasImage(state))
    return false;
  return DrawImage(context, images.Get(state), part_modifier_);
}

void ScrollBar::PaintButton(IRenderContext* context,
                            StateImage& images,
                            ControlState part_state,
                            const UiRect& rect) {
  SetPartModifier(rect);
  const bool dragging = thumb_state_ == ControlState::kPushed;
  if (part_state == ControlState::kDisabled) {
    if (!DrawState(context, images, ControlState::kDisabled))
      DrawState(context, images, ControlState::kNormal);
  } else if (part_state == ControlState::kPushed) {
    if (!DrawState(context, images, ControlState::kPushed) &&
        !DrawState(context, images, ControlState::kHot)) {
      DrawState(context, images, ControlState::kNormal);
    }
  } else if (part_state == ControlState::kHot || dragging) {
    if (!DrawState(context, images, ControlState::kHot))
      DrawState(context, images, ControlState::kNormal);
  } else {
    DrawState(context, images, ControlState::kNormal);
  }
}

void ScrollBar::PaintContent(IRenderContext* context, const UiRect& paint_rect) {
  paint_rect_ = UiRect::Intersection(paint_rect, bounds_);
  if (paint_rect_.IsEmpty())
    return;
  PaintBackgroundColor(context);
  SetPartModifier(bounds_);
  bk_images_.Paint(context, state_, part_modifier_);
  if (show_button1_)
    PaintButton(context, button1_images_, button1_state_, button1_rect_);
  if (show_button2_)
    PaintButton(context, button2_images_, button2_state_, button2_rect_);
  if (thumb_rect_.IsEmpty()) {
    PaintBorder(context);
    return;
  }
  SetPartModifier(thumb_rect_);
  thumb_images_.Paint(context, thumb_state_, part_modifier_);
  // The rail mark: a square of the bar's thickness centred on the thumb.
  const int32_t size = Thickness();
  UiRect rail = thumb_rect_;
  if (horizontal_) {
    rail.left = thumb_rect_.left + (thumb_rect_.Width() - size) / 2;
    rail.right = rail.left + size;
  } else {
    rail.top = thumb_rect_.top + (thumb_rect_.Height() - size) / 2;
    rail.bottom = rail.top + size;
  }
  PaintButton(context, rail_images_, thumb_state_, rail);
  PaintBorder(context);
}

// Input --------------------------------------------------------------------

UiPoint ScrollBar::BarPoint(UiPoint window_point) const {
  const UiPoint offset = GetScrollOffset();
  return {window_point.x + offset.x, window_point.y + offset.y};
}

bool ScrollBar::HandleEvent(EventArgs* args) {
  if (!mouse_enabled_ && IsMouseEvent(args->type)) {
    if (owner_)
      return owner_->DispatchEvent(args);
    return ForwardToParent(args);
  }
  switch (args->type) {
    case kEventMouseButtonDown:
    case kEventInternalDoubleClick:
    case kEventPointerDown:
      if (IsEnabled()) {
        OnPress(args);
        OnButtonDown(args);
      }
      return true;
    case kEventMouseMove:
    case kEventPointerMove:
      if (mouse_captured_)
        OnDrag(args);
      return true;
    case kEventMouseButtonUp:
    case kEventPointerUp:
      OnRelease(args);
      return true;
    case kEventMouseEnter:
    case kEventMouseLeave: {
      const LivenessWatch watch(liveness_);
      if (args->type == kEventMouseEnter)
        OnMouseEnter(args);
      else
        OnMouseLeave(args);
      // The owner keeps its bars shown while the mouse is over one.
      if (!watch.IsDestroyed() && owner_)
        owner_->DispatchEvent(args);
      return true;
    }
    case kEventSetCursor:
      SetCursor(LoadCursorW(nullptr, cursor_type_ == CursorType::kHand ? IDC_HAND : IDC_ARROW));
      return true;
    case kEventInternalMenu:
    case kEventInternalSetFocus:
    case kEventInternalKillFocus:
      return true;
    default:
      if (owner_)
        return owner_->DispatchEvent(args);
      return Control::HandleEvent(args);
  }
}

bool ScrollBar::OnMouseEnter(EventArgs* args) {
  if (!Control::OnMouseEnter(args))
    return false;
  SetPartStates(ControlState::kHot);
  Invalidate();
  return true;
}

bool ScrollBar::OnMouseLeave(EventArgs* args) {
  if (!Control::OnMouseLeave(args))
    return false;
  SetPartStates(ControlState::kNormal);
  Invalidate();
  return true;
}

void ScrollBar::OnPress(EventArgs* args) {
  repeat_ticks_ = 0;
  repeat_flag_.Cancel();
  TimerQueue::Instance()->AddTimer(
      repeat_flag_.AcquireWeakFlag(), [this] { OnRepeatTick(); }, kRepeatIntervalMs,
      TimerQueue::kRepeatForever);
  const UiPoint point = BarPoint(args->mousePoint);
  if (button1_rect_.Contains(point)) {
    press_ = Press::kButton1;
    button1_state_ = ControlState::kPushed;
    Step(ScrollStep::kLineBack);
  } else if (button2_rect_.Contains(point)) {
    press_ = Press::kButton2;
    button2_state_ = ControlState::kPushed;
    Step(ScrollStep::kLineForward);
  } else if (thumb_rect_.Contains(point)) {
    press_ = Press::kThumb;
    thumb_state_ = ControlState::kPushed;
    mouse_captured_ = true;
    drag_start_point_ = point;
    drag_delta_ = 0;
    drag_start_pos_ = scroll_pos_;
  } else {
    const int32_t along = horizontal_ ? point.x : point.y;
    const int32_t thumb_start = horizontal_ ? thumb_rect_.left : thumb_rect_.top;
    press_ = along < thumb_start ? Press::kRailBefore : Press::kRailAfter;
    Step(press_ == Press::kRailBefore ? ScrollStep::kPageBack : ScrollStep::kPageForward);
  }
  Invalidate();
}

void ScrollBar::OnDrag(EventArgs* args) {
  const UiPoint point = BarPoint(args->mousePoint);
  const int64_t length = horizontal_ ? bounds_.Width() : bounds_.Height();
  const int64_t thumb = horizontal_ ? thumb_rect_.Width() : thumb_rect_.Height();
  int64_t track = length - thumb;
  if (show_button1_)
    track -= Thickness();
  if (show_button2_)
    track -= Thickness();
  if (track == 0)
    return;
  const int64_t moved = horizontal_ ? point.x - drag_start_point_.x : point.y - drag_start_point_.y;
  drag_delta_ = static_cast<int64_t>(static_cast<double>(moved) * static_cast<double>(range_) /
                                     static_cast<double>(track));
  // Following the mouse at once instead of at the next repeat tick.
  if (thumb_state_ == ControlState::kPushed)
    ApplyDragPosition();
}

void ScrollBar::ApplyDragPosition() {
  const int64_t pos = ClampPos(drag_start_pos_ + drag_delta_, range_);
  if (!owner_) {
    MoveOwnValue(pos);
    return;
  }
  const int32_t value = static_cast<int32_t>(std::min<int64_t>(pos, INT32_MAX));
  if (horizontal_)
    owner_->SetScrollPosX(value);
  else
    owner_->SetScrollPosY(value);
}

void ScrollBar::OnRepeatTick() {
  ++repeat_ticks_;
  if (thumb_state_ == ControlState::kPushed) {
    ApplyDragPosition();
    return;
  }
  if (repeat_ticks_ <= kRepeatDelayTicks)
    return;
  if (press_ == Press::kButton1 && button1_state_ == ControlState::kPushed) {
    Step(ScrollStep::kLineBack);
  } else if (press_ == Press::kButton2 && button2_state_ == ControlState::kPushed) {
    Step(ScrollStep::kLineForward);
  } else if ((press_ == Press::kRailBefore || press_ == Press::kRailAfter) && window_) {
    const UiPoint point = BarPoint(window_->GetLastMousePos());
    if (PointBeyondThumb(point))
      Step(press_ == Press::kRailBefore ? ScrollStep::kPageBack : ScrollStep::kPageForward);
  }
}

bool ScrollBar::PointBeyondThumb(UiPoint point) const {
  const int32_t along = horizontal_ ? point.x : point.y;
  if (press_ == Press::kRailBefore)
    return along < (horizontal_ ? thumb_rect_.left : thumb_rect_.top);
  return along >= (horizontal_ ? thumb_rect_.right : thumb_rect_.bottom);
}

void ScrollBar::OnRelease(EventArgs* args) {
  repeat_ticks_ = 0;
  repeat_flag_.Cancel();
  press_ = Press::kNone;
  const LivenessWatch watch(liveness_);
  const UiPoint point = BarPoint(args->mousePoint);
  if (mouse_captured_) {
    thumb_state_ = bounds_.Contains(point) ? ControlState::kHot : ControlState::kNormal;
  } else if (button1_state_ == ControlState::kPushed || button2_state_ == ControlState::kPushed) {
    if (button1_state_ == ControlState::kPushed)
      button1_state_ = ControlState::kNormal;
    if (button2_state_ == ControlState::kPushed)
      button2_state_ = ControlState::kNormal;
    Invalidate();
  }
  OnButtonUp(args);
  if (watch.IsDestroyed())
    return;
  if (auto_hide_ && owner_ && !owner_->GetBounds(true).Contains(point))
    SetFadeVisible(false);
}

void ScrollBar::Step(ScrollStep step) {
  if (owner_) {
    owner_->Scroll(Axis(), step);
    return;
  }
  const int64_t page = horizontal_ ? bounds_.Width() : bounds_.Height();
  switch (step) {
    case ScrollStep::kLineBack:
      MoveOwnValue(scroll_pos_ - line_size_);
      break;
    case ScrollStep::kLineForward:
      MoveOwnValue(scroll_pos_ + line_size_);
      break;
    case ScrollStep::kPageBack:
      MoveOwnValue(scroll_pos_ - page);
      break;
    case ScrollStep::kPageForward:
      MoveOwnValue(scroll_pos_ + page);
      break;
    case ScrollStep::kHome:
    case ScrollStep::kEnd:
      break;
  }
}

void ScrollBar::MoveOwnValue(int64_t pos) {
  const int64_t old = scroll_pos_;
  SetBarPos(pos);
  if (scroll_pos_ != old && window_)
    SendEvent(kEventScrollChange);
}

}  // namespace ui
