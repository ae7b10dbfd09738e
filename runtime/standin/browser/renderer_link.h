#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "runtime/include/cef_process_message.h"
#include "runtime/include/cef_values.h"
#include "runtime/standin/browser/browser_window.h"
#include "runtime/standin/renderer_view.h"

// The browser process's requests to the renderer. Each posts its work to
// the renderer thread and returns at once: the UI thread never waits for
// the renderer, which itself waits for the UI thread (dialogs, pop-ups).
namespace cef_standin::renderer_link {

void CreateBrowser(int browser_id, int64 main_frame_id, const RendererView::Params& view);
void DestroyBrowser(int browser_id);

// A frame's new document: the renderer replaces the frame's page and
// script context, reads the document, runs its scripts, paints it and
// answers with BrowserHostImpl::OnDocumentReady.
struct CommitParams {
  int browser_id = 0;
  int64 frame_id = 0;
  uint64_t load_id = 0;
  std::wstring url;
  std::string body;
  std::wstring mime_type;
  std::wstring charset;
  bool error_page = false;
};
void Commit(CommitParams params);

void DeliverMessage(int browser_id, int64 frame_id, CefRefPtr<CefProcessMessage> message);
void ExecuteJavaScript(int browser_id,
                       int64 frame_id,
                       const std::wstring& code,
                       const std::wstring& script_url,
                       int start_line);
void Resize(int browser_id, int width, int height);
// The view's next frame is painted whole, or its pop-up again.
void Invalidate(int browser_id, cef_paint_element_type_t type);
void SetHidden(int browser_id, bool hidden);
void SetFrameRate(int browser_id, int frame_rate);
void Mouse(int browser_id, const BrowserWindowDelegate::MouseInput& input);
void Wheel(int browser_id, int x, int y, int delta_x, int delta_y, uint32_t modifiers);
// The key event the browser process let through to the page.
void Key(int browser_id, const BrowserWindowDelegate::KeyInput& input);
void Focus(int browser_id, bool focused);
void SetAudioMuted(int browser_id, bool muted);
// The main frame's elements as indented text, for the developer tools;
// `done` runs on the renderer thread.
void DescribeDocument(int browser_id, std::function<void(std::wstring)> done);
// The renderer stops as if it crashed: every page is gone until reloaded.
void Crash();

}  // namespace cef_standin::renderer_link
