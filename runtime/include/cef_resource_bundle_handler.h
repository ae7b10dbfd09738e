#pragma once

#include "runtime/include/cef_base.h"

// Supplies localised strings in place of the runtime's own resources.
class CefResourceBundleHandler : public virtual CefBaseRefCounted {
 public:
  virtual bool GetLocalizedString(int /*string_id*/, CefString& /*string*/) { return false; }
};
