#include "browser/handler/browser_handler.h"

#include <cassert>
#include <utility>

#include "base/thread/thread_registry.h"
#include "browser/bridge/bridge_messages.h"
#include "browser/common/runtime_task.h"
#include "browser/manager/cef_manager.h"

namespace kel_comp {

namespace {

[[maybe_unused]] bool OnMainThread() {
  return kbase::ThreadRegistry::CurrentThreadIdentifier() == kbase::kMainThreadIdentifier;
}

bool IsSameBrowser(const CefRefPtr<CefBrowser>& a, const CefRefPtr<CefBrowser>& b) {
  return a && b && a->IsSame(b);
}

}  // namespace

void BrowserHandler::SetHandlerDelegate(HandlerDelegate* delegate) {
  assert(OnMainThread());
  // Taken here, on the main thread, so that the runtime's thread only ever
  // copies the delegate's flag.
  std::weak_ptr<kbase::WeakFlag> flag;
  if (delegate)
    flag = delegate->AcquireWeakFlag();
  kbase::AutoLock lock(delegate_lock_);
  if (delegate_ && !delegate)
    detached_ = true;
  delegate_ = delegate;
  delegate_flag_ = std::move(flag);
}

BrowserHandler::HandlerDelegate* BrowserHandler::GetHandlerDelegate() const {
  kbase::AutoLock lock(delegate_lock_);
  return delegate_;
}

CefRefPtr<CefBrowser> BrowserHandler::GetBrowser() const {
  kbase::AutoLock lock(browser_lock_);
  return current_browser_;
}

void BrowserHandler::SetViewRect(const ui::UiRect& rect) {
  if (!CefCurrentlyOn(TID_UI)) {
    CefRefPtr<BrowserHandler> self(this);
    PostRuntimeTask(TID_UI, [self, rect] { self->SetViewRect(rect); });
    return;
  }
  view_rect_ = rect;
  CefRefPtr<CefBrowser> browser = GetBrowser();
  if (CefRefPtr<CefBrowserHost> host = browser ? browser->GetHost() : nullptr)
    host->WasResized();
}

std::function<void()> BrowserHandler::AddAfterCreateTask(std::function<void()> task) {
  assert(OnMainThread());
  return after_create_tasks_.AddCallback(std::move(task));
}

void BrowserHandler::CloseAllBrowsers() {
  std::vector<CefRefPtr<CefBrowser>> browsers = browser_list_;
  if (browsers.empty())
    return;
  PostRuntimeTask(TID_UI, [browsers] {
    for (const CefRefPtr<CefBrowser>& browser : browsers) {
      if (CefRefPtr<CefBrowserHost> host = browser->GetHost())
        host->CloseBrowser(true);
    }
  });
}

void BrowserHandler::PostToDelegate(std::function<void(HandlerDelegate*)> notify) {
  HandlerDelegate* delegate;
  std::weak_ptr<kbase::WeakFlag> flag;
  {
    kbase::AutoLock lock(delegate_lock_);
    delegate = delegate_;
    flag = delegate_flag_;
  }
  if (!delegate)
    return;
  kbase::ThreadRegistry::PostTask(
      kbase::kMainThreadIdentifier,
      kbase::WeakCallback(std::move(flag),
                          [delegate, notify = std::move(notify)] { notify(delegate); }));
}

// Life span.

bool BrowserHandler::OnBeforePopup(CefRefPtr<CefBrowser> browser,
                                   CefRefPtr<CefFrame> frame,
                                   const CefString& target_url,
                                   const CefString& target_frame_name,
                                   CefLifeSpanHandler::WindowOpenDisposition target_disposition,
                                   bool user_gesture,
                                   const CefPopupFeatures& popupFeatures,
                                   CefWindowInfo& windowInfo,
                                   CefRefPtr<CefClient>& client,
                                   CefBrowserSettings& settings,
                                   CefRefPtr<CefDictionaryValue>& /*extra_info*/,
                                   bool* no_javascript_access) {
  CefRefPtr<CefBrowser> current = GetBrowser();
  if (current && !target_url.empty()) {
    bool load = true;
    {
      kbase::AutoLock lock(delegate_lock_);
      if (delegate_) {
        load = delegate_->OnBeforePopup(browser, frame, target_url, target_frame_name,
                                        target_disposition, user_gesture, popupFeatures, windowInfo,
                                        client, settings, no_javascript_access);
      }
    }
    if (load)
      current->GetMainFrame()->LoadURL(target_url);
  }
  // The runtime never opens a window of its own for a page.
  return true;
}

void BrowserHandler::OnAfterCreated(CefRefPtr<CefBrowser> browser) {
  CefRefPtr<BrowserHandler> self(this);
  kbase::ThreadRegistry::PostTask(kbase::kMainThreadIdentifier,
                                  [self, browser] { self->AddBrowserOnMain(browser); });
}

void BrowserHandler::AddBrowserOnMain(CefRefPtr<CefBrowser> browser) {
  assert(OnMainThread());
  browser_list_.push_back(browser);
  CefRefPtr<CefBrowser> previous;
  {
    kbase::AutoLock lock(browser_lock_);
    previous = std::exchange(current_browser_, browser);
  }
  if (CefRefPtr<CefBrowserHost> host = previous ? previous->GetHost() : nullptr)
    host->WasHidden(true);
  CefManager::GetInstance()->IncrementBrowserCount();
  if (HandlerDelegate* delegate = delegate_) {
    delegate->OnAfterCreated(browser);
    if (!CefManager::GetInstance()->IsOffscreenRenderingEnabled())
      delegate->UpdateWindowPos();
  }
  after_create_tasks_.RunAndClear();
  // A browser whose creation was under way when its control went has no
  // one to show it or close it: it is closed now.
  if (detached_ && !delegate_) {
    if (CefRefPtr<CefBrowserHost> host = browser->GetHost())
      host->CloseBrowser(true);
  }
}

void BrowserHandler::OnBeforeClose(CefRefPtr<CefBrowser> browser) {
  CefRefPtr<BrowserHandler> self(this);
  kbase::ThreadRegistry::PostTask(kbase::kMainThreadIdentifier,
                                  [self, browser] { self->RemoveBrowserOnMain(browser); });
}

void BrowserHandler::RemoveBrowserOnMain(CefRefPtr<CefBrowser> browser) {
  assert(OnMainThread());
  CefManager::GetInstance()->DecrementBrowserCount();
  for (auto it = browser_list_.begin(); it != browser_list_.end(); ++it) {
    if (IsSameBrowser(*it, browser)) {
      browser_list_.erase(it);
      break;
    }
  }
  CefRefPtr<CefBrowser> revived;
  {
    kbase::AutoLock lock(browser_lock_);
    if (IsSameBrowser(current_browser_, browser)) {
      current_browser_ = browser_list_.empty() ? nullptr : browser_list_.back();
      revived = current_browser_;
    }
  }
  if (revived) {
    if (CefRefPtr<CefBrowserHost> host = revived->GetHost())
      host->WasHidden(false);
    revived->Reload();
  }
  if (HandlerDelegate* delegate = delegate_)
    delegate->OnBeforeClose(browser);
}

// Render (off-screen browsers only).

bool BrowserHandler::GetRootScreenRect(CefRefPtr<CefBrowser> /*browser*/, CefRect& rect) {
  HWND window = host_window_;
  HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  RECT screen{};
  if (!root || !GetWindowRect(root, &screen))
    return false;
  rect = CefRect(screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top);
  return true;
}

void BrowserHandler::GetViewRect(CefRefPtr<CefBrowser> /*browser*/, CefRect& rect) {
  int width = 0;
  int height = 0;
  if (GetHandlerDelegate()) {
    width = view_rect_.Width();
    height = view_rect_.Height();
  } else if (HWND window = host_window_) {
    RECT client{};
    GetClientRect(window, &client);
    width = client.right - client.left;
    height = client.bottom - client.top;
  }
  // The runtime requires a view of at least one pixel.
  rect = CefRect(0, 0, width > 0 ? width : 1, height > 0 ? height : 1);
}

bool BrowserHandler::GetScreenPoint(CefRefPtr<CefBrowser> /*browser*/,
                                    int viewX,
                                    int viewY,
                                    int& screenX,
                                    int& screenY) {
  HWND window = host_window_;
  if (!window || !IsWindow(window))
    return false;
  POINT point{viewX, viewY};
  ClientToScreen(window, &point);
  screenX = point.x;
  screenY = point.y;
  return true;
}

void BrowserHandler::OnPopupShow(CefRefPtr<CefBrowser> browser, bool show) {
  PostToDelegate([browser, show](HandlerDelegate* d) { d->OnPopupShow(browser, show); });
}

void BrowserHandler::OnPopupSize(CefRefPtr<CefBrowser> browser, const CefRect& rect) {
  CefRect copy(rect);
  PostToDelegate([browser, copy](HandlerDelegate* d) { d->OnPopupSize(browser, copy); });
}

void BrowserHandler::OnPaint(CefRefPtr<CefBrowser> browser,
                             PaintElementType type,
                             const RectList& dirtyRects,
                             const void* buffer,
                             int width,
                             int height) {
  if (!GetHandlerDelegate() || !buffer || !IsFrameSizeAccepted(width, height))
    return;
  PaintBuffer* target = &paint_buffers_[type == PET_POPUP ? 1 : 0];
  target->Write(buffer, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  CefRefPtr<BrowserHandler> self(this);
  RectList dirty = dirtyRects;
  // `self` keeps the buffer alive until the delegate has copied it.
  PostToDelegate([self, target, browser, type, dirty, width, height](HandlerDelegate* d) {
    d->OnPaint(browser, type, dirty, *target, width, height);
  });
}

void BrowserHandler::OnCursorChange(CefRefPtr<CefBrowser> /*browser*/,
                                    CefCursorHandle cursor,
                                    CursorType /*type*/,
                                    const CefCursorInfo& /*custom_cursor_info*/) {
  if (HWND window = host_window_)
    SetClassLongPtrW(window, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
  SetCursor(cursor);
}

// Context menu.

void BrowserHandler::OnBeforeContextMenu(CefRefPtr<CefBrowser> browser,
                                         CefRefPtr<CefFrame> frame,
                                         CefRefPtr<CefContextMenuParams> params,
                                         CefRefPtr<CefMenuModel> model) {
  kbase::AutoLock lock(delegate_lock_);
  if (delegate_) {
    delegate_->OnBeforeContextMenu(browser, frame, params, model);
    return;
  }
  // Without a control the page gets no menu at all.
  if (params && model && (params->GetTypeFlags() & (CM_TYPEFLAG_PAGE | CM_TYPEFLAG_FRAME)) &&
      model->GetCount() > 0)
    model->Clear();
}

bool BrowserHandler::OnContextMenuCommand(CefRefPtr<CefBrowser> browser,
                                          CefRefPtr<CefFrame> frame,
                                          CefRefPtr<CefContextMenuParams> params,
                                          int command_id,
                                          CefContextMenuHandler::EventFlags event_flags) {
  kbase::AutoLock lock(delegate_lock_);
  return delegate_ &&
         delegate_->OnContextMenuCommand(browser, frame, params, command_id, event_flags);
}

// Display.

void BrowserHandler::OnAddressChange(CefRefPtr<CefBrowser> browser,
                                     CefRefPtr<CefFrame> frame,
                                     const CefString& url) {
  CefString copy(url);
  PostToDelegate(
      [browser, frame, copy](HandlerDelegate* d) { d->OnAddressChange(browser, frame, copy); });
}

void BrowserHandler::OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) {
  CefString copy(title);
  PostToDelegate([browser, copy](HandlerDelegate* d) { d->OnTitleChange(browser, copy); });
}

bool BrowserHandler::OnConsoleMessage(CefRefPtr<CefBrowser> /*browser*/,
                                      cef_log_severity_t /*level*/,
                                      const CefString& /*message*/,
                                      const CefString& /*source*/,
                                      int /*line*/) {
  return true;  // kept out of the runtime's log
}

// Script dialogs.

bool BrowserHandler::OnJSDialog(CefRefPtr<CefBrowser> /*browser*/,
                                const CefString& /*origin_url*/,
                                JSDialogType /*dialog_type*/,
                                const CefString& /*message_text*/,
                                const CefString& /*default_prompt_text*/,
                                CefRefPtr<CefJSDialogCallback> /*callback*/,
                                bool& suppress_message) {
  suppress_message = true;
  return false;
}

// Load.

void BrowserHandler::OnLoadingStateChange(CefRefPtr<CefBrowser> browser,
                                          bool isLoading,
                                          bool canGoBack,
                                          bool canGoForward) {
  PostToDelegate([browser, isLoading, canGoBack, canGoForward](HandlerDelegate* d) {
    d->OnLoadingStateChange(browser, isLoading, canGoBack, canGoForward);
  });
}

void BrowserHandler::OnLoadStart(CefRefPtr<CefBrowser> browser,
                                 CefRefPtr<CefFrame> frame,
                                 TransitionType /*transition_type*/) {
  PostToDelegate([browser, frame](HandlerDelegate* d) { d->OnLoadStart(browser, frame); });
}

void BrowserHandler::OnLoadEnd(CefRefPtr<CefBrowser> browser,
                               CefRefPtr<CefFrame> frame,
                               int httpStatusCode) {
  PostToDelegate([browser, frame, httpStatusCode](HandlerDelegate* d) {
    d->OnLoadEnd(browser, frame, httpStatusCode);
  });
}

void BrowserHandler::OnLoadError(CefRefPtr<CefBrowser> browser,
                                 CefRefPtr<CefFrame> frame,
                                 ErrorCode errorCode,
                                 const CefString& errorText,
                                 const CefString& failedUrl) {
  CefString text(errorText);
  CefString url(failedUrl);
  PostToDelegate([browser, frame, errorCode, text, url](HandlerDelegate* d) {
    d->OnLoadError(browser, frame, errorCode, text, url);
  });
}

// Requests.

bool BrowserHandler::OnBeforeBrowse(CefRefPtr<CefBrowser> browser,
                                    CefRefPtr<CefFrame> frame,
                                    CefRefPtr<CefRequest> request,
                                    bool /*user_gesture*/,
                                    bool is_redirect) {
  kbase::AutoLock lock(delegate_lock_);
  return delegate_ && delegate_->OnBeforeBrowse(browser, frame, request, is_redirect);
}

bool BrowserHandler::OnQuotaRequest(CefRefPtr<CefBrowser> /*browser*/,
                                    const CefString& /*origin_url*/,
                                    int64 new_size,
                                    CefRefPtr<CefRequestCallback> callback) {
  if (callback)
    callback->Continue(new_size <= kMaxQuotaBytes);
  return true;
}

void BrowserHandler::OnRenderProcessTerminated(CefRefPtr<CefBrowser> browser,
                                               TerminationStatus status) {
  PostToDelegate(
      [browser, status](HandlerDelegate* d) { d->OnRenderProcessTerminated(browser, status); });
}

// Downloads and file dialogs.

void BrowserHandler::OnBeforeDownload(CefRefPtr<CefBrowser> browser,
                                      CefRefPtr<CefDownloadItem> download_item,
                                      const CefString& suggested_name,
                                      CefRefPtr<CefBeforeDownloadCallback> callback) {
  kbase::AutoLock lock(delegate_lock_);
  if (delegate_)
    delegate_->OnBeforeDownload(browser, download_item, suggested_name, callback);
}

void BrowserHandler::OnDownloadUpdated(CefRefPtr<CefBrowser> browser,
                                       CefRefPtr<CefDownloadItem> download_item,
                                       CefRefPtr<CefDownloadItemCallback> callback) {
  kbase::AutoLock lock(delegate_lock_);
  if (delegate_)
    delegate_->OnDownloadUpdated(browser, download_item, callback);
}

bool BrowserHandler::OnFileDialog(CefRefPtr<CefBrowser> browser,
                                  FileDialogMode mode,
                                  const CefString& title,
                                  const CefString& default_file_path,
                                  const std::vector<CefString>& accept_filters,
                                  int selected_accept_filter,
                                  CefRefPtr<CefFileDialogCallback> callback) {
  kbase::AutoLock lock(delegate_lock_);
  return delegate_ && delegate_->OnFileDialog(browser, mode, title, default_file_path,
                                              accept_filters, selected_accept_filter, callback);
}

// Process messages.

bool BrowserHandler::OnProcessMessageReceived(CefRefPtr<CefBrowser> browser,
                                              CefRefPtr<CefFrame> /*frame*/,
                                              CefProcessId /*source_process*/,
                                              CefRefPtr<CefProcessMessage> message) {
  if (!message)
    return false;
  const CefString name = message->GetName();
  CefRefPtr<CefListValue> arguments = message->GetArgumentList();
  if (name == kFocusedNodeChangedMessage) {
    // A message of the wrong shape counts as "not editable".
    focus_on_editable_field_ =
        arguments && arguments->GetType(0) == VTYPE_BOOL && arguments->GetBool(0);
    return true;
  }
  if (name == kCallCppFunctionMessage) {
    // A call of the wrong shape has no callback to answer; it is dropped.
    if (arguments && arguments->GetType(0) == VTYPE_STRING &&
        arguments->GetType(1) == VTYPE_STRING && arguments->GetType(2) == VTYPE_INT) {
      kbase::AutoLock lock(delegate_lock_);
      if (delegate_) {
        delegate_->OnExecuteCppFunc(arguments->GetString(0), arguments->GetString(1),
                                    arguments->GetInt(2), browser);
      }
    }
    return true;
  }
  if (name == kExecuteCppCallbackMessage) {
    if (arguments && arguments->GetType(0) == VTYPE_STRING && arguments->GetType(1) == VTYPE_INT) {
      kbase::AutoLock lock(delegate_lock_);
      if (delegate_)
        delegate_->OnExecuteCppCallbackFunc(arguments->GetInt(1), arguments->GetString(0));
    }
    return false;
  }
  return false;
}

}  // namespace kel_comp
