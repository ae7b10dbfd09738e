#pragma once

#include <string>
#include <vector>

#include "runtime/include/cef_values.h"

namespace cef_standin {

class ListValueImpl : public CefListValue {
 public:
  // An owned list belongs to another object (a process message).
  explicit ListValueImpl(bool owned = false) : owned_(owned) {}

  void SetReadOnly() { read_only_ = true; }

  bool IsValid() override { return true; }
  bool IsOwned() override { return owned_; }
  bool IsReadOnly() override { return read_only_; }
  CefRefPtr<CefListValue> Copy() override;
  bool SetSize(size_t size) override;
  size_t GetSize() override { return values_.size(); }
  bool Clear() override;
  bool Remove(size_t index) override;
  CefValueType GetType(size_t index) override;
  bool GetBool(size_t index) override;
  int GetInt(size_t index) override;
  double GetDouble(size_t index) override;
  CefString GetString(size_t index) override;
  bool SetNull(size_t index) override;
  bool SetBool(size_t index, bool value) override;
  bool SetInt(size_t index, int value) override;
  bool SetDouble(size_t index, double value) override;
  bool SetString(size_t index, const CefString& value) override;

  // Copies the values of `other` into this list.
  void CopyValuesFrom(const ListValueImpl& other) { values_ = other.values_; }

 private:
  struct Value {
    CefValueType type = VTYPE_NULL;
    bool bool_value = false;
    int int_value = 0;
    double double_value = 0;
    std::wstring string_value;
  };

  // The slot for a setter, growing the list; null when read-only.
  Value* Slot(size_t index);
  const Value* Find(size_t index, CefValueType type) const;

  std::vector<Value> values_;
  const bool owned_;
  bool read_only_ = false;

  IMPLEMENT_REFCOUNTING(ListValueImpl);
};

}  // namespace cef_standin
