#pragma once

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"

// Focus moving into and out of a browser, on the runtime's UI thread.
class CefFocusHandler : public virtual CefBaseRefCounted {
 public:
  typedef cef_focus_source_t FocusSource;

  // Tab moved past the page's last (or before its first) element.
  virtual void OnTakeFocus(CefRefPtr<CefBrowser> /*browser*/, bool /*next*/) {}
  // True refuses the focus.
  virtual bool OnSetFocus(CefRefPtr<CefBrowser> /*browser*/, FocusSource /*source*/) {
    return false;
  }
  virtual void OnGotFocus(CefRefPtr<CefBrowser> /*browser*/) {}
};
