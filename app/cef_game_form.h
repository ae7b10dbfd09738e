#pragma once

#include <windows.h>

#include <string>

#include "app/browser_forms.h"
#include "browser/control/cef_control_base.h"
#include "ui/control/event.h"

namespace ui {
class Control;
template <typename Base>
class LabelTemplate;
}  // namespace ui

// The game window: created maximised by the launcher, it shows the game
// page, takes its title from the server and player in the address, mutes
// the page while inactive and hands control back to the launcher when it
// closes.
class CefGameForm : public BrowserFormBase {
 public:
  explicit CefGameForm(const std::wstring& game_url);
  ~CefGameForm() override;

  // Set by the launcher right after construction.
  void SetLauncherWindow(HWND launcher) { launcher_window_ = launcher; }

  std::wstring WindowClassName() const override;
  LRESULT OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void OnSkinAttached() override;
  LONG SkinnedFrameStyle() override;
  ui::Control* CreateCustomControl(const std::wstring& element_name) override;
  LRESULT OnWmClose(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) override;
  std::wstring SkinFolder() override;
  std::wstring SkinFile() override;

  bool OnClicked(ui::EventArgs* args);
  void OnLoadEnd(int http_status_code);

 private:
  void SetBorderThickness(int32_t thickness);
  // Tells the launcher once that the game is over.
  void NotifyLauncher();

  kel_comp::CefControlBase* cef_control_ = nullptr;
  const std::wstring game_url_;
  HWND launcher_window_ = nullptr;
  ui::LabelTemplate<ui::Control>* title_label_ = nullptr;
  ui::Control* size_left_ = nullptr;
  ui::Control* size_right_ = nullptr;
  ui::Control* size_bottom_ = nullptr;
  ui::Control* max_button_ = nullptr;
  ui::Control* restore_button_ = nullptr;
  bool launcher_notified_ = false;
};
