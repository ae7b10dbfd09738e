#pragma once

#include <string>

#include <quickjs.h>

#include "runtime/include/cef_v8.h"

namespace cef_standin {

// Script functions whose calls reach a CefV8Handler: callable objects of
// one engine class, holding the name and the handler. A call runs the
// handler with the function's context current; its exception text is
// thrown as an Error when it handled the call, its return value (undefined
// when none) is the result; an unhandled call gives undefined.
struct HandlerFunctionData {
  std::wstring name;
  CefRefPtr<CefV8Handler> handler;
};

// Once per engine runtime.
bool RegisterHandlerFunctionClass(JSRuntime* runtime);
// Once per engine context: the functions' prototype is the context's
// Function.prototype, so that call, apply and bind work on them.
void PrepareHandlerFunctions(JSContext* ctx);
// A new function; JS_EXCEPTION when out of memory.
JSValue NewHandlerFunction(JSContext* ctx,
                           const std::wstring& name,
                           CefRefPtr<CefV8Handler> handler);
// The data of a handler function; null for any other value.
HandlerFunctionData* GetHandlerFunction(JSValueConst value);

}  // namespace cef_standin
