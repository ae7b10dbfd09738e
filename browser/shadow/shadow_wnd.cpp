#include "browser/shadow/shadow_wnd.h"

#include "ui/control/box.h"
#include "ui/control/layout.h"

namespace kel_comp {

ShadowWnd::ShadowWnd() = default;

// The shadowed window keeps a raw pointer to this filter: it must forget it
// when the shadow goes first.
ShadowWnd::~ShadowWnd() {
  if (shadowed_ && !shadowed_alive_.expired())
    shadowed_->RemoveMessageFilter(this);
}

HWND ShadowWnd::Create(ui::Window* shadowed) {
  shadowed_ = shadowed;
  shadowed_alive_ = shadowed ? shadowed->AcquireWeakFlag() : std::weak_ptr<kbase::WeakFlag>();
  return ui::WindowImplBase::Create(nullptr, L"ShadowWindow", kStyle, kExStyle, true, {});
}

void ShadowWnd::FollowShadowedWindow() {
  HWND shadowed = shadowed_->GetHWND();
  if (!GetHWND() || !IsWindowVisible(shadowed))
    return;
  RECT rect = {};
  GetWindowRect(shadowed, &rect);
  // The skin's root padding is the shadow's thickness: the shadow window's
  // centre is the shadowed window's rectangle and stays clear (a drawn
  // window shadow would make it opaque), the image lies around it.
  ui::UiPadding thickness;
  if (auto* root = dynamic_cast<ui::Box*>(GetRoot()))
    thickness = root->GetLayout()->GetPadding();
  const RECT wanted = {rect.left - thickness.left, rect.top - thickness.top,
                       rect.right + thickness.right, rect.bottom + thickness.bottom};
  RECT current = {};
  GetWindowRect(GetHWND(), &current);
  // Paints come often: a shadow already in place is left alone, since
  // moving a window in the z-order repaints what lies around it.
  const bool was_visible = IsWindowVisible(GetHWND()) != FALSE;
  if (was_visible && EqualRect(&current, &wanted) &&
      GetWindow(shadowed, GW_HWNDNEXT) == GetHWND()) {
    return;
  }
  SetWindowPos(GetHWND(), shadowed, wanted.left, wanted.top, wanted.right - wanted.left,
               wanted.bottom - wanted.top, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  // A layered window gets no paint of its own when SetWindowPos shows or
  // resizes it; until it paints, the system shows it black.
  const bool resized = current.right - current.left != wanted.right - wanted.left ||
                       current.bottom - current.top != wanted.bottom - wanted.top;
  if (!was_visible || resized)
    InvalidateAll();
}

LRESULT ShadowWnd::FilterMessage(UINT message,
                                 WPARAM wparam,
                                 LPARAM /*lparam*/,
                                 bool* /*handled*/) {
  if (!shadowed_ || shadowed_alive_.expired() || !shadowed_->GetHWND())
    return 0;
  switch (message) {
    case WM_MOVE:
    case WM_ACTIVATE:
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_NCACTIVATE:
      FollowShadowedWindow();
      break;
    case WM_CLOSE:
      Show(false, false);
      Close(0);
      break;
    case WM_SHOWWINDOW:
      Show(wparam != 0, false);
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace kel_comp
