#pragma once

#include <cstddef>
#include <utility>

// A reference to a reference-counted runtime object: it holds one
// reference for as long as it points to the object.
template <class T>
class CefRefPtr {
 public:
  CefRefPtr() = default;
  CefRefPtr(std::nullptr_t) {}
  CefRefPtr(T* pointer) : pointer_(pointer) {
    if (pointer_)
      pointer_->AddRef();
  }
  CefRefPtr(const CefRefPtr& other) : CefRefPtr(other.pointer_) {}
  CefRefPtr(CefRefPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  template <class U>
  CefRefPtr(const CefRefPtr<U>& other) : CefRefPtr(other.get()) {}
  template <class U>
  CefRefPtr(CefRefPtr<U>&& other) noexcept : pointer_(other.release()) {}
  ~CefRefPtr() {
    if (pointer_)
      pointer_->Release();
  }

  CefRefPtr& operator=(CefRefPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  T& operator*() const { return *pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // Gives up the reference without releasing it.
  T* release() { return std::exchange(pointer_, nullptr); }
  void reset() { CefRefPtr().swap(*this); }
  void swap(CefRefPtr& other) noexcept { std::swap(pointer_, other.pointer_); }

  template <class U>
  friend bool operator==(const CefRefPtr& a, const CefRefPtr<U>& b) {
    return a.get() == b.get();
  }
  template <class U>
  friend bool operator!=(const CefRefPtr& a, const CefRefPtr<U>& b) {
    return a.get() != b.get();
  }
  friend bool operator==(const CefRefPtr& a, std::nullptr_t) { return !a.pointer_; }
  friend bool operator!=(const CefRefPtr& a, std::nullptr_t) { return a.pointer_ != nullptr; }

 private:
  T* pointer_ = nullptr;
};

// A pointer that is valid only for the duration of the call it is passed
// to.
template <class T>
using CefRawPtr = T*;
