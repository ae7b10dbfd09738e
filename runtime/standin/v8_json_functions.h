#pragma once

#include <memory>

#include "runtime/include/cef_v8.h"
#include "runtime/standin/v8_heap.h"
#include "runtime/standin/v8_value_impl.h"

namespace cef_standin {

// The native "parse" and "stringify" of a context's JSON object, between
// script values and the JSON text code. Parsed objects are made in the
// heap of the context the functions belong to.
class JsonFunctions : public CefV8Handler {
 public:
  explicit JsonFunctions(std::shared_ptr<V8Heap> heap) : heap_(std::move(heap)) {}

  bool Execute(const CefString& name,
               CefRefPtr<CefV8Value> object,
               const CefV8ValueList& arguments,
               CefRefPtr<CefV8Value>& retval,
               CefString& exception) override;

 private:
  bool Parse(const CefV8ValueList& arguments, CefRefPtr<CefV8Value>& retval, CefString& exception);
  bool Stringify(const CefV8ValueList& arguments,
                 CefRefPtr<CefV8Value>& retval,
                 CefString& exception);

  std::shared_ptr<V8Heap> heap_;

  IMPLEMENT_REFCOUNTING(JsonFunctions);
};

// A JSON object with the two functions, for a context's global object.
CefRefPtr<V8ValueImpl> CreateJsonObject(const std::shared_ptr<V8Heap>& heap);

}  // namespace cef_standin
