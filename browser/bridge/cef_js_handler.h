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

  // "call" and "register"; sets no return value, so the page always gets
  // undefined.
  bool Execute(const CefString& name,
               CefRefPtr<CefV8Value> object,
               const CefV8ValueList& arguments,
               CefRefPtr<CefV8Value>& retval,
               CefString& exception) override;

  const std::shared_ptr<CefJSBridge>& bridge() const { return bridge_; }

 private:
  bool Call(const CefV8ValueList& arguments, CefString& exception);
  bool Register(const CefV8ValueList& arguments, CefString& exception);

  std::shared_ptr<CefJSBridge> bridge_;

  IMPLEMENT_REFCOUNTING(CefJSHandler);
};

}  // namespace kel_comp
