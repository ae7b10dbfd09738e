#include "runtime/standin/browser/browser_link.h"

#include <utility>

#include "runtime/standin/browser/browser_observations.h"
#include "runtime/standin/browser/browser_registry.h"
#include "runtime/standin/browser/file_dialog.h"
#include "runtime/standin/browser/page_dialogs.h"
#include "runtime/standin/browser/pending_answer.h"
#include "runtime/standin/browser/popup_opener.h"
#include "runtime/standin/function_task.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin::browser_link {

namespace {

// Runs `work` with the browser on the UI thread, when it still exists.
void WithBrowser(int browser_id, std::function<void(BrowserHostImpl&)> work) {
  RuntimeContext::Get().PostTask(TID_UI, MakeTask([browser_id, work = std::move(work)] {
                                   CefRefPtr<BrowserHostImpl> browser =
                                       BrowserRegistry::Get().Find(browser_id);
                                   if (browser && !browser->closed())
                                     work(*browser);
                                 }),
                                 0);
}

// Like WithBrowser, but only once the renderer's current task is done. A
// navigation a page starts leaves the renderer after the reports of that
// task: a page that navigates in its load event still reports its load
// end first, which the navigation would otherwise make stale.
void WithBrowserAfterThisTask(int browser_id, std::function<void(BrowserHostImpl&)> work) {
  RuntimeContext::Get().PostTask(
      TID_RENDERER,
      MakeTask([browser_id, work = std::move(work)] { WithBrowser(browser_id, work); }), 0);
}

}  // namespace

void Navigate(int browser_id, int64 frame_id, NavigationParams params) {
  WithBrowserAfterThisTask(
      browser_id, [frame_id, params = std::move(params)](BrowserHostImpl& browser) mutable {
        browser.Navigate(frame_id, std::move(params));
      });
}

void Navigate(int browser_id,
              int64 frame_id,
              const std::wstring& url,
              bool replace,
              bool user_gesture) {
  NavigationParams params;
  params.url = url;
  params.transition = 0;  // TT_LINK
  if (!user_gesture)
    params.transition |= 0x40000000;  // TT_CLIENT_REDIRECT_FLAG: script moved on by itself
  params.user_gesture = user_gesture;
  params.commit = replace ? NavigationHistory::Commit::kReplace : NavigationHistory::Commit::kAdd;
  Navigate(browser_id, frame_id, std::move(params));
}

void GoHistory(int browser_id, int offset) {
  WithBrowserAfterThisTask(browser_id,
                           [offset](BrowserHostImpl& browser) { browser.GoToOffset(offset); });
}

void Reload(int browser_id) {
  WithBrowserAfterThisTask(browser_id, [](BrowserHostImpl& browser) { browser.Reload(); });
}

int HistoryLength(int browser_id) {
  CefRefPtr<BrowserHostImpl> browser = BrowserRegistry::Get().Find(browser_id);
  return browser ? browser->HistoryLength() : 1;
}

void DocumentReady(int browser_id, int64 frame_id, uint64_t load_id, struct DocumentReady ready) {
  WithBrowser(browser_id, [frame_id, load_id, ready = std::move(ready)](BrowserHostImpl& browser) {
    browser.OnDocumentReady(frame_id, load_id, ready);
  });
}

void FrameRendered(int browser_id, PaintedFrame frame) {
  // The window takes frames on any thread; the browser posts a
  // windowless browser's frames to its UI thread.
  CefRefPtr<BrowserHostImpl> browser = BrowserRegistry::Get().Find(browser_id);
  if (browser)
    browser->OnFrameRendered(std::move(frame));
}

void PopupChanged(int browser_id, const PopupChange& change) {
  WithBrowser(browser_id, [change](BrowserHostImpl& browser) { browser.OnPopupChanged(change); });
}

void PopupRendered(int browser_id, PaintedFrame frame) {
  WithBrowser(browser_id, [frame](BrowserHostImpl& browser) { browser.OnPopupRendered(frame); });
}

void TitleChanged(int browser_id, const std::wstring& title) {
  WithBrowser(browser_id, [title](BrowserHostImpl& browser) { browser.OnTitleChanged(title); });
}

void ConsoleMessage(int browser_id,
                    int level,
                    const std::wstring& text,
                    const std::wstring& source,
                    int line) {
  WithBrowser(browser_id, [=](BrowserHostImpl& browser) {
    browser.OnConsoleMessage(level, text, source, line);
  });
}

void CursorChanged(int browser_id, BrowserWindow::Cursor cursor) {
  CefRefPtr<BrowserHostImpl> browser = BrowserRegistry::Get().Find(browser_id);
  if (browser)
    browser->OnCursorChanged(cursor);
}

bool ProcessMessage(int browser_id, int64 frame_id, CefRefPtr<CefProcessMessage> message) {
  if (!BrowserRegistry::Get().Find(browser_id))
    return false;
  WithBrowser(browser_id, [frame_id, message](BrowserHostImpl& browser) {
    browser.OnRendererMessage(frame_id, message);
  });
  return true;
}

void EditableFocusChanged(int browser_id, bool editable) {
  BrowserObservations::Get().RecordEditableFocus(browser_id, editable);
}

void RendererTerminated(int browser_id) {
  WithBrowser(browser_id, [](BrowserHostImpl& browser) { browser.OnRendererTerminated(); });
}

void ContextMenu(int browser_id, const ContextMenuInfo& info) {
  WithBrowser(browser_id, [info](BrowserHostImpl& browser) { RunContextMenu(browser, info); });
}

void ChooseFile(int browser_id, std::function<void(std::wstring path)> done) {
  auto answer = [done](std::wstring path) {
    RuntimeContext::Get().PostTask(TID_RENDERER, MakeTask([done, path] { done(path); }), 0);
  };
  WithBrowser(browser_id, [answer](BrowserHostImpl& browser) { RunFileDialog(browser, answer); });
}

bool OpenPopup(int browser_id,
               int64 frame_id,
               const std::wstring& url,
               const std::wstring& target,
               bool user_gesture) {
  PendingAnswer<bool> answer(false);
  auto giver = answer.MakeGiver();
  WithBrowser(browser_id, [=](BrowserHostImpl& browser) {
    giver->Give(OpenPopupFor(browser, frame_id, url, target, user_gesture));
  });
  giver.reset();
  return answer.Wait();
}

DialogAnswer RunDialog(int browser_id,
                       const std::wstring& origin,
                       int type,
                       const std::wstring& message,
                       const std::wstring& default_text) {
  PendingAnswer<DialogAnswer> answer(DialogAnswer{});
  auto giver = answer.MakeGiver();
  WithBrowser(browser_id, [=](BrowserHostImpl& browser) {
    RunPageDialog(browser, origin, type, message, default_text,
                  [giver](bool accepted, std::wstring text) {
                    giver->Give(DialogAnswer{accepted, std::move(text)});
                  });
  });
  giver.reset();
  return answer.Wait();
}

void RequestQuota(int browser_id,
                  const std::wstring& origin,
                  int64_t bytes,
                  std::function<void(bool granted)> done) {
  WithBrowser(browser_id, [=](BrowserHostImpl& browser) {
    AskQuota(browser, origin, bytes, [done](bool granted) {
      RuntimeContext::Get().PostTask(TID_RENDERER, MakeTask([done, granted] { done(granted); }), 0);
    });
  });
}

}  // namespace cef_standin::browser_link
