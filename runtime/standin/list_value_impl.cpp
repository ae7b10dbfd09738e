#include "runtime/standin/list_value_impl.h"

namespace cef_standin {

namespace {

// Far beyond any argument list, and small enough that a wild index cannot
// exhaust memory.
constexpr size_t kMaxListSize = 1 << 20;

}  // namespace

CefRefPtr<CefListValue> ListValueImpl::Copy() {
  CefRefPtr<ListValueImpl> copy = new ListValueImpl;
  copy->values_ = values_;
  return copy;
}

bool ListValueImpl::SetSize(size_t size) {
  if (read_only_ || size > kMaxListSize)
    return false;
  values_.resize(size);
  return true;
}

bool ListValueImpl::Clear() {
  if (read_only_)
    return false;
  values_.clear();
  return true;
}

bool ListValueImpl::Remove(size_t index) {
  if (read_only_ || index >= values_.size())
    return false;
  values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

CefValueType ListValueImpl::GetType(size_t index) {
  return index < values_.size() ? values_[index].type : VTYPE_INVALID;
}

const ListValueImpl::Value* ListValueImpl::Find(size_t index, CefValueType type) const {
  return index < values_.size() && values_[index].type == type ? &values_[index] : nullptr;
}

bool ListValueImpl::GetBool(size_t index) {
  const Value* value = Find(index, VTYPE_BOOL);
  return value && value->bool_value;
}

int ListValueImpl::GetInt(size_t index) {
  const Value* value = Find(index, VTYPE_INT);
  return value ? value->int_value : 0;
}

double ListValueImpl::GetDouble(size_t index) {
  if (const Value* value = Find(index, VTYPE_DOUBLE))
    return value->double_value;
  // Integers read as doubles, as script numbers do.
  const Value* value = Find(index, VTYPE_INT);
  return value ? value->int_value : 0;
}

CefString ListValueImpl::GetString(size_t index) {
  const Value* value = Find(index, VTYPE_STRING);
  return value ? CefString(value->string_value) : CefString();
}

ListValueImpl::Value* ListValueImpl::Slot(size_t index) {
  if (read_only_ || index >= kMaxListSize)
    return nullptr;
  if (index >= values_.size())
    values_.resize(index + 1);
  values_[index] = Value();
  return &values_[index];
}

bool ListValueImpl::SetNull(size_t index) {
  return Slot(index) != nullptr;
}

bool ListValueImpl::SetBool(size_t index, bool value) {
  Value* slot = Slot(index);
  if (!slot)
    return false;
  slot->type = VTYPE_BOOL;
  slot->bool_value = value;
  return true;
}

bool ListValueImpl::SetInt(size_t index, int value) {
  Value* slot = Slot(index);
  if (!slot)
    return false;
  slot->type = VTYPE_INT;
  slot->int_value = value;
  return true;
}

bool ListValueImpl::SetDouble(size_t index, double value) {
  Value* slot = Slot(index);
  if (!slot)
    return false;
  slot->type = VTYPE_DOUBLE;
  slot->double_value = value;
  return true;
}

bool ListValueImpl::SetString(size_t index, const CefString& value) {
  Value* slot = Slot(index);
  if (!slot)
    return false;
  slot->type = VTYPE_STRING;
  slot->string_value = value.ToWString();
  return true;
}

}  // namespace cef_standin
