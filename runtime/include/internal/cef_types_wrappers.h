#pragma once

#include <cstring>

#include "runtime/include/internal/cef_types.h"

typedef cef_thread_id_t CefThreadId;
typedef cef_process_id_t CefProcessId;
typedef cef_value_type_t CefValueType;

class CefMainArgs : public cef_main_args_t {
 public:
  CefMainArgs() { instance = nullptr; }
  explicit CefMainArgs(HINSTANCE module) { instance = module; }
};

// The settings record: zero-filled with its size set on construction; it
// releases its strings when destroyed.
class CefSettings : public cef_settings_t {
 public:
  CefSettings() {
    std::memset(static_cast<cef_settings_t*>(this), 0, sizeof(cef_settings_t));
    size = sizeof(cef_settings_t);
  }
  CefSettings(const CefSettings& other) : CefSettings() { CopyFrom(other); }
  CefSettings& operator=(const CefSettings& other) {
    if (this != &other) {
      Reset();
      CopyFrom(other);
    }
    return *this;
  }
  ~CefSettings() { Reset(); }

  // Releases every string member and zero-fills the record again.
  void Reset() {
    for (cef_string_t cef_settings_t::*member : kCefSettingsStrings)
      CefString(&(this->*member)).clear();
    std::memset(static_cast<cef_settings_t*>(this), 0, sizeof(cef_settings_t));
    size = sizeof(cef_settings_t);
  }

 private:
  void CopyFrom(const cef_settings_t& other) {
    std::memcpy(static_cast<cef_settings_t*>(this), &other, sizeof(cef_settings_t));
    for (cef_string_t cef_settings_t::*member : kCefSettingsStrings) {
      (this->*member) = cef_string_t{};
      CefString(&(this->*member)) = CefString(&(other.*member));
    }
  }
};
