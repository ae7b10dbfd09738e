#pragma once

#include <vector>

#include "runtime/include/cef_base.h"

class CefDictionaryValue;

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

// String keys to simple values, lists and dictionaries (the extra
// information handed to a renderer with a new browser).
class CefDictionaryValue : public virtual CefBaseRefCounted {
 public:
  typedef std::vector<CefString> KeyList;

  static CefRefPtr<CefDictionaryValue> Create();

  virtual bool IsValid() = 0;
  virtual bool IsOwned() = 0;
  virtual bool IsReadOnly() = 0;
  // A deep copy; empty lists and dictionaries are left out when
  // `exclude_empty_children` is set.
  virtual CefRefPtr<CefDictionaryValue> Copy(bool exclude_empty_children) = 0;
  virtual size_t GetSize() = 0;
  virtual bool Clear() = 0;
  virtual bool HasKey(const CefString& key) = 0;
  virtual bool GetKeys(KeyList& keys) = 0;
  virtual bool Remove(const CefString& key) = 0;
  // VTYPE_INVALID for a missing key.
  virtual CefValueType GetType(const CefString& key) = 0;
  // The getters return false, 0, empty or null for a missing key or a value
  // of another type.
  virtual bool GetBool(const CefString& key) = 0;
  virtual int GetInt(const CefString& key) = 0;
  virtual double GetDouble(const CefString& key) = 0;
  virtual CefString GetString(const CefString& key) = 0;
  virtual CefRefPtr<CefDictionaryValue> GetDictionary(const CefString& key) = 0;
  virtual CefRefPtr<CefListValue> GetList(const CefString& key) = 0;
  virtual bool SetNull(const CefString& key) = 0;
  virtual bool SetBool(const CefString& key, bool value) = 0;
  virtual bool SetInt(const CefString& key, int value) = 0;
  virtual bool SetDouble(const CefString& key, double value) = 0;
  virtual bool SetString(const CefString& key, const CefString& value) = 0;
  // Takes over `value` when it is not owned elsewhere, else copies it.
  virtual bool SetDictionary(const CefString& key, CefRefPtr<CefDictionaryValue> value) = 0;
  virtual bool SetList(const CefString& key, CefRefPtr<CefListValue> value) = 0;
};
