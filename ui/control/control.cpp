#include "ui/control/control.h"

#include <shlwapi.h>

#include <algorithm>
#include <utility>

#include "base/util/string_util.h"
#include "ui/control/box.h"
#include "ui/control/control_host.h"
#include "ui/core/global_resources.h"
#include "ui/core/image_info.h"
#include "ui/core/language_strings.h"
#include "ui/render/render_context.h"

namespace ui {

namespace {

// "<n>" in tool tip texts stands for a line break.
std::wstring ExpandLineBreaks(const std::wstring& text) {
  static constexpr wchar_t kMarker[] = L"<n>";
  std::wstring result;
  result.reserve(text.size());
  size_t position = 0;
  for (;;) {
    const size_t found = text.find(kMarker, position);
    if (found == std::wstring::npos)
      break;
    result.append(text, position, found - position);
    result.append(L"\r\n");
    position = found + 3;
  }
  result.append(text, position, std::wstring::npos);
  return result;
}

}  // namespace

Control::Control() : state_colors_(this), state_images_(this), animations_(this) {}

Control::~Control() {
  if (window_)
    window_->ForgetControl(this);
}

ImageSpec* Control::GetSizingImage() {
  if (!background_image_.fileName.empty())
    return &background_image_;
  StateImage& set = state_images_.Get(StateImageType::kBackground);
  for (ControlState state : {ControlState::kNormal, ControlState::kHot, ControlState::kPushed,
                             ControlState::kDisabled}) {
    if (set.HasImage(state))
      return &set.Get(state);
  }
  return nullptr;
}

CursorType Control::GetCursorType() const {
  return cursor_type_;
}

std::wstring Control::GetToolTipText() const {
  if (tool_tip_text_.empty() && !tool_tip_text_id_.empty())
    return LanguageStrings::Instance()->StringById(tool_tip_text_id_);
  return tool_tip_text_;
}

std::string Control::GetToolTipTextUtf8() const {
  return kbase::Utf16ToUtf8(GetToolTipText());
}

void Control::SetToolTipText(const std::wstring& text) {
  tool_tip_text_ = ExpandLineBreaks(text);
  Invalidate();
}

void Control::SetToolTipTextUtf8(const std::string& text) {
  const std::wstring wide = kbase::Utf8ToUtf16(text);
  if (wide.empty()) {
    tool_tip_text_.clear();
    Invalidate();
    return;
  }
  if (wide == tool_tip_text_)
    return;
  SetToolTipText(wide);
}

void Control::SetToolTipTextId(const std::wstring& id) {
  if (id == tool_tip_text_id_)
    return;
  tool_tip_text_id_ = id;
  Invalidate();
}

void Control::SetToolTipTextIdUtf8(const std::string& id) {
  SetToolTipTextId(kbase::Utf8ToUtf16(id));
}

void Control::SetToolTipWidth(int32_t width) {
  tool_tip_width_ = width;
}

int32_t Control::GetToolTipWidth() const {
  return tool_tip_width_;
}

bool Control::IsContextMenuEnabled() const {
  return context_menu_enabled_;
}

void Control::SetContextMenuEnabled(bool enabled) {
  context_menu_enabled_ = enabled;
}

std::wstring Control::GetDataId() const {
  return data_id_;
}

std::string Control::GetDataIdUtf8() const {
  return kbase::Utf16ToUtf8(data_id_);
}

void Control::SetDataId(const std::wstring& id) {
  data_id_ = id;
}

void Control::SetDataIdUtf8(const std::string& id) {
  data_id_ = kbase::Utf8ToUtf16(id);
}

UserData* Control::GetUserData() const {
  return user_data_.get();
}

void Control::SetUserData(std::unique_ptr<UserData> data) {
  user_data_ = std::move(data);
}

void Control::SetFadeVisible(bool visible) {
  if (visible)
    animations_.Appear();
  else
    animations_.Disappear();
}

void Control::SetInternalVisible(bool visible) {
  const bool was_visible = IsVisible();
  internal_visible_ = visible;
  if (IsVisible() != was_visible)
    OnVisibilityChanged();
  if (!visible)
    DropFocusIfFocused();
  StopImageAnimationIfHidden();
}

void Control::SetVisible(bool visible) {
  if (visible == visible_)
    return;
  const bool was_visible = IsVisible();
  visible_ = visible;
  focused_ = false;
  if (!visible)
    DropFocusIfFocused();
  if (IsVisible() != was_visible) {
    OnVisibilityChanged();
    RequestAncestorLayout();
  }
  StopImageAnimationIfHidden();
}

bool Control::IsEnabled() const {
  return enabled_;
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_)
    return;
  enabled_ = enabled;
  if (enabled) {
    state_ = ControlState::kNormal;
    hot_alpha_ = 0;
  } else {
    state_ = ControlState::kDisabled;
  }
  Invalidate();
}

bool Control::IsMouseEnabled() const {
  return mouse_enabled_;
}

void Control::SetMouseEnabled(bool enabled) {
  mouse_enabled_ = enabled;
}

bool Control::IsKeyboardEnabled() const {
  return keyboard_enabled_;
}

void Control::SetKeyboardEnabled(bool enabled) {
  keyboard_enabled_ = enabled;
}

bool Control::IsFocused() const {
  return focused_;
}

void Control::SetFocus() {
  if (no_focus_ || !window_)
    return;
  window_->SetFocusControl(this);
}

int32_t Control::GetTabFlags() const {
  return kTabStop;
}

bool Control::IsMouseCaptured() const {
  return mouse_captured_;
}

void Control::SetMouseCaptured(bool captured) {
  mouse_captured_ = captured;
}

bool Control::IsActivatable() const {
  return IsVisible() && IsEnabled();
}

void Control::Activate() {}

Control* Control::FindControl(FindControlProc proc,
                              void* data,
                              uint32_t flags,
                              UiPoint /*scroll_offset*/) {
  if ((flags & kFindVisible) && !IsVisible())
    return nullptr;
  if ((flags & kFindEnabled) && !IsEnabled())
    return nullptr;
  if (flags & kFindHitTest) {
    if (!IsMouseEnabled() || !data || !bounds_.Contains(*static_cast<const UiPoint*>(data)))
      return nullptr;
  }
  return proc ? proc(this, data) : nullptr;
}

UiPadding Control::GetMargin() const {
  return margin_;
}

void Control::SetMargin(const UiPadding& margin) {
  if (margin == margin_)
    return;
  margin_ = margin;
  RequestAncestorLayout();
}

UiSize Control::MeasureText(UiSize /*available*/, bool* /*needs_measure*/) {
  return {};
}

bool Control::ContainsPointScrolled(UiPoint point) const {
  const UiPoint scroll = GetScrollOffset();
  return bounds_.Contains({point.x + scroll.x, point.y + scroll.y});
}

bool Control::HasHotState() {
  return state_colors_.HasColor(ControlState::kHot) || state_images_.HasHotImage();
}

bool Control::IsListItem() const {
  return false;
}

UiSize Control::Measure(UiSize available) {
  if (!IsAutoSized())
    return {fixed_width_, fixed_height_};
  if (!needs_measure_)
    return measured_size_;

  ImageSpec* image = GetSizingImage();
  if (image && image->HasDest()) {
    const UiRect& dest = image->dest;
    if (dest.right >= dest.left && dest.bottom >= dest.top) {
      // The image says how large the control is: from now on a fixed size.
      SetFixedWidth(dest.right - dest.left, true);
      SetFixedHeight(dest.bottom - dest.top);
      if (!IsAutoSized())
        return {fixed_width_, fixed_height_};
    }
  }

  UiSize image_size = {kAuto, kAuto};
  if (image && image->ResolveAndLoad(window_ ? window_->SkinFolder() : std::wstring()))
    image_size = {image->image->width, image->image->height};

  needs_measure_ = false;
  const UiSize text = MeasureText(available, &needs_measure_);
  UiSize size = {fixed_width_, fixed_height_};
  if (fixed_width_ == kAuto)
    size.cx = std::max(image_size.cx, text.cx);
  if (fixed_height_ == kAuto)
    size.cy = std::max(image_size.cy, text.cy);
  measured_size_ = size;
  return size;
}

void Control::SetBounds(const UiRect& requested) {
  const uint32_t changes = LayoutChangeCount();
  if (!PlaceAt(requested, false))
    return;
  // A control that is not a box has nothing to arrange but itself; one
  // whose resize handler might react to a move is never skipped or moved
  // by its box without being asked.
  layout_clean_ = !own_resize_handler_ && changes == LayoutChangeCount();
}

bool Control::PlaceAt(const UiRect& requested, bool box_listens) {
  UiRect rect = requested;
  rect.right = std::max(rect.right, rect.left);
  rect.bottom = std::max(rect.bottom, rect.top);
  if (rect == bounds_) {
    needs_arrange_ = false;
    return true;
  }
  const UiRect old_bounds = bounds_.IsEmpty() ? rect : bounds_;
  bounds_ = rect;
  if (!window_) {
    // Placed all the same: a later layout pass must not place it again.
    needs_arrange_ = false;
    return true;
  }

  // Layout moves thousands of controls at a time; a resize event that no
  // handler would see is not built and bubbled up the tree for nothing.
  const bool observed =
      box_listens || (!(parent_ && parent_->IsMovingUnobserved()) && IsResizeObserved());
  if (observed && !in_resize_event_) {
    const LivenessWatch watch(liveness_);
    in_resize_event_ = true;
    SendEvent(kEventResize, 0, 0, 0, 0.0f, window_->GetLastMousePos());
    // A handler may have destroyed the control.
    if (watch.IsDestroyed())
      return false;
    in_resize_event_ = false;
  }
  needs_arrange_ = false;
  // Inside a box that repaints its whole area, the box's invalidation
  // holds this control's old and new rectangles already.
  if (!parent_ || !parent_->IsChildAreaInvalidated())
    InvalidateMovedArea(old_bounds);
  return true;
}

bool Control::IsResizeObserved() const {
  if (own_resize_handler_)
    return true;
  for (const Box* box = parent_; box; box = box->GetParent()) {
    if (box->HasBubbledHandler(kEventResize))
      return true;
  }
  return false;
}

void Control::InvalidateMovedArea(const UiRect& old_bounds) {
  UiRect area = {std::min(old_bounds.left, bounds_.left), std::min(old_bounds.top, bounds_.top),
                 std::max(old_bounds.right, bounds_.right),
                 std::max(old_bounds.bottom, bounds_.bottom)};
  const UiPoint scroll = GetScrollOffset();
  area = area.Offset(-scroll.x, -scroll.y);
  for (const Box* ancestor = parent_; ancestor; ancestor = ancestor->GetParent()) {
    area = UiRect::Intersection(area, ancestor->bounds());
    if (area.IsEmpty())
      return;
  }
  if (window_)
    window_->Invalidate(area);
}

void Control::SetState(ControlState state) {
  if (state == state_)
    return;
  state_ = state;
  Invalidate();
}

void Control::SetBorderSize(int32_t size) {
  if (size == border_size_)
    return;
  border_size_ = size;
  Invalidate();
}

void Control::SetBorderSizes(const UiPadding& sizes) {
  if (sizes == border_sizes_)
    return;
  border_sizes_ = sizes;
  Invalidate();
}

void Control::SetLeftBorderSize(int32_t size) {
  SetBorderSizes({size, border_sizes_.top, border_sizes_.right, border_sizes_.bottom});
}

void Control::SetTopBorderSize(int32_t size) {
  SetBorderSizes({border_sizes_.left, size, border_sizes_.right, border_sizes_.bottom});
}

void Control::SetRightBorderSize(int32_t size) {
  SetBorderSizes({border_sizes_.left, border_sizes_.top, size, border_sizes_.bottom});
}

void Control::SetBottomBorderSize(int32_t size) {
  SetBorderSizes({border_sizes_.left, border_sizes_.top, border_sizes_.right, size});
}

void Control::SetBorderRound(UiSize round) {
  if (round == border_round_)
    return;
  border_round_ = round;
  Invalidate();
}

void Control::SetBorderColor(const std::wstring& color_name) {
  if (color_name == border_color_)
    return;
  border_color_ = color_name;
  Invalidate();
}

void Control::SetBackgroundColor(const std::wstring& color_name) {
  if (color_name == background_color_)
    return;
  background_color_ = color_name;
  Invalidate();
}

void Control::SetBackgroundColor2(const std::wstring& color_name) {
  if (color_name == background_color2_)
    return;
  background_color2_ = color_name;
  Invalidate();
}

void Control::SetAlpha(int32_t alpha) {
  alpha = std::clamp(alpha, 0, 255);
  if (alpha == alpha_)
    return;
  alpha_ = alpha;
  Invalidate();
}

void Control::SetHotAlpha(int32_t alpha) {
  alpha = std::clamp(alpha, 0, 255);
  if (alpha == hot_alpha_)
    return;
  hot_alpha_ = alpha;
  Invalidate();
}

void Control::SetRenderOffset(UiPoint offset) {
  if (offset == render_offset_)
    return;
  render_offset_ = offset;
  Invalidate();
}

void Control::SetRenderOffsetX(int32_t x) {
  SetRenderOffset({x, render_offset_.y});
}

void Control::SetRenderOffsetY(int32_t y) {
  SetRenderOffset({render_offset_.x, y});
}

std::wstring Control::GetStateColor(ControlState state) const {
  return state_colors_.Get(state);
}

void Control::SetStateColor(ControlState state, const std::wstring& color_name) {
  if (state_colors_.Get(state) == color_name)
    return;
  if (state == ControlState::kHot)
    animations_.SwitchHot(true);
  state_colors_.Set(state, color_name);
  Invalidate();
}

std::wstring Control::GetStateImage(ControlState state) const {
  return state_images_.GetImageString(StateImageType::kBackground, state);
}

void Control::SetStateImage(ControlState state, const std::wstring& image) {
  if (state == ControlState::kHot)
    animations_.SwitchHot(true);
  if (GetStateImage(state) == image)
    return;
  state_images_.SetImageString(StateImageType::kBackground, state, image);
  RequestLayoutOrInvalidate();
}

std::wstring Control::GetForeStateImage(ControlState state) const {
  return state_images_.GetImageString(StateImageType::kForeground, state);
}

void Control::SetForeStateImage(ControlState state, const std::wstring& image) {
  if (state == ControlState::kHot)
    animations_.SwitchHot(true);
  if (GetForeStateImage(state) == image)
    return;
  state_images_.SetImageString(StateImageType::kForeground, state, image);
  Invalidate();
}

void Control::SetBackgroundImage(const std::wstring& image) {
  if (image == background_image_.attributeString)
    return;
  if (background_image_.image && background_image_.image->FrameCount() > 1) {
    background_image_.playing = false;
    image_timer_flag_.Cancel();
    Invalidate();
  }
  background_image_.SetImageString(image);
  image_animation_enabled_ = background_image_.playCount != 0;
  RequestLayoutOrInvalidate();
}

void Control::RequestLayoutOrInvalidate() {
  if (IsAutoSized())
    RequestAncestorLayout();
  else
    Invalidate();
}

void Control::AttachCachedImage() {
  ImageSpec& image = background_image_;
  if (image.image || image.fileName.empty())
    return;
  std::wstring path = image.fileName;
  if (PathIsRelativeW(path.c_str()))
    path = GlobalResources::ResourceFolder() + (window_ ? window_->SkinFolder() : L"") + path;
  image.image = GlobalResources::FindCachedImage(path);
}

void Control::UnloadImages() {
  image_timer_flag_.Cancel();
  background_image_.ReleaseImage();
}

void Control::ClearImageCache() {
  state_images_.ClearCache();
  image_timer_flag_.Cancel();
  background_image_.ReleaseImage();
}

void Control::DropFocusIfFocused() {
  if (window_ && window_->GetFocusControl() == this)
    window_->SetFocusControl(nullptr);
}

}  // namespace ui
