#pragma once

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_frame.h"

// Page loading events, on the runtime's UI thread in the browser process
// and on the main thread in a renderer.
class CefLoadHandler : public virtual CefBaseRefCounted {
 public:
  typedef cef_errorcode_t ErrorCode;
  typedef cef_transition_type_t TransitionType;

  virtual void OnLoadingStateChange(CefRefPtr<CefBrowser> /*browser*/,
                                    bool /*is_loading*/,
                                    bool /*can_go_back*/,
                                    bool /*can_go_forward*/) {}
  virtual void OnLoadStart(CefRefPtr<CefBrowser> /*browser*/,
                           CefRefPtr<CefFrame> /*frame*/,
                           TransitionType /*transition_type*/) {}
  virtual void OnLoadEnd(CefRefPtr<CefBrowser> /*browser*/,
                         CefRefPtr<CefFrame> /*frame*/,
                         int /*http_status_code*/) {}
  virtual void OnLoadError(CefRefPtr<CefBrowser> /*browser*/,
                           CefRefPtr<CefFrame> /*frame*/,
                           ErrorCode /*error_code*/,
                           const CefString& /*error_text*/,
                           const CefString& /*failed_url*/) {}
};
