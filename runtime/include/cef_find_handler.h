#pragma once

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"

// Results of a find in page, on the runtime's UI thread.
class CefFindHandler : public virtual CefBaseRefCounted {
 public:
  virtual void OnFindResult(CefRefPtr<CefBrowser> /*browser*/,
                            int /*identifier*/,
                            int /*count*/,
                            const CefRect& /*selectionRect*/,
                            int /*activeMatchOrdinal*/,
                            bool /*finalUpdate*/) {}
};
