#pragma once

#include <vector>

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_frame.h"

// What a browser shows about its page, on the runtime's UI thread.
class CefDisplayHandler : public virtual CefBaseRefCounted {
 public:
  // A frame's address changed.
  virtual void OnAddressChange(CefRefPtr<CefBrowser> /*browser*/,
                               CefRefPtr<CefFrame> /*frame*/,
                               const CefString& /*url*/) {}
  virtual void OnTitleChange(CefRefPtr<CefBrowser> /*browser*/, const CefString& /*title*/) {}
  virtual void OnFaviconURLChange(CefRefPtr<CefBrowser> /*browser*/,
                                  const std::vector<CefString>& /*icon_urls*/) {}
  virtual void OnFullscreenModeChange(CefRefPtr<CefBrowser> /*browser*/, bool /*fullscreen*/) {}
  // True when the program shows the tooltip itself.
  virtual bool OnTooltip(CefRefPtr<CefBrowser> /*browser*/, CefString& /*text*/) { return false; }
  virtual void OnStatusMessage(CefRefPtr<CefBrowser> /*browser*/, const CefString& /*value*/) {}
  // A page's console message; true keeps it out of the runtime's log.
  virtual bool OnConsoleMessage(CefRefPtr<CefBrowser> /*browser*/,
                                cef_log_severity_t /*level*/,
                                const CefString& /*message*/,
                                const CefString& /*source*/,
                                int /*line*/) {
    return false;
  }
  virtual bool OnAutoResize(CefRefPtr<CefBrowser> /*browser*/, const CefSize& /*new_size*/) {
    return false;
  }
  // From 0.0 to 1.0 while the page loads.
  virtual void OnLoadingProgressChange(CefRefPtr<CefBrowser> /*browser*/, double /*progress*/) {}
};
