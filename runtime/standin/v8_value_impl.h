#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/include/cef_v8.h"
#include "runtime/standin/v8_heap.h"

namespace cef_standin {

// A script value. Primitives (undefined, null, booleans, numbers,
// strings) stand alone; objects, arrays and functions belong to the heap
// of the context they were made in and are valid as long as it lives.
//
// Object properties keep the order they were added in. An object made
// with an accessor asks it for the properties it does not hold itself.
// Renderer thread only, like the script engine's values.
class V8ValueImpl : public CefV8Value {
 public:
  enum class Kind { kUndefined, kNull, kBool, kInt, kDouble, kString, kObject, kArray, kFunction };

  // Far beyond anything a page hands over, and small enough that a wild
  // index cannot exhaust memory.
  static constexpr int kMaxArrayLength = 1 << 22;

  explicit V8ValueImpl(Kind kind) : kind_(kind) {}
  ~V8ValueImpl() override;

  static CefRefPtr<V8ValueImpl> Undefined();
  static CefRefPtr<V8ValueImpl> Bool(bool value);
  static CefRefPtr<V8ValueImpl> Int(int32 value);
  static CefRefPtr<V8ValueImpl> Double(double value);
  static CefRefPtr<V8ValueImpl> String(std::wstring value);
  static CefRefPtr<V8ValueImpl> Object(const std::shared_ptr<V8Heap>& heap,
                                       CefRefPtr<CefV8Accessor> accessor);
  // Null when `length` is negative or beyond kMaxArrayLength.
  static CefRefPtr<V8ValueImpl> Array(const std::shared_ptr<V8Heap>& heap, int length);
  static CefRefPtr<V8ValueImpl> Function(const std::shared_ptr<V8Heap>& heap,
                                         std::wstring name,
                                         CefRefPtr<CefV8Handler> handler);

  // The heap was released: lets go of properties, elements, handler and
  // accessor.
  void DropContents();

  bool IsValid() override;
  bool IsUndefined() override { return kind_ == Kind::kUndefined; }
  bool IsNull() override { return kind_ == Kind::kNull; }
  bool IsBool() override { return kind_ == Kind::kBool; }
  bool IsInt() override { return kind_ == Kind::kInt; }
  bool IsDouble() override { return kind_ == Kind::kInt || kind_ == Kind::kDouble; }
  bool IsString() override { return kind_ == Kind::kString; }
  bool IsObject() override { return IsObjectKind(); }
  bool IsArray() override { return kind_ == Kind::kArray; }
  bool IsFunction() override { return kind_ == Kind::kFunction; }
  bool IsSame(CefRefPtr<CefV8Value> that) override { return that.get() == this; }
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
  struct Property {
    std::wstring key;
    CefRefPtr<CefV8Value> value;
    int attributes = V8_PROPERTY_ATTRIBUTE_NONE;
  };

  static CefRefPtr<V8ValueImpl> InHeap(Kind kind, const std::shared_ptr<V8Heap>& heap);
  bool IsObjectKind() const {
    return kind_ == Kind::kObject || kind_ == Kind::kArray || kind_ == Kind::kFunction;
  }
  // A usable object: of an object kind, in a heap that lives.
  bool IsLiveObject() const;
  Property* FindProperty(const std::wstring& key);
  bool SetProperty(const std::wstring& key, CefRefPtr<CefV8Value> value, int attributes);
  bool SetElement(int index, CefRefPtr<CefV8Value> value);
  CefRefPtr<CefV8Value> Call(CefRefPtr<CefV8Value> receiver, const CefV8ValueList& arguments);

  const Kind kind_;
  bool bool_value_ = false;
  int32 int_value_ = 0;
  double double_value_ = 0;
  std::wstring string_value_;

  std::shared_ptr<V8Heap> heap_;
  std::vector<Property> properties_;
  std::unordered_map<std::wstring, size_t> property_index_;
  std::vector<CefRefPtr<CefV8Value>> elements_;  // null: a hole
  CefRefPtr<CefV8Accessor> accessor_;
  std::wstring function_name_;
  CefRefPtr<CefV8Handler> handler_;

  IMPLEMENT_REFCOUNTING(V8ValueImpl);
};

}  // namespace cef_standin
