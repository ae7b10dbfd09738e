#pragma once

#include <windows.h>

#include "runtime/include/internal/cef_types_wrappers.h"

#define CefCursorHandle cef_cursor_handle_t
#define CefEventHandle cef_event_handle_t
#define CefWindowHandle cef_window_handle_t

struct CefWindowInfoTraits {
  typedef cef_window_info_t struct_type;
  static void init(struct_type*) {}
  static void clear(struct_type* info) { cef_string_clear(&info->window_name); }
  static void set(const struct_type* source, struct_type* target, bool copy) {
    cef_string_t name = target->window_name;
    std::memcpy(target, source, sizeof(struct_type));
    target->window_name = name;
    if (source->window_name.length)
      cef_string_set(source->window_name.str, source->window_name.length, &target->window_name,
                     copy ? 1 : 0);
    else
      cef_string_clear(&target->window_name);
  }
};

// How a browser's window is created. Copies are made on purpose only
// (explicit), as the runtime's own type requires.
class CefWindowInfo : public CefStructBase<CefWindowInfoTraits> {
 public:
  typedef CefStructBase<CefWindowInfoTraits> parent;
  CefWindowInfo() = default;
  explicit CefWindowInfo(const cef_window_info_t& other) : parent(other) {}
  explicit CefWindowInfo(const CefWindowInfo& other) : parent(other) {}
  CefWindowInfo& operator=(const CefWindowInfo&) = default;

  // A visible child window of `parent` covering `windowRect`.
  void SetAsChild(CefWindowHandle parent_handle, RECT windowRect) {
    style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VISIBLE;
    parent_window = parent_handle;
    x = windowRect.left;
    y = windowRect.top;
    width = windowRect.right - windowRect.left;
    height = windowRect.bottom - windowRect.top;
  }
  // A visible top-level window at the system's default place and size.
  void SetAsPopup(CefWindowHandle parent_handle, const CefString& windowName) {
    style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE;
    parent_window = parent_handle;
    x = CW_USEDEFAULT;
    y = CW_USEDEFAULT;
    width = CW_USEDEFAULT;
    height = CW_USEDEFAULT;
    cef_string_set(windowName.c_str(), windowName.length(), &window_name, 1);
  }
  // No window: the page is painted through the client's render handler.
  void SetAsWindowless(CefWindowHandle parent_handle) {
    windowless_rendering_enabled = TRUE;
    parent_window = parent_handle;
  }
};
