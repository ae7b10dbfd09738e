#include "runtime/standin/dictionary_value_impl.h"

#include <utility>

namespace cef_standin {

CefRefPtr<CefDictionaryValue> DictionaryValueImpl::Copy(bool exclude_empty_children) {
  CefRefPtr<DictionaryValueImpl> copy = new DictionaryValueImpl;
  for (const auto& [key, value] : values_) {
    Value copied = value;
    if (value.dictionary) {
      if (exclude_empty_children && value.dictionary->GetSize() == 0)
        continue;
      copied.dictionary = value.dictionary->Copy(exclude_empty_children);
    }
    if (value.list) {
      if (exclude_empty_children && value.list->GetSize() == 0)
        continue;
      copied.list = value.list->Copy();
    }
    copy->values_.emplace(key, std::move(copied));
  }
  return copy;
}

bool DictionaryValueImpl::Clear() {
  if (read_only_)
    return false;
  values_.clear();
  return true;
}

bool DictionaryValueImpl::GetKeys(KeyList& keys) {
  keys.clear();
  for (const auto& entry : values_)
    keys.push_back(entry.first);
  return true;
}

bool DictionaryValueImpl::Remove(const CefString& key) {
  return !read_only_ && values_.erase(key.ToWString()) != 0;
}

CefValueType DictionaryValueImpl::GetType(const CefString& key) {
  const auto found = values_.find(key.ToWString());
  return found == values_.end() ? VTYPE_INVALID : found->second.type;
}

const DictionaryValueImpl::Value* DictionaryValueImpl::Find(const CefString& key,
                                                            CefValueType type) const {
  const auto found = values_.find(key.ToWString());
  return found == values_.end() || found->second.type != type ? nullptr : &found->second;
}

bool DictionaryValueImpl::GetBool(const CefString& key) {
  const Value* value = Find(key, VTYPE_BOOL);
  return value && value->bool_value;
}

int DictionaryValueImpl::GetInt(const CefString& key) {
  const Value* value = Find(key, VTYPE_INT);
  return value ? value->int_value : 0;
}

double DictionaryValueImpl::GetDouble(const CefString& key) {
  if (const Value* value = Find(key, VTYPE_INT))
    return value->int_value;
  const Value* value = Find(key, VTYPE_DOUBLE);
  return value ? value->double_value : 0;
}

CefString DictionaryValueImpl::GetString(const CefString& key) {
  const Value* value = Find(key, VTYPE_STRING);
  return value ? CefString(value->string_value) : CefString();
}

CefRefPtr<CefDictionaryValue> DictionaryValueImpl::GetDictionary(const CefString& key) {
  const Value* value = Find(key, VTYPE_DICTIONARY);
  return value ? value->dictionary : nullptr;
}

CefRefPtr<CefListValue> DictionaryValueImpl::GetList(const CefString& key) {
  const Value* value = Find(key, VTYPE_LIST);
  return value ? value->list : nullptr;
}

bool DictionaryValueImpl::Store(const CefString& key, Value value) {
  if (read_only_)
    return false;
  values_[key.ToWString()] = std::move(value);
  return true;
}

bool DictionaryValueImpl::SetNull(const CefString& key) {
  return Store(key, Value{});
}

bool DictionaryValueImpl::SetBool(const CefString& key, bool value) {
  Value stored;
  stored.type = VTYPE_BOOL;
  stored.bool_value = value;
  return Store(key, std::move(stored));
}

bool DictionaryValueImpl::SetInt(const CefString& key, int value) {
  Value stored;
  stored.type = VTYPE_INT;
  stored.int_value = value;
  return Store(key, std::move(stored));
}

bool DictionaryValueImpl::SetDouble(const CefString& key, double value) {
  Value stored;
  stored.type = VTYPE_DOUBLE;
  stored.double_value = value;
  return Store(key, std::move(stored));
}

bool DictionaryValueImpl::SetString(const CefString& key, const CefString& value) {
  Value stored;
  stored.type = VTYPE_STRING;
  stored.string_value = value.ToWString();
  return Store(key, std::move(stored));
}

bool DictionaryValueImpl::SetDictionary(const CefString& key, CefRefPtr<CefDictionaryValue> value) {
  if (!value || value.get() == this)
    return false;
  Value stored;
  stored.type = VTYPE_DICTIONARY;
  stored.dictionary = std::move(value);
  return Store(key, std::move(stored));
}

bool DictionaryValueImpl::SetList(const CefString& key, CefRefPtr<CefListValue> value) {
  if (!value)
    return false;
  Value stored;
  stored.type = VTYPE_LIST;
  stored.list = std::move(value);
  return Store(key, std::move(stored));
}

}  // namespace cef_standin
