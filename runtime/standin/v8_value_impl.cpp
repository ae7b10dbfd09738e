#include "runtime/standin/v8_value_impl.h"

#include <utility>

#include "runtime/standin/v8_context_impl.h"

namespace cef_standin {

namespace {

// Native functions calling script functions calling native functions...
// end here instead of overflowing the renderer's stack, as a script
// engine ends them with a range error.
constexpr int kMaxCallDepth = 200;
int g_call_depth = 0;  // renderer thread only

// "0", "17": the canonical text of an array index, and nothing else.
bool ParseArrayIndex(const std::wstring& key, int* index) {
  if (key.empty() || key.size() > 9 || (key.size() > 1 && key[0] == L'0'))
    return false;
  int value = 0;
  for (wchar_t c : key) {
    if (c < L'0' || c > L'9')
      return false;
    value = value * 10 + (c - L'0');
  }
  *index = value;
  return true;
}

CefRefPtr<CefV8Value> OrUndefined(CefRefPtr<CefV8Value> value) {
  return value ? value : new V8ValueImpl(V8ValueImpl::Kind::kUndefined);
}

}  // namespace

V8ValueImpl::~V8ValueImpl() {
  if (heap_)
    heap_->Remove(this);
}

CefRefPtr<V8ValueImpl> V8ValueImpl::Undefined() {
  return new V8ValueImpl(Kind::kUndefined);
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

CefRefPtr<V8ValueImpl> V8ValueImpl::InHeap(Kind kind, const std::shared_ptr<V8Heap>& heap) {
  CefRefPtr<V8ValueImpl> result = new V8ValueImpl(kind);
  result->heap_ = heap;
  if (heap && heap->alive())
    heap->Add(result.get());
  return result;
}

CefRefPtr<V8ValueImpl> V8ValueImpl::Object(const std::shared_ptr<V8Heap>& heap,
                                           CefRefPtr<CefV8Accessor> accessor) {
  CefRefPtr<V8ValueImpl> result = InHeap(Kind::kObject, heap);
  result->accessor_ = std::move(accessor);
  return result;
}

CefRefPtr<V8ValueImpl> V8ValueImpl::Array(const std::shared_ptr<V8Heap>& heap, int length) {
  if (length < 0 || length > kMaxArrayLength)
    return nullptr;
  CefRefPtr<V8ValueImpl> result = InHeap(Kind::kArray, heap);
  result->elements_.resize(static_cast<size_t>(length));
  return result;
}

CefRefPtr<V8ValueImpl> V8ValueImpl::Function(const std::shared_ptr<V8Heap>& heap,
                                             std::wstring name,
                                             CefRefPtr<CefV8Handler> handler) {
  CefRefPtr<V8ValueImpl> result = InHeap(Kind::kFunction, heap);
  result->function_name_ = std::move(name);
  result->handler_ = std::move(handler);
  return result;
}

void V8ValueImpl::DropContents() {
  // Moved out first: releasing them may reach this object again.
  std::vector<Property> properties;
  properties.swap(properties_);
  property_index_.clear();
  std::vector<CefRefPtr<CefV8Value>> elements;
  elements.swap(elements_);
  CefRefPtr<CefV8Accessor> accessor = std::move(accessor_);
  CefRefPtr<CefV8Handler> handler = std::move(handler_);
}

bool V8ValueImpl::IsValid() {
  return !IsObjectKind() || IsLiveObject();
}

bool V8ValueImpl::IsLiveObject() const {
  return IsObjectKind() && heap_ && heap_->alive();
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

V8ValueImpl::Property* V8ValueImpl::FindProperty(const std::wstring& key) {
  const auto found = property_index_.find(key);
  return found == property_index_.end() ? nullptr : &properties_[found->second];
}

bool V8ValueImpl::HasValue(const CefString& key) {
  if (!IsLiveObject())
    return false;
  const std::wstring name = key.ToWString();
  int index = 0;
  if (kind_ == Kind::kArray && ParseArrayIndex(name, &index))
    return index < static_cast<int>(elements_.size()) && elements_[static_cast<size_t>(index)];
  return FindProperty(name) != nullptr;
}

CefRefPtr<CefV8Value> V8ValueImpl::GetValue(const CefString& key) {
  if (!IsLiveObject())
    return nullptr;
  const std::wstring name = key.ToWString();
  int index = 0;
  if (kind_ == Kind::kArray && ParseArrayIndex(name, &index))
    return GetValue(index);
  if (Property* property = FindProperty(name))
    return property->value;
  if (accessor_) {
    CefRefPtr<CefV8Value> result;
    CefString exception;
    if (accessor_->Get(key, this, result, exception) && exception.empty())
      return OrUndefined(result);
  }
  return nullptr;
}

CefRefPtr<CefV8Value> V8ValueImpl::GetValue(int index) {
  if (!IsLiveObject() || index < 0)
    return nullptr;
  if (kind_ != Kind::kArray)
    return GetValue(CefString(std::to_wstring(index)));
  if (index >= static_cast<int>(elements_.size()))
    return nullptr;
  const CefRefPtr<CefV8Value>& element = elements_[static_cast<size_t>(index)];
  return OrUndefined(element);
}

bool V8ValueImpl::SetValue(const CefString& key,
                           CefRefPtr<CefV8Value> value,
                           cef_v8_propertyattribute_t attribute) {
  if (!IsLiveObject() || !value)
    return false;
  const std::wstring name = key.ToWString();
  int index = 0;
  if (kind_ == Kind::kArray && ParseArrayIndex(name, &index))
    return SetElement(index, std::move(value));
  if (accessor_ && !FindProperty(name)) {
    CefString exception;
    if (accessor_->Set(key, this, value, exception))
      return exception.empty();
  }
  return SetProperty(name, std::move(value), attribute);
}

bool V8ValueImpl::SetProperty(const std::wstring& key,
                              CefRefPtr<CefV8Value> value,
                              int attributes) {
  if (Property* property = FindProperty(key)) {
    if (property->attributes & V8_PROPERTY_ATTRIBUTE_READONLY)
      return false;
    property->value = std::move(value);
    // A property that cannot be deleted cannot be redefined either; only
    // its value changes.
    if (!(property->attributes & V8_PROPERTY_ATTRIBUTE_DONTDELETE))
      property->attributes = attributes;
    return true;
  }
  property_index_.emplace(key, properties_.size());
  properties_.push_back({key, std::move(value), attributes});
  return true;
}

bool V8ValueImpl::SetValue(int index, CefRefPtr<CefV8Value> value) {
  if (!IsLiveObject() || !value || index < 0)
    return false;
  if (kind_ == Kind::kArray)
    return SetElement(index, std::move(value));
  return SetValue(CefString(std::to_wstring(index)), std::move(value), V8_PROPERTY_ATTRIBUTE_NONE);
}

bool V8ValueImpl::SetElement(int index, CefRefPtr<CefV8Value> value) {
  if (index >= kMaxArrayLength)
    return false;
  if (index >= static_cast<int>(elements_.size()))
    elements_.resize(static_cast<size_t>(index) + 1);
  elements_[static_cast<size_t>(index)] = std::move(value);
  return true;
}

bool V8ValueImpl::GetKeys(std::vector<CefString>& keys) {
  keys.clear();
  if (!IsLiveObject())
    return false;
  for (size_t i = 0; i < elements_.size(); ++i) {
    if (elements_[i])
      keys.push_back(std::to_wstring(i));
  }
  for (const Property& property : properties_) {
    if (!(property.attributes & V8_PROPERTY_ATTRIBUTE_DONTENUM))
      keys.push_back(property.key);
  }
  return true;
}

int V8ValueImpl::GetArrayLength() {
  return kind_ == Kind::kArray && IsLiveObject() ? static_cast<int>(elements_.size()) : 0;
}

CefString V8ValueImpl::GetFunctionName() {
  return kind_ == Kind::kFunction ? CefString(function_name_) : CefString();
}

CefRefPtr<CefV8Handler> V8ValueImpl::GetFunctionHandler() {
  return kind_ == Kind::kFunction ? handler_ : nullptr;
}

CefRefPtr<CefV8Value> V8ValueImpl::ExecuteFunction(CefRefPtr<CefV8Value> object,
                                                   const CefV8ValueList& arguments) {
  CefRefPtr<CefV8Value> receiver = object;
  if (!receiver || !receiver->IsObject()) {
    // Without an object of its own the call's `this` is the global object
    // of the running context.
    CefRefPtr<V8ContextImpl> context = V8ContextImpl::Current();
    receiver = context ? context->GetGlobal() : nullptr;
    if (!receiver)
      receiver = Undefined();
  }
  return Call(receiver, arguments);
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

CefRefPtr<CefV8Value> V8ValueImpl::Call(CefRefPtr<CefV8Value> receiver,
                                        const CefV8ValueList& arguments) {
  if (kind_ != Kind::kFunction || !IsLiveObject() || g_call_depth >= kMaxCallDepth)
    return nullptr;
  // Held for the call: the handler may drop the last other reference.
  CefRefPtr<CefV8Handler> handler = handler_;
  CefRefPtr<CefV8Value> self(this);
  CefRefPtr<CefV8Value> result;
  CefString exception;
  ++g_call_depth;
  const bool handled =
      handler && handler->Execute(function_name_, receiver, arguments, result, exception);
  --g_call_depth;
  // An unhandled call gives undefined whatever exception text was set.
  if (!handled)
    return Undefined();
  if (!exception.empty())
    return nullptr;
  return OrUndefined(result);
}

}  // namespace cef_standin
