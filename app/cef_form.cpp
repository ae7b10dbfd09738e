#include "app/browser_forms.h"
#if QEL_BROWSER_FORMS

#include "app/cef_form.h"

#include <shellapi.h>

#include "app/app_paths.h"
#include "app/form_messages.h"
#include "app/message_box_reply.h"
#include "app/navigation_rules.h"
#include "base/util/string_util.h"
#include "browser/control/cef_control.h"
#include "browser/control/cef_native_control.h"
#include "browser/manager/cef_manager.h"
#include "browser/window/toast.h"
#include "ui/control/box.h"

namespace {

// A navigation the browser gave up on because the form cancelled it.
constexpr int kErrorAborted = -3;

}  // namespace

ui::Control* CreateBrowserControl(const std::wstring& element_name) {
  if (element_name != L"CefControl")
    return nullptr;
  if (kel_comp::CefManager::GetInstance()->IsOffscreenRenderingEnabled())
    return new kel_comp::CefControl();
  return new kel_comp::CefNativeControl();
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

ui::Control* CefForm::CreateCustomControl(const std::wstring& element_name) {
  return CreateBrowserControl(element_name);
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
  if (!cef_control_)
    return;
  cef_control_->AttachLoadEnd(MakeWeakCallback([this](int status) { OnLoadEnd(status); }));
  cef_control_->AttachLoadError(
      MakeWeakCallback([this](int code, const std::wstring& text, const std::wstring& url) {
        OnLoadError(code, text, url);
      }));
  cef_control_->AttachBeforeNavigate(
      MakeWeakCallback([this](CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                              CefRefPtr<CefRequest> request, bool is_redirect) {
        return OnBeforeNavigate(browser, frame, request, is_redirect);
      }));
  cef_control_->AttachLinkClick(
      MakeWeakCallback([this](const std::wstring& url) { return OnLinkClick(url); }));
  cef_control_->LoadURL(LoginUrl());
}

void CefForm::OnLoadEnd(int) {
  RegisterShowMessageBox(cef_control_, GetHWND(), this);
  Show(true, true);
}

void CefForm::OnLoadError(int error_code, const std::wstring&, const std::wstring&) {
  if (error_code == kErrorAborted)
    return;
  // The player sees why the login is missing and can try again.
  ShowLoadError(true);
  Show(true, true);
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
    cef_control_->LoadURL(LoginUrl());
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

#endif  // QEL_BROWSER_FORMS
