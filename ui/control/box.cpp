#include "ui/control/box.h"

#include <windows.h>

#include <algorithm>
#include <utility>

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

}  // namespace

Box::Box(std::unique_ptr<Layout> layout)
    : layout_(layout ? std::move(layout) : std::make_unique<Layout>()) {
  layout_->SetOwner(this);
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

void Box::SetBounds(const UiRect& rect) {
  const LivenessWatch watch(liveness_);
  const UiRect old_bounds = bounds_;
  // The resize event may have destroyed the box.
  if (!PlaceBox(rect) || children_.empty())
    return;
  const bool was_covering = BeginArrange(old_bounds);
  layout_->ArrangeChildren(children_, Layout::DeflateSaturated(bounds_, layout_->GetPadding()));
  // A child's resize handler may have destroyed the box.
  if (!watch.IsDestroyed())
    EndArrange(was_covering);
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
}

void Box::AttachXmlBubbledEvent(EventType type, EventHandler handler) {
  xml_bubbled_events_.Attach(type, std::move(handler));
}

Control* Box::FindSubControl(const std::wstring& name) {
  std::wstring wanted = name;
  return FindControl(&MatchName, &wanted, 0);
}

HBox::HBox() : Box(std::make_unique<HLayout>()) {}

VBox::VBox() : Box(std::make_unique<VLayout>()) {}

TileBox::TileBox() : Box(std::make_unique<TileLayout>()) {}

}  // namespace ui
