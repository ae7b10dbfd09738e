#pragma once

#include <map>
#include <memory>

#include "runtime/include/cef_render_process_handler.h"
#include "runtime/standin/renderer_browser.h"
#include "runtime/standin/script/script_engine.h"

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

  // The renderer started; `handler` may be null. Makes the script engine.
  void Start(CefRefPtr<CefRenderProcessHandler> handler);
  // The renderer ends: remaining browsers are destroyed, then the engine.
  void Stop();
  // The renderer's script engine; null before Start and after Stop.
  script::ScriptEngine* engine() const { return engine_.get(); }

  bool CreateBrowser(int browser_id, int child_frames);
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

  CefRefPtr<CefRenderProcessHandler> handler_;
  std::unique_ptr<script::ScriptEngine> engine_;
  std::map<int, CefRefPtr<RendererBrowser>> browsers_;
};

}  // namespace cef_standin
