#include "ui/control/scrollable_box.h"

#include <algorithm>
#include <cstdlib>
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
  ScrollBar* bar = vertical_bar_.get();
  if (!bar)
    return;
  const UiPadding padding = layout_->GetPadding();
  const int64_t view = int64_t{rect.Height()} - padding.top - padding.bottom;
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
    const UiPadding& inset = scroll_bar_padding_;
    const int32_t right = Layout::Saturate(int64_t{rect.right} - inset.right);
    bar->SetBounds({Layout::Saturate(int64_t{right} - bar->Thickness()),
                    Layout::Saturate(int64_t{rect.top} + inset.top), right,
                    Layout::Saturate(int64_t{rect.bottom} - inset.bottom)});
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

void ScrollableBox::ProcessHorizontalBar(const UiRect& rect, int32_t required) {
  ScrollBar* bar = horizontal_bar_.get();
  if (!bar)
    return;
  const UiPadding padding = layout_->GetPadding();
  const int64_t view = int64_t{rect.Width()} - padding.left - padding.right;
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
    const UiPadding& inset = scroll_bar_padding_;
    const int32_t bottom = Layout::Saturate(int64_t{rect.bottom} - inset.bottom);
    bar->SetBounds({Layout::Saturate(int64_t{rect.left} + inset.left),
                    Layout::Saturate(int64_t{bottom} - bar->Thickness()),
                    Layout::Saturate(int64_t{rect.right} - inset.right), bottom});
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

int32_t ScrollableBox::Unit(int32_t unit) const {
  return unit > 0 ? unit : kFallbackUnit;
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

void ScrollableBox::LineUp(int32_t step, bool animate) {
  const UiPoint pos = GetScrollPos();
  if (pos.y < 1)
    return;
  const int32_t unit = Unit(vertical_unit_);
  if (step < 0 || step > unit)
    step = unit;
  if (!animate) {
    SetScrollPos({pos.x, std::max(pos.y - step, 0)});
    return;
  }
  int64_t target = int64_t{pos.y} - step;
  if (scroll_animation_.IsPlaying() && scroll_animation_.GetEndValue() <= pos.y)
    target = int64_t{scroll_animation_.GetEndValue()} - step;
  AnimateVertical(pos.y, target);
}

void ScrollableBox::LineDown(int32_t step, bool animate) {
  const UiPoint pos = GetScrollPos();
  const int32_t range = GetScrollRange().cy;
  if (pos.y >= range)
    return;
  const int32_t unit = Unit(vertical_unit_);
  if (step < 0 || step > unit)
    step = unit;
  if (!animate) {
    SetScrollPos({pos.x, ClampToInt(std::min<int64_t>(int64_t{pos.y} + step, range))});
    return;
  }
  int64_t target = int64_t{pos.y} + step;
  if (scroll_animation_.IsPlaying() && scroll_animation_.GetEndValue() >= pos.y)
    target = int64_t{scroll_animation_.GetEndValue()} + step;
  AnimateVertical(pos.y, target);
}

void ScrollableBox::LineLeft(int32_t step) {
  const UiPoint pos = GetScrollPos();
  if (pos.x < 1)
    return;
  const int32_t unit = Unit(horizontal_unit_);
  if (step < 0 || step > unit)
    step = unit;
  SetScrollPos({std::max(pos.x - step, 0), pos.y});
}

void ScrollableBox::LineRight(int32_t step) {
  const UiPoint pos = GetScrollPos();
  const int32_t range = GetScrollRange().cx;
  if (pos.x >= range)
    return;
  const int32_t unit = Unit(horizontal_unit_);
  if (step < 0 || step > unit)
    step = unit;
  SetScrollPos({ClampToInt(std::min<int64_t>(int64_t{pos.x} + step, range)), pos.y});
}

void ScrollableBox::PageUp() {
  const UiPadding padding = layout_->GetPadding();
  int64_t page = int64_t{bounds_.Height()} - padding.top - padding.bottom;
  if (HasRange(horizontal_bar_.get()))
    page -= horizontal_bar_->Thickness();
  const UiPoint pos = GetScrollPos();
  SetScrollPos({pos.x, ClampToInt(pos.y - std::max<int64_t>(page, 0))});
}

void ScrollableBox::PageDown() {
  const UiPadding padding = layout_->GetPadding();
  int64_t page = int64_t{bounds_.Height()} - padding.top - padding.bottom;
  if (HasRange(horizontal_bar_.get()))
    page -= horizontal_bar_->Thickness();
  const UiPoint pos = GetScrollPos();
  SetScrollPos({pos.x, ClampToInt(pos.y + std::max<int64_t>(page, 0))});
}

void ScrollableBox::PageLeft() {
  const UiPadding padding = layout_->GetPadding();
  const int64_t page = int64_t{bounds_.Width()} - padding.left - padding.right;
  const UiPoint pos = GetScrollPos();
  SetScrollPos({ClampToInt(std::max<int64_t>(pos.x - std::max<int64_t>(page, 0), 0)), pos.y});
}

void ScrollableBox::PageRight() {
  const UiPadding padding = layout_->GetPadding();
  const int64_t page = int64_t{bounds_.Width()} - padding.left - padding.right;
  const UiPoint pos = GetScrollPos();
  const int64_t x = std::min<int64_t>(pos.x + std::max<int64_t>(page, 0), GetScrollRange().cx);
  SetScrollPos({ClampToInt(x), pos.y});
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

bool ScrollableBox::HandleVerticalInput(EventArgs* args) {
  switch (args->type) {
    case kEventKeyDown:
      switch (args->keyChar) {
        case kKeyPageUp:
          PageUp();
          return true;
        case kKeyPageDown:
          PageDown();
          return true;
        case kKeyEnd:
          EndDown(true, true);
          return true;
        case kKeyHome:
          HomeUp();
          return true;
        case kKeyUp:
          LineUp(-1, true);
          return true;
        case kKeyDown:
          LineDown(-1, true);
          return true;
        default:
          return false;
      }
    case kEventMouseScrollWheel: {
      const int32_t delta = WheelDelta(args);
      const int32_t distance = ClampToInt(std::abs(int64_t{delta}));
      if (delta < 1)
        LineDown(distance, true);
      else
        LineUp(distance, true);
      return true;
    }
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

bool ScrollableBox::HandleHorizontalInput(EventArgs* args) {
  if (args->type == kEventKeyDown) {
    switch (args->keyChar) {
      case kKeyPageUp:
        PageLeft();
        return true;
      case kKeyPageDown:
        PageRight();
        return true;
      case kKeyEnd:
        EndRight();
        return true;
      case kKeyHome:
        HomeLeft();
        return true;
      case kKeyUp:
        LineLeft();
        return true;
      case kKeyDown:
        LineRight();
        return true;
      default:
        return false;
    }
  }
  if (args->type == kEventMouseScrollWheel) {
    if (WheelDelta(args) < 1)
      LineRight();
    else
      LineLeft();
    return true;
  }
  return false;
}

bool ScrollableBox::HandleEvent(EventArgs* args) {
  if (!mouse_enabled_ && IsMouseEvent(args->type))
    return ForwardToParent(args);
  // Input the box does not scroll by has not called out: nothing can have
  // destroyed the box before it goes on.
  if (HasRange(vertical_bar_.get()) && vertical_bar_->IsEnabled()) {
    if (HandleVerticalInput(args))
      return true;
  } else if (HasRange(horizontal_bar_.get()) && horizontal_bar_->IsEnabled()) {
    if (HandleHorizontalInput(args))
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
