#pragma once

#include <windows.h>

#include <string>

#include "ui/core/window_impl_base.h"

namespace ui {
class Control;
class RichEdit;
struct EventArgs;
}  // namespace ui

namespace kel_comp {

// A short-lived message window: a rounded card with a text that closes
// itself after three seconds, on Escape, on a double click and through its
// close button, which fades in while the mouse is over the toast. Its look
// is the skin "toast/toast.xml": a rich edit named "content" of fixed width
// whose height follows the text, and a button named "close_btn".
class Toast : public ui::WindowImplBase {
 public:
  static constexpr DWORD kStyle = 0x00CE0000;
  static constexpr int32_t kCloseDelayMs = 3000;
  // A toast is a short message: longer texts are cut here, with an
  // ellipsis, so that a flood of text neither builds a window taller than
  // any screen nor keeps the text layout busy for seconds.
  static constexpr size_t kMaxContentLength = 2000;

  // Opens a toast over |parent| (may be null) showing |content|. The toast
  // belongs to itself; the result (null when it could not be created) is
  // valid only until it closes.
  static Toast* ShowToast(const std::wstring& content, HWND parent);

  Toast();
  ~Toast() override;

  // WindowImplBase.
  std::wstring WindowClassName() const override { return L"Toast"; }
  std::wstring SkinFolder() override { return L"toast"; }
  std::wstring SkinFile() override { return L"toast.xml"; }
  using ui::WindowImplBase::SkinFolder;
  void OnSkinAttached() override;
  LRESULT OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

  // The rich edit takes the text and its height follows the text at its
  // fixed width; the window is sized to its content again.
  void SetContent(const std::wstring& content);
  // Closes the toast after kCloseDelayMs unless it is gone by then.
  void ArmCloseTimer();

  ui::RichEdit* content() const { return content_; }
  ui::Control* close_button() const { return close_button_; }

 private:
  bool OnClick(ui::EventArgs* args);
  // Messages handled before the base's: true when the toast closed.
  bool PreHandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void SizeWindowToContent();

  ui::RichEdit* content_ = nullptr;
  ui::Control* close_button_ = nullptr;
};

}  // namespace kel_comp
