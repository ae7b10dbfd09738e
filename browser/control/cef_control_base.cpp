#include "browser/control/cef_control_base.h"

#include "base/thread/thread_registry.h"

namespace kel_comp {

CefControlBase::CefControlBase() {
  // The handler copies this flag on the runtime's thread; taking it now,
  // on the main thread, means it is never created there.
  AcquireWeakFlag();
}

CefControlBase::~CefControlBase() = default;

void CefControlBase::ReCreateBrowser() {
  CreateBrowserIfNeeded();
}

void CefControlBase::DetachDevTools() {
  CefRefPtr<CefBrowser> browser = CurrentBrowser();
  if (!devtools_attached_ || !browser)
    return;
  if (CefRefPtr<CefBrowserHost> host = browser->GetHost())
    host->CloseDevTools();
  devtools_attached_ = false;
  NotifyDevToolsVisible(false);
}

bool CefControlBase::IsAttachedDevTools() const {
  return devtools_attached_;
}

CefRefPtr<CefBrowser> CefControlBase::CurrentBrowser() const {
  return browser_handler_ ? browser_handler_->GetBrowser() : nullptr;
}

void CefControlBase::NotifyDevToolsVisible(bool visible) {
  if (devtools_visible_change_)
    devtools_visible_change_(visible);
}

void CefControlBase::LoadURL(const CefString& url) {
  if (!browser_handler_)
    return;
  if (CefRefPtr<CefBrowser> browser = browser_handler_->GetBrowser()) {
    browser->GetMainFrame()->LoadURL(url);
    return;
  }
  CefString copy(url);
  browser_handler_->AddAfterCreateTask(MakeWeakCallback([this, copy] { LoadURL(copy); }));
}

void CefControlBase::GoBack() {
  if (CefRefPtr<CefBrowser> browser = CurrentBrowser())
    browser->GoBack();
}

void CefControlBase::GoForward() {
  if (CefRefPtr<CefBrowser> browser = CurrentBrowser())
    browser->GoForward();
}

void CefControlBase::Refresh() {
  if (CefRefPtr<CefBrowser> browser = CurrentBrowser())
    browser->Reload();
}

void CefControlBase::MuteAudio(bool mute) {
  CefRefPtr<CefBrowser> browser = CurrentBrowser();
  if (CefRefPtr<CefBrowserHost> host = browser ? browser->GetHost() : nullptr)
    host->SetAudioMuted(mute);
}

bool CefControlBase::RegisterCppFunc(const std::wstring& function_name,
                                     CppFunction function,
                                     bool global) {
  CefRefPtr<CefBrowser> browser = CurrentBrowser();
  if (!browser || !js_bridge_)
    return false;
  return js_bridge_->RegisterCppFunc(CefString(function_name), std::move(function),
                                     global ? nullptr : browser, /*replace=*/false);
}

HWND CefControlBase::GetCefHandle() const {
  CefRefPtr<CefBrowser> browser = CurrentBrowser();
  CefRefPtr<CefBrowserHost> host = browser ? browser->GetHost() : nullptr;
  return host ? host->GetWindowHandle() : nullptr;
}

void CefControlBase::AttachBeforeContextMenu(BeforeContextMenuEvent callback) {
  kbase::AutoLock lock(runtime_callbacks_lock_);
  before_context_menu_ = std::move(callback);
}

void CefControlBase::AttachContextMenuCommand(ContextMenuCommandEvent callback) {
  kbase::AutoLock lock(runtime_callbacks_lock_);
  context_menu_command_ = std::move(callback);
}

void CefControlBase::AttachLinkClick(LinkClickEvent callback) {
  kbase::AutoLock lock(runtime_callbacks_lock_);
  link_click_ = std::move(callback);
}

void CefControlBase::AttachBeforeNavigate(BeforeNavigateEvent callback) {
  kbase::AutoLock lock(runtime_callbacks_lock_);
  before_navigate_ = std::move(callback);
}

void CefControlBase::AttachBeforeDownload(BeforeDownloadEvent callback) {
  kbase::AutoLock lock(runtime_callbacks_lock_);
  before_download_ = std::move(callback);
}

void CefControlBase::AttachDownloadUpdated(DownloadUpdatedEvent callback) {
  kbase::AutoLock lock(runtime_callbacks_lock_);
  download_updated_ = std::move(callback);
}

void CefControlBase::AttachFileDialog(FileDialogEvent callback) {
  kbase::AutoLock lock(runtime_callbacks_lock_);
  file_dialog_ = std::move(callback);
}

// Delegate operations.

void CefControlBase::OnPaint(CefRefPtr<CefBrowser> /*browser*/,
                             CefRenderHandler::PaintElementType /*type*/,
                             const CefRenderHandler::RectList& /*dirty_rects*/,
                             const PaintBuffer& /*buffer*/,
                             int /*width*/,
                             int /*height*/) {}

void CefControlBase::OnPopupShow(CefRefPtr<CefBrowser> /*browser*/, bool /*show*/) {}

void CefControlBase::OnPopupSize(CefRefPtr<CefBrowser> /*browser*/, const CefRect& /*rect*/) {}

void CefControlBase::UpdateWindowPos() {
  SetBounds(GetBounds());
}

void CefControlBase::OnBeforeContextMenu(CefRefPtr<CefBrowser> /*browser*/,
                                         CefRefPtr<CefFrame> /*frame*/,
                                         CefRefPtr<CefContextMenuParams> params,
                                         CefRefPtr<CefMenuModel> model) {
  if (BeforeContextMenuEvent callback = CopyRuntimeCallback(before_context_menu_))
    callback(params, model);
}

bool CefControlBase::OnContextMenuCommand(CefRefPtr<CefBrowser> /*browser*/,
                                          CefRefPtr<CefFrame> /*frame*/,
                                          CefRefPtr<CefContextMenuParams> params,
                                          int command_id,
                                          CefContextMenuHandler::EventFlags event_flags) {
  ContextMenuCommandEvent callback = CopyRuntimeCallback(context_menu_command_);
  return callback && callback(params, command_id, event_flags);
}

void CefControlBase::OnAddressChange(CefRefPtr<CefBrowser> /*browser*/,
                                     CefRefPtr<CefFrame> frame,
                                     const CefString& url) {
  if (url_change_)
    url_change_(url.ToWString());
  if (frame && frame->IsMain()) {
    const CefString old_url = url_;
    url_ = frame->GetURL();
    if (main_url_change_ && old_url != url_)
      main_url_change_(old_url.ToWString(), url_.ToWString());
  }
}

void CefControlBase::OnTitleChange(CefRefPtr<CefBrowser> /*browser*/, const CefString& title) {
  if (title_change_)
    title_change_(title.ToWString());
}

void CefControlBase::OnLoadingStateChange(CefRefPtr<CefBrowser> /*browser*/,
                                          bool is_loading,
                                          bool can_go_back,
                                          bool can_go_forward) {
  if (loading_state_change_)
    loading_state_change_(is_loading, can_go_back, can_go_forward);
}

void CefControlBase::OnLoadStart(CefRefPtr<CefBrowser> /*browser*/, CefRefPtr<CefFrame> /*frame*/) {
  if (load_start_)
    load_start_();
}

void CefControlBase::OnLoadEnd(CefRefPtr<CefBrowser> /*browser*/,
                               CefRefPtr<CefFrame> /*frame*/,
                               int http_status_code) {
  if (load_end_)
    load_end_(http_status_code);
}

void CefControlBase::OnLoadError(CefRefPtr<CefBrowser> /*browser*/,
                                 CefRefPtr<CefFrame> /*frame*/,
                                 CefLoadHandler::ErrorCode error_code,
                                 const CefString& error_text,
                                 const CefString& failed_url) {
  if (load_error_)
    load_error_(error_code, error_text.ToWString(), failed_url.ToWString());
}

bool CefControlBase::OnBeforePopup(CefRefPtr<CefBrowser> /*browser*/,
                                   CefRefPtr<CefFrame> /*frame*/,
                                   const CefString& target_url,
                                   const CefString& /*target_frame_name*/,
                                   CefLifeSpanHandler::WindowOpenDisposition /*disposition*/,
                                   bool /*user_gesture*/,
                                   const CefPopupFeatures& /*popup_features*/,
                                   CefWindowInfo& /*window_info*/,
                                   CefRefPtr<CefClient>& /*client*/,
                                   CefBrowserSettings& /*settings*/,
                                   bool* /*no_javascript_access*/) {
  LinkClickEvent callback = CopyRuntimeCallback(link_click_);
  return callback && !target_url.empty() && callback(target_url.ToWString());
}

void CefControlBase::OnAfterCreated(CefRefPtr<CefBrowser> browser) {
  if (after_created_)
    after_created_(browser);
}

void CefControlBase::OnBeforeClose(CefRefPtr<CefBrowser> browser) {
  if (before_close_)
    before_close_(browser);
}

bool CefControlBase::OnBeforeBrowse(CefRefPtr<CefBrowser> browser,
                                    CefRefPtr<CefFrame> frame,
                                    CefRefPtr<CefRequest> request,
                                    bool is_redirect) {
  BeforeNavigateEvent callback = CopyRuntimeCallback(before_navigate_);
  return callback && callback(browser, frame, request, is_redirect);
}

void CefControlBase::OnProtocolExecution(CefRefPtr<CefBrowser> browser,
                                         const CefString& url,
                                         bool& allow_os_execution) {
  if (protocol_execution_)
    protocol_execution_(browser, url, allow_os_execution);
}

cef_return_value_t CefControlBase::OnBeforeResourceLoad(
    CefRefPtr<CefBrowser> /*browser*/,
    CefRefPtr<CefFrame> /*frame*/,
    CefRefPtr<CefRequest> request,
    CefRefPtr<CefRequestCallback> /*callback*/) {
  return before_resource_load_ ? before_resource_load_(request) : RV_CONTINUE;
}

void CefControlBase::OnRenderProcessTerminated(CefRefPtr<CefBrowser> /*browser*/,
                                               CefRequestHandler::TerminationStatus /*status*/) {}

void CefControlBase::OnBeforeDownload(CefRefPtr<CefBrowser> browser,
                                      CefRefPtr<CefDownloadItem> download_item,
                                      const CefString& suggested_name,
                                      CefRefPtr<CefBeforeDownloadCallback> callback) {
  if (BeforeDownloadEvent event = CopyRuntimeCallback(before_download_))
    event(browser, download_item, suggested_name, callback);
}

void CefControlBase::OnDownloadUpdated(CefRefPtr<CefBrowser> browser,
                                       CefRefPtr<CefDownloadItem> download_item,
                                       CefRefPtr<CefDownloadItemCallback> callback) {
  if (DownloadUpdatedEvent event = CopyRuntimeCallback(download_updated_))
    event(browser, download_item, callback);
}

bool CefControlBase::OnFileDialog(CefRefPtr<CefBrowser> /*browser*/,
                                  CefDialogHandler::FileDialogMode mode,
                                  const CefString& title,
                                  const CefString& default_file_path,
                                  const std::vector<CefString>& accept_filters,
                                  int selected_accept_filter,
                                  CefRefPtr<CefFileDialogCallback> callback) {
  FileDialogEvent event = CopyRuntimeCallback(file_dialog_);
  return event &&
         event(mode, title, default_file_path, accept_filters, selected_accept_filter, callback);
}

bool CefControlBase::OnExecuteCppFunc(const CefString& function_name,
                                      const CefString& params,
                                      int js_callback_id,
                                      CefRefPtr<CefBrowser> browser) {
  if (!js_bridge_)
    return false;
  script_call_thread_ = kbase::ThreadRegistry::CurrentThreadIdentifier();
  return js_bridge_->ExecuteCppFunc(function_name, params, js_callback_id, browser);
}

bool CefControlBase::OnExecuteCppCallbackFunc(int cpp_callback_id, const CefString& json_string) {
  std::shared_ptr<CefJSBridge> bridge = js_bridge_;
  if (!bridge)
    return false;
  const int32_t thread = script_call_thread_;
  if (thread == -1) {
    bridge->ExecuteCppCallbackFunc(cpp_callback_id, json_string);
  } else {
    CefString result(json_string);
    kbase::ThreadRegistry::PostTask(thread, [bridge, cpp_callback_id, result] {
      bridge->ExecuteCppCallbackFunc(cpp_callback_id, result);
    });
  }
  return false;
}

}  // namespace kel_comp
