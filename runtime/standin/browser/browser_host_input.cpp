// A browser's host operations: focus, size, visibility, input from its
// window or from the program, audio, developer tools.

#include <algorithm>

#include "runtime/standin/browser/browser_host_impl.h"
#include "runtime/standin/browser/browser_observations.h"
#include "runtime/standin/browser/download_manager.h"
#include "runtime/standin/browser/renderer_link.h"
#include "runtime/standin/runtime_context.h"
#include "runtime/standin/test_interface.h"

namespace cef_standin {

namespace {

// The client's events may carry any numbers; a window's carry 16 bits.
// Beyond these the page's arithmetic (scroll offsets, wheel steps) would
// overflow.
constexpr int kMaxCoordinate = 1 << 20;
constexpr int kMaxWheelDelta = 32767;

int ClampCoordinate(int value) {
  return std::clamp(value, -kMaxCoordinate, kMaxCoordinate);
}

int ClampWheelDelta(int value) {
  return std::clamp(value, -kMaxWheelDelta, kMaxWheelDelta);
}

using MouseInput = BrowserWindowDelegate::MouseInput;
using KeyInput = BrowserWindowDelegate::KeyInput;

CefKeyEvent ToKeyEvent(const KeyInput& input) {
  CefKeyEvent event;
  switch (input.action) {
    case BrowserWindowDelegate::KeyAction::kRawKeyDown:
      event.type = KEYEVENT_RAWKEYDOWN;
      break;
    case BrowserWindowDelegate::KeyAction::kKeyUp:
      event.type = KEYEVENT_KEYUP;
      break;
    case BrowserWindowDelegate::KeyAction::kChar:
      event.type = KEYEVENT_CHAR;
      break;
  }
  event.modifiers = input.modifiers;
  event.windows_key_code = input.windows_key_code;
  event.native_key_code = input.native_key_code;
  event.is_system_key = input.is_system_key ? 1 : 0;
  if (input.action == BrowserWindowDelegate::KeyAction::kChar) {
    event.character = static_cast<char16>(input.windows_key_code);
    event.unmodified_character = event.character;
  }
  return event;
}

KeyInput FromKeyEvent(const CefKeyEvent& event) {
  KeyInput input;
  input.action = event.type == KEYEVENT_CHAR    ? BrowserWindowDelegate::KeyAction::kChar
                 : event.type == KEYEVENT_KEYUP ? BrowserWindowDelegate::KeyAction::kKeyUp
                                                : BrowserWindowDelegate::KeyAction::kRawKeyDown;
  input.windows_key_code = event.type == KEYEVENT_CHAR && event.character
                               ? static_cast<int>(event.character)
                               : event.windows_key_code;
  input.native_key_code = event.native_key_code;
  input.is_system_key = event.is_system_key != 0;
  input.modifiers = event.modifiers;
  return input;
}

}  // namespace

void BrowserHostImpl::SetFocus(bool focus) {
  RunOnUi([this, focus] {
    if (window_ && window_->hwnd()) {
      // The window's focus messages tell the page.
      if (focus)
        ::SetFocus(window_->hwnd());
      else if (GetFocus() == window_->hwnd())
        ::SetFocus(nullptr);
      return;
    }
    renderer_link::Focus(id_, focus);
    BrowserObservations::Get().RecordFocus(id_, focus);
  });
}

CefWindowHandle BrowserHostImpl::GetWindowHandle() {
  // A windowless browser answers with the window that hosts its view, as
  // the real runtime does.
  if (windowless_)
    return parent_window_;
  return window_ ? window_->hwnd() : nullptr;
}

void BrowserHostImpl::WasResized() {
  RunOnUi([this] {
    int width = view_width_;
    int height = view_height_;
    if (windowless_view_) {
      const WindowlessView::Size size = windowless_view_->QueryViewSize();
      width = size.width;
      height = size.height;
    } else if (window_) {
      const SIZE size = window_->ClientSize();
      width = size.cx;
      height = size.cy;
    }
    OnWindowResized(width, height);
  });
}

void BrowserHostImpl::WasHidden(bool hidden) {
  RuntimeContext::Get().log().Info(L"Browser " + std::to_wstring(id_) +
                                   (hidden ? L" hidden" : L" shown"));
  // Only a windowless view stops painting; a window shows what it shows.
  if (!windowless_)
    return;
  RunOnUi([this, hidden] {
    if (windowless_view_)
      windowless_view_->SetHidden(hidden);
    renderer_link::SetHidden(id_, hidden);
  });
}

void BrowserHostImpl::Invalidate(PaintElementType type) {
  renderer_link::Invalidate(id_, type);
}

void BrowserHostImpl::SetWindowlessFrameRate(int frame_rate) {
  frame_rate_ = RendererView::ClampFrameRate(frame_rate);
  renderer_link::SetFrameRate(id_, frame_rate_);
}

void BrowserHostImpl::SendKeyEvent(const CefKeyEvent& event) {
  const KeyInput input = FromKeyEvent(event);
  RunOnUi([this, input] { OnWindowKey(input); });
}

void BrowserHostImpl::SendMouseClickEvent(const CefMouseEvent& event,
                                          MouseButtonType type,
                                          bool mouse_up,
                                          int click_count) {
  MouseInput input;
  input.x = ClampCoordinate(event.x);
  input.y = ClampCoordinate(event.y);
  input.modifiers = event.modifiers;
  input.action = mouse_up           ? BrowserWindowDelegate::MouseAction::kUp
                 : click_count >= 2 ? BrowserWindowDelegate::MouseAction::kDoubleClick
                                    : BrowserWindowDelegate::MouseAction::kDown;
  input.button = type == MBT_RIGHT    ? BrowserWindowDelegate::MouseButton::kRight
                 : type == MBT_MIDDLE ? BrowserWindowDelegate::MouseButton::kMiddle
                                      : BrowserWindowDelegate::MouseButton::kLeft;
  RunOnUi([this, input] { OnWindowMouse(input); });
}

void BrowserHostImpl::SendMouseMoveEvent(const CefMouseEvent& event, bool mouse_leave) {
  MouseInput input;
  input.x = ClampCoordinate(event.x);
  input.y = ClampCoordinate(event.y);
  input.modifiers = event.modifiers;
  input.action = mouse_leave ? BrowserWindowDelegate::MouseAction::kLeave
                             : BrowserWindowDelegate::MouseAction::kMove;
  RunOnUi([this, input] { OnWindowMouse(input); });
}

void BrowserHostImpl::SendMouseWheelEvent(const CefMouseEvent& event, int delta_x, int delta_y) {
  const int x = ClampCoordinate(event.x);
  const int y = ClampCoordinate(event.y);
  const uint32_t modifiers = event.modifiers;
  delta_x = ClampWheelDelta(delta_x);
  delta_y = ClampWheelDelta(delta_y);
  RunOnUi([=, this] { OnWindowWheel(x, y, delta_x, delta_y, modifiers); });
}

void BrowserHostImpl::SendFocusEvent(bool set_focus) {
  RunOnUi([this, set_focus] { OnWindowFocus(set_focus); });
}

void BrowserHostImpl::SendCaptureLostEvent() {
  MouseInput input;
  input.action = BrowserWindowDelegate::MouseAction::kCaptureLost;
  RunOnUi([this, input] { OnWindowMouse(input); });
}

void BrowserHostImpl::SetAudioMuted(bool mute) {
  audio_muted_ = mute;
  renderer_link::SetAudioMuted(id_, mute);
  RunOnUi([this, mute] {
    const HWND window = window_ ? window_->hwnd() : parent_window_;
    if (!IsWindow(window))
      return;
    if (mute)
      SetPropW(window, CEF_STANDIN_MUTED_PROPERTY, reinterpret_cast<HANDLE>(1));
    else
      RemovePropW(window, CEF_STANDIN_MUTED_PROPERTY);
  });
}

void BrowserHostImpl::StartDownload(const CefString& url) {
  const std::wstring address = url.ToWString();
  CefRefPtr<BrowserHostImpl> self(this);
  RunOnUi([self, address] { DownloadManager::StartFromUrl(self, address); });
}

// Window input, UI thread.

void BrowserHostImpl::OnWindowMouse(const MouseInput& input) {
  if (closed_)
    return;
  renderer_link::Mouse(id_, input);
}

void BrowserHostImpl::OnWindowWheel(int x, int y, int delta_x, int delta_y, uint32_t modifiers) {
  if (closed_)
    return;
  renderer_link::Wheel(id_, x, y, delta_x, delta_y, modifiers);
}

void BrowserHostImpl::OnWindowKey(const KeyInput& input) {
  if (closed_)
    return;
  CefKeyEvent event = ToKeyEvent(input);
  event.focus_on_editable_field = BrowserObservations::Get().FocusOnEditable(id_) ? 1 : 0;
  // The client sees every key before the page does, and may keep it.
  if (CefRefPtr<CefKeyboardHandler> handler = client_ ? client_->GetKeyboardHandler() : nullptr) {
    MSG os_event = {};
    os_event.hwnd = window_ ? window_->hwnd() : nullptr;
    os_event.message = input.action == KeyAction::kChar    ? WM_CHAR
                       : input.action == KeyAction::kKeyUp ? WM_KEYUP
                                                           : WM_KEYDOWN;
    os_event.wParam = static_cast<WPARAM>(input.windows_key_code);
    os_event.lParam = static_cast<LPARAM>(input.native_key_code);
    bool is_shortcut = false;
    if (handler->OnPreKeyEvent(this, event, &os_event, &is_shortcut))
      return;
    if (handler->OnKeyEvent(this, event, &os_event))
      return;
  }
  renderer_link::Key(id_, input);
}

void BrowserHostImpl::OnWindowFocus(bool focused) {
  if (closed_)
    return;
  BrowserObservations::Get().RecordFocus(id_, focused);
  renderer_link::Focus(id_, focused);
}

void BrowserHostImpl::OnWindowResized(int width, int height) {
  if (closed_ || (width == view_width_ && height == view_height_))
    return;
  view_width_ = width;
  view_height_ = height;
  renderer_link::Resize(id_, width, height);
}

}  // namespace cef_standin
