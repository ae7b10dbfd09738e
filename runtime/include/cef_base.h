#pragma once

#include <atomic>

#include "runtime/include/internal/cef_ptr.h"
#include "runtime/include/internal/cef_string.h"
#include "runtime/include/internal/cef_types_wrappers.h"
#include "runtime/include/internal/cef_win.h"

// Base of every reference-counted runtime object. An object is deleted by
// the module that created it, through its own Release.
class CefBaseRefCounted {
 public:
  virtual void AddRef() const = 0;
  // True when this call released the last reference.
  virtual bool Release() const = 0;
  virtual bool HasOneRef() const = 0;
  virtual bool HasAtLeastOneRef() const = 0;

 protected:
  virtual ~CefBaseRefCounted() = default;
};

// Base of objects that live only for the duration of one call.
class CefBaseScoped {
 public:
  virtual ~CefBaseScoped() = default;
};

// A thread-safe reference count.
class CefRefCount {
 public:
  CefRefCount() = default;
  CefRefCount(const CefRefCount&) = delete;
  CefRefCount& operator=(const CefRefCount&) = delete;

  void AddRef() const { count_.fetch_add(1, std::memory_order_relaxed); }
  // True when the count dropped to zero.
  bool Release() const { return count_.fetch_sub(1, std::memory_order_acq_rel) == 1; }
  bool HasOneRef() const { return count_.load(std::memory_order_acquire) == 1; }
  bool HasAtLeastOneRef() const { return count_.load(std::memory_order_acquire) >= 1; }

 private:
  mutable std::atomic<int> count_{0};
};

// Implements CefBaseRefCounted in a class; the object deletes itself when
// the last reference goes.
#define IMPLEMENT_REFCOUNTING(ClassName)          \
 public:                                          \
  void AddRef() const override {                  \
    ref_count_.AddRef();                          \
  }                                               \
  bool Release() const override {                 \
    if (ref_count_.Release()) {                   \
      delete static_cast<const ClassName*>(this); \
      return true;                                \
    }                                             \
    return false;                                 \
  }                                               \
  bool HasOneRef() const override {               \
    return ref_count_.HasOneRef();                \
  }                                               \
  bool HasAtLeastOneRef() const override {        \
    return ref_count_.HasAtLeastOneRef();         \
  }                                               \
                                                  \
 private:                                         \
  CefRefCount ref_count_
