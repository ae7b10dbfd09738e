#include "browser/shadow/shadow_wnd_base.h"

#include "browser/shadow/shadow_wnd.h"

namespace kel_comp {

ShadowWndBase::ShadowWndBase() : shadow_(new ShadowWnd()) {
  shadow_alive_ = shadow_->AcquireWeakFlag();
  AddMessageFilter(shadow_);
}

// A shadow whose native window was never made would be nobody's; one that
// has its window deletes itself once that is destroyed.
ShadowWndBase::~ShadowWndBase() {
  ShadowWnd* shadow = GetShadow();
  if (!shadow)
    return;
  RemoveMessageFilter(shadow);
  if (HWND hwnd = shadow->GetHWND())
    DestroyWindow(hwnd);
  else
    delete shadow;
}

ShadowWnd* ShadowWndBase::GetShadow() const {
  return shadow_alive_.expired() ? nullptr : shadow_;
}

HWND ShadowWndBase::Create(HWND parent,
                           const std::wstring& name,
                           DWORD style,
                           DWORD ex_style,
                           bool /*layered*/,
                           const ui::UiRect& rect) {
  // A refused creation deletes this object (and with it the shadow) on the
  // way: nothing of it may be touched afterwards.
  const std::weak_ptr<kbase::WeakFlag> alive = AcquireWeakFlag();
  HWND hwnd = ui::WindowImplBase::Create(parent, name, style, ex_style, false, rect);
  if (!hwnd || alive.expired())
    return nullptr;
  ShadowWnd* shadow = GetShadow();
  if (!shadow)
    return hwnd;
  // Shown without activation: the shadow must never take the activation
  // from the window it follows.
  if (HWND shadow_hwnd = shadow->Create(this)) {
    EnableWindow(shadow_hwnd, FALSE);
    if (IsWindowVisible(hwnd))
      shadow->Show(true, /*activate=*/false);
  }
  return hwnd;
}

}  // namespace kel_comp
