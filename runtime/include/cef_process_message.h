#pragma once

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_values.h"

// A named message with an argument list, sent between the browser process
// and a renderer.
class CefProcessMessage : public virtual CefBaseRefCounted {
 public:
  static CefRefPtr<CefProcessMessage> Create(const CefString& name);

  virtual bool IsValid() = 0;
  // Read-only once sent or received.
  virtual bool IsReadOnly() = 0;
  virtual CefRefPtr<CefProcessMessage> Copy() = 0;
  virtual CefString GetName() = 0;
  virtual CefRefPtr<CefListValue> GetArgumentList() = 0;
};
