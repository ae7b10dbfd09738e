#pragma once

#include <windows.h>

namespace ui {

// Sees every message of a window before the window handles it. A filter
// that sets |handled| stops the message, except mouse moves, which the
// window always processes further. Called on the window's thread.
class IUIMessageFilter {
 public:
  virtual LRESULT FilterMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) = 0;

 protected:
  ~IUIMessageFilter() = default;
};

}  // namespace ui
