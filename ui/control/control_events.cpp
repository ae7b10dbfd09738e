#include <windows.h>

#include "ui/control/box.h"
#include "ui/control/control.h"
#include "ui/control/control_host.h"

namespace ui {

namespace {

void ShowCursor(CursorType type, bool enabled) {
  const wchar_t* cursor = IDC_ARROW;
  if (type == CursorType::kHand && enabled)
    cursor = IDC_HAND;
  else if (type == CursorType::kIbeam)
    cursor = IDC_IBEAM;
  ::SetCursor(::LoadCursorW(nullptr, cursor));
}

// Whether |control| is |ancestor| or lies inside it.
bool IsWithin(const Control* control, const Control* ancestor) {
  for (const Control* c = control; c; c = c->GetParent()) {
    if (c == ancestor)
      return true;
  }
  return false;
}

}  // namespace

bool Control::SendEvent(EventType type,
                        uintptr_t wparam,
                        intptr_t lparam,
                        wchar_t key_char,
                        float pressure,
                        UiPoint point) {
  EventArgs args;
  args.type = type;
  args.sender = this;
  args.timestamp = GetTickCount();
  args.mousePoint = point;
  if (point.x == 0 && point.y == 0 && window_)
    args.mousePoint = window_->GetLastMousePos();
  args.keyChar = key_char;
  args.wParam = wparam;
  args.lParam = lparam;
  args.pressure = pressure;
  return DispatchEvent(&args);
}

void Control::AttachEvent(EventType type, EventHandler handler) {
  events_.Attach(type, std::move(handler));
  OnHandlersChanged();
}

void Control::AttachXmlEvent(EventType type, EventHandler handler) {
  xml_events_.Attach(type, std::move(handler));
  OnHandlersChanged();
}

void Control::OnHandlersChanged() {
  own_resize_handler_ = events_.Listens(kEventResize) || xml_events_.Listens(kEventResize);
  // A handler that sees moves must see each one its layouts make.
  if (own_resize_handler_)
    MarkLayoutChanged();
}

void Control::AttachImageEvent(int32_t key, EventHandler handler) {
  if (handler)
    image_events_[key].push_back(std::move(handler));
}

bool Control::DispatchEvent(EventArgs* args) {
  if (IsInternalEvent(args->type) || args->sender != this)
    return HandleEvent(args);
  bool result = true;
  if (!events_.IsEmpty() || !xml_events_.IsEmpty()) {
    const LivenessWatch watch(liveness_);
    if (!RunOwnHandlers(args, watch, &result))
      return false;
  }
  return result ? HandleEvent(args) : false;
}

bool Control::RunOwnHandlers(EventArgs* args, const LivenessWatch& watch, bool* result) {
  if (!events_.RunIfPresent(args->type, args, watch, result) ||
      !events_.RunIfPresent(kEventAll, args, watch, result)) {
    return false;
  }
  if (!*result)
    return true;
  return xml_events_.RunIfPresent(args->type, args, watch, result) &&
         xml_events_.RunIfPresent(kEventAll, args, watch, result);
}

bool Control::ForwardToParent(EventArgs* args) {
  return parent_ ? parent_->DispatchEvent(args) : true;
}

bool Control::HandleEvent(EventArgs* args) {
  const EventType type = args->type;
  if (!IsMouseEnabled() && IsMouseEvent(type))
    return ForwardToParent(args);

  switch (type) {
    case kEventSetCursor:
      ShowCursor(cursor_type_, IsEnabled());
      return true;
    case kEventInternalSetFocus:
      hot_alpha_ = 255;
      state_ = ControlState::kHot;
      Invalidate();
      focused_ = true;
      Invalidate();
      return true;
    case kEventInternalKillFocus:
      hot_alpha_ = 0;
      state_ = ControlState::kNormal;
      Invalidate();
      focused_ = false;
      Invalidate();
      return true;
    case kEventInternalMenu:
      if (IsEnabled() && IsContextMenuEnabled()) {
        SendEvent(kEventMouseMenu, args->wParam, args->lParam);
        return true;
      }
      return ForwardToParent(args);
    case kEventMouseEnter:
      if (args->sender != this && window_) {
        // Came up from a descendant: only when the mouse is inside.
        const Control* hover = window_->GetHoverControl();
        if (!hover || !IsWithin(hover, this))
          return true;
      }
      OnMouseEnter(args);
      return ForwardToParent(args);
    case kEventMouseLeave:
      if (args->sender != this && window_) {
        // The mouse moved to another control inside this one.
        const Control* hover = window_->GetHoverControl();
        if (hover && IsWithin(hover, this))
          return true;
      }
      OnMouseLeave(args);
      return ForwardToParent(args);
    case kEventMouseButtonDown:
    case kEventInternalDoubleClick:
      OnButtonDown(args);
      return true;
    case kEventMouseButtonUp:
      OnButtonUp(args);
      return true;
    case kEventPointerDown:
      if (!receive_pointer_)
        return ForwardToParent(args);
      OnButtonDown(args);
      return true;
    case kEventPointerUp:
      if (!receive_pointer_)
        return ForwardToParent(args);
      OnButtonUp(args);
      return true;
    default:
      return ForwardToParent(args);
  }
}

bool Control::OnMouseEnter(EventArgs* /*args*/) {
  if (!IsEnabled() || state_ != ControlState::kNormal)
    return false;
  state_ = ControlState::kHot;
  if (HasHotState()) {
    animations_.HotForward();
    Invalidate();
  }
  return true;
}

bool Control::OnMouseLeave(EventArgs* /*args*/) {
  if (!IsEnabled() || state_ != ControlState::kHot)
    return false;
  state_ = ControlState::kNormal;
  if (HasHotState()) {
    animations_.HotBackward();
    Invalidate();
  }
  return true;
}

bool Control::OnButtonDown(EventArgs* /*args*/) {
  if (!IsEnabled())
    return false;
  state_ = ControlState::kPushed;
  mouse_captured_ = true;
  Invalidate();
  return true;
}

bool Control::OnButtonUp(EventArgs* args) {
  if (!mouse_captured_)
    return false;
  mouse_captured_ = false;
  if (AnimationPlayer* hot = animations_.GetPlayer(AnimationType::kHot))
    hot->Cancel();
  Invalidate();
  if (!ContainsPointScrolled(args->mousePoint)) {
    state_ = ControlState::kNormal;
    hot_alpha_ = 0;
    return false;
  }
  if (args->type == kEventPointerUp) {
    state_ = ControlState::kNormal;
    hot_alpha_ = 0;
  } else {
    state_ = ControlState::kHot;
    hot_alpha_ = 255;
  }
  Activate();
  return true;
}

}  // namespace ui
