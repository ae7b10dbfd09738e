#pragma once

#include <string>
#include <utility>

// CefString is included from cef_string.h, after the string structure.

// A UTF-16 string of the runtime. It owns its buffer, except when it is
// attached to a structure that lives elsewhere (a member of a settings
// record): then every change writes through to that structure, which keeps
// the result.
class CefString {
 public:
  CefString() = default;
  CefString(const CefString& other) { FromString(other.c_str(), other.length(), true); }
  CefString(CefString&& other) noexcept {
    if (other.attached_) {
      FromString(other.c_str(), other.length(), true);
    } else {
      own_ = other.own_;
      other.own_ = cef_string_t{};
    }
  }
  CefString(const std::wstring& src) { FromWString(src); }
  CefString(const wchar_t* src) {
    if (src)
      FromWString(src);
  }
  // UTF-8 text.
  CefString(const std::string& src) { FromString(src); }
  CefString(const char* src) {
    if (src)
      FromString(std::string(src));
  }
  CefString(const char16* src, size_t length, bool copy) { FromString(src, length, copy); }
  // Attaches to `attached` without taking it over.
  CefString(cef_string_t* attached) : attached_(attached) {}
  // Copies the contents of `src`.
  CefString(const cef_string_t* src) {
    if (src)
      FromString(src->str, src->length, true);
  }
  ~CefString() {
    if (!attached_)
      ClearStruct(&own_);
  }

  CefString& operator=(const CefString& other) {
    if (this != &other)
      FromString(other.c_str(), other.length(), true);
    return *this;
  }
  CefString& operator=(CefString&& other) noexcept {
    if (this != &other)
      FromString(other.c_str(), other.length(), true);
    return *this;
  }
  CefString& operator=(const std::wstring& src) {
    FromWString(src);
    return *this;
  }
  CefString& operator=(const wchar_t* src) {
    FromWString(src ? std::wstring(src) : std::wstring());
    return *this;
  }
  CefString& operator=(const std::string& src) {
    FromString(src);
    return *this;
  }
  CefString& operator=(const char* src) {
    FromString(src ? std::string(src) : std::string());
    return *this;
  }

  const char16* c_str() const { return Struct()->str ? Struct()->str : L""; }
  size_t length() const { return Struct()->length; }
  size_t size() const { return length(); }
  bool empty() const { return length() == 0; }

  int compare(const CefString& other) const {
    return cef_string_utf16_cmp(Struct(), other.Struct());
  }
  void clear() { ClearStruct(WritableStruct()); }

  bool FromString(const char16* src, size_t length, bool copy) {
    if (!src || length == 0) {
      clear();
      return true;
    }
    return cef_string_utf16_set(src, length, WritableStruct(), copy ? 1 : 0) != 0;
  }
  bool FromWString(const std::wstring& src) { return FromString(src.data(), src.size(), true); }
  // UTF-8 text.
  bool FromString(const std::string& src) {
    if (src.empty()) {
      clear();
      return true;
    }
    cef_string_t converted = {};
    if (!cef_string_utf8_to_utf16(src.data(), src.size(), &converted))
      return false;
    const bool done = FromString(converted.str, converted.length, true);
    ClearStruct(&converted);
    return done;
  }

  std::wstring ToWString() const { return std::wstring(c_str(), length()); }
  // UTF-8 text.
  std::string ToString() const {
    if (empty())
      return std::string();
    cef_string_utf8_t converted = {};
    cef_string_utf16_to_utf8(c_str(), length(), &converted);
    std::string result = converted.str ? std::string(converted.str, converted.length) : "";
    cef_string_utf8_clear(&converted);
    return result;
  }
  operator std::wstring() const { return ToWString(); }
  operator std::string() const { return ToString(); }

  const cef_string_t* GetStruct() const { return Struct(); }
  cef_string_t* GetWritableStruct() { return WritableStruct(); }

  friend bool operator==(const CefString& a, const CefString& b) { return a.compare(b) == 0; }
  friend bool operator!=(const CefString& a, const CefString& b) { return a.compare(b) != 0; }
  friend bool operator<(const CefString& a, const CefString& b) { return a.compare(b) < 0; }
  friend bool operator==(const CefString& a, const wchar_t* b) { return a == CefString(b); }
  friend bool operator!=(const CefString& a, const wchar_t* b) { return !(a == b); }

 private:
  static void ClearStruct(cef_string_t* str) {
    // Nothing to release in an empty structure: this keeps empty strings
    // from loading the library.
    if (str->str || str->length || str->dtor)
      cef_string_utf16_clear(str);
  }
  const cef_string_t* Struct() const { return attached_ ? attached_ : &own_; }
  cef_string_t* WritableStruct() { return attached_ ? attached_ : &own_; }

  cef_string_t own_ = {};
  cef_string_t* attached_ = nullptr;
};
