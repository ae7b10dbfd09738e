#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "base/callback/weak_callback.h"
#include "base/synchronization/lock.h"
#include "browser/common/unregistered_callback_list.h"
#include "browser/handler/paint_buffer.h"
#include "runtime/include/cef_client.h"
#include "ui/render/geometry.h"

namespace kel_comp {

// The client every browser of the program is created with, and its
// handler of every kind. The runtime calls it on its UI thread. The
// handler decides pop-ups (never opened), page dialogs (all suppressed) and
// storage quotas itself; it reports the rest to its browser control, the
// delegate: notifications are posted to the main thread as weak callbacks
// of the delegate, so that a destroyed control receives nothing; questions
// the runtime needs answered at once are asked on the runtime's UI thread.
//
// Threads: the browser list and the current browser change only on the
// main thread; the delegate and the host window are set on the main thread
// and read on the runtime's. A synchronous question holds the delegate lock
// while it is asked, so clearing the delegate waits for it to finish and
// no late question reaches a destroyed control.
class BrowserHandler : public kbase::SupportWeakCallback,
                       public CefClient,
                       public CefLifeSpanHandler,
                       public CefRenderHandler,
                       public CefContextMenuHandler,
                       public CefDisplayHandler,
                       public CefDragHandler,
                       public CefJSDialogHandler,
                       public CefKeyboardHandler,
                       public CefLoadHandler,
                       public CefRequestHandler,
                       public CefDownloadHandler,
                       public CefDialogHandler {
 public:
  // Storage quota requests up to this many bytes are granted.
  static constexpr int64 kMaxQuotaBytes = 20 * 1024 * 1024;

  // The browser control's side. The operations keep this order; they run
  // on the main thread through posted weak callbacks (M) or synchronously
  // on the runtime's UI thread (R), as marked.
  class HandlerDelegate : public virtual kbase::SupportWeakCallback {
   public:
    // M: off-screen frames and the pop-up widget.
    virtual void OnPaint(CefRefPtr<CefBrowser> browser,
                         CefRenderHandler::PaintElementType type,
                         const CefRenderHandler::RectList& dirty_rects,
                         const PaintBuffer& buffer,
                         int width,
                         int height) = 0;
    virtual void OnPopupShow(CefRefPtr<CefBrowser> browser, bool show) = 0;
    virtual void OnPopupSize(CefRefPtr<CefBrowser> browser, const CefRect& rect) = 0;
    // M: a windowed browser was created; place its window.
    virtual void UpdateWindowPos() = 0;
    // R.
    virtual void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser,
                                     CefRefPtr<CefFrame> frame,
                                     CefRefPtr<CefContextMenuParams> params,
                                     CefRefPtr<CefMenuModel> model) = 0;
    // R: true when the command was carried out.
    virtual bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser,
                                      CefRefPtr<CefFrame> frame,
                                      CefRefPtr<CefContextMenuParams> params,
                                      int command_id,
                                      CefContextMenuHandler::EventFlags event_flags) = 0;
    // M.
    virtual void OnAddressChange(CefRefPtr<CefBrowser> browser,
                                 CefRefPtr<CefFrame> frame,
                                 const CefString& url) = 0;
    virtual void OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) = 0;
    virtual void OnLoadingStateChange(CefRefPtr<CefBrowser> browser,
                                      bool is_loading,
                                      bool can_go_back,
                                      bool can_go_forward) = 0;
    virtual void OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) = 0;
    virtual void OnLoadEnd(CefRefPtr<CefBrowser> browser,
                           CefRefPtr<CefFrame> frame,
                           int http_status_code) = 0;
    virtual void OnLoadError(CefRefPtr<CefBrowser> browser,
                             CefRefPtr<CefFrame> frame,
                             CefLoadHandler::ErrorCode error_code,
                             const CefString& error_text,
                             const CefString& failed_url) = 0;
    // R: true when the target is to be loaded in place of the page.
    virtual bool OnBeforePopup(CefRefPtr<CefBrowser> browser,
                               CefRefPtr<CefFrame> frame,
                               const CefString& target_url,
                               const CefString& target_frame_name,
                               CefLifeSpanHandler::WindowOpenDisposition target_disposition,
                               bool user_gesture,
                               const CefPopupFeatures& popup_features,
                               CefWindowInfo& window_info,
                               CefRefPtr<CefClient>& client,
                               CefBrowserSettings& settings,
                               bool* no_javascript_access) = 0;
    // M.
    virtual void OnAfterCreated(CefRefPtr<CefBrowser> browser) = 0;
    virtual void OnBeforeClose(CefRefPtr<CefBrowser> browser) = 0;
    // R: true cancels the navigation.
    virtual bool OnBeforeBrowse(CefRefPtr<CefBrowser> browser,
                                CefRefPtr<CefFrame> frame,
                                CefRefPtr<CefRequest> request,
                                bool is_redirect) = 0;
    // Never raised: the handler installs no resource-request handler.
    virtual void OnProtocolExecution(CefRefPtr<CefBrowser> browser,
                                     const CefString& url,
                                     bool& allow_os_execution) = 0;
    virtual cef_return_value_t OnBeforeResourceLoad(CefRefPtr<CefBrowser> browser,
                                                    CefRefPtr<CefFrame> frame,
                                                    CefRefPtr<CefRequest> request,
                                                    CefRefPtr<CefRequestCallback> callback) = 0;
    // M.
    virtual void OnRenderProcessTerminated(CefRefPtr<CefBrowser> browser,
                                           CefRequestHandler::TerminationStatus status) = 0;
    // R.
    virtual void OnBeforeDownload(CefRefPtr<CefBrowser> browser,
                                  CefRefPtr<CefDownloadItem> download_item,
                                  const CefString& suggested_name,
                                  CefRefPtr<CefBeforeDownloadCallback> callback) = 0;
    virtual void OnDownloadUpdated(CefRefPtr<CefBrowser> browser,
                                   CefRefPtr<CefDownloadItem> download_item,
                                   CefRefPtr<CefDownloadItemCallback> callback) = 0;
    // R: true when the program shows the dialog itself.
    virtual bool OnFileDialog(CefRefPtr<CefBrowser> browser,
                              CefDialogHandler::FileDialogMode mode,
                              const CefString& title,
                              const CefString& default_file_path,
                              const std::vector<CefString>& accept_filters,
                              int selected_accept_filter,
                              CefRefPtr<CefFileDialogCallback> callback) = 0;
    // R: the page calls a native function; its answer goes to the page
    // callback `js_callback_id`.
    virtual bool OnExecuteCppFunc(const CefString& function_name,
                                  const CefString& params,
                                  int js_callback_id,
                                  CefRefPtr<CefBrowser> browser) = 0;
    // R: a page function answered native callback `cpp_callback_id`.
    virtual bool OnExecuteCppCallbackFunc(int cpp_callback_id, const CefString& json_string) = 0;
  };

  BrowserHandler() = default;

  // Main thread. The control sets both, and clears both before it goes.
  void SetHostWindow(HWND window) { host_window_ = window; }
  HWND GetHostWindow() const { return host_window_; }
  void SetHandlerDelegate(HandlerDelegate* delegate);
  HandlerDelegate* GetHandlerDelegate() const;

  // The newest browser created and not yet closed, or null. Any thread.
  CefRefPtr<CefBrowser> GetBrowser() const;
  // Oldest first. Main thread.
  std::vector<CefRefPtr<CefBrowser>> GetBrowserList() const { return browser_list_; }
  // Any thread: takes effect on the runtime's UI thread.
  void SetViewRect(const ui::UiRect& rect);
  // Main thread: `task` runs there once, right after the first browser of
  // this handler has been created. The result removes it again.
  std::function<void()> AddAfterCreateTask(std::function<void()> task);
  // Main thread: force-closes every browser of this handler.
  void CloseAllBrowsers();
  bool IsFocusOnEditableField() const { return focus_on_editable_field_; }

  // CefClient.
  CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() override { return this; }
  CefRefPtr<CefDialogHandler> GetDialogHandler() override { return this; }
  CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }
  CefRefPtr<CefDownloadHandler> GetDownloadHandler() override { return this; }
  CefRefPtr<CefDragHandler> GetDragHandler() override { return this; }
  CefRefPtr<CefFindHandler> GetFindHandler() override { return nullptr; }
  CefRefPtr<CefFocusHandler> GetFocusHandler() override { return nullptr; }
  CefRefPtr<CefJSDialogHandler> GetJSDialogHandler() override { return this; }
  CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() override { return this; }
  CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
  CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
  CefRefPtr<CefRenderHandler> GetRenderHandler() override { return this; }
  CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }
  bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser,
                                CefRefPtr<CefFrame> frame,
                                CefProcessId source_process,
                                CefRefPtr<CefProcessMessage> message) override;

  // CefLifeSpanHandler.
  bool OnBeforePopup(CefRefPtr<CefBrowser> browser,
                     CefRefPtr<CefFrame> frame,
                     const CefString& target_url,
                     const CefString& target_frame_name,
                     CefLifeSpanHandler::WindowOpenDisposition target_disposition,
                     bool user_gesture,
                     const CefPopupFeatures& popupFeatures,
                     CefWindowInfo& windowInfo,
                     CefRefPtr<CefClient>& client,
                     CefBrowserSettings& settings,
                     CefRefPtr<CefDictionaryValue>& extra_info,
                     bool* no_javascript_access) override;
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;
  bool DoClose(CefRefPtr<CefBrowser> /*browser*/) override { return false; }
  void OnBeforeClose(CefRefPtr<CefBrowser> browser) override;

  // CefRenderHandler.
  bool GetRootScreenRect(CefRefPtr<CefBrowser> browser, CefRect& rect) override;
  void GetViewRect(CefRefPtr<CefBrowser> browser, CefRect& rect) override;
  bool GetScreenPoint(CefRefPtr<CefBrowser> browser,
                      int viewX,
                      int viewY,
                      int& screenX,
                      int& screenY) override;
  void OnPopupShow(CefRefPtr<CefBrowser> browser, bool show) override;
  void OnPopupSize(CefRefPtr<CefBrowser> browser, const CefRect& rect) override;
  void OnPaint(CefRefPtr<CefBrowser> browser,
               PaintElementType type,
               const RectList& dirtyRects,
               const void* buffer,
               int width,
               int height) override;
  void OnCursorChange(CefRefPtr<CefBrowser> browser,
                      CefCursorHandle cursor,
                      CursorType type,
                      const CefCursorInfo& custom_cursor_info) override;

  // CefContextMenuHandler.
  void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser,
                           CefRefPtr<CefFrame> frame,
                           CefRefPtr<CefContextMenuParams> params,
                           CefRefPtr<CefMenuModel> model) override;
  bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser,
                            CefRefPtr<CefFrame> frame,
                            CefRefPtr<CefContextMenuParams> params,
                            int command_id,
                            CefContextMenuHandler::EventFlags event_flags) override;

  // CefDisplayHandler.
  void OnAddressChange(CefRefPtr<CefBrowser> browser,
                       CefRefPtr<CefFrame> frame,
                       const CefString& url) override;
  void OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) override;
  bool OnConsoleMessage(CefRefPtr<CefBrowser> browser,
                        cef_log_severity_t level,
                        const CefString& message,
                        const CefString& source,
                        int line) override;

  // CefJSDialogHandler.
  bool OnJSDialog(CefRefPtr<CefBrowser> browser,
                  const CefString& origin_url,
                  JSDialogType dialog_type,
                  const CefString& message_text,
                  const CefString& default_prompt_text,
                  CefRefPtr<CefJSDialogCallback> callback,
                  bool& suppress_message) override;

  // CefLoadHandler.
  void OnLoadingStateChange(CefRefPtr<CefBrowser> browser,
                            bool isLoading,
                            bool canGoBack,
                            bool canGoForward) override;
  void OnLoadStart(CefRefPtr<CefBrowser> browser,
                   CefRefPtr<CefFrame> frame,
                   TransitionType transition_type) override;
  void OnLoadEnd(CefRefPtr<CefBrowser> browser,
                 CefRefPtr<CefFrame> frame,
                 int httpStatusCode) override;
  void OnLoadError(CefRefPtr<CefBrowser> browser,
                   CefRefPtr<CefFrame> frame,
                   ErrorCode errorCode,
                   const CefString& errorText,
                   const CefString& failedUrl) override;

  // CefRequestHandler.
  bool OnBeforeBrowse(CefRefPtr<CefBrowser> browser,
                      CefRefPtr<CefFrame> frame,
                      CefRefPtr<CefRequest> request,
                      bool user_gesture,
                      bool is_redirect) override;
  bool OnQuotaRequest(CefRefPtr<CefBrowser> browser,
                      const CefString& origin_url,
                      int64 new_size,
                      CefRefPtr<CefRequestCallback> callback) override;
  void OnRenderProcessTerminated(CefRefPtr<CefBrowser> browser, TerminationStatus status) override;

  // CefDownloadHandler.
  void OnBeforeDownload(CefRefPtr<CefBrowser> browser,
                        CefRefPtr<CefDownloadItem> download_item,
                        const CefString& suggested_name,
                        CefRefPtr<CefBeforeDownloadCallback> callback) override;
  void OnDownloadUpdated(CefRefPtr<CefBrowser> browser,
                         CefRefPtr<CefDownloadItem> download_item,
                         CefRefPtr<CefDownloadItemCallback> callback) override;

  // CefDialogHandler.
  bool OnFileDialog(CefRefPtr<CefBrowser> browser,
                    FileDialogMode mode,
                    const CefString& title,
                    const CefString& default_file_path,
                    const std::vector<CefString>& accept_filters,
                    int selected_accept_filter,
                    CefRefPtr<CefFileDialogCallback> callback) override;

 private:
  // Posts `notify` to the main thread as a weak callback of the current
  // delegate; nothing without a delegate.
  void PostToDelegate(std::function<void(HandlerDelegate*)> notify);
  // Main thread: the closures OnAfterCreated and OnBeforeClose post.
  void AddBrowserOnMain(CefRefPtr<CefBrowser> browser);
  void RemoveBrowserOnMain(CefRefPtr<CefBrowser> browser);

  std::atomic<HWND> host_window_{nullptr};

  // Guards delegate_ and delegate_flag_, and is held during every
  // synchronous question to the delegate.
  mutable kbase::Lock delegate_lock_;
  HandlerDelegate* delegate_ = nullptr;
  std::weak_ptr<kbase::WeakFlag> delegate_flag_;
  // The control let go of this handler (as opposed to a handler that never
  // had one, such as the developer tools'). Main thread.
  bool detached_ = false;

  // Written on the main thread only; current_browser_ is also read on the
  // runtime's, under browser_lock_.
  mutable kbase::Lock browser_lock_;
  CefRefPtr<CefBrowser> current_browser_;
  std::vector<CefRefPtr<CefBrowser>> browser_list_;

  ui::UiRect view_rect_;  // the runtime's UI thread only
  // One for the view's frames and one for the pop-up's, so that a pop-up
  // frame cannot overwrite a view frame the main thread has yet to copy.
  PaintBuffer paint_buffers_[2];
  std::atomic<bool> focus_on_editable_field_{false};
  UnregistedCallbackList<std::function<void()>> after_create_tasks_;  // main thread only

  IMPLEMENT_REFCOUNTING(BrowserHandler);
};

}  // namespace kel_comp
