#include "tests/browser_windows/sample/browser_sample_form.h"

#include <utility>

#include "browser/control/browser_control_factory.h"
#include "browser/control/cef_control_base.h"
#include "browser/manager/cef_manager.h"
#include "browser/toast/toast.h"
#include "tests/browser_windows/sample/sample_text.h"
#include "ui/control/box.h"
#include "ui/control/check_box.h"
#include "ui/control/label.h"
#include "ui/control/rich_edit.h"

namespace {

// Caption, system menu, sizing frame and minimise box; the skinned base
// replaces the frame.
constexpr DWORD kStyle = 0x00CE0000;

constexpr wchar_t kMuteTip[] = L"静音 · Mute";
constexpr wchar_t kUnmuteTip[] = L"取消静音 · Unmute";
constexpr char kToastFailedReply[] = R"({"message":"The message could not be shown."})";

}  // namespace

BrowserSampleForm::BrowserSampleForm(std::wstring start_address, OnClose on_close)
    : start_address_(std::move(start_address)), on_close_(on_close) {}

BrowserSampleForm::~BrowserSampleForm() = default;

bool BrowserSampleForm::Open() {
  if (!Create(nullptr, L"Qelmora browser sample", kStyle, 0, false, {}))
    return false;
  CenterWindow();
  Show(true, true);
  return true;
}

LONG BrowserSampleForm::SkinnedFrameStyle() {
  // The page is a child window of the runtime: the window's own painting
  // must never cover it.
  return ShadowWndBase::SkinnedFrameStyle() | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
}

ui::Control* BrowserSampleForm::CreateCustomControl(const std::wstring& element_name) {
  return kel_comp::CreateBrowserControl(element_name);
}

void BrowserSampleForm::OnSkinAttached() {
  title_ = dynamic_cast<ui::LabelTemplate<ui::Control>*>(FindControlByName(L"title"));
  address_ = dynamic_cast<ui::RichEdit*>(FindControlByName(L"address"));
  back_ = FindControlByName(L"btn_back");
  forward_ = FindControlByName(L"btn_forward");
  mute_ = dynamic_cast<CheckBox*>(FindControlByName(L"btn_mute"));
  devtools_ = dynamic_cast<CheckBox*>(FindControlByName(L"btn_devtools"));
  browser_ = dynamic_cast<kel_comp::CefControlBase*>(FindControlByName(L"cef_control"));

  if (auto* root = dynamic_cast<ui::Box*>(GetRoot())) {
    root->AttachBubbledEvent(
        ui::kEventClick, MakeWeakCallback([this](ui::EventArgs* args) { return OnClicked(args); }));
    auto selection =
        MakeWeakCallback([this](ui::EventArgs* args) { return OnSelectionChanged(args); });
    root->AttachBubbledEvent(ui::kEventSelect, selection);
    root->AttachBubbledEvent(ui::kEventUnSelect, selection);
    root->AttachBubbledEvent(ui::kEventReturn, MakeWeakCallback([this](ui::EventArgs* args) {
                               return OnAddressReturn(args);
                             }));
  }
  if (!browser_)
    return;
  browser_->AttachAfterCreated(
      MakeWeakCallback([this](CefRefPtr<CefBrowser>) { OnBrowserCreated(); }));
  browser_->AttachLoadingStateChange(
      MakeWeakCallback([this](bool, bool can_go_back, bool can_go_forward) {
        OnNavigationState(can_go_back, can_go_forward);
      }));
  browser_->AttachTitleChange(
      MakeWeakCallback([this](const std::wstring& title) { OnTitle(title); }));
  browser_->AttachMainUrlChange(MakeWeakCallback(
      [this](const std::wstring&, const std::wstring& address) { OnMainAddress(address); }));
  browser_->AttachDevToolsVisibleChange(
      MakeWeakCallback([this](bool visible) { OnDevToolsVisible(visible); }));
  // Pages never open windows of their own here: a new window's address is
  // loaded in place.
  browser_->AttachLinkClick([](const std::wstring&) { return true; });
  if (!start_address_.empty()) {
    if (address_)
      address_->SetText(start_address_);
    browser_->LoadURL(start_address_);
  }
}

void BrowserSampleForm::OnBrowserCreated() {
  RegisterMessageFunction();
  // Mute acts on an existing browser only: before, the button would show a
  // state the page does not have.
  if (mute_)
    mute_->SetEnabled(true);
}

void BrowserSampleForm::RegisterMessageFunction() {
  HWND window = GetHWND();
  browser_->RegisterCppFunc(
      kMessageFunction,
      MakeWeakCallback([window](const std::string& params, kel_comp::CppReply reply) {
        kel_comp::Toast* toast =
            kel_comp::Toast::ShowToast(browser_sample::MessageFromJson(params), window);
        if (!reply)
          return;
        // The length shown: a long text is cut by the toast.
        if (toast && toast->content())
          reply(false, browser_sample::MessageShownReply(toast->content()->GetText().size()));
        else
          reply(true, kToastFailedReply);
      }));
}

void BrowserSampleForm::OnNavigationState(bool can_go_back, bool can_go_forward) {
  if (back_)
    back_->SetEnabled(can_go_back);
  if (forward_)
    forward_->SetEnabled(can_go_forward);
}

void BrowserSampleForm::OnTitle(const std::wstring& title) {
  if (title_)
    title_->SetText(title);
  SetTitleText(title);
}

void BrowserSampleForm::OnMainAddress(const std::wstring& address) {
  if (address_)
    address_->SetText(address);
}

void BrowserSampleForm::OnDevToolsVisible(bool visible) {
  if (devtools_)
    devtools_->SetSelected(visible, /*notify=*/false);
}

void BrowserSampleForm::SetMuted(bool muted) {
  browser_->MuteAudio(muted);
  if (mute_)
    mute_->SetToolTipText(muted ? kUnmuteTip : kMuteTip);
}

bool BrowserSampleForm::OnClicked(ui::EventArgs* args) {
  if (!args || !args->sender || !browser_)
    return true;
  const std::wstring& name = args->sender->GetName();
  if (name == L"btn_back")
    browser_->GoBack();
  else if (name == L"btn_forward")
    browser_->GoForward();
  else if (name == L"btn_reload")
    browser_->Refresh();
  return true;
}

bool BrowserSampleForm::OnSelectionChanged(ui::EventArgs* args) {
  if (!args || !browser_)
    return true;
  const bool selected = args->type == ui::kEventSelect;
  if (args->sender == mute_) {
    SetMuted(selected);
  } else if (args->sender == devtools_) {
    if (selected)
      browser_->AttachDevTools(nullptr);
    else
      browser_->DetachDevTools();
  }
  return true;
}

bool BrowserSampleForm::OnAddressReturn(ui::EventArgs* args) {
  if (!args || args->sender != address_ || !browser_)
    return true;
  const std::wstring address = browser_sample::AddressFromTyped(address_->GetText());
  if (address.empty()) {
    // Nothing to go to: the bar shows where the page is again.
    address_->SetText(browser_->GetURL().ToWString());
    return true;
  }
  browser_->LoadURL(address);
  browser_->SetFocus();
  return true;
}

LRESULT BrowserSampleForm::OnWmClose(UINT, WPARAM, LPARAM, bool* handled) {
  if (browser_) {
    // The developer tools are a browser of their own, which would keep
    // the program waiting for it.
    browser_->DetachDevTools();
    browser_->SetFadeVisible(false);
  }
  if (on_close_ == OnClose::kQuitWhenBrowsersClosed)
    kel_comp::CefManager::GetInstance()->PostQuitWhenBrowsersClosed(0);
  *handled = false;
  return 0;
}
