#pragma once

#include "runtime/include/cef_cookie.h"

namespace cef_standin {

// The global cookie store. The stand-in keeps no cookies of its own yet;
// it records which schemes the store is to accept.
class CookieManagerImpl : public CefCookieManager {
 public:
  void SetSupportedSchemes(const std::vector<CefString>& schemes,
                           bool include_defaults,
                           CefRefPtr<CefCompletionCallback> callback) override;
  bool FlushStore(CefRefPtr<CefCompletionCallback> callback) override;

 private:
  IMPLEMENT_REFCOUNTING(CookieManagerImpl);
};

// Tells `callback` on the runtime's UI thread that an operation is done.
void CompleteOnUiThread(CefRefPtr<CefCompletionCallback> callback);

}  // namespace cef_standin
