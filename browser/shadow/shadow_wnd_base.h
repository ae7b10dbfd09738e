#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "base/callback/weak_callback.h"
#include "ui/core/window_impl_base.h"

namespace kel_comp {

class ShadowWnd;

// The base of windows that are never layered yet carry a soft shadow: the
// shadow is a ShadowWnd of its own, created with this object and registered
// at once as a filter of this window's messages, so that it follows the
// window everywhere and closes with it.
class ShadowWndBase : public ui::WindowImplBase {
 public:
  ShadowWndBase();
  ~ShadowWndBase() override;

  // Creates the window, never layered (|layered| is ignored), then its
  // shadow window, which takes no input; a window that is already visible
  // shows its shadow at once.
  HWND Create(HWND parent,
              const std::wstring& name,
              DWORD style,
              DWORD ex_style,
              bool layered = false,
              const ui::UiRect& rect = {}) override;

  // The shadow, while it lives (it goes with its own native window).
  ShadowWnd* GetShadow() const;

 private:
  ShadowWnd* shadow_;
  std::weak_ptr<kbase::WeakFlag> shadow_alive_;
};

}  // namespace kel_comp
