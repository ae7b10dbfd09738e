#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_client.h"
#include "runtime/standin/browser/browser_window.h"
#include "runtime/standin/browser/frame_host_impl.h"
#include "runtime/standin/browser/navigation_history.h"
#include "runtime/standin/browser/windowless_view.h"
#include "runtime/standin/net/resource_loader.h"

namespace cef_standin {

// What a navigation asks for, whoever started it.
struct NavigationParams {
  std::wstring url;
  std::wstring method = L"GET";
  std::string body;
  std::wstring content_type;
  std::wstring referrer;
  int transition = 1;  // a cef_transition_type_t value; TT_EXPLICIT
  bool user_gesture = false;
  NavigationHistory::Commit commit = NavigationHistory::Commit::kAdd;
  int history_offset = 0;  // non-zero for back and forward
};

// What the renderer reports once a frame's document was read, its
// scripts ran and its first frame was painted.
struct DocumentReady {
  std::wstring title;
  struct ChildFrame {
    int64 identifier = 0;
    std::wstring name;
    std::wstring url;
  };
  std::vector<ChildFrame> child_frames;
};

// A browser in the browser process: its frames, navigations and history,
// its native window (windowed browsers) or its view painted for the
// client's render handler (windowless browsers), and every callback of its
// client, which all run on the runtime's UI thread. The public CEF
// methods may be called on any thread; what changes state is posted to
// the UI thread.
class BrowserHostImpl : public CefBrowser, public CefBrowserHost, public BrowserWindowDelegate {
 public:
  struct CreateParams {
    CefWindowInfo window_info;
    CefRefPtr<CefClient> client;
    std::wstring url;
    CefBrowserSettings settings;
    CefRefPtr<CefDictionaryValue> extra_info;
    bool is_popup = false;
    // Developer tools: the browser they inspect.
    CefRefPtr<BrowserHostImpl> inspected;
  };

  // UI thread: creates the browser, its window and its renderer half,
  // calls OnAfterCreated and starts loading the URL. Null when the window
  // cannot be created, or for a windowless browser when the runtime was
  // not initialised for windowless rendering or the client has no render
  // handler.
  static CefRefPtr<BrowserHostImpl> Create(CreateParams params);

  // Navigation, UI thread. `frame_id` 0 is the main frame.
  void Navigate(int64 frame_id, NavigationParams params);
  void GoToOffset(int offset);
  // Renderer reports, UI thread; stale reports (`load_id` of an earlier
  // navigation) are dropped.
  void OnDocumentReady(int64 frame_id, uint64_t load_id, const DocumentReady& ready);
  void OnTitleChanged(const std::wstring& title);
  void OnConsoleMessage(int level, const std::wstring& text, const std::wstring& source, int line);
  void OnRendererMessage(int64 frame_id, CefRefPtr<CefProcessMessage> message);
  // Any thread (the renderer's): the view's new frame.
  void OnFrameRendered(PaintedFrame frame);
  // UI thread: a windowless browser's pop-up widget and its frames.
  void OnPopupChanged(const PopupChange& change);
  void OnPopupRendered(const PaintedFrame& frame);
  // Any thread (the renderer's).
  void OnCursorChanged(BrowserWindow::Cursor cursor);
  // The renderer was made to stop (a test's crash): every page is gone.
  void OnRendererTerminated();
  // UI thread: the browser ends now; OnBeforeClose is its last callback.
  void DestroyBrowser();

  CefRefPtr<FrameHostImpl> FindFrame(int64 frame_id);
  CefRefPtr<FrameHostImpl> MainFrame();
  // The frame named so, the main frame for an empty name; null when none.
  CefRefPtr<FrameHostImpl> FindFrameByName(const std::wstring& name);
  void GetFrameNames(std::vector<CefString>& names);
  // Developer tools: the tools browser was closed.
  void DevToolsClosed(BrowserHostImpl* devtools);
  CefRefPtr<CefClient> client() const { return client_; }
  bool windowless() const { return windowless_; }
  BrowserWindow* window() { return window_.get(); }
  WindowlessView* windowless_view() { return windowless_view_.get(); }
  bool closed() const { return closed_; }
  bool IsIdle();
  int HistoryLength();

  // CefBrowser
  CefRefPtr<CefBrowserHost> GetHost() override { return this; }
  bool CanGoBack() override;
  void GoBack() override;
  bool CanGoForward() override;
  void GoForward() override;
  bool IsLoading() override { return loading_; }
  void Reload() override;
  void StopLoad() override;
  int GetIdentifier() override { return id_; }
  bool IsSame(CefRefPtr<CefBrowser> that) override;
  bool IsPopup() override { return is_popup_; }
  bool HasDocument() override { return has_document_; }
  CefRefPtr<CefFrame> GetMainFrame() override { return MainFrame(); }
  CefRefPtr<CefFrame> GetFocusedFrame() override { return MainFrame(); }
  CefRefPtr<CefFrame> GetFrame(int64 identifier) override { return FindFrame(identifier); }
  size_t GetFrameCount() override;
  void GetFrameIdentifiers(std::vector<int64>& identifiers) override;

  // CefBrowserHost
  CefRefPtr<CefBrowser> GetBrowser() override { return this; }
  void CloseBrowser(bool force_close) override;
  bool TryCloseBrowser() override;
  void SetFocus(bool focus) override;
  CefWindowHandle GetWindowHandle() override;
  CefWindowHandle GetOpenerWindowHandle() override { return opener_window_; }
  CefRefPtr<CefClient> GetClient() override { return client_; }
  double GetZoomLevel() override { return 0; }
  void SetZoomLevel(double) override {}
  void StartDownload(const CefString& url) override;
  void ShowDevTools(const CefWindowInfo& window_info,
                    CefRefPtr<CefClient> client,
                    const CefBrowserSettings& settings,
                    const CefPoint& inspect_element_at) override;
  void CloseDevTools() override;
  bool HasDevTools() override;
  void SetMouseCursorChangeDisabled(bool disabled) override { cursor_change_disabled_ = disabled; }
  bool IsMouseCursorChangeDisabled() override { return cursor_change_disabled_; }
  bool IsWindowRenderingDisabled() override { return windowless_; }
  void WasResized() override;
  void WasHidden(bool hidden) override;
  void NotifyScreenInfoChanged() override {}
  void Invalidate(PaintElementType type) override;
  void SendKeyEvent(const CefKeyEvent& event) override;
  void SendMouseClickEvent(const CefMouseEvent& event,
                           MouseButtonType type,
                           bool mouse_up,
                           int click_count) override;
  void SendMouseMoveEvent(const CefMouseEvent& event, bool mouse_leave) override;
  void SendMouseWheelEvent(const CefMouseEvent& event, int delta_x, int delta_y) override;
  void SendFocusEvent(bool set_focus) override;
  void SendCaptureLostEvent() override;
  void NotifyMoveOrResizeStarted() override {}
  int GetWindowlessFrameRate() override { return frame_rate_; }
  void SetWindowlessFrameRate(int frame_rate) override;
  void SetAudioMuted(bool mute) override;
  bool IsAudioMuted() override { return audio_muted_; }

 private:
  // A frame's navigation in flight, from OnBeforeBrowse to its document.
  struct FrameLoad {
    uint64_t load_id = 0;
    NavigationParams params;
    std::shared_ptr<FetchCancel> cancel;
    int redirects = 0;
    bool committed = false;  // the renderer has the document
    int http_status = 0;
    int pending_children = 0;
  };

  explicit BrowserHostImpl(CreateParams& params);

  // UI thread steps of a navigation.
  void BeginLoading();
  void EndLoadingIfIdle();
  void StartRequest(int64 frame_id, FrameLoad* load);
  void OnResponse(int64 frame_id, uint64_t load_id, LoadResult result);
  void Commit(int64 frame_id, FrameLoad* load, LoadResult result);
  void FailLoad(int64 frame_id, int error, std::wstring url, bool show_error_page);
  void FinishFrame(int64 frame_id);
  bool AskBeforeBrowse(const CefRefPtr<FrameHostImpl>& frame,
                       const NavigationParams& params,
                       bool is_redirect);
  void DropChildFrames(int64 parent_id);
  // Developer tools, UI thread: shows the page's elements and console in
  // the tools browser.
  void RefreshDevTools();

  // BrowserWindowDelegate, UI thread.
  void OnWindowMouse(const MouseInput& input) override;
  void OnWindowWheel(int x, int y, int delta_x, int delta_y, uint32_t modifiers) override;
  void OnWindowKey(const KeyInput& input) override;
  void OnWindowFocus(bool focused) override;
  void OnWindowResized(int width, int height) override;
  void OnWindowDestroyed() override;

  void RunOnUi(std::function<void()> work);

  const int id_;
  CefRefPtr<CefClient> client_;
  const bool windowless_;
  const bool is_popup_;
  CefWindowHandle opener_window_ = nullptr;
  CefRefPtr<BrowserHostImpl> inspected_;   // developer tools only
  std::unique_ptr<BrowserWindow> window_;  // windowed browsers; UI thread
  // Windowless browsers: the window that hosts the view, and the view.
  CefWindowHandle parent_window_ = nullptr;
  std::unique_ptr<WindowlessView> windowless_view_;  // UI thread

  std::mutex mutex_;
  std::map<int64, CefRefPtr<FrameHostImpl>> frames_;  // guarded by mutex_
  CefRefPtr<FrameHostImpl> main_frame_;               // guarded by mutex_
  CefRefPtr<BrowserHostImpl> devtools_;               // guarded by mutex_
  bool can_go_back_ = false;                          // guarded by mutex_
  bool can_go_forward_ = false;                       // guarded by mutex_
  int history_length_ = 0;                            // guarded by mutex_

  std::atomic<bool> loading_{false};
  std::atomic<bool> has_document_{false};
  std::atomic<bool> audio_muted_{false};
  std::atomic<bool> close_requested_{false};
  std::atomic<bool> closed_{false};
  std::atomic<bool> cursor_change_disabled_{false};
  std::atomic<int> frame_rate_{0};

  // UI thread only.
  NavigationHistory history_;
  std::map<int64, FrameLoad> loads_;
  uint64_t next_load_id_ = 1;
  std::wstring last_title_;
  std::vector<std::wstring> console_log_;
  bool devtools_refresh_pending_ = false;
  int view_width_ = 0;
  int view_height_ = 0;

  IMPLEMENT_REFCOUNTING(BrowserHostImpl);
};

}  // namespace cef_standin
