#include "browser/bridge/cef_js_handler.h"

namespace kel_comp {

namespace {

constexpr wchar_t kInvalidArguments[] = L"Invalid arguments.";

bool IsString(const CefV8ValueList& arguments, size_t index) {
  return index < arguments.size() && arguments[index] && arguments[index]->IsString();
}

bool IsFunction(const CefV8ValueList& arguments, size_t index) {
  return index < arguments.size() && arguments[index] && arguments[index]->IsFunction();
}

}  // namespace

bool CefJSHandler::Execute(const CefString& name,
                           CefRefPtr<CefV8Value> /*object*/,
                           const CefV8ValueList& arguments,
                           CefRefPtr<CefV8Value>& /*retval*/,
                           CefString& exception) {
  // Failures are reported as not handled, so the page's call returns
  // undefined instead of throwing.
  if (arguments.size() < 2 || !bridge_) {
    exception = kInvalidArguments;
    return false;
  }
  if (name == L"call")
    return Call(arguments, exception);
  if (name == L"register")
    return Register(arguments, exception);
  return false;
}

bool CefJSHandler::Call(const CefV8ValueList& arguments, CefString& exception) {
  CefString params = L"{}";
  CefRefPtr<CefV8Value> callback;
  if (IsString(arguments, 0) && IsFunction(arguments, 1)) {
    callback = arguments[1];
  } else if (IsString(arguments, 0) && IsString(arguments, 1) &&
             (arguments.size() < 3 || IsFunction(arguments, 2))) {
    params = arguments[1]->GetStringValue();
    if (arguments.size() >= 3)
      callback = arguments[2];
  } else {
    exception = kInvalidArguments;
    return false;
  }

  const CefString function_name = arguments[0]->GetStringValue();
  if (!bridge_->CallCppFunction(function_name, params, callback)) {
    exception = L"Failed to call function " + function_name.ToWString() + L".";
    return false;
  }
  return true;
}

bool CefJSHandler::Register(const CefV8ValueList& arguments, CefString& exception) {
  if (!IsString(arguments, 0) || !IsFunction(arguments, 1)) {
    exception = kInvalidArguments;
    return false;
  }
  if (!bridge_->RegisterJSFunc(arguments[0]->GetStringValue(), arguments[1], false)) {
    exception = L"Failed to register function.";
    return false;
  }
  return true;
}

}  // namespace kel_comp
