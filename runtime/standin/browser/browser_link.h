#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "runtime/include/cef_process_message.h"
#include "runtime/standin/browser/browser_host_impl.h"
#include "runtime/standin/browser/context_menu.h"
#include "runtime/standin/painted_frame.h"

// The renderer's reports and requests to the browser process. Each posts
// to the runtime's UI thread, where the browser's client hears of it; the
// blocking ones wait for the answer there. Renderer thread; reports for a
// browser that is gone are dropped.
namespace cef_standin::browser_link {

// A page asks for a navigation of one of its frames, or for history or a
// reload. These leave once the renderer's current task is done, after
// what that task reported (a load end included).
void Navigate(int browser_id, int64 frame_id, NavigationParams params);
void Navigate(int browser_id,
              int64 frame_id,
              const std::wstring& url,
              bool replace,
              bool user_gesture);
void GoHistory(int browser_id, int offset);
void Reload(int browser_id);
int HistoryLength(int browser_id);

void DocumentReady(int browser_id, int64 frame_id, uint64_t load_id, DocumentReady ready);
// The view's frame, and for windowless browsers their pop-up widget's.
void FrameRendered(int browser_id, PaintedFrame frame);
void PopupChanged(int browser_id, const PopupChange& change);
void PopupRendered(int browser_id, PaintedFrame frame);
void TitleChanged(int browser_id, const std::wstring& title);
void ConsoleMessage(int browser_id,
                    int level,
                    const std::wstring& text,
                    const std::wstring& source,
                    int line);
void CursorChanged(int browser_id, BrowserWindow::Cursor cursor);
// False when no browser of the browser process has that identifier.
bool ProcessMessage(int browser_id, int64 frame_id, CefRefPtr<CefProcessMessage> message);
void EditableFocusChanged(int browser_id, bool editable);
void RendererTerminated(int browser_id);
void ContextMenu(int browser_id, const ContextMenuInfo& info);
// A file input wants a file: the client's OnFileDialog, else the
// system's open dialog; `done` runs on the renderer thread with the path
// (empty when cancelled).
void ChooseFile(int browser_id, std::function<void(std::wstring path)> done);

// Blocking: true when a pop-up browser was opened.
bool OpenPopup(int browser_id,
               int64 frame_id,
               const std::wstring& url,
               const std::wstring& target,
               bool user_gesture);
// Blocking page dialogs: `type` is a cef_jsdialog_type_t; the answer is
// (accepted, text); a suppressed dialog answers false at once.
struct DialogAnswer {
  bool accepted = false;
  std::wstring text;
};
DialogAnswer RunDialog(int browser_id,
                       const std::wstring& origin,
                       int type,
                       const std::wstring& message,
                       const std::wstring& default_text);
// Asks the client; `done` runs later on the renderer thread.
void RequestQuota(int browser_id,
                  const std::wstring& origin,
                  int64_t bytes,
                  std::function<void(bool granted)> done);

}  // namespace cef_standin::browser_link
