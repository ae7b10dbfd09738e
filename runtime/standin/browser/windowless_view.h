#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_render_handler.h"
#include "runtime/standin/browser/browser_window.h"
#include "runtime/standin/painted_frame.h"

namespace cef_standin {

// How a windowless browser shows itself, in place of a window: the
// client's render handler is asked where the view lies and how large it
// is, and is handed the view's frames, its pop-up widget (an open <select>
// list) with that widget's frames, and the cursor the page wants. Frames
// are not delivered while the view is hidden, nor when their size is not
// the view's any more. Runtime UI thread, except where said.
class WindowlessView {
 public:
  struct Size {
    int width = 0;
    int height = 0;
  };

  // `browser` owns the view and outlives it; `handler` is not null.
  WindowlessView(CefBrowser* browser, CefRefPtr<CefRenderHandler> handler);
  WindowlessView(const WindowlessView&) = delete;
  WindowlessView& operator=(const WindowlessView&) = delete;
  ~WindowlessView();

  // Asks the handler for the root window's and the view's rectangles, as
  // the runtime does when the view is made or resized (the root window's
  // is asked only, not used); the view's size is
  // clamped to what a renderer view paints (0 to 4096 a side), and frames
  // of that size are delivered from now on.
  Size QueryViewSize();
  void SetHidden(bool hidden);
  void DeliverViewFrame(const PaintedFrame& frame);
  void ChangePopup(const PopupChange& change);
  // Only while the pop-up is shown.
  void DeliverPopupFrame(const PaintedFrame& frame);
  // The page's cursor; the handler hears of changes only, and none while
  // `change_disabled`.
  void ChangeCursor(BrowserWindow::Cursor cursor, bool change_disabled);
  // A view point on the screen: the handler's GetScreenPoint, else the
  // view rectangle's origin (which GetViewRect gives relative to the
  // screen) plus the point.
  POINT ScreenPoint(int view_x, int view_y);
  // A hidden window of the UI thread that owns the view's menus.
  HWND MenuOwner();
  // The browser closes: nothing is delivered any more.
  void Close();

  // Any thread, for tests: the last view frame delivered.
  bool FramePixel(int x, int y, uint32_t* pixel, int* width, int* height);
  uint64_t frame_count();
  BrowserWindow::Cursor cursor();

 private:
  void CheckThread() const;
  CefRefPtr<CefBrowser> browser() const { return browser_; }

  CefBrowser* const browser_;
  CefRefPtr<CefRenderHandler> handler_;  // null once closed
  Size size_;
  bool hidden_ = false;
  bool popup_shown_ = false;
  bool cursor_sent_ = false;
  BrowserWindow::Cursor sent_cursor_ = BrowserWindow::Cursor::kPointer;
  HWND menu_owner_ = nullptr;

  std::mutex mutex_;
  PaintedFrame last_frame_;                                         // guarded by mutex_
  uint64_t frame_count_ = 0;                                        // guarded by mutex_
  BrowserWindow::Cursor cursor_ = BrowserWindow::Cursor::kPointer;  // guarded by mutex_
};

}  // namespace cef_standin
