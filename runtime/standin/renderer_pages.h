#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "runtime/include/cef_render_process_handler.h"
#include "runtime/standin/audio/page_sounds.h"
#include "runtime/standin/browser/browser_window.h"
#include "runtime/standin/browser/renderer_link.h"
#include "runtime/standin/frame_page.h"
#include "runtime/standin/renderer_browser.h"
#include "runtime/standin/renderer_view.h"
#include "runtime/standin/script/script_engine.h"

namespace cef_standin {

// The renderer's browsers and their page lifecycle: creation, page loads
// with their script contexts, messages and focus changes reaching the
// pages, destruction. Each step tells the application's render process
// handler what happened, as a renderer does. Renderer thread only; false
// or null for unknown browsers and frames.
class RendererPages : public FramePageHost {
 public:
  // Frames a test may ask for in one browser.
  static constexpr int kMaxChildFrames = 100;

  // The renderer started; `handler` may be null. Makes the script engine.
  void Start(CefRefPtr<CefRenderProcessHandler> handler);
  // The renderer ends: remaining browsers are destroyed, then the engine.
  void Stop();
  // The renderer's script engine; null before Start and after Stop.
  script::ScriptEngine* engine() const { return engine_.get(); }

  bool CreateBrowser(int browser_id, int child_frames);
  // A browser of the browser process: its pages are loaded by
  // CommitDocument and shown in a view of the given kind and size.
  bool CreateHostedBrowser(int browser_id, int64 main_frame_id, const RendererView::Params& view);
  // A frame's new document (see renderer_link::Commit).
  void CommitDocument(renderer_link::CommitParams params);
  void ExecuteJavaScript(int browser_id,
                         int64 frame_id,
                         const std::wstring& code,
                         const std::wstring& script_url,
                         int start_line);
  // Input and view changes of hosted browsers.
  void Resize(int browser_id, int width, int height);
  // The next frame is painted whole (the view), or the pop-up again.
  void Invalidate(int browser_id, cef_paint_element_type_t type);
  // A hidden view paints nothing; shown again, it paints a whole frame.
  void SetHidden(int browser_id, bool hidden);
  void SetFrameRate(int browser_id, int frame_rate);
  void Mouse(int browser_id, const BrowserWindowDelegate::MouseInput& input);
  void Wheel(int browser_id, int x, int y, int delta_x, int delta_y, uint32_t modifiers);
  void Key(int browser_id, const BrowserWindowDelegate::KeyInput& input);
  void Focus(int browser_id, bool focused);
  void SetAudioMuted(int browser_id, bool muted);
  std::wstring DescribeDocument(int browser_id);
  // What a user or a test does to a hosted browser's page; false for an
  // unknown browser, frame or element.
  bool ClickElement(int browser_id, int64 frame_id, const std::wstring& element_id);
  bool TypeText(int browser_id, const std::wstring& text);
  bool RunScript(int browser_id, int64 frame_id, const std::wstring& code);
  // Whether a page of the browser plays a sound now, muted or not.
  bool IsAudible(int browser_id) const;
  // What the sounds of the browser's pages are doing.
  audio::SoundCounts SoundCounts(int browser_id) const;
  // Every page goes at once, as when the renderer process dies; the
  // browser process hears of it.
  void Crash();
  CefRefPtr<CefBrowser> GetBrowser(int browser_id) const;
  bool ReloadFrame(int browser_id, int64 frame_id);
  bool DestroyBrowser(int browser_id);
  // The handler gets a read-only copy of `message` from the browser process.
  bool DeliverMessage(int browser_id, int64 frame_id, CefRefPtr<CefProcessMessage> message);
  // An editable element (1), another element (0) or nothing (-1) took the
  // focus.
  bool FocusNode(int browser_id, int64 frame_id, int editable);

 private:
  CefRefPtr<RendererFrame> FindFrame(int browser_id, int64 frame_id) const;
  void CreateContext(const CefRefPtr<RendererBrowser>& browser,
                     const CefRefPtr<RendererFrame>& frame);
  void ReleaseContext(const CefRefPtr<RendererBrowser>& browser,
                      const CefRefPtr<RendererFrame>& frame);

  // A hosted browser's view state.
  struct Hosted {
    std::unique_ptr<RendererView> view;
    bool muted = false;
    bool focused = false;
    bool paint_pending = false;
    // The frame that takes typed keys: the last one clicked.
    int64 input_frame = 0;
  };

  // FramePageHost
  void OnPageNavigate(int64 frame_id, const page::NavigationRequest& request) override;
  void OnPageFocusChanged(int64 frame_id, const page::NodePtr& node) override;
  void OnPageCursor(int64 frame_id, page::CursorKind cursor) override;
  void OnPageInvalidated(int64 frame_id) override;
  void OnPagePopupChanged(int64 frame_id) override;
  void OnPageNeedsImages(int64 frame_id, const std::vector<std::string>& urls) override;
  void OnPageFileChooser(int64 frame_id, const page::NodePtr& input) override;

  // The browser of a frame of any browser; 0 when none has it.
  int BrowserOfFrame(int64 frame_id) const;
  void ReportReadyWhenLoaded(int browser_id, int64 frame_id);
  // The frame whose view is under a point of the main view, with the
  // point made relative to it.
  CefRefPtr<RendererFrame> FrameAt(int browser_id, int* x, int* y);
  CefRefPtr<RendererFrame> InputFrame(int browser_id);
  void SchedulePaint(int browser_id);
  // The mouse input reaching a page, for the test interface.
  void RecordMouse(int browser_id, const BrowserWindowDelegate::MouseInput& input);
  // A right click at (x, y) of the frame's view, (window_x, window_y) of
  // the window: the browser process runs the context menu.
  void ShowContextMenu(int browser_id,
                       const CefRefPtr<RendererFrame>& frame,
                       int x,
                       int y,
                       int window_x,
                       int window_y);
  void Tick();

  void ContinueLoad(int browser_id, int64 frame_id, uint64_t load_id);
  void OnSubresource(int browser_id,
                     int64 frame_id,
                     uint64_t load_id,
                     const std::string& url,
                     std::string bytes);
  void OnImage(int64 frame_id,
               uint64_t load_id,
               const std::string& url,
               std::string bytes,
               bool ok);
  void RemoveChildFrames(const CefRefPtr<RendererBrowser>& browser,
                         const CefRefPtr<RendererFrame>& frame);
  void Paint(int browser_id);

  CefRefPtr<CefRenderProcessHandler> handler_;
  std::unique_ptr<script::ScriptEngine> engine_;
  std::map<int, CefRefPtr<RendererBrowser>> browsers_;
  std::map<int, Hosted> hosted_;
  bool ticking_ = false;
};

}  // namespace cef_standin
