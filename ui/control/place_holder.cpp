#include "ui/control/place_holder.h"

#include <atomic>

#include "ui/control/box.h"
#include "ui/control/control_host.h"
#include "ui/render/render_context.h"

namespace ui {

namespace {

bool IsValidLength(int32_t length) {
  return length >= 0 || length == kStretch || length == kAuto;
}

// Controls live on their window's thread; a relaxed counter is enough for
// an arrangement to see whether its own thread changed something meanwhile.
std::atomic<uint32_t> g_layout_changes{0};

}  // namespace

PlaceHolder::PlaceHolder() = default;

PlaceHolder::~PlaceHolder() = default;

ControlHost* PlaceHolder::GetWindow() const {
  return window_;
}

void PlaceHolder::SetWindow(ControlHost* window) {
  window_ = window;
}

void PlaceHolder::SetWindowAndParent(ControlHost* window, Box* parent, bool init) {
  window_ = window;
  parent_ = parent;
  // The new ancestors must lead the layout pass here.
  if (needs_arrange_ || arrange_pending_below_)
    PropagateArrangePending();
  if (init && parent_)
    Init();
}

void PlaceHolder::Init() {
  OnInit();
}

void PlaceHolder::OnInit() {}

bool PlaceHolder::IsVisible() const {
  return visible_ && internal_visible_;
}

UiSize PlaceHolder::Measure(UiSize /*available*/) {
  // Nothing to size to: an automatic length is empty.
  return {fixed_width_ == kAuto ? 0 : fixed_width_, fixed_height_ == kAuto ? 0 : fixed_height_};
}

UiRect PlaceHolder::GetBounds(bool include_shadow) const {
  if (include_shadow || !window_ || !window_->IsShadowAttached())
    return bounds_;
  const UiPadding shadow = window_->GetShadowCorner();
  return bounds_.Offset(-shadow.left, -shadow.top);
}

void PlaceHolder::SetBounds(const UiRect& rect) {
  bounds_ = {rect.left, rect.top, std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
  needs_arrange_ = false;
}

void PlaceHolder::RequestLayout() {
  if (IsAutoSized())
    RequestAncestorLayout();
  else
    RequestSelfLayout();
}

void PlaceHolder::RequestAncestorLayout() {
  needs_measure_ = true;
  MarkLayoutChanged();
  if (window_ && window_->GetRoot()) {
    for (PlaceHolder* ancestor = parent_; ancestor; ancestor = ancestor->parent_) {
      if (!ancestor->IsAutoSized()) {
        ancestor->RequestSelfLayout();
        return;
      }
      // Its size depends on this control's: measure it again too.
      ancestor->needs_measure_ = true;
    }
    window_->GetRoot()->RequestSelfLayout();
    return;
  }
  if (parent_)
    parent_->RequestSelfLayout();
  else
    RequestSelfLayout();
}

void PlaceHolder::Invalidate() {
  if (!IsVisible())
    return;
  cache_dirty_ = true;
  if (!window_)
    return;
  const UiPoint scroll = GetScrollOffset();
  window_->Invalidate(GetBounds(true).Offset(-scroll.x, -scroll.y));
}

void PlaceHolder::RequestSelfLayout() {
  // Even a hidden control's arrangement is stale now; it is redone when it
  // is shown.
  MarkLayoutChanged();
  if (!IsVisible())
    return;
  needs_measure_ = true;
  needs_arrange_ = true;
  PropagateArrangePending();
  Invalidate();
  if (window_)
    window_->SetLayoutNeeded();
}

void PlaceHolder::SetFixedWidth(int32_t width, bool request_layout) {
  if (!IsValidLength(width) || width == fixed_width_)
    return;
  fixed_width_ = width;
  if (request_layout)
    RequestAncestorLayout();
  else
    needs_measure_ = true;
}

void PlaceHolder::SetFixedHeight(int32_t height) {
  if (!IsValidLength(height) || height == fixed_height_)
    return;
  fixed_height_ = height;
  RequestAncestorLayout();
}

void PlaceHolder::SetMinWidth(int32_t width) {
  if (width < 0 || width == min_width_)
    return;
  min_width_ = width;
  OnSizeLimitChanged();
}

void PlaceHolder::SetMinHeight(int32_t height) {
  if (height < 0 || height == min_height_)
    return;
  min_height_ = height;
  OnSizeLimitChanged();
}

void PlaceHolder::SetMaxWidth(int32_t width) {
  if (width == max_width_)
    return;
  max_width_ = width;
  OnSizeLimitChanged();
}

void PlaceHolder::SetMaxHeight(int32_t height) {
  if (height == max_height_)
    return;
  max_height_ = height;
  OnSizeLimitChanged();
}

void PlaceHolder::OnSizeLimitChanged() {
  if (is_float_)
    RequestLayout();
  else
    RequestAncestorLayout();
}

void PlaceHolder::SetHorAlign(HorAlign align) {
  if (align == hor_align_)
    return;
  hor_align_ = align;
  MarkLayoutChanged();
}

void PlaceHolder::SetVerAlign(VerAlign align) {
  if (align == ver_align_)
    return;
  ver_align_ = align;
  MarkLayoutChanged();
}

uint32_t PlaceHolder::LayoutChangeCount() {
  return g_layout_changes.load(std::memory_order_relaxed);
}

void PlaceHolder::MarkLayoutChanged() {
  g_layout_changes.fetch_add(1, std::memory_order_relaxed);
  layout_clean_ = false;
  for (PlaceHolder* ancestor = parent_; ancestor && ancestor->layout_clean_;
       ancestor = ancestor->parent_) {
    ancestor->layout_clean_ = false;
  }
}

void PlaceHolder::PropagateArrangePending() {
  for (PlaceHolder* ancestor = parent_; ancestor && !ancestor->arrange_pending_below_;
       ancestor = ancestor->parent_) {
    ancestor->arrange_pending_below_ = true;
  }
}

void PlaceHolder::OnVisibilityChanged() {
  // A control hidden while its parent was arranged may have been left
  // unarranged, so the parent is marked whatever the control's own mark.
  MarkLayoutChanged();
  if (IsVisible() && (needs_arrange_ || arrange_pending_below_))
    PropagateArrangePending();
}

void PlaceHolder::SetFloat(bool is_float) {
  if (is_float == is_float_)
    return;
  is_float_ = is_float;
  RequestAncestorLayout();
}

void PlaceHolder::SetCacheEnabled(bool enabled) {
  use_cache_ = enabled;
  if (!enabled)
    cache_context_.reset();
}

UiPoint PlaceHolder::GetScrollOffset() const {
  // Every scrolled ancestor shifts what it holds, except its floating
  // children (and its scroll bars), which it draws unshifted.
  UiPoint offset;
  const PlaceHolder* child = this;
  for (const Box* ancestor = parent_; ancestor;
       child = ancestor, ancestor = ancestor->GetParent()) {
    if (child->IsFloat() || !ancestor->HasScrollRange())
      continue;
    const UiPoint position = ancestor->GetScrollPos();
    offset.x += position.x;
    offset.y += position.y;
  }
  return offset;
}

}  // namespace ui
