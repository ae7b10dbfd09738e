#pragma once

#include <windows.h>

#include "browser/control/cef_control_base.h"

namespace kel_comp {

// The windowed browser control: the runtime shows the page in a native
// child window of the control's host window, kept at the control's bounds.
// Hidden, the browser window is sized to 0 x 0 rather than hidden, so that
// the runtime keeps painting it as visible. Main thread only.
class CefNativeControl : public CefControlBase {
 public:
  // Window title and size of the developer tools.
  static constexpr wchar_t kDevToolsTitle[] = L"cef_devtools";
  static constexpr int kDevToolsWidth = 900;
  static constexpr int kDevToolsHeight = 700;

  CefNativeControl() = default;
  ~CefNativeControl() override;

  // ui::Control.
  void SetWindowAndParent(ui::ControlHost* window, ui::Box* parent, bool init) override;
  void Init() override;
  void SetBounds(const ui::UiRect& rect) override;
  void SetFadeVisible(bool visible) override;
  void SetInternalVisible(bool visible) override;
  bool HandleEvent(ui::EventArgs* args) override;

  // CefControlBase.
  bool AttachDevTools(ui::Control* view) override;
  void CreateBrowserIfNeeded() override;

  // HandlerDelegate: a creation is no longer pending.
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;

 private:
  // The native window of `host`, or null when it has none (yet).
  static HWND HostWindowOf(ui::ControlHost* host);
  // The browser window follows the control's visibility.
  void ApplyVisibility(bool visible);

  // Set between a started creation and its OnAfterCreated, so that a second
  // call cannot create a second browser.
  bool creation_pending_ = false;
};

}  // namespace kel_comp
