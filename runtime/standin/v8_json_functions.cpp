#include "runtime/standin/v8_json_functions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "runtime/standin/json_text.h"

namespace cef_standin {

namespace {

// CefString is UTF-16 on Windows; the JSON code speaks char16_t.
std::u16string ToU16(const std::wstring& text) {
  return std::u16string(text.begin(), text.end());
}

std::wstring ToWide(const std::u16string& text) {
  return std::wstring(text.begin(), text.end());
}

// The text JSON.parse reads from its argument: script's string conversion
// of primitives. Objects have no JSON text.
std::u16string ArgumentText(const CefRefPtr<CefV8Value>& value) {
  if (!value || value->IsUndefined())
    return u"undefined";
  if (value->IsNull())
    return u"null";
  if (value->IsBool())
    return value->GetBoolValue() ? u"true" : u"false";
  if (value->IsInt())
    return ToU16(std::to_wstring(value->GetIntValue()));
  if (value->IsDouble()) {
    const std::string text = FormatScriptNumber(value->GetDoubleValue());
    return std::u16string(text.begin(), text.end());
  }
  if (value->IsString())
    return ToU16(value->GetStringValue().ToWString());
  return u"[object Object]";
}

CefRefPtr<CefV8Value> NumberValue(double number) {
  // Integral numbers that fit are integers, as the engine keeps them;
  // -0 is no integer.
  const bool is_int = std::trunc(number) == number && number >= std::numeric_limits<int32>::min() &&
                      number <= std::numeric_limits<int32>::max() &&
                      !(number == 0 && std::signbit(number));
  if (is_int)
    return V8ValueImpl::Int(static_cast<int32>(number));
  return V8ValueImpl::Double(number);
}

// Null when an array is too long for the engine's arrays.
CefRefPtr<CefV8Value> ToValue(const JsonNode& node, const std::shared_ptr<V8Heap>& heap) {
  switch (node.type) {
    case JsonNode::Type::kNull:
      return new V8ValueImpl(V8ValueImpl::Kind::kNull);
    case JsonNode::Type::kBool:
      return V8ValueImpl::Bool(node.boolean);
    case JsonNode::Type::kNumber:
      return NumberValue(node.number);
    case JsonNode::Type::kString:
      return V8ValueImpl::String(ToWide(node.string));
    case JsonNode::Type::kArray: {
      if (node.items.size() > static_cast<size_t>(V8ValueImpl::kMaxArrayLength))
        return nullptr;
      CefRefPtr<V8ValueImpl> array = V8ValueImpl::Array(heap, static_cast<int>(node.items.size()));
      for (size_t i = 0; i < node.items.size(); ++i) {
        CefRefPtr<CefV8Value> item = ToValue(node.items[i], heap);
        if (!item)
          return nullptr;
        array->SetValue(static_cast<int>(i), item);
      }
      return array;
    }
    case JsonNode::Type::kObject: {
      CefRefPtr<V8ValueImpl> object = V8ValueImpl::Object(heap, nullptr);
      for (size_t i = 0; i < node.items.size(); ++i) {
        CefRefPtr<CefV8Value> item = ToValue(node.items[i], heap);
        if (!item)
          return nullptr;
        object->SetValue(ToWide(node.keys[i]), item, V8_PROPERTY_ATTRIBUTE_NONE);
      }
      return object;
    }
  }
  return nullptr;
}

// Builds the JSON tree of a script value as JSON.stringify walks it.
class TreeBuilder {
 public:
  enum class Outcome { kWritten, kNothing, kFailed };

  Outcome Build(const CefRefPtr<CefV8Value>& value, int depth, JsonNode* node) {
    if (!value || value->IsUndefined() || value->IsFunction())
      return Outcome::kNothing;
    if (value->IsNull()) {
      node->type = JsonNode::Type::kNull;
    } else if (value->IsBool()) {
      node->type = JsonNode::Type::kBool;
      node->boolean = value->GetBoolValue();
    } else if (value->IsDouble()) {
      node->type = JsonNode::Type::kNumber;
      node->number = value->GetDoubleValue();
    } else if (value->IsString()) {
      node->type = JsonNode::Type::kString;
      node->string = ToU16(value->GetStringValue().ToWString());
    } else if (value->IsObject()) {
      return BuildContainer(value, depth + 1, node);
    }
    return Outcome::kWritten;
  }

  const std::wstring& error() const { return error_; }

 private:
  Outcome BuildContainer(const CefRefPtr<CefV8Value>& value, int depth, JsonNode* node) {
    if (depth > kMaxJsonDepth)
      return Fail(L"JSON nesting is deeper than " + std::to_wstring(kMaxJsonDepth) + L" levels");
    if (std::find(path_.begin(), path_.end(), value.get()) != path_.end())
      return Fail(L"Converting circular structure to JSON");
    path_.push_back(value.get());
    const Outcome outcome =
        value->IsArray() ? BuildArray(value, depth, node) : BuildObject(value, depth, node);
    path_.pop_back();
    return outcome;
  }

  Outcome BuildArray(const CefRefPtr<CefV8Value>& value, int depth, JsonNode* node) {
    node->type = JsonNode::Type::kArray;
    const int length = value->GetArrayLength();
    node->items.resize(static_cast<size_t>(std::max(length, 0)));
    for (int i = 0; i < length; ++i) {
      // Elements without JSON (undefined, functions, holes) stay null.
      if (Build(value->GetValue(i), depth, &node->items[static_cast<size_t>(i)]) ==
          Outcome::kFailed)
        return Outcome::kFailed;
    }
    return Outcome::kWritten;
  }

  Outcome BuildObject(const CefRefPtr<CefV8Value>& value, int depth, JsonNode* node) {
    node->type = JsonNode::Type::kObject;
    std::vector<CefString> keys;
    value->GetKeys(keys);
    for (const CefString& key : keys) {
      JsonNode item;
      const Outcome outcome = Build(value->GetValue(key), depth, &item);
      if (outcome == Outcome::kFailed)
        return outcome;
      // Properties without JSON are left out.
      if (outcome == Outcome::kWritten) {
        node->keys.push_back(ToU16(key.ToWString()));
        node->items.push_back(std::move(item));
      }
    }
    return Outcome::kWritten;
  }

  Outcome Fail(std::wstring error) {
    error_ = std::move(error);
    return Outcome::kFailed;
  }

  std::vector<CefV8Value*> path_;  // the containers being written, outermost first
  std::wstring error_;
};

}  // namespace

bool JsonFunctions::Execute(const CefString& name,
                            CefRefPtr<CefV8Value> /*object*/,
                            const CefV8ValueList& arguments,
                            CefRefPtr<CefV8Value>& retval,
                            CefString& exception) {
  if (name == L"parse")
    return Parse(arguments, retval, exception);
  if (name == L"stringify")
    return Stringify(arguments, retval, exception);
  return false;
}

bool JsonFunctions::Parse(const CefV8ValueList& arguments,
                          CefRefPtr<CefV8Value>& retval,
                          CefString& exception) {
  JsonNode tree;
  std::string error;
  if (!ParseJson(ArgumentText(arguments.empty() ? nullptr : arguments[0]), &tree, &error)) {
    exception = L"SyntaxError: " + std::wstring(error.begin(), error.end());
    return true;
  }
  retval = ToValue(tree, heap_);
  if (!retval)
    exception = L"RangeError: Invalid array length";
  return true;
}

bool JsonFunctions::Stringify(const CefV8ValueList& arguments,
                              CefRefPtr<CefV8Value>& retval,
                              CefString& exception) {
  TreeBuilder builder;
  JsonNode tree;
  switch (builder.Build(arguments.empty() ? nullptr : arguments[0], 0, &tree)) {
    case TreeBuilder::Outcome::kWritten:
      retval = V8ValueImpl::String(ToWide(PrintJson(tree)));
      break;
    case TreeBuilder::Outcome::kNothing:
      retval = V8ValueImpl::Undefined();
      break;
    case TreeBuilder::Outcome::kFailed:
      exception = L"TypeError: " + builder.error();
      break;
  }
  return true;
}

CefRefPtr<V8ValueImpl> CreateJsonObject(const std::shared_ptr<V8Heap>& heap) {
  CefRefPtr<JsonFunctions> functions = new JsonFunctions(heap);
  CefRefPtr<V8ValueImpl> json = V8ValueImpl::Object(heap, nullptr);
  for (const wchar_t* name : {L"parse", L"stringify"}) {
    json->SetValue(name, V8ValueImpl::Function(heap, name, functions.get()),
                   V8_PROPERTY_ATTRIBUTE_DONTENUM);
  }
  return json;
}

}  // namespace cef_standin
