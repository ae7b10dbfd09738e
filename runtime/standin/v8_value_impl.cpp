#include "runtime/standin/v8_value_impl.h"

#include <utility>

namespace cef_standin {

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

int32 V8ValueImpl::GetIntValue() {
  return kind_ == Kind::kInt ? int_value_ : 0;
}

double V8ValueImpl::GetDoubleValue() {
  if (kind_ == Kind::kDouble)
    return double_value_;
  return kind_ == Kind::kInt ? int_value_ : 0;
}

CefString V8ValueImpl::GetStringValue() {
  return kind_ == Kind::kString ? CefString(string_value_) : CefString();
}

}  // namespace cef_standin
