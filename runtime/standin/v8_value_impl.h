#pragma once

#include <cstdint>
#include <string>

#include <quickjs.h>

#include "runtime/include/cef_v8.h"

namespace cef_standin {

class V8ContextImpl;

// A script value. Primitives (undefined, null, booleans, numbers, strings)
// stand alone; everything else holds a value of the script engine, with a
// reference that belongs to the context it was made in or came from. When
// that context is released the reference goes and the value becomes
// invalid. Renderer thread only, like the engine's values.
class V8ValueImpl : public CefV8Value {
 public:
  enum class Kind { kUndefined, kNull, kBool, kInt, kDouble, kString, kHeld };

  explicit V8ValueImpl(Kind kind) : kind_(kind) {}
  ~V8ValueImpl() override;

  static CefRefPtr<V8ValueImpl> Undefined();
  static CefRefPtr<V8ValueImpl> Null();
  static CefRefPtr<V8ValueImpl> Bool(bool value);
  static CefRefPtr<V8ValueImpl> Int(int32 value);
  static CefRefPtr<V8ValueImpl> Double(double value);
  static CefRefPtr<V8ValueImpl> String(std::wstring value);
  // Objects, arrays and functions in the current context; null when no
  // context is entered.
  static CefRefPtr<V8ValueImpl> Object(CefRefPtr<CefV8Accessor> accessor);
  static CefRefPtr<V8ValueImpl> Array(int length);
  static CefRefPtr<V8ValueImpl> Function(const std::wstring& name, CefRefPtr<CefV8Handler> handler);

  // Wraps a script value of `context`; takes over the reference.
  static CefRefPtr<V8ValueImpl> FromJs(const CefRefPtr<V8ContextImpl>& context, JSValue value);
  // A new reference to this value in `ctx`'s engine; JS_EXCEPTION (with
  // nothing thrown) for a value whose context is gone.
  JSValue ToJs(JSContext* ctx);
  // Null or empty value arguments, and values from released contexts, give
  // JS_EXCEPTION.
  static JSValue ToJs(JSContext* ctx, const CefRefPtr<CefV8Value>& value);

  // The context released its values: the reference is gone already.
  void DropReference() { held_ = JS_UNDEFINED; }

  bool IsValid() override;
  bool IsUndefined() override { return kind_ == Kind::kUndefined; }
  bool IsNull() override { return kind_ == Kind::kNull; }
  bool IsBool() override { return kind_ == Kind::kBool; }
  bool IsInt() override { return kind_ == Kind::kInt; }
  bool IsDouble() override { return kind_ == Kind::kInt || kind_ == Kind::kDouble; }
  bool IsString() override { return kind_ == Kind::kString; }
  bool IsObject() override;
  bool IsArray() override;
  bool IsFunction() override;
  bool IsSame(CefRefPtr<CefV8Value> that) override;
  bool GetBoolValue() override { return kind_ == Kind::kBool && bool_value_; }
  int32 GetIntValue() override;
  double GetDoubleValue() override;
  CefString GetStringValue() override;
  bool HasValue(const CefString& key) override;
  CefRefPtr<CefV8Value> GetValue(const CefString& key) override;
  CefRefPtr<CefV8Value> GetValue(int index) override;
  bool SetValue(const CefString& key,
                CefRefPtr<CefV8Value> value,
                cef_v8_propertyattribute_t attribute) override;
  bool SetValue(int index, CefRefPtr<CefV8Value> value) override;
  bool GetKeys(std::vector<CefString>& keys) override;
  int GetArrayLength() override;
  CefString GetFunctionName() override;
  CefRefPtr<CefV8Handler> GetFunctionHandler() override;
  CefRefPtr<CefV8Value> ExecuteFunction(CefRefPtr<CefV8Value> object,
                                        const CefV8ValueList& arguments) override;
  CefRefPtr<CefV8Value> ExecuteFunctionWithContext(CefRefPtr<CefV8Context> context,
                                                   CefRefPtr<CefV8Value> object,
                                                   const CefV8ValueList& arguments) override;

 private:
  // A held object whose context lives, on the renderer thread.
  bool IsLiveObject();
  JSContext* ctx() const;
  CefRefPtr<CefV8Value> GetProperty(JSAtom atom);

  const Kind kind_;
  bool bool_value_ = false;
  int32 int_value_ = 0;
  double double_value_ = 0;
  std::wstring string_value_;

  CefRefPtr<V8ContextImpl> context_;  // kHeld only
  JSValue held_ = JS_UNDEFINED;       // owned while the context lives
  uint64_t held_id_ = 0;              // its entry in the context

  IMPLEMENT_REFCOUNTING(V8ValueImpl);
};

}  // namespace cef_standin
