#include "runtime/standin/v8_value_impl.h"

#include <cmath>
#include <utility>

#include "runtime/standin/function_task.h"
#include "runtime/standin/runtime_context.h"
#include "runtime/standin/script/js_strings.h"
#include "runtime/standin/v8_context_impl.h"
#include "runtime/standin/v8_handler_function.h"

namespace cef_standin {

namespace {

bool OnRendererThread() {
  return RuntimeContext::Get().CurrentlyOn(TID_RENDERER);
}

// The running context for a new object; null, with a log line, when none
// runs.
CefRefPtr<V8ContextImpl> ContextForNew(const wchar_t* what) {
  CefRefPtr<V8ContextImpl> context = V8ContextImpl::Current();
  if (!context || !context->IsValid()) {
    RuntimeContext::Get().log().Error(std::wstring(what) +
                                      L" refused: no script context is entered");
    return nullptr;
  }
  return context;
}

// Property attributes as the engine's flags for a new definition.
int DefineFlags(cef_v8_propertyattribute_t attribute) {
  int flags = 0;
  if (!(attribute & V8_PROPERTY_ATTRIBUTE_READONLY))
    flags |= JS_PROP_WRITABLE;
  if (!(attribute & V8_PROPERTY_ATTRIBUTE_DONTENUM))
    flags |= JS_PROP_ENUMERABLE;
  if (!(attribute & V8_PROPERTY_ATTRIBUTE_DONTDELETE))
    flags |= JS_PROP_CONFIGURABLE;
  return flags;
}

}  // namespace

V8ValueImpl::~V8ValueImpl() {
  if (kind_ != Kind::kHeld || !context_)
    return;
  if (OnRendererThread()) {
    context_->ReleaseHeld(held_id_);
    return;
  }
  // The engine is the renderer thread's alone: the reference goes there.
  CefRefPtr<V8ContextImpl> context = context_;
  const uint64_t id = held_id_;
  RuntimeContext::Get().PostTask(TID_RENDERER,
                                 MakeTask([context, id] { context->ReleaseHeld(id); }), 0);
}

CefRefPtr<V8ValueImpl> V8ValueImpl::Undefined() {
  return new V8ValueImpl(Kind::kUndefined);
}

CefRefPtr<V8ValueImpl> V8ValueImpl::Null() {
  return new V8ValueImpl(Kind::kNull);
}

CefRefPtr<V8ValueImpl> V8ValueImpl::Bool(bool value) {
  CefRefPtr<V8ValueImpl> result = new V8ValueImpl(Kind::kBool);
  result->bool_value_ = value;
  return result;
}

CefRefPtr<V8ValueImpl> V8ValueImpl::Int(int32 value) {
  CefRefPtr<V8ValueImpl> result = new V8ValueImpl(Kind::kInt);
  result->int_value_ = value;
  return result;
}

CefRefPtr<V8ValueImpl> V8ValueImpl::Double(double value) {
  CefRefPtr<V8ValueImpl> result = new V8ValueImpl(Kind::kDouble);
  result->double_value_ = value;
  return result;
}

CefRefPtr<V8ValueImpl> V8ValueImpl::String(std::wstring value) {
  CefRefPtr<V8ValueImpl> result = new V8ValueImpl(Kind::kString);
  result->string_value_ = std::move(value);
  return result;
}

CefRefPtr<V8ValueImpl> V8ValueImpl::Object(CefRefPtr<CefV8Accessor> /*accessor*/) {
  CefRefPtr<V8ContextImpl> context = ContextForNew(L"CreateObject");
  if (!context)
    return nullptr;
  JSValue object = JS_NewObject(context->js_context());
  return JS_IsException(object) ? nullptr : FromJs(context, object);
}

CefRefPtr<V8ValueImpl> V8ValueImpl::Array(int length) {
  CefRefPtr<V8ContextImpl> context = ContextForNew(L"CreateArray");
  if (!context || length < 0)
    return nullptr;
  JSContext* ctx = context->js_context();
  JSValue array = JS_NewArray(ctx);
  if (JS_IsException(array))
    return nullptr;
  if (JS_SetPropertyStr(ctx, array, "length", JS_NewInt32(ctx, length)) < 0) {
    JS_FreeValue(ctx, JS_GetException(ctx));
    JS_FreeValue(ctx, array);
    return nullptr;
  }
  return FromJs(context, array);
}

CefRefPtr<V8ValueImpl> V8ValueImpl::Function(const std::wstring& name,
                                             CefRefPtr<CefV8Handler> handler) {
  CefRefPtr<V8ContextImpl> context = ContextForNew(L"CreateFunction");
  if (!context || !handler)
    return nullptr;
  JSValue function = NewHandlerFunction(context->js_context(), name, std::move(handler));
  return JS_IsException(function) ? nullptr : FromJs(context, function);
}

CefRefPtr<V8ValueImpl> V8ValueImpl::FromJs(const CefRefPtr<V8ContextImpl>& context, JSValue value) {
  JSContext* ctx = context ? context->js_context() : nullptr;
  switch (JS_VALUE_GET_NORM_TAG(value)) {
    case JS_TAG_UNDEFINED:
      return Undefined();
    case JS_TAG_NULL:
      return Null();
    case JS_TAG_BOOL:
      return Bool(JS_VALUE_GET_BOOL(value) != 0);
    case JS_TAG_INT:
      return Int(JS_VALUE_GET_INT(value));
    case JS_TAG_FLOAT64: {
      // Whole numbers in range are integers to the runtime's callers, as
      // the page's 5 and 5.0 are the same number.
      const double number = JS_VALUE_GET_FLOAT64(value);
      if (number >= -2147483648.0 && number <= 2147483647.0 && std::trunc(number) == number &&
          !(number == 0 && std::signbit(number)))
        return Int(static_cast<int32>(number));
      return Double(number);
    }
    case JS_TAG_STRING: {
      std::wstring text = script::JsToWString(ctx, value);
      JS_FreeValue(ctx, value);
      return String(std::move(text));
    }
    case JS_TAG_EXCEPTION:
      return nullptr;
    default:
      break;
  }
  if (!ctx) {
    return nullptr;
  }
  CefRefPtr<V8ValueImpl> result = new V8ValueImpl(Kind::kHeld);
  result->context_ = context;
  result->held_ = value;
  result->held_id_ = context->Hold(value);
  return result;
}

JSValue V8ValueImpl::ToJs(JSContext* ctx) {
  switch (kind_) {
    case Kind::kUndefined:
      return JS_UNDEFINED;
    case Kind::kNull:
      return JS_NULL;
    case Kind::kBool:
      return JS_NewBool(ctx, bool_value_);
    case Kind::kInt:
      return JS_NewInt32(ctx, int_value_);
    case Kind::kDouble:
      return JS_NewFloat64(ctx, double_value_);
    case Kind::kString:
      return script::NewJsString(ctx, string_value_);
    case Kind::kHeld:
      break;
  }
  // One engine serves every context of the thread, so values pass between
  // them as they are.
  if (!IsLiveObject() || JS_GetRuntime(ctx) != JS_GetRuntime(context_->js_context()))
    return JS_EXCEPTION;
  return JS_DupValue(ctx, held_);
}

JSValue V8ValueImpl::ToJs(JSContext* ctx, const CefRefPtr<CefV8Value>& value) {
  auto* impl = dynamic_cast<V8ValueImpl*>(value.get());
  return impl ? impl->ToJs(ctx) : JS_EXCEPTION;
}

bool V8ValueImpl::IsLiveObject() {
  return kind_ == Kind::kHeld && context_ && context_->IsValid() && OnRendererThread();
}

JSContext* V8ValueImpl::ctx() const {
  return context_ ? context_->js_context() : nullptr;
}

bool V8ValueImpl::IsValid() {
  return kind_ != Kind::kHeld || IsLiveObject();
}

bool V8ValueImpl::IsObject() {
  return IsLiveObject() && JS_IsObject(held_);
}

bool V8ValueImpl::IsArray() {
  return IsLiveObject() && JS_IsArray(ctx(), held_) > 0;
}

bool V8ValueImpl::IsFunction() {
  return IsLiveObject() && JS_IsFunction(ctx(), held_);
}

bool V8ValueImpl::IsSame(CefRefPtr<CefV8Value> that) {
  auto* other = dynamic_cast<V8ValueImpl*>(that.get());
  if (!other)
    return false;
  if (kind_ != Kind::kHeld || other->kind_ != Kind::kHeld)
    return other == this;
  return IsLiveObject() && other->IsLiveObject() &&
         JS_VALUE_GET_TAG(held_) == JS_VALUE_GET_TAG(other->held_) &&
         JS_VALUE_GET_PTR(held_) == JS_VALUE_GET_PTR(other->held_);
}

int32 V8ValueImpl::GetIntValue() {
  if (kind_ == Kind::kInt)
    return int_value_;
  if (kind_ == Kind::kBool)
    return bool_value_ ? 1 : 0;
  if (kind_ == Kind::kDouble && std::isfinite(double_value_) && double_value_ >= -2147483648.0 &&
      double_value_ <= 2147483647.0)
    return static_cast<int32>(double_value_);
  return 0;
}

double V8ValueImpl::GetDoubleValue() {
  if (kind_ == Kind::kDouble)
    return double_value_;
  return kind_ == Kind::kInt ? int_value_ : 0;
}

CefString V8ValueImpl::GetStringValue() {
  return kind_ == Kind::kString ? CefString(string_value_) : CefString();
}

bool V8ValueImpl::HasValue(const CefString& key) {
  if (!IsObject())
    return false;
  JSContext* context = ctx();
  const std::string name = script::ToUtf8(key.ToWString());
  JSAtom atom = JS_NewAtomLen(context, name.data(), name.size());
  const int has = JS_HasProperty(context, held_, atom);
  JS_FreeAtom(context, atom);
  if (has < 0)
    JS_FreeValue(context, JS_GetException(context));
  return has > 0;
}

CefRefPtr<CefV8Value> V8ValueImpl::GetProperty(JSAtom atom) {
  JSContext* context = ctx();
  script::ScriptScope scope(context_->engine());
  JSValue value = JS_GetProperty(context, held_, atom);
  JS_FreeAtom(context, atom);
  if (JS_IsException(value)) {
    context_->TakeException();
    return nullptr;
  }
  return FromJs(context_, value);
}

CefRefPtr<CefV8Value> V8ValueImpl::GetValue(const CefString& key) {
  if (!IsObject())
    return nullptr;
  const std::string name = script::ToUtf8(key.ToWString());
  return GetProperty(JS_NewAtomLen(ctx(), name.data(), name.size()));
}

CefRefPtr<CefV8Value> V8ValueImpl::GetValue(int index) {
  if (!IsObject() || index < 0)
    return nullptr;
  return GetProperty(JS_NewAtomUInt32(ctx(), static_cast<uint32_t>(index)));
}

bool V8ValueImpl::SetValue(const CefString& key,
                           CefRefPtr<CefV8Value> value,
                           cef_v8_propertyattribute_t attribute) {
  if (!IsObject() || !value)
    return false;
  JSContext* context = ctx();
  JSValue js_value = ToJs(context, value);
  if (JS_IsException(js_value))
    return false;
  const std::string name = script::ToUtf8(key.ToWString());
  JSAtom atom = JS_NewAtomLen(context, name.data(), name.size());
  int done = 0;
  {
    script::ScriptScope scope(context_->engine());
    if (JS_IsArray(context, held_) > 0 && name == "length") {
      done = JS_SetProperty(context, held_, atom, js_value);
    } else {
      // A property that exists and is read-only keeps its value, as in a
      // script; otherwise the property is (re)defined with the attributes.
      JSPropertyDescriptor descriptor;
      const int own = JS_GetOwnProperty(context, &descriptor, held_, atom);
      if (own > 0) {
        const bool read_only = !(descriptor.flags & (JS_PROP_WRITABLE | JS_PROP_GETSET));
        JS_FreeValue(context, descriptor.value);
        JS_FreeValue(context, descriptor.getter);
        JS_FreeValue(context, descriptor.setter);
        if (read_only) {
          JS_FreeValue(context, js_value);
          JS_FreeAtom(context, atom);
          return false;
        }
      }
      done = own < 0
                 ? -1
                 : JS_DefinePropertyValue(context, held_, atom, js_value, DefineFlags(attribute));
    }
  }
  JS_FreeAtom(context, atom);
  if (done < 0)
    JS_FreeValue(context, JS_GetException(context));
  return done > 0;
}

bool V8ValueImpl::SetValue(int index, CefRefPtr<CefV8Value> value) {
  if (!IsObject() || !value || index < 0)
    return false;
  JSContext* context = ctx();
  JSValue js_value = ToJs(context, value);
  if (JS_IsException(js_value))
    return false;
  script::ScriptScope scope(context_->engine());
  const int done = JS_SetPropertyUint32(context, held_, static_cast<uint32_t>(index), js_value);
  if (done < 0)
    JS_FreeValue(context, JS_GetException(context));
  return done > 0;
}

bool V8ValueImpl::GetKeys(std::vector<CefString>& keys) {
  keys.clear();
  if (!IsObject())
    return false;
  JSContext* context = ctx();
  JSPropertyEnum* properties = nullptr;
  uint32_t count = 0;
  if (JS_GetOwnPropertyNames(context, &properties, &count, held_,
                             JS_GPN_STRING_MASK | JS_GPN_ENUM_ONLY) < 0) {
    JS_FreeValue(context, JS_GetException(context));
    return false;
  }
  for (uint32_t i = 0; i < count; ++i) {
    JSValue name = JS_AtomToString(context, properties[i].atom);
    keys.push_back(script::JsToWString(context, name));
    JS_FreeValue(context, name);
    JS_FreeAtom(context, properties[i].atom);
  }
  js_free(context, properties);
  return true;
}

int V8ValueImpl::GetArrayLength() {
  if (!IsArray())
    return 0;
  JSContext* context = ctx();
  JSValue length = JS_GetPropertyStr(context, held_, "length");
  uint32_t result = 0;
  if (JS_ToUint32(context, &result, length) < 0)
    JS_FreeValue(context, JS_GetException(context));
  JS_FreeValue(context, length);
  return result > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(result);
}

CefString V8ValueImpl::GetFunctionName() {
  if (!IsFunction())
    return CefString();
  if (HandlerFunctionData* data = GetHandlerFunction(held_))
    return data->name;
  JSValue name = JS_GetPropertyStr(ctx(), held_, "name");
  std::wstring text = JS_IsString(name) ? script::JsToWString(ctx(), name) : std::wstring();
  JS_FreeValue(ctx(), name);
  if (JS_IsException(name))
    JS_FreeValue(ctx(), JS_GetException(ctx()));
  return text;
}

CefRefPtr<CefV8Handler> V8ValueImpl::GetFunctionHandler() {
  HandlerFunctionData* data = IsFunction() ? GetHandlerFunction(held_) : nullptr;
  return data ? data->handler : nullptr;
}

CefRefPtr<CefV8Value> V8ValueImpl::ExecuteFunction(CefRefPtr<CefV8Value> object,
                                                   const CefV8ValueList& arguments) {
  if (!IsFunction())
    return nullptr;
  // Called from the entered context, whose script the call belongs to.
  CefRefPtr<V8ContextImpl> entered = V8ContextImpl::Current();
  JSContext* context = entered && entered->IsValid() ? entered->js_context() : ctx();
  // Held for the call: the script may drop the last other reference.
  CefRefPtr<V8ValueImpl> self(this);
  CefRefPtr<V8ContextImpl> owner = context_;
  JSValue receiver = JS_UNDEFINED;
  if (object) {
    receiver = ToJs(context, object);
    if (JS_IsException(receiver))
      return nullptr;
  }
  std::vector<JSValue> argv;
  argv.reserve(arguments.size());
  bool usable = true;
  for (const CefRefPtr<CefV8Value>& argument : arguments) {
    JSValue js_argument = ToJs(context, argument);
    usable = usable && !JS_IsException(js_argument);
    argv.push_back(JS_IsException(js_argument) ? JS_UNDEFINED : js_argument);
  }
  // Freed through the engine: the call may release the context itself.
  JSRuntime* runtime = JS_GetRuntime(context);
  JSValue result = JS_EXCEPTION;
  if (usable) {
    script::ScriptScope scope(owner->engine());
    result = JS_Call(context, held_, receiver, static_cast<int>(argv.size()), argv.data());
    if (JS_IsException(result) && owner->IsValid())
      owner->TakeException();
  }
  for (JSValue& argument : argv)
    JS_FreeValueRT(runtime, argument);
  JS_FreeValueRT(runtime, receiver);
  if (JS_IsException(result))
    return nullptr;
  if (!owner->IsValid()) {
    JS_FreeValueRT(runtime, result);
    return nullptr;
  }
  return FromJs(owner, result);
}

CefRefPtr<CefV8Value> V8ValueImpl::ExecuteFunctionWithContext(CefRefPtr<CefV8Context> context,
                                                              CefRefPtr<CefV8Value> object,
                                                              const CefV8ValueList& arguments) {
  if (!context || !context->Enter())
    return nullptr;
  CefRefPtr<CefV8Value> result = ExecuteFunction(object, arguments);
  context->Exit();
  return result;
}

}  // namespace cef_standin
