#include "app/cef_game_form.h"

#include "app/app_paths.h"
#include "app/cef_form.h"
#include "app/form_messages.h"
#include "app/game_title.h"
#include "browser/control/browser_control_factory.h"
#include "browser/manager/cef_manager.h"
#include "ui/control/box.h"
#include "ui/control/label.h"

namespace {

constexpr int32_t kMaximisedBorder = 1;
constexpr int32_t kRestoredBorder = 2;

}  // namespace

CefGameForm::CefGameForm(const std::wstring& game_url) : game_url_(game_url) {}

CefGameForm::~CefGameForm() = default;

std::wstring CefGameForm::WindowClassName() const {
  return kGameClassName;
}

std::wstring CefGameForm::SkinFolder() {
  return L"cef";
}

std::wstring CefGameForm::SkinFile() {
  return L"game.xml";
}

LONG CefGameForm::SkinnedFrameStyle() {
  return BrowserHostFrameStyle(BrowserFormBase::SkinnedFrameStyle());
}

ui::Control* CefGameForm::CreateCustomControl(const std::wstring& element_name) {
  return kel_comp::CreateBrowserControl(element_name);
}

void CefGameForm::OnSkinAttached() {
  if (auto* root = dynamic_cast<ui::Box*>(GetRoot())) {
    root->AttachBubbledEvent(
        ui::kEventClick, MakeWeakCallback([this](ui::EventArgs* args) { return OnClicked(args); }));
  }
  cef_control_ = dynamic_cast<kel_comp::CefControlBase*>(FindControlByName(L"cef_control"));
  title_label_ = dynamic_cast<ui::LabelTemplate<ui::Control>*>(FindControlByName(L"label_title"));
  if (cef_control_) {
    cef_control_->AttachLoadEnd(MakeWeakCallback([this](int status) { OnLoadEnd(status); }));
    // Every navigation of the game page is allowed.
    cef_control_->AttachBeforeNavigate([](CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                                          CefRefPtr<CefRequest>, bool) { return false; });
    // A new window's address replaces the game page here.
    cef_control_->AttachLinkClick([](const std::wstring&) { return true; });
    cef_control_->LoadURL(game_url_);
  }
  CenterWindow();

  max_button_ = FindControlByName(L"maxbtn");
  restore_button_ = FindControlByName(L"restorebtn");
  if (max_button_ && restore_button_) {
    max_button_->SetFadeVisible(false);
    restore_button_->SetFadeVisible(true);
  }
  size_left_ = FindControlByName(L"size_left");
  size_right_ = FindControlByName(L"size_right");
  size_bottom_ = FindControlByName(L"size_bottom");

  const std::optional<std::wstring> title = GameTitleFromUrl(game_url_);
  if (!title) {
    SetWindowTextW(GetHWND(), kProductTitle);
    return;
  }
  if (title_label_)
    title_label_->SetText(*title);
  SetWindowTextW(GetHWND(), title->c_str());
}

void CefGameForm::OnLoadEnd(int) {
  RegisterShowMessageBox(cef_control_, GetHWND(), this);
}

void CefGameForm::SetBorderThickness(int32_t thickness) {
  if (!size_left_)
    return;
  size_left_->SetFixedWidth(thickness);
  if (size_right_)
    size_right_->SetFixedWidth(thickness);
  if (size_bottom_)
    size_bottom_->SetFixedHeight(thickness);
}

LRESULT CefGameForm::OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_ACTIVATE && cef_control_) {
    if (LOWORD(wparam) == WA_INACTIVE) {
      cef_control_->MuteAudio(true);
    } else {
      cef_control_->SetFocus();
      cef_control_->MuteAudio(false);
    }
  } else if (message == WM_SIZE) {
    // The buttons show the command the window offers: restore while
    // maximised, maximise otherwise. (Swapping only on restore would leave
    // the maximise button on a window created maximised, after the restored
    // size its creation reports first.)
    const bool maximised = wparam == SIZE_MAXIMIZED;
    if (max_button_ && restore_button_) {
      max_button_->SetFadeVisible(!maximised);
      restore_button_->SetFadeVisible(maximised);
    }
    SetBorderThickness(maximised ? kMaximisedBorder : kRestoredBorder);
  }
  return BrowserFormBase::OnWindowMessage(message, wparam, lparam);
}

void CefGameForm::NotifyLauncher() {
  if (launcher_notified_)
    return;
  launcher_notified_ = true;
  PostMessageW(launcher_window_, kMsgGameClosed, 0, 0);
  PostMessageW(launcher_window_, WM_MOVE, 0, 0);
}

bool CefGameForm::OnClicked(ui::EventArgs* args) {
  if (!args || !args->sender || args->sender->GetName() != L"btn_close")
    return true;
  Show(false, true);
  Close(1);
  NotifyLauncher();
  return true;
}

LRESULT CefGameForm::OnWmClose(UINT, WPARAM, LPARAM, bool* handled) {
  // Closed by the window system (Alt+F4, the taskbar): the player is taken
  // back to the launcher as by the close button.
  NotifyLauncher();
  kel_comp::CefManager::GetInstance()->PostQuitWhenBrowsersClosed(0);
  *handled = false;
  return 0;
}
