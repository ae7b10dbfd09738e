#pragma once

#include "runtime/include/cef_base.h"

// An ordered list of simple values (the argument list of a process
// message).
class CefListValue : public virtual CefBaseRefCounted {
 public:
  static CefRefPtr<CefListValue> Create();

  virtual bool IsValid() = 0;
  // True when the list belongs to another object (a process message).
  virtual bool IsOwned() = 0;
  virtual bool IsReadOnly() = 0;
  virtual CefRefPtr<CefListValue> Copy() = 0;
  // Grows with null values or shrinks to `size`.
  virtual bool SetSize(size_t size) = 0;
  virtual size_t GetSize() = 0;
  virtual bool Clear() = 0;
  virtual bool Remove(size_t index) = 0;
  // VTYPE_INVALID for an index out of range.
  virtual CefValueType GetType(size_t index) = 0;
  // The getters return false, 0 or empty for an index out of range or a
  // value of another type.
  virtual bool GetBool(size_t index) = 0;
  virtual int GetInt(size_t index) = 0;
  virtual double GetDouble(size_t index) = 0;
  virtual CefString GetString(size_t index) = 0;
  // The setters grow the list when `index` is past its end.
  virtual bool SetNull(size_t index) = 0;
  virtual bool SetBool(size_t index, bool value) = 0;
  virtual bool SetInt(size_t index, int value) = 0;
  virtual bool SetDouble(size_t index, double value) = 0;
  virtual bool SetString(size_t index, const CefString& value) = 0;
};
