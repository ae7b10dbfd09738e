#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/synchronization/lock.h"
#include "browser/bridge/cef_js_bridge.h"
#include "browser/handler/browser_handler.h"
#include "ui/control/control.h"

namespace kel_comp {

// What every browser control has: a browser handler (created by Init), the
// browser-side script bridge, the page operations the forms use, and the
// nineteen event callbacks. The handler reports to it as its delegate.
//
// Everything runs on the main thread except the delegate operations the
// handler asks synchronously, and with them callbacks 1, 2, 7, 14, 16, 17
// and 18 (context menu, menu command, link click, before navigate, the two
// download callbacks, file dialog), which run on the runtime's UI thread.
class CefControlBase : public ui::Control, public BrowserHandler::HandlerDelegate {
 public:
  // The callbacks, in their fixed order (1 to 19).
  using BeforeContextMenuEvent =
      std::function<void(CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model)>;
  using ContextMenuCommandEvent = std::function<bool(CefRefPtr<CefContextMenuParams> params,
                                                     int command_id,
                                                     CefContextMenuHandler::EventFlags flags)>;
  using TitleChangeEvent = std::function<void(const std::wstring& title)>;
  using BeforeResourceLoadEvent = std::function<cef_return_value_t(CefRefPtr<CefRequest> request)>;
  using UrlChangeEvent = std::function<void(const std::wstring& url)>;
  using MainUrlChangeEvent =
      std::function<void(const std::wstring& old_url, const std::wstring& new_url)>;
  using LinkClickEvent = std::function<bool(const std::wstring& url)>;
  using LoadingStateChangeEvent =
      std::function<void(bool is_loading, bool can_go_back, bool can_go_forward)>;
  using LoadStartEvent = std::function<void()>;
  using LoadEndEvent = std::function<void(int http_status_code)>;
  using LoadErrorEvent = std::function<void(CefLoadHandler::ErrorCode error_code,
                                            const std::wstring& error_text,
                                            const std::wstring& failed_url)>;
  using AfterCreatedEvent = std::function<void(CefRefPtr<CefBrowser> browser)>;
  using BeforeCloseEvent = std::function<void(CefRefPtr<CefBrowser> browser)>;
  using BeforeNavigateEvent = std::function<bool(CefRefPtr<CefBrowser> browser,
                                                 CefRefPtr<CefFrame> frame,
                                                 CefRefPtr<CefRequest> request,
                                                 bool is_redirect)>;
  using ProtocolExecutionEvent =
      std::function<void(CefRefPtr<CefBrowser> browser, const CefString& url, bool& allow)>;
  using BeforeDownloadEvent = std::function<void(CefRefPtr<CefBrowser> browser,
                                                 CefRefPtr<CefDownloadItem> item,
                                                 const CefString& suggested_name,
                                                 CefRefPtr<CefBeforeDownloadCallback> callback)>;
  using DownloadUpdatedEvent = std::function<void(CefRefPtr<CefBrowser> browser,
                                                  CefRefPtr<CefDownloadItem> item,
                                                  CefRefPtr<CefDownloadItemCallback> callback)>;
  using FileDialogEvent = std::function<bool(CefDialogHandler::FileDialogMode mode,
                                             const CefString& title,
                                             const CefString& default_file_path,
                                             const std::vector<CefString>& accept_filters,
                                             int selected_accept_filter,
                                             CefRefPtr<CefFileDialogCallback> callback)>;
  using DevToolsVisibleChangeEvent = std::function<void(bool visible)>;

  CefControlBase();
  ~CefControlBase() override;

  // The virtual operations keep this order, after those of ui::Control.
  virtual void ReCreateBrowser();
  // Opens the developer tools for this control's page; `view` is where the
  // off-screen variant shows them.
  virtual bool AttachDevTools(ui::Control* view) = 0;
  virtual void DetachDevTools();
  virtual bool IsAttachedDevTools() const;
  virtual void CreateBrowserIfNeeded() = 0;

  // Page operations. Before the browser exists LoadURL is carried out
  // once it does; the others do nothing.
  void LoadURL(const CefString& url);
  void GoBack();
  void GoForward();
  void Refresh();
  void MuteAudio(bool mute);
  // A native function the page may call, for this control's browser or, with
  // `global`, for every browser. False before the browser exists and when
  // the name is taken.
  bool RegisterCppFunc(const std::wstring& function_name,
                       CppFunction function,
                       bool global = false);
  // The browser's own window, or null.
  HWND GetCefHandle() const;
  // The main frame's URL as last reported.
  const CefString& GetURL() const { return url_; }
  CefRefPtr<BrowserHandler> GetHandler() const { return browser_handler_; }
  const std::shared_ptr<CefJSBridge>& GetJsBridge() const { return js_bridge_; }

  void AttachBeforeContextMenu(BeforeContextMenuEvent callback);
  void AttachContextMenuCommand(ContextMenuCommandEvent callback);
  void AttachTitleChange(TitleChangeEvent callback) { title_change_ = std::move(callback); }
  void AttachBeforeResourceLoad(BeforeResourceLoadEvent callback) {
    before_resource_load_ = std::move(callback);
  }
  void AttachUrlChange(UrlChangeEvent callback) { url_change_ = std::move(callback); }
  void AttachMainUrlChange(MainUrlChangeEvent callback) { main_url_change_ = std::move(callback); }
  void AttachLinkClick(LinkClickEvent callback);
  void AttachLoadingStateChange(LoadingStateChangeEvent callback) {
    loading_state_change_ = std::move(callback);
  }
  void AttachLoadStart(LoadStartEvent callback) { load_start_ = std::move(callback); }
  void AttachLoadEnd(LoadEndEvent callback) { load_end_ = std::move(callback); }
  void AttachLoadError(LoadErrorEvent callback) { load_error_ = std::move(callback); }
  void AttachAfterCreated(AfterCreatedEvent callback) { after_created_ = std::move(callback); }
  void AttachBeforeClose(BeforeCloseEvent callback) { before_close_ = std::move(callback); }
  void AttachBeforeNavigate(BeforeNavigateEvent callback);
  void AttachProtocolExecution(ProtocolExecutionEvent callback) {
    protocol_execution_ = std::move(callback);
  }
  void AttachBeforeDownload(BeforeDownloadEvent callback);
  void AttachDownloadUpdated(DownloadUpdatedEvent callback);
  void AttachFileDialog(FileDialogEvent callback);
  void AttachDevToolsVisibleChange(DevToolsVisibleChangeEvent callback) {
    devtools_visible_change_ = std::move(callback);
  }

  // BrowserHandler::HandlerDelegate. The painting operations and
  // OnRenderProcessTerminated do nothing here.
  void OnPaint(CefRefPtr<CefBrowser> browser,
               CefRenderHandler::PaintElementType type,
               const CefRenderHandler::RectList& dirty_rects,
               const PaintBuffer& buffer,
               int width,
               int height) override;
  void OnPopupShow(CefRefPtr<CefBrowser> browser, bool show) override;
  void OnPopupSize(CefRefPtr<CefBrowser> browser, const CefRect& rect) override;
  void UpdateWindowPos() override;
  void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser,
                           CefRefPtr<CefFrame> frame,
                           CefRefPtr<CefContextMenuParams> params,
                           CefRefPtr<CefMenuModel> model) override;
  bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser,
                            CefRefPtr<CefFrame> frame,
                            CefRefPtr<CefContextMenuParams> params,
                            int command_id,
                            CefContextMenuHandler::EventFlags event_flags) override;
  void OnAddressChange(CefRefPtr<CefBrowser> browser,
                       CefRefPtr<CefFrame> frame,
                       const CefString& url) override;
  void OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) override;
  void OnLoadingStateChange(CefRefPtr<CefBrowser> browser,
                            bool is_loading,
                            bool can_go_back,
                            bool can_go_forward) override;
  void OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) override;
  void OnLoadEnd(CefRefPtr<CefBrowser> browser,
                 CefRefPtr<CefFrame> frame,
                 int http_status_code) override;
  void OnLoadError(CefRefPtr<CefBrowser> browser,
                   CefRefPtr<CefFrame> frame,
                   CefLoadHandler::ErrorCode error_code,
                   const CefString& error_text,
                   const CefString& failed_url) override;
  bool OnBeforePopup(CefRefPtr<CefBrowser> browser,
                     CefRefPtr<CefFrame> frame,
                     const CefString& target_url,
                     const CefString& target_frame_name,
                     CefLifeSpanHandler::WindowOpenDisposition target_disposition,
                     bool user_gesture,
                     const CefPopupFeatures& popup_features,
                     CefWindowInfo& window_info,
                     CefRefPtr<CefClient>& client,
                     CefBrowserSettings& settings,
                     bool* no_javascript_access) override;
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;
  void OnBeforeClose(CefRefPtr<CefBrowser> browser) override;
  bool OnBeforeBrowse(CefRefPtr<CefBrowser> browser,
                      CefRefPtr<CefFrame> frame,
                      CefRefPtr<CefRequest> request,
                      bool is_redirect) override;
  void OnProtocolExecution(CefRefPtr<CefBrowser> browser,
                           const CefString& url,
                           bool& allow_os_execution) override;
  cef_return_value_t OnBeforeResourceLoad(CefRefPtr<CefBrowser> browser,
                                          CefRefPtr<CefFrame> frame,
                                          CefRefPtr<CefRequest> request,
                                          CefRefPtr<CefRequestCallback> callback) override;
  void OnRenderProcessTerminated(CefRefPtr<CefBrowser> browser,
                                 CefRequestHandler::TerminationStatus status) override;
  void OnBeforeDownload(CefRefPtr<CefBrowser> browser,
                        CefRefPtr<CefDownloadItem> download_item,
                        const CefString& suggested_name,
                        CefRefPtr<CefBeforeDownloadCallback> callback) override;
  void OnDownloadUpdated(CefRefPtr<CefBrowser> browser,
                         CefRefPtr<CefDownloadItem> download_item,
                         CefRefPtr<CefDownloadItemCallback> callback) override;
  bool OnFileDialog(CefRefPtr<CefBrowser> browser,
                    CefDialogHandler::FileDialogMode mode,
                    const CefString& title,
                    const CefString& default_file_path,
                    const std::vector<CefString>& accept_filters,
                    int selected_accept_filter,
                    CefRefPtr<CefFileDialogCallback> callback) override;
  bool OnExecuteCppFunc(const CefString& function_name,
                        const CefString& params,
                        int js_callback_id,
                        CefRefPtr<CefBrowser> browser) override;
  bool OnExecuteCppCallbackFunc(int cpp_callback_id, const CefString& json_string) override;

 protected:
  // The current browser, or null (also without a handler).
  CefRefPtr<CefBrowser> CurrentBrowser() const;
  void NotifyDevToolsVisible(bool visible);
  // Copies a callback the runtime's thread calls, under its lock.
  template <class Event>
  Event CopyRuntimeCallback(const Event& event) const {
    kbase::AutoLock lock(runtime_callbacks_lock_);
    return event;
  }

  CefRefPtr<BrowserHandler> browser_handler_;
  std::shared_ptr<CefJSBridge> js_bridge_;
  CefString url_;
  bool devtools_attached_ = false;

  // Guards the callbacks the runtime's thread calls: 1, 2, 7, 14, 16, 17, 18.
  mutable kbase::Lock runtime_callbacks_lock_;
  BeforeContextMenuEvent before_context_menu_;
  ContextMenuCommandEvent context_menu_command_;
  TitleChangeEvent title_change_;
  BeforeResourceLoadEvent before_resource_load_;
  UrlChangeEvent url_change_;
  MainUrlChangeEvent main_url_change_;
  LinkClickEvent link_click_;
  LoadingStateChangeEvent loading_state_change_;
  LoadStartEvent load_start_;
  LoadEndEvent load_end_;
  LoadErrorEvent load_error_;
  AfterCreatedEvent after_created_;
  BeforeCloseEvent before_close_;
  BeforeNavigateEvent before_navigate_;
  ProtocolExecutionEvent protocol_execution_;
  BeforeDownloadEvent before_download_;
  DownloadUpdatedEvent download_updated_;
  FileDialogEvent file_dialog_;
  DevToolsVisibleChangeEvent devtools_visible_change_;

  // The framework thread the last page call arrived on, -1 for a thread of
  // the runtime; the answer of a page function goes back there.
  std::atomic<int32_t> script_call_thread_{-1};
};

}  // namespace kel_comp
