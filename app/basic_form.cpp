#include "app/basic_form.h"

#include <memory>

#include "app/app_paths.h"
#include "app/cef_form.h"
#include "app/cef_game_form.h"
#include "app/form_messages.h"
#include "app/navigation_rules.h"
#include "app/player_config.h"
#include "browser/manager/cef_manager.h"
#include "ui/control/box.h"
#include "ui/control/control.h"

namespace {

// Hidden and not activated; shown and not activated.
constexpr UINT kHideNoActivate = SWP_HIDEWINDOW | SWP_NOACTIVATE;
constexpr UINT kShowNoActivate = SWP_SHOWWINDOW | SWP_NOACTIVATE;

// The style of the login window: visible, caption, system menu, sizing
// frame, minimise and maximise boxes.
constexpr DWORD kLoginStyle = 0x10CF0000;
// The game window's: the same, maximised.
constexpr DWORD kGameStyle = 0x11CF0000;

bool OffscreenRendering() {
  return kel_comp::CefManager::GetInstance()->IsOffscreenRenderingEnabled();
}

}  // namespace

BasicForm::BasicForm() = default;
BasicForm::~BasicForm() = default;

std::wstring BasicForm::WindowClassName() const {
  return kLauncherClassName;
}

std::wstring BasicForm::SkinFolder() {
  return L"cef";
}

std::wstring BasicForm::SkinFile() {
  return L"basic.xml";
}

void BasicForm::OnSkinAttached() {
  SetWindowTextW(GetHWND(), kProductTitle);
  if (auto* root = dynamic_cast<ui::Box*>(GetRoot())) {
    root->AttachBubbledEvent(
        ui::kEventClick, MakeWeakCallback([this](ui::EventArgs* args) { return OnClicked(args); }));
  }
  const PlayerConfig config = ReadPlayerConfig(PlayerConfigPath());
  uid_ = config.uid;
  file_name_ = config.file_name;
  entry_url_ = EntryPageUrl(DeploymentHosts());
  if (!login_form_)
    CreateLoginForm();
}

void BasicForm::CreateLoginForm() {
  auto* login = new CefForm(uid_, file_name_, entry_url_);
  login->SetLauncherWindow(GetHWND());
  // A failed Create has already deleted the form.
  if (!login->Create(GetHWND(), kLoginClassName, kLoginStyle, 0, OffscreenRendering(), {}))
    return;
  login_form_ = FormRef<CefForm>(login);
  if (IsWindowVisible(GetHWND()))
    PlaceLoginForm(GetHWND(), kHideNoActivate);
  login->Show(false, false);
}

void BasicForm::PlaceLoginForm(HWND insert_after, UINT flags) {
  CefForm* login = login_form_.get();
  if (!login)
    return;
  RECT launcher = {};
  RECT own = {};
  GetWindowRect(GetHWND(), &launcher);
  GetWindowRect(login->GetHWND(), &own);
  const int32_t left = launcher.left + kLoginOffsetX;
  const int32_t top = launcher.top + kLoginOffsetY;
  login->SetWindowPosWithShadow(
      {left, top, left + (own.right - own.left), top + (own.bottom - own.top)}, insert_after,
      flags);
}

LRESULT BasicForm::OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_MOVE:
      if (login_form_ && IsWindowVisible(GetHWND()))
        PlaceLoginForm(HWND_TOP, kShowNoActivate);
      break;
    case kMsgOpenGame: {
      // The message owns the string, whatever happens next.
      std::unique_ptr<wchar_t[]> url(reinterpret_cast<wchar_t*>(lparam));
      if (url)
        OpenGame(url.get());
      break;
    }
    case kMsgGameClosed:
      OnGameClosed();
      break;
    case WM_ACTIVATE:
      // The login window stays over the launcher when the launcher is
      // activated.
      if (LOWORD(wparam) != WA_INACTIVE) {
        if (CefForm* login = login_form_.get())
          login->RaiseIfVisible();
      }
      break;
    default:
      break;
  }
  return WindowImplBase::OnWindowMessage(message, wparam, lparam);
}

void BasicForm::OpenGame(const wchar_t* url) {
  auto* game = new CefGameForm(url);
  game->SetLauncherWindow(GetHWND());
  // A game window that cannot be created leaves the launcher in view.
  if (!game->Create(nullptr, kGameClassName, kGameStyle, 0, OffscreenRendering(), {}))
    return;
  game_form_ = FormRef<CefGameForm>(game);
  if (CefForm* login = login_form_.get())
    login->Show(false, true);
  Show(false, true);
}

void BasicForm::OnGameClosed() {
  if (CefForm* login = login_form_.get())
    login->ReloadPage();
  Show(true, true);
}

LRESULT BasicForm::OnWmClose(UINT, WPARAM, LPARAM, bool* handled) {
  PostQuitMessage(0);
  *handled = false;
  return 0;
}

bool BasicForm::OnClicked(ui::EventArgs* args) {
  if (!args || !args->sender || args->sender->GetName() != L"btn_close")
    return true;
  if (CefForm* login = login_form_.get()) {
    login->SetWindowPosWithShadow({}, GetHWND(), kHideNoActivate);
    login->Close(1);
  }
  Close(1);
  return true;
}
