#include "app/cef_form.h"

#include <shellapi.h>

#include "app/app_paths.h"
#include "app/form_messages.h"
#include "app/message_box_reply.h"
#include "app/navigation_rules.h"
#include "base/thread/thread_registry.h"
#include "base/util/string_util.h"
#include "browser/control/browser_control_factory.h"
#include "browser/manager/cef_manager.h"
#include "browser/toast/toast.h"
#include "ui/control/box.h"

namespace {

// A login page that neither loads nor fails within this time is shown as
// failed, so that the player is never left without a login.
constexpr kbase::Ticks kLoadTimeout = 15 * 1000 * 1000;

}  // namespace

LONG BrowserHostFrameStyle(LONG base_style) {
  return base_style | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
}

void RegisterShowMessageBox(kel_comp::CefControlBase* control,
                            HWND window,
                            kbase::SupportWeakCallback* flag_owner) {
  if (!control)
    return;
  auto show =
      flag_owner->MakeWeakCallback([window](const std::string& params, kel_comp::CppReply reply) {
        kel_comp::Toast::ShowToast(kbase::Utf8ToUtf16(params), window);
        if (reply)
          reply(false, kShowMessageBoxReply);
      });
  control->RegisterCppFunc(kShowMessageBoxName, show, /*global=*/false);
}

CefForm::CefForm(const std::wstring& uid,
                 const std::wstring& file_name,
                 const std::wstring& entry_url)
    : uid_(uid), file_name_(file_name), entry_url_(entry_url) {}

CefForm::~CefForm() = default;

std::wstring CefForm::WindowClassName() const {
  return kLoginClassName;
}

std::wstring CefForm::SkinFolder() {
  return L"cef";
}

std::wstring CefForm::SkinFile() {
  return L"cef.xml";
}

LONG CefForm::SkinnedFrameStyle() {
  return BrowserHostFrameStyle(BrowserFormBase::SkinnedFrameStyle());
}

ui::Control* CefForm::CreateCustomControl(const std::wstring& element_name) {
  return kel_comp::CreateBrowserControl(element_name);
}

std::wstring CefForm::LoginUrl() const {
  return LoginPageUrl(entry_url_, uid_, file_name_);
}

void CefForm::OnSkinAttached() {
  Show(false, true);
  if (auto* root = dynamic_cast<ui::Box*>(GetRoot())) {
    root->AttachBubbledEvent(
        ui::kEventClick, MakeWeakCallback([this](ui::EventArgs* args) { return OnClicked(args); }));
  }
  load_error_ = FindControlByName(L"load_error");
  cef_control_ = dynamic_cast<kel_comp::CefControlBase*>(FindControlByName(L"cef_control"));
  // Without a page (no browser control, or one that never loads) the player
  // is shown the failure and the retry button in time.
  ArmLoadTimeout();
  if (!cef_control_)
    return;
  cef_control_->AttachLoadEnd(MakeWeakCallback([this](int status) { OnLoadEnd(status); }));
  cef_control_->AttachLoadError(
      MakeWeakCallback([this](CefLoadHandler::ErrorCode code, const std::wstring& text,
                              const std::wstring& url) { OnLoadError(code, text, url); }));
  cef_control_->AttachBeforeNavigate(
      MakeWeakCallback([this](CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                              CefRefPtr<CefRequest> request, bool is_redirect) {
        return OnBeforeNavigate(browser, frame, request, is_redirect);
      }));
  cef_control_->AttachLinkClick(
      MakeWeakCallback([this](const std::wstring& url) { return OnLinkClick(url); }));
  cef_control_->LoadURL(LoginUrl());
}

void CefForm::ArmLoadTimeout() {
  const int generation = ++load_generation_;
  kbase::ThreadRegistry::PostDelayedTask(kbase::kMainThreadIdentifier,
                                         MakeWeakCallback([this, generation] {
                                           if (generation == load_generation_ && !page_loaded_) {
                                             ShowLoadError(true);
                                             ShowOverLauncher();
                                           }
                                         }),
                                         kLoadTimeout);
}

void CefForm::OnLoadEnd(int http_status_code) {
  page_loaded_ = true;
  // A page that arrived late, after the failure was shown, replaces it; an
  // error page (no status) does not.
  if (http_status_code > 0)
    ShowLoadError(false);
  RegisterShowMessageBox(cef_control_, GetHWND(), this);
  ShowOverLauncher();
}

void CefForm::OnLoadError(CefLoadHandler::ErrorCode error_code,
                          const std::wstring&,
                          const std::wstring&) {
  // A navigation given up because the form cancelled it is no failure.
  if (error_code == ERR_ABORTED)
    return;
  // The player sees why the login is missing and can try again.
  ShowLoadError(true);
  ShowOverLauncher();
}

void CefForm::ShowOverLauncher() {
  Show(true, true);
  RaiseIfVisible();
}

void CefForm::RaiseIfVisible() {
  // Without a window manager (Wine on a bare X server) the system keeps an
  // owned window over its owner in its own z-order while the screen may
  // show the owner on top; a real change of the z-order restacks the
  // screen too, so the window goes to the bottom and back to the top.
  if (!IsWindowVisible(GetHWND()))
    return;
  constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  SetWindowPos(GetHWND(), HWND_BOTTOM, 0, 0, 0, 0, kFlags);
  SetWindowPos(GetHWND(), HWND_TOP, 0, 0, 0, 0, kFlags);
}

void CefForm::ShowLoadError(bool show) {
  if (!load_error_)
    return;
  load_error_->SetFadeVisible(show);
  if (cef_control_)
    cef_control_->SetFadeVisible(!show);
}

void CefForm::ReloadPage() {
  if (cef_control_)
    cef_control_->Refresh();
}

bool CefForm::OnBeforeNavigate(CefRefPtr<CefBrowser>,
                               CefRefPtr<CefFrame>,
                               CefRefPtr<CefRequest> request,
                               bool) {
  const std::wstring url = request ? request->GetURL().ToWString() : std::wstring();
  switch (ClassifyLoginNavigation(url, DeploymentHosts())) {
    case LoginNavigation::kOpenGame: {
      wchar_t* message = NewMessageString(url);
      if (!PostMessageW(launcher_window_, kMsgOpenGame, 0, reinterpret_cast<LPARAM>(message)))
        delete[] message;
      return true;
    }
    case LoginNavigation::kRefuse:
      return true;
    case LoginNavigation::kAllow:
      return false;
  }
  return false;
}

bool CefForm::OnLinkClick(const std::wstring& url) {
  ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
  return true;
}

bool CefForm::OnClicked(ui::EventArgs* args) {
  if (!args || !args->sender || !cef_control_)
    return true;
  const std::wstring& name = args->sender->GetName();
  if (name == L"btn_dev_tool") {
    if (cef_control_->IsAttachedDevTools())
      cef_control_->DetachDevTools();
    else
      cef_control_->AttachDevTools(nullptr);
  } else if (name == L"btn_back") {
    cef_control_->GoBack();
  } else if (name == L"btn_forward") {
    cef_control_->GoForward();
  } else if (name == L"btn_refresh") {
    cef_control_->Refresh();
  } else if (name == L"btn_retry") {
    ShowLoadError(false);
    page_loaded_ = false;
    cef_control_->LoadURL(LoginUrl());
    ArmLoadTimeout();
  }
  return true;
}

LRESULT CefForm::OnWmClose(UINT, WPARAM, LPARAM, bool* handled) {
  if (cef_control_)
    cef_control_->SetFadeVisible(false);
  kel_comp::CefManager::GetInstance()->PostQuitWhenBrowsersClosed(0);
  *handled = false;
  return 0;
}
