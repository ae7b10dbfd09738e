#include "ui/control/box.h"

#include <windows.h>

#include <algorithm>
#include <typeinfo>
#include <utility>

#include "base/debug/check.h"
#include "ui/control/attribute_value.h"
#include "ui/control/control_host.h"
#include "ui/control/linear_layout.h"
#include "ui/control/tile_layout.h"

namespace ui {

namespace {

Control* MatchName(Control* control, void* data) {
  const std::wstring& name = *static_cast<const std::wstring*>(data);
  const std::wstring& candidate = control->GetName();
  const bool same =
      CompareStringOrdinal(candidate.data(), static_cast<int>(candidate.size()), name.data(),
                           static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
  return same ? control : nullptr;
}

// Rectangles this far from the int32 limits move without any saturated
// sum in the layouts changing.
constexpr int32_t kShiftLimit = 1 << 29;

bool InShiftRange(const UiRect& rect) {
  auto inside = [](int32_t v) { return v > -kShiftLimit && v < kShiftLimit; };
  return inside(rect.left) && inside(rect.top) && inside(rect.right) && inside(rect.bottom);
}

}  // namespace

Box::Box(std::unique_ptr<Layout> layout)
    : layout_(layout ? std::move(layout) : std::make_unique<Layout>()) {
  layout_->SetOwner(this);
  shift_rule_ = ShiftRuleOf(*layout_);
}

Box::~Box() {
  // Children of a box that goes are deleted at once, without asking the
  // dying box for a layout.
  delayed_destroy_ = false;
  std::vector<Control*> children;
  children.swap(children_);
  for (Control* child : children) {
    if (auto_destroy_)
      delete child;
    else
      ReleaseChild(child);
  }
}

void Box::SetWindowAndParent(ControlHost* window, Box* parent, bool init) {
  for (Control* child : children_)
    child->SetWindowAndParent(window, this, init);
  Control::SetWindowAndParent(window, parent, init);
}

UiSize Box::Measure(UiSize available) {
  if (!IsAutoSized())
    return {fixed_width_, fixed_height_};
  if (!needs_measure_)
    return measured_size_;
  const UiPadding padding = layout_->GetPadding();
  const UiSize content = layout_->MeasureChildren(
      children_, {Layout::Saturate(int64_t{available.cx} - padding.left - padding.right),
                  Layout::Saturate(int64_t{available.cy} - padding.top - padding.bottom)});
  needs_measure_ = false;
  UiSize size = {fixed_width_ == kAuto ? content.cx : fixed_width_,
                 fixed_height_ == kAuto ? content.cy : fixed_height_};
  // A child that could not settle its size makes this box measure again.
  for (const Control* child : children_) {
    if (child->IsVisible() && child->IsAutoSized() && child->NeedsMeasure()) {
      needs_measure_ = true;
      break;
    }
  }
  measured_size_ = size;
  return size;
}

void Box::SetBounds(const UiRect& requested) {
  const UiRect rect = {requested.left, requested.top, std::max(requested.left, requested.right),
                       std::max(requested.top, requested.bottom)};
  if (layout_clean_ && !needs_arrange_) {
    // Nothing below changed, so arranging again would put every child
    // where it already is.
    if (rect == bounds_)
      return;
    if (CanShiftTo(rect)) {
      ShiftTo(rect);
      return;
    }
  }
  const uint32_t changes = LayoutChangeCount();
  // Changes made while the children are arranged stop here.
  layout_clean_ = false;
  const LivenessWatch watch(liveness_);
  const UiRect old_bounds = bounds_;
  // The resize event may have destroyed the box.
  if (!PlaceBox(rect))
    return;
  if (!children_.empty()) {
    const bool was_covering = BeginArrange(old_bounds);
    layout_->ArrangeChildren(children_, Layout::DeflateSaturated(bounds_, layout_->GetPadding()));
    // A child's resize handler may have destroyed the box.
    if (watch.IsDestroyed())
      return;
    EndArrange(was_covering);
  }
  FinishArrangement(changes);
}

Box::ShiftRule Box::ShiftRuleOf(const Layout& layout) {
  // Exact types only: a layout of another kind may place by other rules.
  const std::type_info& type = typeid(layout);
  if (type == typeid(Layout) || type == typeid(HLayout) || type == typeid(VLayout))
    return ShiftRule::kAnywhere;
  if (type == typeid(TileLayout))
    return ShiftRule::kPositiveOnly;
  return ShiftRule::kNever;
}

bool Box::CanShiftTo(const UiRect& rect) const {
  if (shift_rule_ == ShiftRule::kNever || !InShiftRange(bounds_) || !InShiftRange(rect) ||
      rect.Width() != bounds_.Width() || rect.Height() != bounds_.Height()) {
    return false;
  }
  const int32_t dx = rect.left - bounds_.left;
  const int32_t dy = rect.top - bounds_.top;
  // Hidden children are checked too, which is only stricter and spares
  // asking each whether it is visible.
  for (const Control* child : children_) {
    const UiRect& from = child->bounds();
    if (!InShiftRange(from))
      return false;
    const UiRect to = from.Offset(dx, dy);
    if (!InShiftRange(to))
      return false;
    // A tile cell's centre, (left + right - width) / 2, moves by the shift
    // when the sum stays positive, which a left edge of 1 or more shows.
    if (shift_rule_ == ShiftRule::kPositiveOnly && !child->IsFloat() &&
        std::min({from.left, from.top, to.left, to.top}) < 1) {
      return false;
    }
  }
  // A bubbled handler above would see each move.
  return (parent_ && parent_->moving_unobserved_) || !IsResizeObserved();
}

void Box::ShiftTo(const UiRect& rect) {
  const uint32_t changes = LayoutChangeCount();
  const int32_t dx = rect.left - bounds_.left;
  const int32_t dy = rect.top - bounds_.top;
  const LivenessWatch watch(liveness_);
  const UiRect old_bounds = bounds_;
  if (!PlaceBox(rect))
    return;
  const bool was_covering = BeginArrange(old_bounds);
  // No handler sees these moves: the box is not observed and nothing clean
  // below it has a resize handler.
  const bool was_unobserved = moving_unobserved_;
  moving_unobserved_ = true;
  // The children get exactly the rectangles arranging them would give, in
  // the same order; only the measuring is left out.
  for (size_t i = 0; i < children_.size(); ++i) {
    Control* child = children_[i];
    if (child->IsVisible())
      child->SetBounds(child->bounds().Offset(dx, dy));
    if (watch.IsDestroyed())
      return;
  }
  moving_unobserved_ = was_unobserved;
  EndArrange(was_covering);
  if (changes != LayoutChangeCount())
    layout_clean_ = false;
}

void Box::FinishArrangement(uint32_t changes_before) {
  bool clean = !needs_arrange_ && changes_before == LayoutChangeCount() && !own_resize_handler_ &&
               !HasBubbledHandler(kEventResize);
  bool pending_below = false;
  for (const Control* child : children_) {
    pending_below = pending_below || child->needs_arrange_ || child->arrange_pending_below_;
    // A hidden child was not arranged; showing it marks the box again.
    clean = clean && (child->layout_clean_ || !child->visible_);
  }
  layout_clean_ = clean;
  arrange_pending_below_ = pending_below;
}

bool Box::PlaceBox(const UiRect& rect) {
  const LivenessWatch watch(liveness_);
  Control::PlaceAt(rect, HasBubbledHandler(kEventResize));
  return !watch.IsDestroyed();
}

bool Box::BeginArrange(const UiRect& old_bounds) {
  // One invalidation per moved subtree instead of one per moved control.
  const bool was_covering = child_area_invalidated_;
  child_area_invalidated_ = CoversChildAreas(old_bounds);
  return was_covering;
}

void Box::EndArrange(bool was_covering) {
  child_area_invalidated_ = was_covering;
}

bool Box::CoversChildAreas(const UiRect& old_bounds) const {
  if (parent_ && parent_->child_area_invalidated_)
    return true;
  // A box that moved invalidated the union of its old and new rectangle,
  // clipped to its ancestors; a child's area is clipped to the box and the
  // same ancestors, so it lies inside, unless scrolling shifted the box's.
  return window_ && bounds_ != old_bounds && GetScrollOffset() == UiPoint{};
}

void Box::SetInternalVisible(bool visible) {
  Control::SetInternalVisible(visible);
  const bool shown = IsVisible();
  for (Control* child : children_)
    child->SetInternalVisible(shown);
}

void Box::SetVisible(bool visible) {
  if (visible == visible_)
    return;
  Control::SetVisible(visible);
  const bool shown = IsVisible();
  for (Control* child : children_)
    child->SetInternalVisible(shown);
}

void Box::SetEnabled(bool enabled) {
  Control::SetEnabled(enabled);
  for (Control* child : children_)
    child->SetEnabled(enabled);
  Invalidate();
}

int32_t Box::GetTabFlags() const {
  return 0;
}

Control* Box::FindControl(FindControlProc proc, void* data, uint32_t flags, UiPoint scroll_offset) {
  if ((flags & kFindVisible) && !IsVisible())
    return nullptr;
  if ((flags & kFindEnabled) && !IsEnabled())
    return nullptr;
  if (flags & kFindHitTest) {
    if (!data || !bounds_.Contains(*static_cast<const UiPoint*>(data)))
      return nullptr;
    if (!mouse_child_enabled_)
      return Control::FindControl(proc, data, flags);
  }
  if (flags & kFindMeFirst) {
    if (Control* found = Control::FindControl(proc, data, flags))
      return found;
  }
  if (Control* found = FindInChildren(proc, data, flags, scroll_offset))
    return found;
  if (flags & kFindMeFirst)
    return nullptr;
  return Control::FindControl(proc, data, flags);
}

Control* Box::FindInChildren(FindControlProc proc,
                             void* data,
                             uint32_t flags,
                             UiPoint scroll_offset) {
  if (flags & kFindArrangePending) {
    for (Control* child : children_) {
      if (!child->needs_arrange_ && !child->arrange_pending_below_)
        continue;
      if (Control* found = child->FindControl(proc, data, flags))
        return found;
    }
    return nullptr;
  }
  const bool hit_test = (flags & kFindHitTest) != 0;
  UiPoint point;
  UiPoint shifted;
  if (hit_test) {
    point = *static_cast<const UiPoint*>(data);
    shifted = {point.x + scroll_offset.x, point.y + scroll_offset.y};
  }
  const UiRect inner = Layout::DeflateSaturated(bounds_, layout_->GetPadding());
  const size_t count = children_.size();
  for (size_t i = 0; i < count; ++i) {
    const size_t index = (flags & kFindTopFirst) ? count - 1 - i : i;
    Control* found = children_[index]->FindControl(proc, hit_test ? &shifted : data, flags);
    if (!found)
      continue;
    // A child reaching into the padding is not hit there, unless it floats.
    if (!hit_test || found->IsFloat() || inner.Contains(point))
      return found;
  }
  return nullptr;
}

bool Box::DispatchEvent(EventArgs* args) {
  if (IsInternalEvent(args->type))
    return HandleEvent(args);
  const bool own = args->sender == this;
  if ((!own || (events_.IsEmpty() && xml_events_.IsEmpty())) && bubbled_events_.IsEmpty() &&
      xml_bubbled_events_.IsEmpty()) {
    return HandleEvent(args);
  }
  const LivenessWatch watch(liveness_);
  bool result = true;
  if (own && !RunOwnHandlers(args, watch, &result))
    return false;
  // Bubbled handlers may resume an event the box's own handlers stopped.
  if (!RunBubbledHandlers(args, watch, &result) || !result)
    return false;
  return HandleEvent(args);
}

bool Box::RunBubbledHandlers(EventArgs* args, const LivenessWatch& watch, bool* result) {
  if (!bubbled_events_.RunIfPresent(args->type, args, watch, result) ||
      !bubbled_events_.RunIfPresent(kEventAll, args, watch, result)) {
    return false;
  }
  if (!*result)
    return true;
  return xml_bubbled_events_.RunIfPresent(args->type, args, watch, result) &&
         xml_bubbled_events_.RunIfPresent(kEventAll, args, watch, result);
}

void Box::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (layout_->ApplyAttribute(name, value))
    return;
  if (name == L"mousechild") {
    SetMouseChildEnabled(attribute_value::ReadBool(value));
    return;
  }
  Control::ApplyAttribute(name, value);
}

void Box::PaintChildren(IRenderContext* context, const UiRect& paint_rect) {
  if (!paint_rect.Intersects(bounds_))
    return;
  for (Control* child : children_) {
    if (child->IsVisible())
      child->Draw(context, paint_rect);
  }
}

void Box::AttachCachedImage() {
  Control::AttachCachedImage();
  for (Control* child : children_)
    child->AttachCachedImage();
}

void Box::UnloadImages() {
  Control::UnloadImages();
  for (Control* child : children_)
    child->UnloadImages();
}

void Box::ClearImageCache() {
  Control::ClearImageCache();
  for (Control* child : children_)
    child->ClearImageCache();
}

int32_t Box::FindSelectableIndex(int32_t start, bool forward) const {
  const int32_t count = GetCount();
  if (count == 0)
    return -1;
  start = std::clamp(start, 0, count - 1);
  auto selectable = [this](int32_t index) {
    const Control* child = children_[static_cast<size_t>(index)];
    return child->IsListItem() && child->IsVisible() && child->IsEnabled();
  };
  if (forward) {
    for (int32_t i = start; i < count; ++i) {
      if (selectable(i))
        return i;
    }
    return -1;
  }
  for (int32_t i = start; i >= 0; --i) {
    if (selectable(i))
      return i;
  }
  return FindSelectableIndex(0, true);
}

Control* Box::GetItemAt(int32_t index) const {
  if (index < 0 || index >= GetCount())
    return nullptr;
  return children_[static_cast<size_t>(index)];
}

int32_t Box::GetItemIndex(const Control* control) const {
  auto found = std::find(children_.begin(), children_.end(), control);
  return found == children_.end() ? -1 : static_cast<int32_t>(found - children_.begin());
}

bool Box::SetItemIndex(Control* control, int32_t index) {
  const int32_t current = GetItemIndex(control);
  if (current < 0 || index < 0 || index >= GetCount())
    return false;
  RequestLayout();
  children_.erase(children_.begin() + current);
  children_.insert(children_.begin() + index, control);
  return true;
}

int32_t Box::GetCount() const {
  return static_cast<int32_t>(children_.size());
}

bool Box::Add(Control* control) {
  return AddAt(control, GetCount());
}

bool Box::AddAt(Control* control, int32_t index) {
  if (!control || control == this || index < 0 || index > GetCount())
    return false;
  PlaceIntoList(control, static_cast<size_t>(index));
  return true;
}

void Box::PlaceIntoList(Control* control, size_t index) {
  if (window_) {
    window_->RegisterSubtree(control, this);
  } else {
    // Without a window the child still learns its parent, so that its
    // events and layout requests reach this box.
    control->SetWindowAndParent(nullptr, this, false);
  }
  if (IsVisible()) {
    // A child moved here from a hidden box becomes visible again.
    if (!control->internal_visible_)
      control->SetInternalVisible(true);
    RequestLayout();
  } else {
    control->SetInternalVisible(false);
  }
  children_.insert(children_.begin() + static_cast<ptrdiff_t>(index), control);
  // Also in a hidden box, which asks for no layout: it has one more child
  // to arrange when it is shown.
  MarkLayoutChanged();
  if (control->needs_arrange_ || control->arrange_pending_below_) {
    arrange_pending_below_ = true;
    PropagateArrangePending();
  }
}

bool Box::Remove(Control* control) {
  const int32_t index = GetItemIndex(control);
  if (!control || index < 0)
    return false;
  RequestLayout();
  children_.erase(children_.begin() + index);
  if (auto_destroy_)
    DisposeChild(control);
  else
    ReleaseChild(control);
  return true;
}

bool Box::RemoveAt(int32_t index) {
  return Remove(GetItemAt(index));
}

void Box::RemoveAll() {
  std::vector<Control*> children;
  children.swap(children_);
  for (Control* child : children) {
    if (auto_destroy_)
      DisposeChild(child);
    else
      ReleaseChild(child);
  }
  RequestLayout();
}

void Box::DisposeChild(Control* child) {
  if (delayed_destroy_ && window_) {
    child->SetWindowAndParent(window_, nullptr, false);
    window_->DeferDelete(child);
    return;
  }
  delete child;
}

void Box::ReleaseChild(Control* child) {
  child->SetWindowAndParent(child->GetWindow(), nullptr, false);
}

bool Box::IsAutoDestroy() const {
  return auto_destroy_;
}

void Box::SetAutoDestroy(bool auto_destroy) {
  auto_destroy_ = auto_destroy;
}

bool Box::IsDelayedDestroy() const {
  return delayed_destroy_;
}

void Box::SetDelayedDestroy(bool delayed) {
  delayed_destroy_ = delayed;
}

bool Box::IsMouseChildEnabled() const {
  return mouse_child_enabled_;
}

void Box::SetMouseChildEnabled(bool enabled) {
  mouse_child_enabled_ = enabled;
}

Layout* Box::GetLayout() const {
  return layout_.get();
}

void Box::ReplaceLayout(std::unique_ptr<Layout> layout) {
  if (!layout)
    return;
  layout_ = std::move(layout);
  layout_->SetOwner(this);
  shift_rule_ = ShiftRuleOf(*layout_);
  RequestLayout();
}

UiRect Box::GetPaddingBounds() const {
  return Layout::DeflateSaturated(GetBounds(true), layout_->GetPadding());
}

bool Box::HasScrollRange() const {
  return false;
}

bool Box::HasVerticalScrollRange() const {
  return false;
}

UiPoint Box::GetScrollPos() const {
  return {};
}

void Box::AttachBubbledEvent(EventType type, EventHandler handler) {
  bubbled_events_.Attach(type, std::move(handler));
  OnBubbledHandlersChanged();
}

void Box::AttachXmlBubbledEvent(EventType type, EventHandler handler) {
  xml_bubbled_events_.Attach(type, std::move(handler));
  OnBubbledHandlersChanged();
}

void Box::OnBubbledHandlersChanged() {
  // The moves of every control below are seen now.
  if (HasBubbledHandler(kEventResize))
    MarkLayoutChanged();
}

Control* Box::FindSubControl(const std::wstring& name) {
  std::wstring wanted = name;
  return FindControl(&MatchName, &wanted, 0);
}

bool Box::RefreshArrangePending() {
  // A hidden subtree keeps its marks: it is not searched, and showing it
  // marks its ancestors again.
  if (arrange_pending_below_ && IsVisible()) {
    bool below = false;
    for (Control* child : children_) {
      if (child->arrange_pending_below_) {
        // Only boxes are ever parents, so only boxes carry the mark.
        KBASE_DCHECK(dynamic_cast<Box*>(child) != nullptr);
        below = static_cast<Box*>(child)->RefreshArrangePending() || below;
      } else {
        below = below || child->needs_arrange_;
      }
    }
    arrange_pending_below_ = below;
  }
  return needs_arrange_ || arrange_pending_below_;
}

HBox::HBox() : Box(std::make_unique<HLayout>()) {}

VBox::VBox() : Box(std::make_unique<VLayout>()) {}

TileBox::TileBox() : Box(std::make_unique<TileLayout>()) {}

}  // namespace ui
