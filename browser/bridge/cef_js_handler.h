#pragma once

#include <memory>

#include "browser/bridge/cef_js_bridge.h"
#include "runtime/include/cef_v8.h"

namespace kel_comp {

// The handler of the page-side extension: page script's "call" and
// "register" arrive here on the renderer's main thread and go to the
// renderer's bridge.
class CefJSHandler : public CefV8Handler {
 public:
  explicit CefJSHandler(std::shared_ptr<CefJSBridge> bridge) : bridge_(std::move(bridge)) {}

  // Nothing is handled until the bridge carries page calls to the browser
  // process: the page's `call` and `register` then return undefined, as
  // they do for every failed call.
  bool Execute(const CefString& name,
               CefRefPtr<CefV8Value> object,
               const CefV8ValueList& arguments,
               CefRefPtr<CefV8Value>& retval,
               CefString& exception) override;

  const std::shared_ptr<CefJSBridge>& bridge() const { return bridge_; }

 private:
  std::shared_ptr<CefJSBridge> bridge_;

  IMPLEMENT_REFCOUNTING(CefJSHandler);
};

}  // namespace kel_comp
