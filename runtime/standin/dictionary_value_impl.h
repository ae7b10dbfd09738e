#pragma once

#include <map>
#include <string>

#include "runtime/include/cef_values.h"

namespace cef_standin {

// String keys to simple values, lists and dictionaries. Lists and
// dictionaries are held by reference, as given. Single-threaded, like the
// runtime's own.
class DictionaryValueImpl : public CefDictionaryValue {
 public:
  void SetReadOnly() { read_only_ = true; }

  bool IsValid() override { return true; }
  bool IsOwned() override { return false; }
  bool IsReadOnly() override { return read_only_; }
  CefRefPtr<CefDictionaryValue> Copy(bool exclude_empty_children) override;
  size_t GetSize() override { return values_.size(); }
  bool Clear() override;
  bool HasKey(const CefString& key) override { return values_.count(key.ToWString()) != 0; }
  bool GetKeys(KeyList& keys) override;
  bool Remove(const CefString& key) override;
  CefValueType GetType(const CefString& key) override;
  bool GetBool(const CefString& key) override;
  int GetInt(const CefString& key) override;
  double GetDouble(const CefString& key) override;
  CefString GetString(const CefString& key) override;
  CefRefPtr<CefDictionaryValue> GetDictionary(const CefString& key) override;
  CefRefPtr<CefListValue> GetList(const CefString& key) override;
  bool SetNull(const CefString& key) override;
  bool SetBool(const CefString& key, bool value) override;
  bool SetInt(const CefString& key, int value) override;
  bool SetDouble(const CefString& key, double value) override;
  bool SetString(const CefString& key, const CefString& value) override;
  bool SetDictionary(const CefString& key, CefRefPtr<CefDictionaryValue> value) override;
  bool SetList(const CefString& key, CefRefPtr<CefListValue> value) override;

 private:
  struct Value {
    CefValueType type = VTYPE_NULL;
    bool bool_value = false;
    int int_value = 0;
    double double_value = 0;
    std::wstring string_value;
    CefRefPtr<CefDictionaryValue> dictionary;
    CefRefPtr<CefListValue> list;
  };

  const Value* Find(const CefString& key, CefValueType type) const;
  bool Store(const CefString& key, Value value);

  std::map<std::wstring, Value> values_;
  bool read_only_ = false;

  IMPLEMENT_REFCOUNTING(DictionaryValueImpl);
};

}  // namespace cef_standin
