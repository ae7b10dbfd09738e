#pragma once

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_frame.h"
#include "runtime/include/cef_values.h"

class CefClient;

// Creation and closing of a browser, on the runtime's UI thread.
class CefLifeSpanHandler : public virtual CefBaseRefCounted {
 public:
  typedef cef_window_open_disposition_t WindowOpenDisposition;

  // A page asked for a new window (`window.open`, a link with a target).
  // True stops the pop-up from being created; with false the runtime
  // creates it from the (changeable) window info, client and settings.
  virtual bool OnBeforePopup(CefRefPtr<CefBrowser> /*browser*/,
                             CefRefPtr<CefFrame> /*frame*/,
                             const CefString& /*target_url*/,
                             const CefString& /*target_frame_name*/,
                             WindowOpenDisposition /*target_disposition*/,
                             bool /*user_gesture*/,
                             const CefPopupFeatures& /*popupFeatures*/,
                             CefWindowInfo& /*windowInfo*/,
                             CefRefPtr<CefClient>& /*client*/,
                             CefBrowserSettings& /*settings*/,
                             CefRefPtr<CefDictionaryValue>& /*extra_info*/,
                             bool* /*no_javascript_access*/) {
    return false;
  }
  // The browser exists; the first callback that hands it out.
  virtual void OnAfterCreated(CefRefPtr<CefBrowser> /*browser*/) {}
  // The browser is closing; false lets the runtime close its window.
  virtual bool DoClose(CefRefPtr<CefBrowser> /*browser*/) { return false; }
  // The last callback for the browser: drop every reference to it.
  virtual void OnBeforeClose(CefRefPtr<CefBrowser> /*browser*/) {}
};
