#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "runtime/include/cef_app.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_client.h"
#include "runtime/standin/standin_probe.h"
#include "tests/support/message_pump.h"
#include "tests/support/temp_folder.h"

namespace browser_test {

// A client that writes down every callback of its browsers, one line per
// event, and answers the runtime's questions as a test tells it to. Every
// callback must arrive on the runtime's UI thread; others are counted.
class RecordingClient : public CefClient,
                        public CefLifeSpanHandler,
                        public CefLoadHandler,
                        public CefDisplayHandler,
                        public CefRequestHandler,
                        public CefJSDialogHandler,
                        public CefDownloadHandler,
                        public CefKeyboardHandler {
 public:
  // Answers; set before the events they answer.
  std::function<bool(const std::wstring& url, bool is_redirect)> cancel_navigation;
  bool refuse_popups = true;
  enum class Dialogs { kRuntime, kSuppress, kAnswerOk };
  Dialogs dialogs = Dialogs::kSuppress;
  std::wstring prompt_answer;
  int64 quota_limit = -1;      // -1: OnQuotaRequest not handled
  std::wstring download_path;  // empty: downloads are not started
  bool cancel_download_on_first_update = false;

  CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
  CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
  CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }
  CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }
  CefRefPtr<CefJSDialogHandler> GetJSDialogHandler() override { return this; }
  CefRefPtr<CefDownloadHandler> GetDownloadHandler() override { return this; }
  CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() override { return this; }

  bool OnBeforePopup(CefRefPtr<CefBrowser>,
                     CefRefPtr<CefFrame>,
                     const CefString& target_url,
                     const CefString& target_frame_name,
                     CefLifeSpanHandler::WindowOpenDisposition,
                     bool user_gesture,
                     const CefPopupFeatures&,
                     CefWindowInfo&,
                     CefRefPtr<CefClient>&,
                     CefBrowserSettings&,
                     CefRefPtr<CefDictionaryValue>&,
                     bool*) override {
    Record(L"OnBeforePopup " + target_url.ToWString() + L" [" + target_frame_name.ToWString() +
           L"] gesture=" + Flag(user_gesture));
    return refuse_popups;
  }
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      browsers_.push_back(browser);
    }
    Record(L"OnAfterCreated " + std::to_wstring(browser->GetIdentifier()));
  }
  bool DoClose(CefRefPtr<CefBrowser> browser) override {
    Record(L"DoClose " + std::to_wstring(browser->GetIdentifier()));
    return false;
  }
  void OnBeforeClose(CefRefPtr<CefBrowser> browser) override {
    Record(L"OnBeforeClose " + std::to_wstring(browser->GetIdentifier()));
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = browsers_.begin(); it != browsers_.end(); ++it) {
      if ((*it)->IsSame(browser)) {
        browsers_.erase(it);
        break;
      }
    }
  }

  void OnLoadingStateChange(CefRefPtr<CefBrowser>,
                            bool is_loading,
                            bool can_go_back,
                            bool can_go_forward) override {
    Record(L"OnLoadingStateChange loading=" + Flag(is_loading) + L" back=" + Flag(can_go_back) +
           L" forward=" + Flag(can_go_forward));
  }
  void OnLoadStart(CefRefPtr<CefBrowser>,
                   CefRefPtr<CefFrame> frame,
                   TransitionType transition_type) override {
    Record(L"OnLoadStart " + FrameName(frame) + L" tt=" +
           std::to_wstring(static_cast<unsigned>(transition_type) & 0xFF));
  }
  void OnLoadEnd(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, int status) override {
    Record(L"OnLoadEnd " + FrameName(frame) + L" " + std::to_wstring(status));
  }
  void OnLoadError(CefRefPtr<CefBrowser>,
                   CefRefPtr<CefFrame> frame,
                   ErrorCode error_code,
                   const CefString& error_text,
                   const CefString& failed_url) override {
    Record(L"OnLoadError " + FrameName(frame) + L" " + std::to_wstring(error_code) + L" " +
           error_text.ToWString() + L" " + failed_url.ToWString());
  }
  void OnAddressChange(CefRefPtr<CefBrowser>,
                       CefRefPtr<CefFrame> frame,
                       const CefString& url) override {
    Record(L"OnAddressChange " + FrameName(frame) + L" " + url.ToWString());
  }
  void OnTitleChange(CefRefPtr<CefBrowser>, const CefString& title) override {
    Record(L"OnTitleChange " + title.ToWString());
  }
  bool OnConsoleMessage(CefRefPtr<CefBrowser>,
                        cef_log_severity_t,
                        const CefString& message,
                        const CefString&,
                        int) override {
    Record(L"OnConsoleMessage " + message.ToWString());
    return true;
  }

  bool OnBeforeBrowse(CefRefPtr<CefBrowser>,
                      CefRefPtr<CefFrame> frame,
                      CefRefPtr<CefRequest> request,
                      bool user_gesture,
                      bool is_redirect) override {
    const std::wstring url = request->GetURL().ToWString();
    Record(L"OnBeforeBrowse " + FrameName(frame) + L" " + request->GetMethod().ToWString() + L" " +
           url + L" gesture=" + Flag(user_gesture) + L" redirect=" + Flag(is_redirect));
    return cancel_navigation && cancel_navigation(url, is_redirect);
  }
  bool OnQuotaRequest(CefRefPtr<CefBrowser>,
                      const CefString&,
                      int64 new_size,
                      CefRefPtr<CefRequestCallback> callback) override {
    Record(L"OnQuotaRequest " + std::to_wstring(new_size));
    if (quota_limit < 0)
      return false;
    callback->Continue(new_size <= quota_limit);
    return true;
  }
  void OnRenderProcessTerminated(CefRefPtr<CefBrowser>, TerminationStatus status) override {
    Record(L"OnRenderProcessTerminated " + std::to_wstring(status));
  }

  bool OnJSDialog(CefRefPtr<CefBrowser>,
                  const CefString&,
                  JSDialogType dialog_type,
                  const CefString& message_text,
                  const CefString&,
                  CefRefPtr<CefJSDialogCallback> callback,
                  bool& suppress_message) override {
    Record(L"OnJSDialog " + std::to_wstring(dialog_type) + L" " + message_text.ToWString());
    if (dialogs == Dialogs::kSuppress)
      suppress_message = true;
    if (dialogs != Dialogs::kAnswerOk)
      return false;
    callback->Continue(true, prompt_answer);
    return true;
  }

  void OnBeforeDownload(CefRefPtr<CefBrowser>,
                        CefRefPtr<CefDownloadItem> item,
                        const CefString& suggested_name,
                        CefRefPtr<CefBeforeDownloadCallback> callback) override {
    Record(L"OnBeforeDownload " + suggested_name.ToWString() + L" " +
           std::to_wstring(item->GetTotalBytes()));
    if (!download_path.empty())
      callback->Continue(download_path, false);
  }
  void OnDownloadUpdated(CefRefPtr<CefBrowser>,
                         CefRefPtr<CefDownloadItem> item,
                         CefRefPtr<CefDownloadItemCallback> callback) override {
    if (item->IsComplete() || item->IsCanceled()) {
      Record(std::wstring(L"OnDownloadUpdated ") +
             (item->IsComplete() ? L"complete " : L"canceled ") +
             std::to_wstring(item->GetReceivedBytes()) + L" " + item->GetFullPath().ToWString());
    }
    if (cancel_download_on_first_update && item->IsInProgress())
      callback->Cancel();
  }

  bool OnPreKeyEvent(CefRefPtr<CefBrowser>,
                     const CefKeyEvent& event,
                     CefEventHandle,
                     bool*) override {
    if (event.type == KEYEVENT_RAWKEYDOWN)
      Record(L"OnPreKeyEvent " + std::to_wstring(event.windows_key_code));
    return false;
  }

  // The events so far, oldest first; those whose text starts with one of
  // `prefixes` only, when given.
  std::vector<std::wstring> Events(const std::vector<std::wstring>& prefixes = {}) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (prefixes.empty())
      return events_;
    std::vector<std::wstring> chosen;
    for (const std::wstring& event : events_) {
      for (const std::wstring& prefix : prefixes) {
        if (event.compare(0, prefix.size(), prefix) == 0) {
          chosen.push_back(event);
          break;
        }
      }
    }
    return chosen;
  }
  void ClearEvents() {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.clear();
  }
  bool HasEvent(const std::wstring& event) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::wstring& seen : events_) {
      if (seen == event)
        return true;
    }
    return false;
  }
  int off_ui_thread() const { return off_ui_thread_; }
  CefRefPtr<CefBrowser> Browser(size_t index = 0) {
    std::lock_guard<std::mutex> lock(mutex_);
    return index < browsers_.size() ? browsers_[index] : nullptr;
  }
  size_t BrowserCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return browsers_.size();
  }

 protected:
  static std::wstring Flag(bool value) { return value ? L"1" : L"0"; }
  static std::wstring FrameName(const CefRefPtr<CefFrame>& frame) {
    if (!frame)
      return L"none";
    return frame->IsMain() ? L"main" : L"child[" + frame->GetName().ToWString() + L"]";
  }
  void Record(std::wstring event) {
    if (!CefCurrentlyOn(TID_UI))
      ++off_ui_thread_;
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(event));
  }

 private:
  std::mutex mutex_;
  std::vector<std::wstring> events_;
  std::vector<CefRefPtr<CefBrowser>> browsers_;
  std::atomic<int> off_ui_thread_{0};

  IMPLEMENT_REFCOUNTING(RecordingClient);
};

// An application that maps host names, as the demo platform does, and
// writes down the focus changes its renderer hears of.
class MappingApp : public CefApp, public CefRenderProcessHandler {
 public:
  explicit MappingApp(std::wstring rules) : rules_(std::move(rules)) {}
  void OnBeforeCommandLineProcessing(const CefString& process_type,
                                     CefRefPtr<CefCommandLine> command_line) override {
    if (process_type.empty())
      command_line->AppendSwitchWithValue(L"host-resolver-rules", rules_);
  }
  CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return this; }
  void OnFocusedNodeChanged(CefRefPtr<CefBrowser>,
                            CefRefPtr<CefFrame> frame,
                            CefRefPtr<CefDOMNode> node) override {
    const bool on_renderer = CefCurrentlyOn(TID_RENDERER);
    std::lock_guard<std::mutex> lock(mutex_);
    focus_events_.push_back((node ? node->GetElementTagName().ToWString() + L" " +
                                        node->GetName().ToWString() +
                                        (node->IsEditable() ? L" editable" : L" fixed")
                                  : std::wstring(L"none")) +
                            (frame && frame->IsMain() ? L"" : L" in a child frame") +
                            (on_renderer ? L"" : L" OFF THE RENDERER THREAD"));
  }
  std::vector<std::wstring> FocusEvents() {
    std::lock_guard<std::mutex> lock(mutex_);
    return focus_events_;
  }

 private:
  const std::wstring rules_;
  std::mutex mutex_;
  std::vector<std::wstring> focus_events_;
  IMPLEMENT_REFCOUNTING(MappingApp);
};

// A page as a data address (UTF-8, percent-encoded).
inline std::wstring PageUrl(const std::string& html) {
  static const char kHex[] = "0123456789ABCDEF";
  std::wstring url = L"data:text/html;charset=utf-8,";
  for (unsigned char c : html) {
    if (isalnum(c) || c == ' ' || c == '=' || c == '/' || c == ':' || c == '.' || c == '-') {
      url += static_cast<wchar_t>(c);
    } else {
      url += L'%';
      url += static_cast<wchar_t>(kHex[c >> 4]);
      url += static_cast<wchar_t>(kHex[c & 15]);
    }
  }
  return url;
}

// The runtime running with a host mapping for the test server and a
// top-level window to hold the browsers; the test thread pumps messages
// while it waits, as the program's main thread does.
class BrowserTest : public ::testing::Test {
 protected:
  // The local web server's port, from the test command; 0 without one.
  static int ServerPort() {
    wchar_t value[16] = {};
    return GetEnvironmentVariableW(L"QEL_WEB_PORT", value, 16) ? _wtoi(value) : 0;
  }
  static std::wstring Server() { return L"http://127.0.0.1:" + std::to_wstring(ServerPort()); }

  void SetUp() override;
  void TearDown() override;

  // A windowed browser in the test window, with `client`; waits for
  // OnAfterCreated.
  CefRefPtr<CefBrowser> CreateBrowser(CefRefPtr<RecordingClient> client, const std::wstring& url);
  // Pumps until the client saw `event`.
  bool WaitForEvent(const CefRefPtr<RecordingClient>& client,
                    const std::wstring& event,
                    DWORD timeout_ms = 10000);
  bool WaitIdle(const CefRefPtr<CefBrowser>& browser, DWORD timeout_ms = 10000);
  // A browser of `client_` on `url`, once that has loaded.
  CefRefPtr<CefBrowser> Open(const std::wstring& url);
  // Loads `url` into the main frame and waits until loading stopped.
  void LoadAndWait(const CefRefPtr<CefBrowser>& browser, const std::wstring& url);
  // Pumps until the client saw the title.
  bool WaitForTitle(const std::wstring& title, DWORD timeout_ms = 10000) {
    return WaitForEvent(client_, L"OnTitleChange " + title, timeout_ms);
  }

  CefRefPtr<RecordingClient> client_;
  // Set before SetUp: the runtime is initialised for windowless browsers.
  bool windowless_rendering_ = false;

  CefRefPtr<MappingApp> app_;
  test::TempFolder folder_{L"browser_test"};
  HWND window_ = nullptr;
  StandinProbe probe_;
};

}  // namespace browser_test
