#pragma once

#include <string>

#include "runtime/include/cef_v8.h"

namespace cef_standin {

// A plain script value: undefined, null, a boolean, a number or a string.
// Objects and functions exist only inside page contexts.
class V8ValueImpl : public CefV8Value {
 public:
  enum class Kind { kUndefined, kNull, kBool, kInt, kDouble, kString };

  explicit V8ValueImpl(Kind kind) : kind_(kind) {}
  static CefRefPtr<V8ValueImpl> Bool(bool value);
  static CefRefPtr<V8ValueImpl> Int(int32 value);
  static CefRefPtr<V8ValueImpl> Double(double value);
  static CefRefPtr<V8ValueImpl> String(std::wstring value);

  bool IsValid() override { return true; }
  bool IsUndefined() override { return kind_ == Kind::kUndefined; }
  bool IsNull() override { return kind_ == Kind::kNull; }
  bool IsBool() override { return kind_ == Kind::kBool; }
  bool IsInt() override { return kind_ == Kind::kInt; }
  bool IsDouble() override { return kind_ == Kind::kInt || kind_ == Kind::kDouble; }
  bool IsString() override { return kind_ == Kind::kString; }
  bool IsObject() override { return false; }
  bool IsFunction() override { return false; }
  bool IsSame(CefRefPtr<CefV8Value> that) override { return that.get() == this; }
  bool GetBoolValue() override { return kind_ == Kind::kBool && bool_value_; }
  int32 GetIntValue() override;
  double GetDoubleValue() override;
  CefString GetStringValue() override;
  CefRefPtr<CefV8Value> GetValue(const CefString&) override { return nullptr; }
  CefRefPtr<CefV8Value> ExecuteFunction(CefRefPtr<CefV8Value>, const CefV8ValueList&) override {
    return nullptr;
  }
  CefRefPtr<CefV8Value> ExecuteFunctionWithContext(CefRefPtr<CefV8Context>,
                                                   CefRefPtr<CefV8Value>,
                                                   const CefV8ValueList&) override {
    return nullptr;
  }

 private:
  const Kind kind_;
  bool bool_value_ = false;
  int32 int_value_ = 0;
  double double_value_ = 0;
  std::wstring string_value_;

  IMPLEMENT_REFCOUNTING(V8ValueImpl);
};

}  // namespace cef_standin
