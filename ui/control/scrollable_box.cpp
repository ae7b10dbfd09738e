#include "ui/control/scrollable_box.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

#include "ui/control/attribute_value.h"
#include "ui/control/control_host.h"
#include "ui/render/render_context.h"

namespace ui {

namespace {

// Re-layouts that one layout may ask for through its bars; content whose
// height depends on whether a bar takes room could otherwise ask forever.
constexpr int32_t kMaxRelayoutDepth = 4;

// Key codes of the keys that scroll.
constexpr wchar_t kKeyPageUp = 33;
constexpr wchar_t kKeyPageDown = 34;
constexpr wchar_t kKeyEnd = 35;
constexpr wchar_t kKeyHome = 36;
constexpr wchar_t kKeyUp = 38;
constexpr wchar_t kKeyDown = 40;

// The line-step animation: no acceleration, decelerating for its second
// half; its duration follows from the distance.
constexpr double kScrollDecelerationRatio = 0.5;
constexpr double kScrollDecelerationCoefficient = -0.012;
// The slide into place of the animated jump to the end.
constexpr double kSlideAccelerationRatio = 0.3;
constexpr double kSlideDecelerationRatio = 0.7;
constexpr double kSlideAccelerationCoefficient = 0.003;
constexpr int32_t kSlideMaxDurationMs = 650;

// The first scrollable box to paint loads the images near its view.
bool g_image_window_primed = false;

int32_t ClampToInt(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

int32_t WheelDelta(const EventArgs* args) {
  return static_cast<int32_t>(static_cast<intptr_t>(args->wParam));
}

std::optional<ScrollStep> StepOfKey(wchar_t key) {
  switch (key) {
    case kKeyPageUp:
      return ScrollStep::kPageBack;
    case kKeyPageDown:
      return ScrollStep::kPageForward;
    case kKeyEnd:
      return ScrollStep::kEnd;
    case kKeyHome:
      return ScrollStep::kHome;
    case kKeyUp:
      return ScrollStep::kLineBack;
    case kKeyDown:
      return ScrollStep::kLineForward;
    default:
      return std::nullopt;
  }
}

}  // namespace

ScrollableBox::ScrollableBox(std::unique_ptr<Layout> layout) : Box(std::move(layout)) {}

ScrollableBox::~ScrollableBox() = default;

void ScrollableBox::SetWindowAndParent(ControlHost* window, Box* parent, bool init) {
  for (ScrollBar* bar : {vertical_bar_.get(), horizontal_bar_.get()}) {
    if (bar)
      bar->SetWindowAndParent(window, this, init);
  }
  Box::SetWindowAndParent(window, parent, init);
}

void ScrollableBox::SetMouseEnabled(bool enabled) {
  Box::SetMouseEnabled(enabled);
  for (ScrollBar* bar : {vertical_bar_.get(), horizontal_bar_.get()}) {
    if (bar)
      bar->SetMouseEnabled(enabled);
  }
}

void ScrollableBox::ClearImageCache() {
  Box::ClearImageCache();
  for (ScrollBar* bar : {vertical_bar_.get(), horizontal_bar_.get()}) {
    if (bar)
      bar->ClearImageCache();
  }
}

bool ScrollableBox::HasScrollRange() const {
  return HasRange(vertical_bar_.get()) || HasRange(horizontal_bar_.get());
}

bool ScrollableBox::HasVerticalScrollRange() const {
  return HasRange(vertical_bar_.get());
}

UiPoint ScrollableBox::GetScrollPos() const {
  UiPoint pos;
  if (HasRange(horizontal_bar_.get()))
    pos.x = ClampToInt(horizontal_bar_->GetScrollPos());
  if (HasRange(vertical_bar_.get()))
    pos.y = ClampToInt(vertical_bar_->GetScrollPos());
  return pos;
}

UiSize ScrollableBox::GetScrollRange() const {
  UiSize range;
  if (horizontal_bar_)
    range.cx = ClampToInt(horizontal_bar_->GetScrollRange());
  if (vertical_bar_)
    range.cy = ClampToInt(vertical_bar_->GetScrollRange());
  return range;
}

// Layout -------------------------------------------------------------------

void ScrollableBox::SetBounds(const UiRect& rect) {
  ScrollBar* vertical = vertical_bar_.get();
  const bool at_end =
      hold_end_ && HasRange(vertical) && vertical->GetScrollPos() == vertical->GetScrollRange();
  const LivenessWatch watch(liveness_);
  const UiRect old_bounds = bounds_;
  if (!PlaceBox(rect))
    return;
  const bool was_covering = BeginArrange(old_bounds);
  const UiRect content = Layout::DeflateSaturated(bounds_, layout_->GetPadding());
  const UiSize required = ArrangeForScroll(content);
  if (watch.IsDestroyed())
    return;
  EndArrange(was_covering);
  ProcessVerticalBar(bounds_, required.cy);
  if (watch.IsDestroyed())
    return;
  ProcessHorizontalBar(bounds_, required.cx);
  if (!watch.IsDestroyed() && at_end)
    EndDown(false, false);
}

UiSize ScrollableBox::ArrangeForScroll(const UiRect& content) {
  if (children_.empty())
    return {};
  UiRect rect = content;
  if (!scroll_bar_float_) {
    if (HasRange(vertical_bar_.get()))
      rect.right = std::max(rect.left, rect.right - vertical_bar_->Thickness());
    if (HasRange(horizontal_bar_.get()))
      rect.bottom = std::max(rect.top, rect.bottom - horizontal_bar_->Thickness());
  }
  return layout_->ArrangeChildren(children_, rect);
}

void ScrollableBox::Relayout() {
  if (relayout_depth_ >= kMaxRelayoutDepth)
    return;
  ++relayout_depth_;
  const LivenessWatch watch(liveness_);
  SetBounds(bounds_);
  if (!watch.IsDestroyed())
    --relayout_depth_;
}

void ScrollableBox::ProcessVerticalBar(const UiRect& rect, int32_t required) {
  ProcessBar(ScrollAxis::kVertical, rect, required);
}

void ScrollableBox::ProcessHorizontalBar(const UiRect& rect, int32_t required) {
  ProcessBar(ScrollAxis::kHorizontal, rect, required);
}

void ScrollableBox::ProcessBar(ScrollAxis axis, const UiRect& rect, int32_t required) {
  ScrollBar* bar = BarOf(axis);
  if (!bar)
    return;
  const UiPadding padding = layout_->GetPadding();
  const int64_t view = axis == ScrollAxis::kVertical
                           ? int64_t{rect.Height()} - padding.top - padding.bottom
                           : int64_t{rect.Width()} - padding.left - padding.right;
  const int64_t overflow = required - view;
  if (overflow > 0 && bar->GetScrollRange() == 0) {
    bar->SetScrollRange(overflow);
    bar->SetBarPos(0);
    in_scroll_bar_update_ = true;
    Relayout();
    in_scroll_bar_update_ = false;
    return;
  }
  if (bar->GetScrollRange() == 0)
    return;
  if (overflow > 0 || in_scroll_bar_update_) {
    bar->SetBounds(BarRect(axis, rect, bar->Thickness()));
    if (bar->GetScrollRange() == overflow)
      return;
    const int64_t old_pos = bar->GetScrollPos();
    bar->SetScrollRange(std::abs(overflow));
    if (bar->GetScrollRange() == 0)
      bar->SetBarPos(0);
    if (bar->GetScrollPos() < old_pos)
      Relayout();
    return;
  }
  bar->SetBarPos(0);
  bar->SetScrollRange(0);
  Relayout();
}

UiRect ScrollableBox::BarRect(ScrollAxis axis, const UiRect& rect, int32_t thickness) const {
  const UiPadding& inset = scroll_bar_padding_;
  const int32_t left = Layout::Saturate(int64_t{rect.left} + inset.left);
  const int32_t top = Layout::Saturate(int64_t{rect.top} + inset.top);
  const int32_t right = Layout::Saturate(int64_t{rect.right} - inset.right);
  const int32_t bottom = Layout::Saturate(int64_t{rect.bottom} - inset.bottom);
  if (axis == ScrollAxis::kVertical)
    return {Layout::Saturate(int64_t{right} - thickness), top, right, bottom};
  return {left, Layout::Saturate(int64_t{bottom} - thickness), right, bottom};
}

// Scroll bars --------------------------------------------------------------

std::unique_ptr<ScrollBar> ScrollableBox::CreateBar(bool horizontal) {
  auto bar = std::make_unique<ScrollBar>();
  bar->SetVisible(false);
  bar->SetScrollRange(0);
  bar->SetOwner(this);
  bar->SetWindowAndParent(window_, this, false);
  if (horizontal)
    bar->SetHorizontal(true);
  bar->SetMouseEnabled(mouse_enabled_);
  bar->ApplyClass(horizontal ? L"hscrollbar" : L"vscrollbar");
  return bar;
}

void ScrollableBox::EnableScrollBar(bool vertical, bool horizontal) {
  if (!vertical) {
    if (vertical_bar_ && window_)
      window_->ForgetControl(vertical_bar_.get());
    vertical_bar_.reset();
  } else if (!vertical_bar_) {
    vertical_bar_ = CreateBar(false);
  }
  if (!horizontal) {
    if (horizontal_bar_ && window_)
      window_->ForgetControl(horizontal_bar_.get());
    horizontal_bar_.reset();
  } else if (!horizontal_bar_) {
    horizontal_bar_ = CreateBar(true);
  }
  RequestLayout();
}

ScrollBar* ScrollableBox::GetVerticalScrollBar() const {
  return vertical_bar_.get();
}

ScrollBar* ScrollableBox::GetHorizontalScrollBar() const {
  return horizontal_bar_.get();
}

ScrollBar* ScrollableBox::BarOf(ScrollAxis axis) const {
  return axis == ScrollAxis::kVertical ? vertical_bar_.get() : horizontal_bar_.get();
}

void ScrollableBox::SetScrollBarFloat(bool is_float) {
  if (is_float == scroll_bar_float_)
    return;
  scroll_bar_float_ = is_float;
  RequestLayout();
}

void ScrollableBox::SetScrollBarPadding(const UiPadding& padding) {
  scroll_bar_padding_ = padding;
}

void ScrollableBox::FadeBars(bool visible) {
  for (ScrollBar* bar : {vertical_bar_.get(), horizontal_bar_.get()}) {
    if (!HasRange(bar) || !bar->IsEnabled() || !bar->IsAutoHide())
      continue;
    // A hidden bar shows again on entering; one being dragged stays.
    if (visible)
      bar->SetFadeVisible(true);
    else if (bar->IsVisible() && bar->GetThumbState() == ControlState::kNormal)
      bar->SetFadeVisible(false);
  }
}

// Positions ----------------------------------------------------------------

void ScrollableBox::SetScrollPos(UiPoint pos) {
  const int32_t range_y = GetScrollRange().cy;
  int32_t y = pos.y;
  if (y < 0) {
    y = 0;
    scroll_animation_.Cancel();
  } else if (y > range_y) {
    y = range_y;
    scroll_animation_.Cancel();
  }
  int64_t dy = 0;
  ScrollBar* vertical = vertical_bar_.get();
  if (HasRange(vertical)) {
    const int64_t old = vertical->GetScrollPos();
    vertical->SetBarPos(y);
    dy = vertical->GetScrollPos() - old;
  }
  ScrollBar* horizontal = horizontal_bar_.get();
  if (HasRange(horizontal)) {
    const int64_t old = horizontal->GetScrollPos();
    horizontal->SetBarPos(pos.x);
    if (horizontal->GetScrollPos() == old && dy == 0)
      return;
  } else if (dy == 0) {
    return;
  }
  RefreshImageWindow(dy >= 0);
  Invalidate();
  if (window_)
    SendEvent(kEventScrollChange);
}

void ScrollableBox::SetScrollPosY(int32_t y) {
  SetScrollPos({GetScrollPos().x, y});
}

void ScrollableBox::SetScrollPosX(int32_t x) {
  SetScrollPos({x, GetScrollPos().y});
}

void ScrollableBox::RefreshImageWindow(bool downward) {
  const UiPoint pos = GetScrollPos();
  UiRect window = bounds_;
  window.left = Layout::Saturate(int64_t{window.left} + pos.x + render_offset_.x);
  window.right = Layout::Saturate(int64_t{window.right} + pos.x + render_offset_.x);
  window.top =
      Layout::Saturate(int64_t{window.top} + pos.y + render_offset_.y - kImageWindowMargin);
  window.bottom =
      Layout::Saturate(int64_t{window.bottom} + pos.y + render_offset_.y + kImageWindowMargin);
  auto refresh = [&window](Control* child) {
    if (!child->IsVisible() || child->IsFloat())
      return;
    if (child->bounds().Intersects(window))
      child->AttachCachedImage();
    else
      child->UnloadImages();
  };
  if (downward) {
    for (Control* child : children_)
      refresh(child);
  } else {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it)
      refresh(*it);
  }
}

int32_t ScrollableBox::UnitOf(ScrollAxis axis) const {
  const int32_t unit = axis == ScrollAxis::kVertical ? vertical_unit_ : horizontal_unit_;
  return unit > 0 ? unit : kFallbackUnit;
}

void ScrollableBox::MoveAlong(ScrollAxis axis, int64_t pos) {
  const UiPoint current = GetScrollPos();
  if (axis == ScrollAxis::kVertical)
    SetScrollPos({current.x, ClampToInt(pos)});
  else
    SetScrollPos({ClampToInt(pos), current.y});
}

void ScrollableBox::AnimateVertical(int32_t from, int64_t target) {
  const int32_t range = GetScrollRange().cy;
  const int32_t end = static_cast<int32_t>(std::clamp<int64_t>(target, 0, range));
  scroll_animation_.Cancel();
  scroll_animation_.ResetPlayer();
  scroll_animation_.SetStartValue(from);
  scroll_animation_.SetEndValue(end);
  scroll_animation_.SetAccelerationRatio(0);
  scroll_animation_.SetDecelerationRatio(kScrollDecelerationRatio);
  scroll_animation_.SetDecelerationCoefficient(kScrollDecelerationCoefficient);
  scroll_animation_.SetValueCallback(
      MakeWeakCallback([this](int32_t value) { SetScrollPosY(value); }));
  scroll_animation_.Restart();
}

// Nothing at the limit it steps towards; only vertical steps animate.
void ScrollableBox::LineStep(ScrollAxis axis, bool forward, int32_t step, bool animate) {
  const bool vertical = axis == ScrollAxis::kVertical;
  const UiPoint scroll = GetScrollPos();
  const int32_t pos = vertical ? scroll.y : scroll.x;
  const int32_t range = vertical ? GetScrollRange().cy : GetScrollRange().cx;
  if (forward ? pos >= range : pos < 1)
    return;
  const int32_t unit = UnitOf(axis);
  if (step < 0 || step > unit)
    step = unit;
  const int64_t delta = forward ? int64_t{step} : -int64_t{step};
  if (!animate || !vertical) {
    MoveAlong(axis, std::clamp<int64_t>(pos + delta, 0, range));
    return;
  }
  // A step while one runs the same way goes on from where that one ends.
  int64_t target = pos + delta;
  const int32_t end = scroll_animation_.GetEndValue();
  if (scroll_animation_.IsPlaying() && (forward ? end >= pos : end <= pos))
    target = int64_t{end} + delta;
  AnimateVertical(pos, target);
}

void ScrollableBox::LineUp(int32_t step, bool animate) {
  LineStep(ScrollAxis::kVertical, /*forward=*/false, step, animate);
}

void ScrollableBox::LineDown(int32_t step, bool animate) {
  LineStep(ScrollAxis::kVertical, /*forward=*/true, step, animate);
}

void ScrollableBox::LineLeft(int32_t step) {
  LineStep(ScrollAxis::kHorizontal, /*forward=*/false, step, /*animate=*/false);
}

void ScrollableBox::LineRight(int32_t step) {
  LineStep(ScrollAxis::kHorizontal, /*forward=*/true, step, /*animate=*/false);
}

// A vertical page leaves out the room of a horizontal bar with a range.
void ScrollableBox::PageStep(ScrollAxis axis, bool forward) {
  const UiPadding padding = layout_->GetPadding();
  const bool vertical = axis == ScrollAxis::kVertical;
  int64_t page = vertical ? int64_t{bounds_.Height()} - padding.top - padding.bottom
                          : int64_t{bounds_.Width()} - padding.left - padding.right;
  if (vertical && HasRange(horizontal_bar_.get()))
    page -= horizontal_bar_->Thickness();
  page = std::max<int64_t>(page, 0);
  const UiPoint scroll = GetScrollPos();
  const int64_t pos = vertical ? scroll.y : scroll.x;
  if (vertical)
    MoveAlong(axis, forward ? pos + page : pos - page);
  else
    MoveAlong(axis, std::clamp<int64_t>(forward ? pos + page : pos - page, 0, GetScrollRange().cx));
}

void ScrollableBox::PageUp() {
  PageStep(ScrollAxis::kVertical, /*forward=*/false);
}

void ScrollableBox::PageDown() {
  PageStep(ScrollAxis::kVertical, /*forward=*/true);
}

void ScrollableBox::PageLeft() {
  PageStep(ScrollAxis::kHorizontal, /*forward=*/false);
}

void ScrollableBox::PageRight() {
  PageStep(ScrollAxis::kHorizontal, /*forward=*/true);
}

void ScrollableBox::Scroll(ScrollAxis axis, ScrollStep step, int32_t distance) {
  const bool vertical = axis == ScrollAxis::kVertical;
  switch (step) {
    case ScrollStep::kLineBack:
      vertical ? LineUp(distance, true) : LineLeft(distance);
      break;
    case ScrollStep::kLineForward:
      vertical ? LineDown(distance, true) : LineRight(distance);
      break;
    case ScrollStep::kPageBack:
      vertical ? PageUp() : PageLeft();
      break;
    case ScrollStep::kPageForward:
      vertical ? PageDown() : PageRight();
      break;
    case ScrollStep::kHome:
      vertical ? HomeUp() : HomeLeft();
      break;
    case ScrollStep::kEnd:
      vertical ? EndDown(true, true) : EndRight();
      break;
  }
}

void ScrollableBox::HomeUp() {
  SetScrollPos({GetScrollPos().x, 0});
}

void ScrollableBox::HomeLeft() {
  SetScrollPos({0, GetScrollPos().y});
}

void ScrollableBox::EndRight() {
  SetScrollPos({GetScrollRange().cx, GetScrollPos().y});
}

void ScrollableBox::EndDown(bool rearrange, bool animate) {
  const LivenessWatch watch(liveness_);
  if (rearrange) {
    SetBounds(bounds_);
    if (watch.IsDestroyed())
      return;
  }
  const int32_t range = GetScrollRange().cy;
  if (animate && range != 0) {
    const int64_t remaining = int64_t{render_offset_animation_.GetEndValue()} + range -
                              GetScrollPos().y - render_offset_.y;
    if (remaining > 0) {
      AnimationPlayer& slide = render_offset_animation_;
      slide.Cancel();
      slide.ResetPlayer();
      slide.SetStartValue(ClampToInt(-remaining));
      slide.SetEndValue(0);
      slide.SetAccelerationRatio(kSlideAccelerationRatio);
      slide.SetDecelerationRatio(kSlideDecelerationRatio);
      slide.SetAccelerationCoefficient(kSlideAccelerationCoefficient);
      slide.SetMaxDuration(kSlideMaxDurationMs);
      slide.SetValueCallback(MakeWeakCallback([this](int32_t value) { SetRenderOffsetY(value); }));
      slide.Restart();
    }
  }
  SetScrollPos({GetScrollPos().x, range});
}

void ScrollableBox::TouchUp(int32_t distance) {
  const UiPoint pos = GetScrollPos();
  if (pos.y < 1)
    return;
  SetScrollPos({pos.x, ClampToInt(int64_t{pos.y} - distance)});
}

void ScrollableBox::TouchDown(int32_t distance) {
  const UiPoint pos = GetScrollPos();
  if (pos.y >= GetScrollRange().cy)
    return;
  SetScrollPos({pos.x, ClampToInt(int64_t{pos.y} + distance)});
}

// Input --------------------------------------------------------------------

bool ScrollableBox::HandleScrollInput(ScrollAxis axis, EventArgs* args) {
  switch (args->type) {
    case kEventKeyDown: {
      const std::optional<ScrollStep> step = StepOfKey(args->keyChar);
      if (!step)
        return false;
      Scroll(axis, *step);
      return true;
    }
    case kEventMouseScrollWheel: {
      // Vertically the wheel steps by its delta (at most a unit),
      // horizontally by a unit.
      const int32_t delta = WheelDelta(args);
      const int32_t distance =
          axis == ScrollAxis::kVertical ? ClampToInt(std::abs(int64_t{delta})) : -1;
      Scroll(axis, delta < 1 ? ScrollStep::kLineForward : ScrollStep::kLineBack, distance);
      return true;
    }
    default:
      return axis == ScrollAxis::kVertical && HandleTouchDrag(args);
  }
}

bool ScrollableBox::HandleTouchDrag(EventArgs* args) {
  switch (args->type) {
    case kEventTouchDown:
    case kEventPointerDown:
      if (IsEnabled()) {
        mouse_captured_ = true;
        last_touch_point_ = args->mousePoint;
      }
      return true;
    case kEventTouchMove:
    case kEventPointerMove: {
      if (!mouse_captured_)
        return true;
      const int64_t dy = int64_t{args->mousePoint.y} - last_touch_point_.y;
      if (dy == 0)
        return true;
      last_touch_point_ = args->mousePoint;
      if (dy < 0)
        TouchDown(ClampToInt(-dy));
      else
        TouchUp(ClampToInt(dy));
      return true;
    }
    case kEventTouchUp:
    case kEventPointerUp:
      if (mouse_captured_) {
        mouse_captured_ = false;
        last_touch_point_ = args->mousePoint;
      }
      return true;
    default:
      return false;
  }
}

bool ScrollableBox::HandleEvent(EventArgs* args) {
  if (!mouse_enabled_ && IsMouseEvent(args->type))
    return ForwardToParent(args);
  // Input the box does not scroll by has not called out: nothing can have
  // destroyed the box before it goes on.
  if (HasRange(vertical_bar_.get()) && vertical_bar_->IsEnabled()) {
    if (HandleScrollInput(ScrollAxis::kVertical, args))
      return true;
  } else if (HasRange(horizontal_bar_.get()) && horizontal_bar_->IsEnabled()) {
    if (HandleScrollInput(ScrollAxis::kHorizontal, args))
      return true;
  }
  return Box::HandleEvent(args);
}

bool ScrollableBox::OnMouseEnter(EventArgs* args) {
  const bool result = Box::OnMouseEnter(args);
  FadeBars(true);
  return result;
}

bool ScrollableBox::OnMouseLeave(EventArgs* args) {
  const bool result = Box::OnMouseLeave(args);
  FadeBars(false);
  return result;
}

// Hit testing and painting -------------------------------------------------

Control* ScrollableBox::FindControl(FindControlProc proc,
                                    void* data,
                                    uint32_t flags,
                                    UiPoint /*scroll_offset*/) {
  if ((flags & kFindVisible) && !IsVisible())
    return nullptr;
  if ((flags & kFindEnabled) && !IsEnabled())
    return nullptr;
  const bool hit_test = (flags & kFindHitTest) != 0;
  if (hit_test && (!data || !bounds_.Contains(*static_cast<const UiPoint*>(data))))
    return nullptr;
  for (ScrollBar* bar : {vertical_bar_.get(), horizontal_bar_.get()}) {
    if (!bar)
      continue;
    if (Control* found = bar->FindControl(proc, data, flags))
      return found;
  }
  if (hit_test && !mouse_child_enabled_)
    return Control::FindControl(proc, data, flags);
  return Box::FindControl(proc, data, flags, GetScrollPos());
}

void ScrollableBox::PaintChildren(IRenderContext* context, const UiRect& paint_rect) {
  if (!paint_rect.Intersects(bounds_))
    return;
  if (!g_image_window_primed) {
    g_image_window_primed = true;
    RefreshImageWindow(true);
  }
  const UiPoint scroll = GetScrollPos();
  const UiRect clip = GetPaddingBounds();
  // Only what is damaged and inside the padding, in the children's
  // unscrolled coordinates.
  UiRect shifted = UiRect::Intersection(paint_rect, clip);
  shifted.left = Layout::Saturate(int64_t{shifted.left} + scroll.x + render_offset_.x);
  shifted.right = Layout::Saturate(int64_t{shifted.right} + scroll.x + render_offset_.x);
  shifted.top = Layout::Saturate(int64_t{shifted.top} + scroll.y + render_offset_.y);
  shifted.bottom = Layout::Saturate(int64_t{shifted.bottom} + scroll.y + render_offset_.y);
  const bool moved = scroll.x != 0 || scroll.y != 0;

  bool clipped = false;
  UiPoint origin;
  bool shifted_origin = false;
  for (Control* child : children_) {
    if (!child->IsVisible())
      continue;
    if (child->IsFloat()) {
      if (shifted_origin) {
        context->SetDrawingOrigin(origin.x, origin.y);
        shifted_origin = false;
      }
      child->Draw(context, paint_rect);
      continue;
    }
    // Off-view children cost one rectangle test each.
    if (!child->bounds().Intersects(shifted))
      continue;
    if (!clipped && clip_enabled_) {
      context->PushClip(clip);
      clipped = true;
    }
    if (moved && !shifted_origin) {
      origin = context->OffsetDrawingOrigin(scroll.x, scroll.y);
      shifted_origin = true;
    }
    child->Draw(context, shifted);
  }
  if (shifted_origin)
    context->SetDrawingOrigin(origin.x, origin.y);
  if (clipped)
    context->PopClip();
  for (ScrollBar* bar : {horizontal_bar_.get(), vertical_bar_.get()}) {
    if (bar && bar->IsVisible())
      bar->Draw(context, paint_rect);
  }
}

// Attributes ---------------------------------------------------------------

void ScrollableBox::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  using attribute_value::ReadBool;
  using attribute_value::ReadInt;
  if (name == L"vscrollbar") {
    EnableScrollBar(ReadBool(value), horizontal_bar_ != nullptr);
  } else if (name == L"hscrollbar") {
    EnableScrollBar(vertical_bar_ != nullptr, ReadBool(value));
  } else if (name == L"vscrollbarstyle") {
    EnableScrollBar(true, horizontal_bar_ != nullptr);
    vertical_bar_->ApplyAttributeList(value);
  } else if (name == L"hscrollbarstyle") {
    EnableScrollBar(vertical_bar_ != nullptr, true);
    horizontal_bar_->ApplyAttributeList(value);
  } else if (name == L"scrollbarpadding") {
    SetScrollBarPadding(attribute_value::ReadPadding(value));
  } else if (name == L"vscrollunit") {
    SetVerticalUnit(ReadInt(value));
  } else if (name == L"hscrollunit") {
    SetHorizontalUnit(ReadInt(value));
  } else if (name == L"scrollbarfloat") {
    SetScrollBarFloat(ReadBool(value));
  } else if (name == L"holdend") {
    SetHoldEnd(ReadBool(value));
  } else {
    Box::ApplyAttribute(name, value);
  }
}

}  // namespace ui
