// Input routing of the window host: native mouse, keyboard, touch, pointer
// and input-method messages become control events.

#include <richedit.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "ui/control/control.h"
#include "ui/core/touch_api.h"
#include "ui/core/window.h"

namespace ui {

namespace {

// Hover delay while no tooltip window exists yet.
constexpr DWORD kDefaultHoverTimeMs = 400;
// A point outside every control.
constexpr UiPoint kNowhere = {-1, -1};
// The offset at which a parent reflects a message to the child it is about.
constexpr UINT kReflectOffset = 0x2000;

UiPoint ClientPoint(LPARAM lparam) {
  return {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
}

UiPoint ScreenToClientPoint(HWND hwnd, POINT screen) {
  ScreenToClient(hwnd, &screen);
  return {screen.x, screen.y};
}

UiPoint ScreenLParamToClient(HWND hwnd, LPARAM lparam) {
  return ScreenToClientPoint(hwnd, {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
}

bool WantsTabKey(const Control* control) {
  return control->IsVisible() && control->IsEnabled() &&
         (control->GetTabFlags() & kTabFlagWantsTab) != 0;
}

}  // namespace

LRESULT Window::HandleWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) {
  *handled = false;
  LRESULT result = 0;
  if (RunMessageFilters(message, wparam, lparam, &result)) {
    *handled = true;
    return result;
  }

  switch (message) {
    case WM_SIZE:
      *handled = OnSize(wparam);
      return 0;
    case WM_KILLFOCUS:
      OnKillFocus(wparam, lparam);
      return 0;
    case WM_PAINT:
      OnPaint();
      *handled = true;
      return 0;
    case WM_CLOSE:
      OnClose(wparam, lparam);
      return 0;
    case WM_ERASEBKGND:
      *handled = true;
      return 1;
    case WM_SETCURSOR:
      *handled = OnSetCursor(wparam, lparam, &result);
      return result;
    case WM_NOTIFY:
      *handled = OnNotify(wparam, lparam, &result);
      return result;
    case WM_CONTEXTMENU:
      OnContextMenu(wparam, lparam);
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(wparam, lparam);
      return 0;
    case WM_KEYUP:
      OnKeyUp(wparam, lparam);
      return 0;
    case WM_CHAR:
      Send(focus_, kEventChar, wparam, lparam, static_cast<wchar_t>(wparam));
      return 0;
    case WM_IME_STARTCOMPOSITION:
      Send(focus_, kEventImeStartComposition, wparam, lparam);
      return 0;
    case WM_IME_ENDCOMPOSITION:
      Send(focus_, kEventImeEndComposition, wparam, lparam);
      return 0;
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      *handled = OnReflect(message, wparam, lparam, &result);
      return result;
    case WM_MOUSEMOVE:
      OnMouseMove(wparam, lparam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnButtonDown(message, wparam, lparam);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      OnButtonUp(message, wparam, lparam);
      return 0;
    case WM_MOUSEWHEEL:
      OnMouseWheel(wparam, lparam);
      return 0;
    case WM_TOUCH:
      OnTouch(wparam, lparam);
      return 0;
    case touch_api::kMsgPointerUpdate:
    case touch_api::kMsgPointerDown:
    case touch_api::kMsgPointerUp:
    case touch_api::kMsgPointerLeave:
    case touch_api::kMsgPointerCaptureChanged:
      *handled = OnPointer(message, wparam, lparam);
      return 0;
    case WM_MOUSEHOVER:
      *handled = OnMouseHover(wparam, lparam);
      return 0;
    case WM_MOUSELEAVE:
      OnMouseLeave();
      return 0;
    case kMsgDeleteDeferred:
      DeleteDeferred();
      return 0;
    default:
      return 0;
  }
}

bool Window::RunMessageFilters(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  // A filter may remove itself (or others) while it runs.
  const std::vector<IUIMessageFilter*> filters = message_filters_;
  for (IUIMessageFilter* filter : filters) {
    if (std::find(message_filters_.begin(), message_filters_.end(), filter) ==
        message_filters_.end()) {
      continue;
    }
    bool handled = false;
    const LRESULT filtered = filter->FilterMessage(message, wparam, lparam, &handled);
    // Mouse moves always go on: hover and capture depend on them.
    if (handled && message != WM_MOUSEMOVE) {
      *result = filtered;
      return true;
    }
  }
  return false;
}

bool Window::OnSize(WPARAM wparam) {
  Send(focus_, kEventWindowSize, 0, 0);
  if (root_)
    root_->RequestLayout();
  if (wparam == SIZE_MAXIMIZED || wparam == SIZE_RESTORED)
    ShadowMaximized(wparam == SIZE_MAXIMIZED);
  return true;
}

void Window::OnKillFocus(WPARAM wparam, LPARAM lparam) {
  Control* holder =
      pointer_target_ ? pointer_target_ : (touch_target_ ? touch_target_ : click_target_);
  if (!holder || !holder->IsReleaseOnFocusLoss())
    return;
  ReleaseCapture();
  mouse_captured_ = false;
  pointer_target_ = nullptr;
  touch_target_ = nullptr;
  click_target_ = nullptr;
  Send(holder, kEventMouseButtonUp, wparam, lparam);
}

void Window::OnClose(WPARAM wparam, LPARAM lparam) {
  // Whatever the mouse and fingers hold is let go before the window goes.
  Control* hover = std::exchange(hover_, nullptr);
  Send(hover, kEventMouseLeave, wparam, lparam);
  // Released nowhere: a button held while its window closes must not click.
  for (Control** target : {&click_target_, &touch_target_, &pointer_target_}) {
    Send(std::exchange(*target, nullptr), kEventMouseButtonUp, wparam, lparam, 0, 0.0f, kNowhere);
  }
  SetFocusControl(nullptr);
  if (handle_) {
    if (HWND owner = GetWindow(handle_, GW_OWNER))
      ::SetFocus(owner);
  }
}

bool Window::OnSetCursor(WPARAM wparam, LPARAM lparam, LRESULT* result) {
  if (LOWORD(lparam) != HTCLIENT)
    return false;
  *result = 0;
  if (click_target_ || touch_target_ || pointer_target_)
    return true;
  POINT cursor = {};
  GetCursorPos(&cursor);
  last_mouse_point_ = ScreenToClientPoint(handle_, cursor);
  Control* control = FindControlAt(last_mouse_point_);
  if (!BelongsHere(control))
    return false;
  *result = TRUE;
  Send(control, kEventSetCursor, wparam, lparam);
  return true;
}

bool Window::OnNotify(WPARAM wparam, LPARAM lparam, LRESULT* result) {
  // A rich edit's link notification carries the link's text, not a header.
  if (wparam == EN_LINK)
    return false;
  const auto* header = reinterpret_cast<const NMHDR*>(lparam);
  if (!header) {
    *result = 0;
    return true;
  }
  SendMessageW(header->hwndFrom, WM_NOTIFY + kReflectOffset, wparam, lparam);
  return false;
}

bool Window::OnReflect(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  HWND child = reinterpret_cast<HWND>(lparam);
  if (!child)
    return false;
  *result = SendMessageW(child, message + kReflectOffset, wparam, lparam);
  return true;
}

void Window::OnContextMenu(WPARAM wparam, LPARAM lparam) {
  last_mouse_point_ = ScreenLParamToClient(handle_, lparam);
  Control* target = std::exchange(click_target_, nullptr);
  if (!target)
    return;
  ReleaseCapture();
  mouse_captured_ = false;
  Send(target, kEventInternalMenu, wparam, reinterpret_cast<LPARAM>(target));
}

void Window::OnKeyDown(WPARAM wparam, LPARAM lparam) {
  if (!focus_)
    return;
  if (wparam == VK_TAB) {
    if (!WantsTabKey(focus_))
      MoveFocus((GetKeyState(VK_SHIFT) & 0x8000) == 0);
    return;
  }
  key_target_ = focus_;
  Send(key_target_, kEventKeyDown, wparam, lparam, static_cast<wchar_t>(wparam));
}

void Window::OnKeyUp(WPARAM wparam, LPARAM lparam) {
  Send(std::exchange(key_target_, nullptr), kEventKeyUp, wparam, lparam,
       static_cast<wchar_t>(wparam));
}

void Window::ArmMouseTracking() {
  if (mouse_tracking_)
    return;
  TRACKMOUSEEVENT track = {};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_HOVER | TME_LEAVE;
  track.hwndTrack = handle_;
  track.dwHoverTime =
      tooltip_window_
          ? static_cast<DWORD>(SendMessageW(tooltip_window_, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
          : kDefaultHoverTimeMs;
  _TrackMouseEvent(&track);
  mouse_tracking_ = true;
}

bool Window::UpdateHover(UiPoint point, WPARAM wparam, LPARAM lparam) {
  new_hover_ = FindControlAt(point);
  if (new_hover_ && !BelongsHere(new_hover_))
    return false;
  if (hover_ && hover_ != new_hover_) {
    Control* left = std::exchange(hover_, nullptr);
    HideToolTip();
    Send(left, kEventMouseLeave, wparam, lparam);
  }
  if (new_hover_ && new_hover_ != hover_) {
    hover_ = new_hover_;
    Send(hover_, kEventMouseEnter, wparam, lparam);
  }
  return true;
}

void Window::OnMouseMove(WPARAM wparam, LPARAM lparam) {
  if (touch_target_ || pointer_target_)
    return;
  last_mouse_point_ = ClientPoint(lparam);
  ArmMouseTracking();
  const std::weak_ptr<kbase::WeakFlag> alive = AcquireWeakFlag();
  if (!UpdateHover(last_mouse_point_, wparam, lparam) || alive.expired())
    return;
  Send(click_target_ ? click_target_ : new_hover_, kEventMouseMove, wparam, lparam);
}

bool Window::TakeCapture(Control* control, bool take_focus) {
  if (take_focus) {
    const std::weak_ptr<kbase::WeakFlag> alive = control->AcquireWeakFlag();
    control->SetFocus();
    if (alive.expired())
      return false;
  }
  SetCapture(handle_);
  mouse_captured_ = true;
  return true;
}

void Window::OnButtonDown(UINT message, WPARAM wparam, LPARAM lparam) {
  if (touch_target_ || pointer_target_)
    return;
  last_mouse_point_ = ClientPoint(lparam);
  ::SetFocus(handle_);
  Control* control = FindControlAt(last_mouse_point_);
  if (!BelongsHere(control))
    return;
  click_target_ = control;
  if (!TakeCapture(control, message != WM_LBUTTONDBLCLK))
    return;
  const EventType type = message == WM_LBUTTONDOWN   ? kEventMouseButtonDown
                         : message == WM_RBUTTONDOWN ? kEventMouseRightButtonDown
                                                     : kEventInternalDoubleClick;
  Send(control, type, wparam, lparam);
}

void Window::OnButtonUp(UINT message, WPARAM wparam, LPARAM lparam) {
  last_mouse_point_ = ClientPoint(lparam);
  ReleaseCapture();
  mouse_captured_ = false;
  if (message == WM_RBUTTONUP) {
    // Stays the target for the context-menu message that follows.
    Send(click_target_, kEventMouseRightButtonUp, wparam, lparam);
    return;
  }
  Send(std::exchange(click_target_, nullptr), kEventMouseButtonUp, wparam, lparam);
}

void Window::OnMouseWheel(WPARAM wparam, LPARAM lparam) {
  last_mouse_point_ = ScreenLParamToClient(handle_, lparam);
  Control* control = FindControlAt(last_mouse_point_);
  if (!BelongsHere(control))
    return;
  const auto delta = static_cast<intptr_t>(GET_WHEEL_DELTA_WPARAM(wparam));
  Send(control, kEventMouseScrollWheel, static_cast<WPARAM>(delta), lparam);
}

bool Window::OnMouseHover(WPARAM wparam, LPARAM lparam) {
  mouse_tracking_ = false;
  last_mouse_point_ = ClientPoint(lparam);
  Control* control = FindControlAt(last_mouse_point_);
  if (!control)
    return false;
  const std::weak_ptr<kbase::WeakFlag> alive = control->AcquireWeakFlag();
  Send(hover_, kEventMouseHover, wparam, lparam);
  if (!alive.expired())
    ShowToolTip(control);
  return true;
}

void Window::OnMouseLeave() {
  HideToolTip();
  if (mouse_tracking_ && handle_)
    SendMessageW(handle_, WM_MOUSEMOVE, 0, static_cast<LPARAM>(-1));
  mouse_tracking_ = false;
}

void Window::ShowToolTip(Control* control) {
  if (!handle_)
    return;
  tool_tip_text_ = control->GetToolTipText();
  const UiRect bounds = control->GetBounds(true);
  tool_info_ = {};
  tool_info_.cbSize = TTTOOLINFOW_V2_SIZE;
  tool_info_.uFlags = TTF_IDISHWND;
  tool_info_.hwnd = handle_;
  tool_info_.uId = reinterpret_cast<UINT_PTR>(handle_);
  tool_info_.hinst = GetModuleHandleW(nullptr);
  tool_info_.lpszText = tool_tip_text_.data();
  tool_info_.rect = {bounds.left, bounds.top, bounds.right, bounds.bottom};
  if (!tooltip_window_) {
    tooltip_window_ =
        CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_,
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!tooltip_window_)
      return;
    SendMessageW(tooltip_window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool_info_));
  }
  SendMessageW(tooltip_window_, TTM_SETMAXTIPWIDTH, 0, control->GetToolTipWidth());
  SendMessageW(tooltip_window_, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool_info_));
  SendMessageW(tooltip_window_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool_info_));
}

void Window::HideToolTip() {
  if (tooltip_window_) {
    SendMessageW(tooltip_window_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool_info_));
  }
}

void Window::OnTouch(WPARAM wparam, LPARAM lparam) {
  auto input = reinterpret_cast<HTOUCHINPUT>(lparam);
  TOUCHINPUT touch = {};
  const bool read = touch_api::GetFirstTouchInput(input, LOWORD(wparam), &touch);
  // The handle is closed whatever happens below.
  touch_api::CloseTouchInputHandle(input);
  if (!read || touch.dwID == 0)
    return;
  const UiPoint point = ScreenToClientPoint(handle_, {touch.x / 100, touch.y / 100});
  if (touch.dwFlags & TOUCHEVENTF_DOWN) {
    if (click_target_ || pointer_target_)
      return;
    ::SetFocus(handle_);
    last_touch_point_ = point;
    Control* control = FindControlAt(point);
    if (!BelongsHere(control))
      return;
    touch_target_ = control;
    if (TakeCapture(control, true))
      Send(control, kEventTouchDown, wparam, lparam, 0, 0.0f, point);
  } else if (touch.dwFlags & TOUCHEVENTF_MOVE) {
    if (click_target_ || pointer_target_ || point == last_touch_point_)
      return;
    last_touch_point_ = point;
    if (!touch_target_)
      return;
    const std::weak_ptr<kbase::WeakFlag> alive = AcquireWeakFlag();
    if (UpdateHover(point, wparam, lparam) && !alive.expired())
      Send(touch_target_, kEventTouchMove, wparam, lparam, 0, 0.0f, point);
  } else if (touch.dwFlags & TOUCHEVENTF_UP) {
    last_touch_point_ = point;
    ReleaseCapture();
    Send(std::exchange(touch_target_, nullptr), kEventTouchUp, wparam, lparam, 0, 0.0f, point);
  }
}

bool Window::OnPointer(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!pointer_input_)
    return false;
  if ((wparam & touch_api::kPointerFlagPrimary) == 0)
    return true;
  touch_api::PointerSample sample;
  if (!touch_api::ReadPointer(LOWORD(wparam), &sample) ||
      sample.kind == touch_api::PointerKind::kOther) {
    return false;
  }
  last_mouse_point_ = ScreenToClientPoint(handle_, sample.position);
  // The control that receives the event decides whether the system may
  // also turn the pointer into mouse messages.
  auto deliver = [&](Control* control, EventType type) {
    if (!control)
      return false;
    const std::weak_ptr<kbase::WeakFlag> alive = control->AcquireWeakFlag();
    const bool receives = control->IsReceivePointer();
    Send(control, type, wparam, lparam, 0, sample.pressure);
    return receives || alive.expired();
  };
  switch (message) {
    case touch_api::kMsgPointerUpdate: {
      if (click_target_ || touch_target_)
        return true;
      if (!pointer_target_)
        return false;
      const std::weak_ptr<kbase::WeakFlag> alive = AcquireWeakFlag();
      if (!UpdateHover(last_mouse_point_, wparam, lparam) || alive.expired())
        return false;
      return deliver(pointer_target_, kEventPointerMove);
    }
    case touch_api::kMsgPointerDown: {
      if (click_target_ || touch_target_)
        return true;
      ::SetFocus(handle_);
      Control* control = FindControlAt(last_mouse_point_);
      if (!BelongsHere(control))
        return false;
      pointer_target_ = control;
      if (!TakeCapture(control, true))
        return true;
      return deliver(control, kEventPointerDown);
    }
    default:
      ReleaseCapture();
      return deliver(std::exchange(pointer_target_, nullptr), kEventPointerUp);
  }
}

void Window::DeleteDeferred() {
  for (Control* control : std::exchange(deferred_deletions_, {}))
    delete control;
}

}  // namespace ui
