#pragma once

#include <vector>

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_callback.h"

// The browser process's cookie store.
class CefCookieManager : public virtual CefBaseRefCounted {
 public:
  // The global store. Without a callback it is usable at once; with one,
  // the callback is told on the runtime's UI thread once the store is
  // ready. Null before the runtime is initialised.
  static CefRefPtr<CefCookieManager> GetGlobalManager(CefRefPtr<CefCompletionCallback> callback);

  // The schemes whose cookies the store keeps, in addition to the
  // runtime's defaults when `include_defaults` is set.
  virtual void SetSupportedSchemes(const std::vector<CefString>& schemes,
                                   bool include_defaults,
                                   CefRefPtr<CefCompletionCallback> callback) = 0;
  virtual bool FlushStore(CefRefPtr<CefCompletionCallback> callback) = 0;
};
