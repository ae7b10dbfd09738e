#include "browser/bridge/cef_js_handler.h"

namespace kel_comp {

bool CefJSHandler::Execute(const CefString& /*name*/,
                           CefRefPtr<CefV8Value> /*object*/,
                           const CefV8ValueList& /*arguments*/,
                           CefRefPtr<CefV8Value>& /*retval*/,
                           CefString& /*exception*/) {
  return false;
}

}  // namespace kel_comp
