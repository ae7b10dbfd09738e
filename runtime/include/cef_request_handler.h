#pragma once

#include "runtime/include/cef_auth_callback.h"
#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_frame.h"
#include "runtime/include/cef_request.h"
#include "runtime/include/cef_request_callback.h"
#include "runtime/include/cef_resource_request_handler.h"
#include "runtime/include/cef_ssl_info.h"

// Navigation and request events of a browser, on the runtime's UI thread
// unless noted.
class CefRequestHandler : public virtual CefBaseRefCounted {
 public:
  typedef cef_termination_status_t TerminationStatus;
  typedef cef_window_open_disposition_t WindowOpenDisposition;

  // Before a frame navigates (also for each redirect, `is_redirect` set).
  // True cancels the navigation: the page stays as it was and the load
  // handler reports ERR_ABORTED.
  virtual bool OnBeforeBrowse(CefRefPtr<CefBrowser> /*browser*/,
                              CefRefPtr<CefFrame> /*frame*/,
                              CefRefPtr<CefRequest> /*request*/,
                              bool /*user_gesture*/,
                              bool /*is_redirect*/) {
    return false;
  }
  // A link asked to open in another tab or window; true cancels it.
  virtual bool OnOpenURLFromTab(CefRefPtr<CefBrowser> /*browser*/,
                                CefRefPtr<CefFrame> /*frame*/,
                                const CefString& /*target_url*/,
                                WindowOpenDisposition /*target_disposition*/,
                                bool /*user_gesture*/) {
    return false;
  }
  // On the runtime's I/O thread. Null lets the runtime load the resource
  // itself.
  virtual CefRefPtr<CefResourceRequestHandler> GetResourceRequestHandler(
      CefRefPtr<CefBrowser> /*browser*/,
      CefRefPtr<CefFrame> /*frame*/,
      CefRefPtr<CefRequest> /*request*/,
      bool /*is_navigation*/,
      bool /*is_download*/,
      const CefString& /*request_initiator*/,
      bool& /*disable_default_handling*/) {
    return nullptr;
  }
  // On the runtime's I/O thread. True when `callback` will answer.
  virtual bool GetAuthCredentials(CefRefPtr<CefBrowser> /*browser*/,
                                  const CefString& /*origin_url*/,
                                  bool /*isProxy*/,
                                  const CefString& /*host*/,
                                  int /*port*/,
                                  const CefString& /*realm*/,
                                  const CefString& /*scheme*/,
                                  CefRefPtr<CefAuthCallback> /*callback*/) {
    return false;
  }
  // A page asked for `new_size` bytes of persistent storage. True when
  // `callback` will answer (at once or later); false refuses.
  virtual bool OnQuotaRequest(CefRefPtr<CefBrowser> /*browser*/,
                              const CefString& /*origin_url*/,
                              int64 /*new_size*/,
                              CefRefPtr<CefRequestCallback> /*callback*/) {
    return false;
  }
  // True when `callback` will answer; false cancels the request.
  virtual bool OnCertificateError(CefRefPtr<CefBrowser> /*browser*/,
                                  cef_errorcode_t /*cert_error*/,
                                  const CefString& /*request_url*/,
                                  CefRefPtr<CefSSLInfo> /*ssl_info*/,
                                  CefRefPtr<CefRequestCallback> /*callback*/) {
    return false;
  }
  virtual void OnPluginCrashed(CefRefPtr<CefBrowser> /*browser*/,
                               const CefString& /*plugin_path*/) {}
  virtual void OnRenderViewReady(CefRefPtr<CefBrowser> /*browser*/) {}
  // The browser's renderer ended unexpectedly.
  virtual void OnRenderProcessTerminated(CefRefPtr<CefBrowser> /*browser*/,
                                         TerminationStatus /*status*/) {}
};
