#include "browser/control/cef_control.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "ui/core/window.h"
#include "ui/render/render_context.h"

namespace kel_comp {

namespace {

bool KeyDown(int virtual_key) {
  return (GetKeyState(virtual_key) & 0x8000) != 0;
}

bool KeyToggled(int virtual_key) {
  return (GetKeyState(virtual_key) & 0x0001) != 0;
}

// The extended-key bit of a key message's second argument.
bool IsExtendedKey(LPARAM lparam) {
  return (HIWORD(lparam) & KF_EXTENDED) != 0;
}

bool IsNumericPadKey(WPARAM key) {
  return (key >= VK_NUMPAD0 && key <= VK_DIVIDE) || key == VK_CLEAR || key == VK_NUMLOCK;
}

bool IsNavigationKey(WPARAM key) {
  switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
      return true;
    default:
      return false;
  }
}

// Left when the left-hand key is down, else right when the right-hand one
// is, else neither.
uint32_t SideOf(int left_key, int right_key) {
  if (KeyDown(left_key))
    return EVENTFLAG_IS_LEFT;
  if (KeyDown(right_key))
    return EVENTFLAG_IS_RIGHT;
  return 0;
}

bool HasArea(const CefRect& rect) {
  return rect.width > 0 && rect.height > 0;
}

}  // namespace

uint32_t CefControl::MouseModifiers(WPARAM key_state) {
  uint32_t modifiers = 0;
  if (key_state & MK_CONTROL)
    modifiers |= EVENTFLAG_CONTROL_DOWN;
  if (key_state & MK_SHIFT)
    modifiers |= EVENTFLAG_SHIFT_DOWN;
  if (KeyDown(VK_MENU))
    modifiers |= EVENTFLAG_ALT_DOWN;
  if (key_state & MK_LBUTTON)
    modifiers |= EVENTFLAG_LEFT_MOUSE_BUTTON;
  if (key_state & MK_MBUTTON)
    modifiers |= EVENTFLAG_MIDDLE_MOUSE_BUTTON;
  if (key_state & MK_RBUTTON)
    modifiers |= EVENTFLAG_RIGHT_MOUSE_BUTTON;
  if (KeyToggled(VK_NUMLOCK))
    modifiers |= EVENTFLAG_NUM_LOCK_ON;
  if (KeyToggled(VK_CAPITAL))
    modifiers |= EVENTFLAG_CAPS_LOCK_ON;
  return modifiers;
}

uint32_t CefControl::KeyboardModifiers(WPARAM wparam, LPARAM lparam) {
  uint32_t modifiers = 0;
  if (KeyDown(VK_SHIFT))
    modifiers |= EVENTFLAG_SHIFT_DOWN;
  if (KeyDown(VK_CONTROL))
    modifiers |= EVENTFLAG_CONTROL_DOWN;
  if (KeyDown(VK_MENU))
    modifiers |= EVENTFLAG_ALT_DOWN;
  if (KeyToggled(VK_NUMLOCK))
    modifiers |= EVENTFLAG_NUM_LOCK_ON;
  if (KeyToggled(VK_CAPITAL))
    modifiers |= EVENTFLAG_CAPS_LOCK_ON;

  if (IsNumericPadKey(wparam) || (wparam == VK_RETURN && IsExtendedKey(lparam)) ||
      (IsNavigationKey(wparam) && !IsExtendedKey(lparam))) {
    modifiers |= EVENTFLAG_IS_KEY_PAD;
  }
  switch (wparam) {
    case VK_SHIFT:
      modifiers |= SideOf(VK_LSHIFT, VK_RSHIFT);
      break;
    case VK_CONTROL:
      modifiers |= SideOf(VK_LCONTROL, VK_RCONTROL);
      break;
    case VK_MENU:
      modifiers |= SideOf(VK_LMENU, VK_RMENU);
      break;
    case VK_LWIN:
      modifiers |= EVENTFLAG_IS_LEFT;
      break;
    case VK_RWIN:
      modifiers |= EVENTFLAG_IS_RIGHT;
      break;
    default:
      break;
  }
  return modifiers;
}

CefControl::~CefControl() {
  if (browser_handler_) {
    if (browser_handler_->GetBrowser())
      browser_handler_->CloseAllBrowsers();
    // Also without a browser: one may still arrive and must not find this
    // control, nor may the window call a filter that is gone.
    browser_handler_->SetHostWindow(nullptr);
    browser_handler_->SetHandlerDelegate(nullptr);
    if (ui::Window* window = HostOf(window_))
      window->RemoveMessageFilter(this);
  }
  ReleaseBitmap(&view_bitmap_);
  ReleaseBitmap(&popup_bitmap_);
}

ui::Window* CefControl::HostOf(ui::ControlHost* host) {
  return dynamic_cast<ui::Window*>(host);
}

HWND CefControl::HostWindowOf(ui::ControlHost* host) {
  ui::Window* window = HostOf(host);
  return window ? window->GetHWND() : nullptr;
}

void CefControl::SetWindowAndParent(ui::ControlHost* window, ui::Box* parent, bool init) {
  if (!browser_handler_) {
    CefControlBase::SetWindowAndParent(window, parent, init);
    return;
  }
  if (ui::Window* old_window = HostOf(window_))
    old_window->RemoveMessageFilter(this);
  CefControlBase::SetWindowAndParent(window, parent, init);
  if (ui::Window* new_window = HostOf(window_))
    new_window->AddMessageFilter(this);
  browser_handler_->SetHostWindow(HostWindowOf(window_));
  // A control first initialised without a native window gets its browser
  // once it has one.
  if (!browser_handler_->GetBrowser() && HostWindowOf(window_))
    ReCreateBrowser();
}

void CefControl::Init() {
  if (!browser_handler_) {
    if (ui::Window* window = HostOf(window_))
      window->AddMessageFilter(this);
    browser_handler_ = new BrowserHandler;
    browser_handler_->SetHostWindow(HostWindowOf(window_));
    browser_handler_->SetHandlerDelegate(this);
    // Laid out before it was initialised, the control's bounds are the
    // view's size from the first frame on.
    browser_handler_->SetViewRect(bounds());
    ReCreateBrowser();
  }
  if (!js_bridge_)
    js_bridge_ = std::make_shared<CefJSBridge>();
  CefControlBase::Init();
}

void CefControl::CreateBrowserIfNeeded() {
  if (!browser_handler_ || browser_handler_->GetBrowser() || creation_pending_)
    return;
  HWND host_window = HostWindowOf(window_);
  if (!host_window)
    return;
  CefWindowInfo window_info;
  window_info.SetAsWindowless(host_window);
  CefBrowserSettings settings;
  creation_pending_ = CefBrowserHost::CreateBrowser(window_info, browser_handler_.get(),
                                                    CefString(), settings, nullptr, nullptr);
}

void CefControl::OnAfterCreated(CefRefPtr<CefBrowser> browser) {
  creation_pending_ = false;
  // A size set while the browser was being made found none to resize.
  if (browser_handler_)
    browser_handler_->SetViewRect(bounds());
  CefControlBase::OnAfterCreated(browser);
}

void CefControl::SetBounds(const ui::UiRect& rect) {
  CefControlBase::SetBounds(rect);
  if (browser_handler_)
    browser_handler_->SetViewRect(bounds());
}

void CefControl::NotifyHidden(bool hidden) {
  if (CefRefPtr<CefBrowser> browser = CurrentBrowser())
    browser->GetHost()->WasHidden(hidden);
}

void CefControl::SetFadeVisible(bool visible) {
  CefControlBase::SetFadeVisible(visible);
  NotifyHidden(!visible);
}

void CefControl::SetInternalVisible(bool visible) {
  CefControlBase::SetInternalVisible(visible);
  NotifyHidden(!visible);
}

bool CefControl::HandleEvent(ui::EventArgs* args) {
  if (CefRefPtr<CefBrowser> browser = CurrentBrowser()) {
    if (args->type == ui::kEventInternalSetFocus)
      browser->GetHost()->SendFocusEvent(true);
    else if (args->type == ui::kEventInternalKillFocus)
      browser->GetHost()->SendFocusEvent(false);
  }
  return CefControlBase::HandleEvent(args);
}

void CefControl::ReleaseBitmap(OffscreenBitmap* bitmap) {
  if (bitmap->dc && bitmap->previous)
    SelectObject(bitmap->dc, bitmap->previous);
  if (bitmap->bitmap)
    DeleteObject(bitmap->bitmap);
  if (bitmap->dc)
    DeleteDC(bitmap->dc);
  *bitmap = OffscreenBitmap();
}

bool CefControl::ReCreateBitmap(OffscreenBitmap* bitmap, int width, int height) {
  ReleaseBitmap(bitmap);
  if (width <= 0 || height <= 0)
    return false;
  ui::Window* window = HostOf(window_);
  HDC reference = window ? window->GetPaintDC() : nullptr;
  bitmap->dc = CreateCompatibleDC(reference);
  if (!bitmap->dc)
    return false;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
  void* pixels = nullptr;
  bitmap->bitmap = CreateDIBSection(bitmap->dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (!bitmap->bitmap || !pixels) {
    ReleaseBitmap(bitmap);
    return false;
  }
  bitmap->previous = SelectObject(bitmap->dc, bitmap->bitmap);
  GetObjectW(bitmap->bitmap, sizeof(bitmap->info), &bitmap->info);
  // GetObject leaves out the pixels of a bitmap it did not see created.
  bitmap->info.bmBits = pixels;
  bitmap->valid = true;
  bitmap->width = width;
  bitmap->height = height;
  std::memset(pixels, 0, info.bmiHeader.biSizeImage);
  return true;
}

void CefControl::OnPaint(CefRefPtr<CefBrowser> /*browser*/,
                         CefRenderHandler::PaintElementType type,
                         const CefRenderHandler::RectList& /*dirty_rects*/,
                         const PaintBuffer& buffer,
                         int width,
                         int height) {
  if (!IsFrameSizeAccepted(width, height))
    return;
  const size_t size = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
  // A buffer that cannot hold the whole frame has none to give.
  if (buffer.capacity() < size)
    return;
  OffscreenBitmap* target = nullptr;
  if (type == PET_VIEW) {
    target = &view_bitmap_;
  } else if (type == PET_POPUP) {
    if (!view_bitmap_.valid || !HasArea(popup_rect_))
      return;
    target = &popup_bitmap_;
  } else {
    return;
  }
  if (!target->valid || target->width != width || target->height != height) {
    if (!ReCreateBitmap(target, width, height))
      return;
  }
  buffer.Read(target->info.bmBits, size);
  Invalidate();
}

void CefControl::OnPopupShow(CefRefPtr<CefBrowser> browser, bool show) {
  if (show)
    return;
  popup_rect_ = CefRect(0, 0, 0, 0);
  if (browser)
    browser->GetHost()->Invalidate(PET_VIEW);
}

void CefControl::OnPopupSize(CefRefPtr<CefBrowser> /*browser*/, const CefRect& rect) {
  if (HasArea(rect))
    popup_rect_ = rect;
}

void CefControl::PaintContent(ui::IRenderContext* context, const ui::UiRect& paint_rect) {
  CefControlBase::PaintContent(context, paint_rect);
  const ui::UiRect& area = bounds();
  if (view_bitmap_.valid && CurrentBrowser()) {
    // The frame may lag a resize: copy no more than it has.
    const int width = std::min(area.Width(), view_bitmap_.width);
    const int height = std::min(area.Height(), view_bitmap_.height);
    context->CopyTo(area.left, area.top, width, height, view_bitmap_.dc, 0, 0, SRCCOPY);
  }
  if (HasArea(popup_rect_) && popup_bitmap_.valid) {
    const int width = std::min(popup_rect_.width, popup_bitmap_.width);
    const int height = std::min(popup_rect_.height, popup_bitmap_.height);
    context->CopyTo(area.left + std::max(popup_rect_.x, 0), area.top + std::max(popup_rect_.y, 0),
                    width, height, popup_bitmap_.dc, std::max(-popup_rect_.x, 0),
                    std::max(-popup_rect_.y, 0), SRCCOPY);
  }
}

POINT CefControl::PointOf(LPARAM lparam) {
  return POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
}

bool CefControl::Inside(POINT point) const {
  const ui::UiRect& area = bounds();
  return point.x >= area.left && point.x < area.right && point.y >= area.top &&
         point.y < area.bottom;
}

CefMouseEvent CefControl::MouseEventAt(POINT point, WPARAM key_state) const {
  CefMouseEvent event;
  event.x = point.x - bounds().left;
  event.y = point.y - bounds().top;
  event.modifiers = MouseModifiers(key_state);
  return event;
}

LRESULT CefControl::FilterMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) {
  if (!IsVisible() || !IsEnabled())
    return 0;
  CefRefPtr<CefBrowser> browser = CurrentBrowser();
  CefRefPtr<CefBrowserHost> host = browser ? browser->GetHost() : nullptr;
  ui::Window* window = HostOf(window_);
  if (!host || !window)
    return 0;
  const bool captured = window->IsMouseCaptured();

  switch (message) {
    case WM_MOUSEMOVE: {
      const POINT point = PointOf(lparam);
      if (Inside(point) || captured)
        host->SendMouseMoveEvent(MouseEventAt(point, wparam), false);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN: {
      const POINT point = PointOf(lparam);
      if (!Inside(point))
        return 0;
      SetFocus();
      const CefBrowserHost::MouseButtonType button = message == WM_LBUTTONDOWN   ? MBT_LEFT
                                                     : message == WM_MBUTTONDOWN ? MBT_MIDDLE
                                                                                 : MBT_RIGHT;
      host->SendMouseClickEvent(MouseEventAt(point, wparam), button, false, 1);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP: {
      const POINT point = PointOf(lparam);
      if (!Inside(point) && !captured)
        return 0;
      CefMouseEvent event = MouseEventAt(point, wparam);
      CefBrowserHost::MouseButtonType button = MBT_LEFT;
      if (message == WM_MBUTTONUP) {
        button = MBT_MIDDLE;
      } else if (message == WM_RBUTTONUP) {
        button = MBT_RIGHT;
        event.x = point.x;
        event.y = point.y;
      }
      host->SendMouseClickEvent(event, button, true, 1);
      return 0;
    }
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK: {
      const POINT point = PointOf(lparam);
      if (!Inside(point))
        return 0;
      host->SendMouseClickEvent(MouseEventAt(point, wparam), MBT_LEFT, false, 2);
      *handled = true;
      return 0;
    }
    case WM_MOUSEWHEEL: {
      POINT point = PointOf(lparam);
      if (WindowFromPoint(point) != window->GetHWND())
        return 0;
      ScreenToClient(window->GetHWND(), &point);
      if (!Inside(point))
        return 0;
      const int delta = GET_WHEEL_DELTA_WPARAM(wparam);
      const WPARAM key_state = GET_KEYSTATE_WPARAM(wparam);
      const bool horizontal = (key_state & MK_SHIFT) != 0;
      host->SendMouseWheelEvent(MouseEventAt(point, key_state), horizontal ? delta : 0,
                                horizontal ? 0 : delta);
      *handled = true;
      return 0;
    }
    case WM_MOUSELEAVE: {
      const POINT point = PointOf(lparam);
      if (!Inside(point))
        return 0;
      host->SendMouseMoveEvent(MouseEventAt(point, wparam), true);
      *handled = true;
      return 0;
    }
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
      host->SendCaptureLostEvent();
      *handled = true;
      return 0;
    case WM_SETCURSOR: {
      POINT point = {};
      GetCursorPos(&point);
      ScreenToClient(window->GetHWND(), &point);
      if (!Inside(point))
        return 0;
      *handled = true;
      return window->CallPreviousProc(message, wparam, lparam);
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR: {
      if (!IsFocused())
        return 0;
      CefKeyEvent event;
      event.windows_key_code = static_cast<int>(wparam);
      event.native_key_code = static_cast<int>(lparam);
      event.is_system_key =
          message == WM_SYSKEYDOWN || message == WM_SYSKEYUP || message == WM_SYSCHAR;
      if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
        event.type = KEYEVENT_RAWKEYDOWN;
      else if (message == WM_KEYUP || message == WM_SYSKEYUP)
        event.type = KEYEVENT_KEYUP;
      else
        event.type = KEYEVENT_CHAR;
      event.modifiers = KeyboardModifiers(wparam, lparam);
      host->SendKeyEvent(event);
      *handled = true;
      return 0;
    }
    default:
      return 0;
  }
}

bool CefControl::AttachDevTools(ui::Control* view) {
  CefControl* target = dynamic_cast<CefControl*>(view);
  if (devtools_attached_ || !target)
    return true;
  CefRefPtr<CefBrowser> browser = CurrentBrowser();
  if (!browser || !target->CurrentBrowser()) {
    // Whichever browser is missing, the call is tried again once this
    // control's browser exists; the target's may come later still.
    CefRefPtr<BrowserHandler> handler = browser ? target->browser_handler_ : browser_handler_;
    if (handler) {
      handler->AddAfterCreateTask(MakeWeakCallback([this, view] { AttachDevTools(view); }));
    }
    return true;
  }
  CefWindowInfo window_info;
  window_info.SetAsWindowless(HostWindowOf(window_));
  CefBrowserSettings settings;
  browser->GetHost()->ShowDevTools(window_info, target->browser_handler_.get(), settings,
                                   CefPoint(0, 0));
  devtools_attached_ = true;
  NotifyDevToolsVisible(true);
  return true;
}

}  // namespace kel_comp
