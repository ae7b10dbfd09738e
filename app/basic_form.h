#pragma once

#include <windows.h>

#include <string>

#include "app/form_ref.h"
#include "ui/control/event.h"
#include "ui/core/window_impl_base.h"

class CefForm;
class CefGameForm;

// The launcher: the first window, drawn from "basic.xml". It reads the
// player's identifiers, owns the login window placed over its framed panel,
// opens the game window when the login page asks for a game and hides
// itself until the game window reports that it closed. Closing it ends the
// program.
class BasicForm : public ui::WindowImplBase {
 public:
  BasicForm();
  ~BasicForm() override;

  std::wstring WindowClassName() const override;
  LRESULT OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void OnSkinAttached() override;
  LRESULT OnWmClose(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) override;
  std::wstring SkinFolder() override;
  std::wstring SkinFile() override;

  bool OnClicked(ui::EventArgs* args);

 private:
  void CreateLoginForm();
  // Puts the login window at the launcher's corner + the login offset,
  // keeping its size.
  void PlaceLoginForm(HWND insert_after, UINT flags);
  void OpenGame(const wchar_t* url);
  void OnGameClosed();

  FormRef<CefForm> login_form_;
  FormRef<CefGameForm> game_form_;
  std::wstring uid_;
  std::wstring file_name_;
  std::wstring entry_url_;
};
