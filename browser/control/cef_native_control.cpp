#include "browser/control/cef_native_control.h"

#include "ui/core/window.h"

namespace kel_comp {

namespace {

void AddClipStyles(HWND window) {
  if (!window)
    return;
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  SetWindowLongPtrW(window, GWL_STYLE, style | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
}

}  // namespace

CefNativeControl::~CefNativeControl() {
  if (!browser_handler_)
    return;
  if (CefRefPtr<CefBrowser> browser = browser_handler_->GetBrowser()) {
    CefRefPtr<CefBrowserHost> host = browser->GetHost();
    HWND cef_window = host ? host->GetWindowHandle() : nullptr;
    // Out of the host window first: it may be destroyed before the runtime
    // has closed the browser.
    if (cef_window && (GetWindowLongPtrW(cef_window, GWL_STYLE) & WS_CHILD))
      SetParent(cef_window, nullptr);
    if (host)
      host->CloseBrowser(true);
  }
  browser_handler_->SetHostWindow(nullptr);
  browser_handler_->SetHandlerDelegate(nullptr);
  browser_handler_ = nullptr;
}

HWND CefNativeControl::HostWindowOf(ui::ControlHost* host) {
  ui::Window* window = dynamic_cast<ui::Window*>(host);
  return window ? window->GetHWND() : nullptr;
}

void CefNativeControl::SetWindowAndParent(ui::ControlHost* window, ui::Box* parent, bool init) {
  if (browser_handler_) {
    HWND host_window = HostWindowOf(window);
    browser_handler_->SetHostWindow(host_window);
    if (HWND cef_window = GetCefHandle())
      SetParent(cef_window, host_window);
    AddClipStyles(host_window);
  }
  CefControlBase::SetWindowAndParent(window, parent, init);
  // A control first initialised without a native window gets its browser
  // once it has one.
  if (browser_handler_ && !browser_handler_->GetBrowser() && HostWindowOf(window_))
    ReCreateBrowser();
}

void CefNativeControl::Init() {
  if (!browser_handler_) {
    HWND host_window = HostWindowOf(window_);
    AddClipStyles(host_window);
    browser_handler_ = new BrowserHandler;
    browser_handler_->SetHostWindow(host_window);
    browser_handler_->SetHandlerDelegate(this);
    ReCreateBrowser();
  }
  if (!js_bridge_)
    js_bridge_ = std::make_shared<CefJSBridge>();
  CefControlBase::Init();
}

void CefNativeControl::CreateBrowserIfNeeded() {
  if (!browser_handler_ || browser_handler_->GetBrowser() || creation_pending_)
    return;
  HWND host_window = HostWindowOf(window_);
  if (!host_window)
    return;
  const ui::UiRect bounds = GetBounds();
  CefWindowInfo window_info;
  window_info.SetAsChild(host_window, RECT{bounds.left, bounds.top, bounds.right, bounds.bottom});
  CefBrowserSettings settings;
  creation_pending_ = CefBrowserHost::CreateBrowser(window_info, browser_handler_.get(),
                                                    CefString(), settings, nullptr, nullptr);
}

void CefNativeControl::OnAfterCreated(CefRefPtr<CefBrowser> browser) {
  creation_pending_ = false;
  CefControlBase::OnAfterCreated(browser);
}

void CefNativeControl::SetBounds(const ui::UiRect& rect) {
  CefControlBase::SetBounds(rect);
  if (HWND cef_window = GetCefHandle()) {
    const ui::UiRect& placed = bounds();
    SetWindowPos(cef_window, nullptr, placed.left, placed.top, placed.Width(), placed.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CefNativeControl::ApplyVisibility(bool visible) {
  HWND cef_window = GetCefHandle();
  if (!cef_window)
    return;
  if (visible)
    ShowWindow(cef_window, SW_SHOW);
  else
    SetWindowPos(cef_window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CefNativeControl::SetFadeVisible(bool visible) {
  CefControlBase::SetFadeVisible(visible);
  ApplyVisibility(visible);
}

void CefNativeControl::SetInternalVisible(bool visible) {
  CefControlBase::SetInternalVisible(visible);
  ApplyVisibility(visible);
}

bool CefNativeControl::HandleEvent(ui::EventArgs* args) {
  if (CefRefPtr<CefBrowser> browser = CurrentBrowser()) {
    if (args->type == ui::kEventInternalSetFocus)
      browser->GetHost()->SetFocus(true);
    else if (args->type == ui::kEventInternalKillFocus)
      browser->GetHost()->SetFocus(false);
  }
  return CefControlBase::HandleEvent(args);
}

bool CefNativeControl::AttachDevTools(ui::Control* view) {
  if (devtools_attached_)
    return true;
  CefRefPtr<CefBrowser> browser = CurrentBrowser();
  if (!browser) {
    if (browser_handler_) {
      browser_handler_->AddAfterCreateTask(
          MakeWeakCallback([this, view] { AttachDevTools(view); }));
    }
    return true;
  }
  CefWindowInfo window_info;
  window_info.SetAsPopup(nullptr, kDevToolsTitle);
  window_info.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  window_info.width = kDevToolsWidth;
  window_info.height = kDevToolsHeight;
  CefBrowserSettings settings;
  browser->GetHost()->ShowDevTools(window_info, new BrowserHandler, settings, CefPoint(0, 0));
  devtools_attached_ = true;
  NotifyDevToolsVisible(true);
  return true;
}

}  // namespace kel_comp
