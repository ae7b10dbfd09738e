#pragma once

#include "runtime/include/cef_base.h"

// Handed to CefApp::OnRegisterCustomSchemes; valid only during that call.
class CefSchemeRegistrar : public CefBaseScoped {
 public:
  // `options` combines the runtime's scheme flags. False when the scheme
  // cannot be registered.
  virtual bool AddCustomScheme(const CefString& scheme_name, int options) = 0;
};
