#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "runtime/include/cef_render_process_handler.h"
#include "runtime/standin/browser/browser_window.h"
#include "runtime/standin/browser/renderer_link.h"
#include "runtime/standin/renderer_browser.h"

namespace cef_standin {

// The renderer's browsers and their page lifecycle: creation, page loads
// with their script contexts, messages and focus changes reaching the
// pages, destruction. Each step tells the application's render process
// handler what happened, as a renderer does. Renderer thread only; false
// or null for unknown browsers and frames.
class RendererPages {
 public:
  // Frames a test may ask for in one browser.
  static constexpr int kMaxChildFrames = 100;

  // The renderer started; `handler` may be null.
  void Start(CefRefPtr<CefRenderProcessHandler> handler);
  // The renderer ends: remaining browsers are destroyed.
  void Stop();

  bool CreateBrowser(int browser_id, int child_frames);
  // A browser of the browser process: its pages are loaded by
  // CommitDocument and shown in a view of the given size.
  bool CreateHostedBrowser(int browser_id, int64 main_frame_id, int width, int height);
  // A frame's new document (see renderer_link::Commit).
  void CommitDocument(renderer_link::CommitParams params);
  void ExecuteJavaScript(int browser_id,
                         int64 frame_id,
                         const std::wstring& code,
                         const std::wstring& script_url,
                         int start_line);
  // Input and view changes of hosted browsers.
  void Resize(int browser_id, int width, int height);
  void Mouse(int browser_id, const BrowserWindowDelegate::MouseInput& input);
  void Wheel(int browser_id, int x, int y, int delta_x, int delta_y);
  void Key(int browser_id, const BrowserWindowDelegate::KeyInput& input);
  void Focus(int browser_id, bool focused);
  void SetAudioMuted(int browser_id, bool muted);
  std::wstring DescribeDocument(int browser_id);
  // What a user or a test does to a hosted browser's page; false for an
  // unknown browser, frame or element.
  bool ClickElement(int browser_id, int64 frame_id, const std::wstring& element_id);
  bool TypeText(int browser_id, const std::wstring& text);
  bool RunScript(int browser_id, int64 frame_id, const std::wstring& code);
  bool IsAudible(int browser_id) const;
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
    int width = 0;
    int height = 0;
    bool muted = false;
    bool focused = false;
  };

  void ContinueLoad(int browser_id, int64 frame_id, uint64_t load_id);
  void OnSubresource(int browser_id,
                     int64 frame_id,
                     uint64_t load_id,
                     const std::string& url,
                     std::string bytes);
  void RemoveChildFrames(const CefRefPtr<RendererBrowser>& browser,
                         const CefRefPtr<RendererFrame>& frame);
  void Paint(int browser_id);

  CefRefPtr<CefRenderProcessHandler> handler_;
  std::map<int, CefRefPtr<RendererBrowser>> browsers_;
  std::map<int, Hosted> hosted_;
};

}  // namespace cef_standin
