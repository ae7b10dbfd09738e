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

// A runtime structure with its members zero-filled on construction (and
// `size` set where the structure has one), its strings copied with it and
// released when it goes. `Traits` names the structure and says how to
// initialise, copy and clear it.
template <class Traits>
class CefStructBase : public Traits::struct_type {
 public:
  typedef typename Traits::struct_type struct_type;

  CefStructBase() { Init(); }
  CefStructBase(const CefStructBase& other) : CefStructBase() { *this = other; }
  CefStructBase(const struct_type& other) : CefStructBase() { *this = other; }
  ~CefStructBase() { Traits::clear(this); }

  CefStructBase& operator=(const CefStructBase& other) {
    return operator=(static_cast<const struct_type&>(other));
  }
  CefStructBase& operator=(const struct_type& other) {
    if (static_cast<const struct_type*>(this) != &other)
      Set(other, true);
    return *this;
  }

  void Reset() {
    Traits::clear(this);
    Init();
  }
  void Set(const struct_type& source, bool copy) { Traits::set(&source, this, copy); }

 protected:
  void Init() {
    std::memset(static_cast<struct_type*>(this), 0, sizeof(struct_type));
    Traits::init(this);
  }
};

// Traits of a structure without strings.
template <class Struct>
struct CefPlainStructTraits {
  typedef Struct struct_type;
  static void init(struct_type*) {}
  static void clear(struct_type*) {}
  static void set(const struct_type* source, struct_type* target, bool) { *target = *source; }
};

class CefPoint : public CefStructBase<CefPlainStructTraits<cef_point_t>> {
 public:
  typedef CefStructBase<CefPlainStructTraits<cef_point_t>> parent;
  CefPoint() = default;
  CefPoint(const cef_point_t& other) : parent(other) {}
  CefPoint(const CefPoint& other) : parent(other) {}
  CefPoint(int x_val, int y_val) { Set(x_val, y_val); }
  CefPoint& operator=(const CefPoint&) = default;

  bool IsEmpty() const { return x <= 0 && y <= 0; }
  void Set(int x_val, int y_val) { x = x_val, y = y_val; }
};
inline bool operator==(const CefPoint& a, const CefPoint& b) {
  return a.x == b.x && a.y == b.y;
}
inline bool operator!=(const CefPoint& a, const CefPoint& b) {
  return !(a == b);
}

class CefRect : public CefStructBase<CefPlainStructTraits<cef_rect_t>> {
 public:
  typedef CefStructBase<CefPlainStructTraits<cef_rect_t>> parent;
  CefRect() = default;
  CefRect(const cef_rect_t& other) : parent(other) {}
  CefRect(const CefRect& other) : parent(other) {}
  CefRect(int x_val, int y_val, int width_val, int height_val) {
    Set(x_val, y_val, width_val, height_val);
  }
  CefRect& operator=(const CefRect&) = default;

  bool IsEmpty() const { return width <= 0 || height <= 0; }
  void Set(int x_val, int y_val, int width_val, int height_val) {
    x = x_val, y = y_val, width = width_val, height = height_val;
  }
  bool Contains(int point_x, int point_y) const {
    return point_x >= x && point_x < x + width && point_y >= y && point_y < y + height;
  }
  bool Contains(const CefPoint& point) const { return Contains(point.x, point.y); }
};
inline bool operator==(const CefRect& a, const CefRect& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}
inline bool operator!=(const CefRect& a, const CefRect& b) {
  return !(a == b);
}

class CefSize : public CefStructBase<CefPlainStructTraits<cef_size_t>> {
 public:
  typedef CefStructBase<CefPlainStructTraits<cef_size_t>> parent;
  CefSize() = default;
  CefSize(const cef_size_t& other) : parent(other) {}
  CefSize(const CefSize& other) : parent(other) {}
  CefSize(int width_val, int height_val) { Set(width_val, height_val); }
  CefSize& operator=(const CefSize&) = default;

  bool IsEmpty() const { return width <= 0 || height <= 0; }
  void Set(int width_val, int height_val) { width = width_val, height = height_val; }
};
inline bool operator==(const CefSize& a, const CefSize& b) {
  return a.width == b.width && a.height == b.height;
}
inline bool operator!=(const CefSize& a, const CefSize& b) {
  return !(a == b);
}

class CefRange : public CefStructBase<CefPlainStructTraits<cef_range_t>> {
 public:
  typedef CefStructBase<CefPlainStructTraits<cef_range_t>> parent;
  CefRange() = default;
  CefRange(const cef_range_t& other) : parent(other) {}
  CefRange(const CefRange& other) : parent(other) {}
  CefRange(int from_val, int to_val) { Set(from_val, to_val); }
  CefRange& operator=(const CefRange&) = default;

  void Set(int from_val, int to_val) { from = from_val, to = to_val; }
};

class CefDraggableRegion : public CefStructBase<CefPlainStructTraits<cef_draggable_region_t>> {
 public:
  typedef CefStructBase<CefPlainStructTraits<cef_draggable_region_t>> parent;
  CefDraggableRegion() = default;
  CefDraggableRegion(const cef_draggable_region_t& other) : parent(other) {}
  CefDraggableRegion(const CefDraggableRegion& other) : parent(other) {}
  CefDraggableRegion(const cef_rect_t& bounds_val, bool draggable_val) {
    Set(bounds_val, draggable_val);
  }
  CefDraggableRegion& operator=(const CefDraggableRegion&) = default;

  void Set(const cef_rect_t& bounds_val, bool draggable_val) {
    bounds = bounds_val, draggable = draggable_val;
  }
};

class CefScreenInfo : public CefStructBase<CefPlainStructTraits<cef_screen_info_t>> {
 public:
  typedef CefStructBase<CefPlainStructTraits<cef_screen_info_t>> parent;
  CefScreenInfo() = default;
  CefScreenInfo(const cef_screen_info_t& other) : parent(other) {}
  CefScreenInfo(const CefScreenInfo& other) : parent(other) {}
  CefScreenInfo& operator=(const CefScreenInfo&) = default;

  void Set(float device_scale_factor_val,
           int depth_val,
           int depth_per_component_val,
           bool is_monochrome_val,
           const CefRect& rect_val,
           const CefRect& available_rect_val) {
    device_scale_factor = device_scale_factor_val;
    depth = depth_val;
    depth_per_component = depth_per_component_val;
    is_monochrome = is_monochrome_val;
    rect = rect_val;
    available_rect = available_rect_val;
  }
};

typedef CefStructBase<CefPlainStructTraits<cef_key_event_t>> CefKeyEvent;
typedef CefStructBase<CefPlainStructTraits<cef_mouse_event_t>> CefMouseEvent;
typedef CefStructBase<CefPlainStructTraits<cef_popup_features_t>> CefPopupFeatures;
typedef CefStructBase<CefPlainStructTraits<cef_cursor_info_t>> CefCursorInfo;

struct CefBrowserSettingsTraits {
  typedef cef_browser_settings_t struct_type;
  static void init(struct_type* settings) { settings->size = sizeof(struct_type); }
  static void clear(struct_type* settings) {
    for (cef_string_t struct_type::*member : kCefBrowserSettingsStrings)
      cef_string_clear(&(settings->*member));
  }
  static void set(const struct_type* source, struct_type* target, bool copy) {
    for (cef_string_t struct_type::*member : kCefBrowserSettingsStrings)
      cef_string_clear(&(target->*member));
    std::memcpy(target, source, sizeof(struct_type));
    for (cef_string_t struct_type::*member : kCefBrowserSettingsStrings) {
      target->*member = cef_string_t{};
      const cef_string_t& text = source->*member;
      if (text.length)
        cef_string_set(text.str, text.length, &(target->*member), copy ? 1 : 0);
    }
  }
};
typedef CefStructBase<CefBrowserSettingsTraits> CefBrowserSettings;

struct CefCookieTraits {
  typedef cef_cookie_t struct_type;
  static void init(struct_type*) {}
  static void clear(struct_type* cookie) {
    cef_string_clear(&cookie->name);
    cef_string_clear(&cookie->value);
    cef_string_clear(&cookie->domain);
    cef_string_clear(&cookie->path);
  }
  static void set(const struct_type* source, struct_type* target, bool copy) {
    cef_string_set(source->name.str, source->name.length, &target->name, copy ? 1 : 0);
    cef_string_set(source->value.str, source->value.length, &target->value, copy ? 1 : 0);
    cef_string_set(source->domain.str, source->domain.length, &target->domain, copy ? 1 : 0);
    cef_string_set(source->path.str, source->path.length, &target->path, copy ? 1 : 0);
    target->secure = source->secure;
    target->httponly = source->httponly;
    target->creation = source->creation;
    target->last_access = source->last_access;
    target->has_expires = source->has_expires;
    target->expires = source->expires;
  }
};
typedef CefStructBase<CefCookieTraits> CefCookie;
