#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "base/callback/weak_callback.h"
#include "ui/core/window_impl_base.h"

namespace kel_comp {

// A separate layered window that draws the shadow of a non-layered window:
// it lies directly beneath that window, one shadow thickness larger on every
// side, and follows it in position, z-order, visibility and activation by
// filtering the window's messages. Input passes through it. Its look is the
// skin "shadow/shadow.xml".
//
// Like every skinned window it deletes itself after its native window is
// destroyed; the window it follows never owns it.
class ShadowWnd : public ui::WindowImplBase {
 public:
  static constexpr DWORD kStyle = 0x00CE0000;    // caption, system menu, sizing frame, minimise box
  static constexpr DWORD kExStyle = 0x000000A0;  // transparent, tool window

  ShadowWnd();
  ~ShadowWnd() override;

  // Creates the shadow's native window for |shadowed| (not owned).
  HWND Create(ui::Window* shadowed);
  using ui::WindowImplBase::Create;

  // WindowImplBase.
  std::wstring WindowClassName() const override { return L"ShadowWindow"; }
  std::wstring SkinFolder() override { return L"shadow"; }
  std::wstring SkinFile() override { return L"shadow.xml"; }
  using ui::WindowImplBase::SkinFolder;
  // Messages of the shadowed window; never marks one handled.
  LRESULT FilterMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) override;

  // Places the shadow around the shadowed window, just behind it, and shows
  // it without activating it; nothing while that window is hidden.
  void FollowShadowedWindow();

 private:
  ui::Window* shadowed_ = nullptr;
  std::weak_ptr<kbase::WeakFlag> shadowed_alive_;
};

}  // namespace kel_comp
