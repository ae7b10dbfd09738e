#include "runtime/standin/v8_handler_function.h"

#include <vector>

#include "runtime/standin/script/js_strings.h"
#include "runtime/standin/v8_context_impl.h"
#include "runtime/standin/v8_value_impl.h"

namespace cef_standin {

namespace {

JSClassID FunctionClass() {
  return script::ScriptEngine::HandlerFunctionClass();
}

void Finalize(JSRuntime* /*runtime*/, JSValue value) {
  delete static_cast<HandlerFunctionData*>(JS_GetOpaque(value, FunctionClass()));
}

JSValue Call(JSContext* ctx,
             JSValueConst function,
             JSValueConst this_value,
             int argc,
             JSValueConst* argv,
             int /*flags*/) {
  HandlerFunctionData* data = GetHandlerFunction(function);
  CefRefPtr<V8ContextImpl> context = V8ContextImpl::FromJs(ctx);
  if (!data || !data->handler || !context)
    return JS_UNDEFINED;
  if (context->engine()->StackExhausted())
    return JS_ThrowRangeError(ctx, "Maximum call stack size exceeded");
  // Held for the call: the handler may drop the last other reference.
  CefRefPtr<CefV8Handler> handler = data->handler;
  const std::wstring name = data->name;

  // A plain call's receiver is the global object, as for the runtime's
  // other native functions.
  CefRefPtr<CefV8Value> object = JS_IsUndefined(this_value) || JS_IsNull(this_value)
                                     ? V8ValueImpl::FromJs(context, JS_GetGlobalObject(ctx))
                                     : V8ValueImpl::FromJs(context, JS_DupValue(ctx, this_value));
  CefV8ValueList arguments;
  arguments.reserve(static_cast<size_t>(argc));
  for (int i = 0; i < argc; ++i)
    arguments.push_back(V8ValueImpl::FromJs(context, JS_DupValue(ctx, argv[i])));

  CefRefPtr<CefV8Value> retval;
  CefString exception;
  context->Enter();
  const bool handled = handler->Execute(name, object, arguments, retval, exception);
  context->Exit();
  if (!context->IsValid())
    return JS_UNDEFINED;
  if (!handled)
    return JS_UNDEFINED;
  if (!exception.empty()) {
    JSValue error = JS_NewError(ctx);
    JS_DefinePropertyValueStr(ctx, error, "message",
                              script::NewJsString(ctx, exception.ToWString()),
                              JS_PROP_WRITABLE | JS_PROP_CONFIGURABLE);
    return JS_Throw(ctx, error);
  }
  if (!retval)
    return JS_UNDEFINED;
  JSValue result = V8ValueImpl::ToJs(ctx, retval);
  return JS_IsException(result) ? JS_UNDEFINED : result;
}

}  // namespace

bool RegisterHandlerFunctionClass(JSRuntime* runtime) {
  JSClassDef definition = {};
  definition.class_name = "Function";
  definition.finalizer = &Finalize;
  definition.call = &Call;
  return JS_NewClass(runtime, FunctionClass(), &definition) == 0;
}

void PrepareHandlerFunctions(JSContext* ctx) {
  JSValue global = JS_GetGlobalObject(ctx);
  JSValue function_constructor = JS_GetPropertyStr(ctx, global, "Function");
  JSValue prototype = JS_GetPropertyStr(ctx, function_constructor, "prototype");
  JS_SetClassProto(ctx, FunctionClass(), prototype);  // takes the reference
  JS_FreeValue(ctx, function_constructor);
  JS_FreeValue(ctx, global);
}

JSValue NewHandlerFunction(JSContext* ctx,
                           const std::wstring& name,
                           CefRefPtr<CefV8Handler> handler) {
  JSValue function = JS_NewObjectClass(ctx, static_cast<int>(FunctionClass()));
  if (JS_IsException(function))
    return function;
  JS_SetOpaque(function, new HandlerFunctionData{name, std::move(handler)});
  JS_DefinePropertyValueStr(ctx, function, "name", script::NewJsString(ctx, name),
                            JS_PROP_CONFIGURABLE);
  return function;
}

HandlerFunctionData* GetHandlerFunction(JSValueConst value) {
  return static_cast<HandlerFunctionData*>(JS_GetOpaque(value, FunctionClass()));
}

}  // namespace cef_standin
