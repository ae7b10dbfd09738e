#include "runtime/standin/script/json_guard.h"

#include "runtime/standin/script/script_engine.h"

namespace cef_standin::script {

namespace {

bool StackExhausted(JSContext* ctx) {
  ScriptEngine* engine = ScriptEngine::OfRuntime(JS_GetRuntime(ctx));
  return engine && engine->StackExhausted();
}

// replacer(key, value) with the page's own replacer, if any, in data[0].
JSValue CheckedReplacer(JSContext* ctx,
                        JSValueConst this_value,
                        int argc,
                        JSValueConst* argv,
                        int /*magic*/,
                        JSValueConst* data) {
  if (StackExhausted(ctx))
    return JS_ThrowRangeError(ctx, "Maximum call stack size exceeded");
  JSValueConst value = argc > 1 ? argv[1] : JS_UNDEFINED;
  if (JS_IsFunction(ctx, data[0]))
    return JS_Call(ctx, data[0], this_value, argc, argv);
  return JS_DupValue(ctx, value);
}

// stringify(value, replacer, space) with the engine's stringify in data[0].
JSValue GuardedStringify(JSContext* ctx,
                         JSValueConst /*this_value*/,
                         int argc,
                         JSValueConst* argv,
                         int /*magic*/,
                         JSValueConst* data) {
  JSValueConst value = argc > 0 ? argv[0] : JS_UNDEFINED;
  JSValueConst replacer = argc > 1 ? argv[1] : JS_UNDEFINED;
  JSValueConst space = argc > 2 ? argv[2] : JS_UNDEFINED;
  JSValue checked = JS_UNDEFINED;
  if (JS_IsArray(ctx, replacer) > 0) {
    checked = JS_DupValue(ctx, replacer);
  } else {
    JSValueConst page_replacer = JS_IsFunction(ctx, replacer) ? replacer : JS_UNDEFINED;
    checked = JS_NewCFunctionData(ctx, &CheckedReplacer, 2, 0, 1, &page_replacer);
    if (JS_IsException(checked))
      return checked;
  }
  JSValueConst args[3] = {value, checked, space};
  JSValue result = JS_Call(ctx, data[0], JS_UNDEFINED, 3, args);
  JS_FreeValue(ctx, checked);
  return result;
}

}  // namespace

void GuardJsonStringify(JSContext* ctx) {
  JSValue global = JS_GetGlobalObject(ctx);
  JSValue json = JS_GetPropertyStr(ctx, global, "JSON");
  JSValue original = JS_GetPropertyStr(ctx, json, "stringify");
  if (JS_IsFunction(ctx, original)) {
    JSValue guarded = JS_NewCFunctionData(ctx, &GuardedStringify, 3, 0, 1, &original);
    if (!JS_IsException(guarded)) {
      JS_DefinePropertyValueStr(ctx, guarded, "name", JS_NewString(ctx, "stringify"),
                                JS_PROP_CONFIGURABLE);
      JS_DefinePropertyValueStr(ctx, json, "stringify", guarded,
                                JS_PROP_WRITABLE | JS_PROP_CONFIGURABLE);
    }
  }
  JS_FreeValue(ctx, original);
  JS_FreeValue(ctx, json);
  JS_FreeValue(ctx, global);
}

}  // namespace cef_standin::script
