#pragma once

#include <windows.h>

#include <string>

#include "app/browser_forms.h"
#include "browser/control/cef_control_base.h"
#include "ui/control/event.h"

// The login window: owned by the launcher and placed over its framed
// panel, it shows the platform's entry page with the player's identifiers,
// offers the page "ShowMessageBox", opens pages that want a new window in
// the system's default browser and steers every navigation by the
// destination rules (a game address goes to the launcher).
class CefForm : public BrowserFormBase {
 public:
  CefForm(const std::wstring& uid, const std::wstring& file_name, const std::wstring& entry_url);
  ~CefForm() override;

  // Set by the launcher right after construction.
  void SetLauncherWindow(HWND launcher) { launcher_window_ = launcher; }
  // Reloads the login page where it stood (after a game closed).
  void ReloadPage();
  // Puts the window, when shown, at the top of the z-order without
  // activating it.
  void RaiseIfVisible();

  std::wstring WindowClassName() const override;
  void OnSkinAttached() override;
  LONG SkinnedFrameStyle() override;
  ui::Control* CreateCustomControl(const std::wstring& element_name) override;
  LRESULT OnWmClose(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) override;
  std::wstring SkinFolder() override;
  std::wstring SkinFile() override;

  bool OnClicked(ui::EventArgs* args);
  void OnLoadEnd(int http_status_code);
  void OnLoadError(CefLoadHandler::ErrorCode error_code,
                   const std::wstring& error_text,
                   const std::wstring& failed_url);
  // On the runtime's UI thread.
  bool OnBeforeNavigate(CefRefPtr<CefBrowser> browser,
                        CefRefPtr<CefFrame> frame,
                        CefRefPtr<CefRequest> request,
                        bool is_redirect);
  // On the runtime's UI thread.
  bool OnLinkClick(const std::wstring& url);

 private:
  std::wstring LoginUrl() const;
  // The panel shown instead of the page when it could not be loaded.
  void ShowLoadError(bool show);
  // Shown and activated, over the launcher.
  void ShowOverLauncher();
  // Shows that panel when the page has not loaded in time.
  void ArmLoadTimeout();

  kel_comp::CefControlBase* cef_control_ = nullptr;
  HWND launcher_window_ = nullptr;
  const std::wstring uid_;
  const std::wstring file_name_;
  const std::wstring entry_url_;
  ui::Control* load_error_ = nullptr;
  bool page_loaded_ = false;
  int load_generation_ = 0;
};

// The frame style of a window that hosts a browser's child window: the
// base's, clipping its children from the start, so that the window's own
// painting never covers the page.
LONG BrowserHostFrameStyle(LONG base_style);

// Registers "ShowMessageBox" on |control| for its current browser: the
// page's text is shown as a toast over |window| and the page gets the
// fixed reply. Lives only as long as |flag_owner|.
void RegisterShowMessageBox(kel_comp::CefControlBase* control,
                            HWND window,
                            kbase::SupportWeakCallback* flag_owner);
