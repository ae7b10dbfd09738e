#pragma once

#include "runtime/include/cef_base.h"

#include "runtime/include/cef_browser.h"

// Printing on platforms without a system print dialog.
class CefPrintHandler : public virtual CefBaseRefCounted {
 public:
  virtual void OnPrintStart(CefRefPtr<CefBrowser> /*browser*/) {}
};
