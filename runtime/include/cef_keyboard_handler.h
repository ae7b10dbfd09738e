#pragma once

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"

// Key events of a page, on the runtime's UI thread.
class CefKeyboardHandler : public virtual CefBaseRefCounted {
 public:
  // Before the page sees the event; true consumes it. Setting
  // `is_keyboard_shortcut` and returning false gives the event to
  // OnKeyEvent after the page when the page did not consume it.
  virtual bool OnPreKeyEvent(CefRefPtr<CefBrowser> /*browser*/,
                             const CefKeyEvent& /*event*/,
                             CefEventHandle /*os_event*/,
                             bool* /*is_keyboard_shortcut*/) {
    return false;
  }
  // After the page did not consume the event; true consumes it.
  virtual bool OnKeyEvent(CefRefPtr<CefBrowser> /*browser*/,
                          const CefKeyEvent& /*event*/,
                          CefEventHandle /*os_event*/) {
    return false;
  }
};
