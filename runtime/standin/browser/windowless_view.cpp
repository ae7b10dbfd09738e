#include "runtime/standin/browser/windowless_view.h"

#include "base/debug/check.h"
#include "runtime/standin/renderer_view.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin {

namespace {

constexpr wchar_t kMenuOwnerClass[] = L"CefWindowlessMenuOwner";

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

bool RegisterMenuOwnerClass() {
  static const bool registered = [] {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = &DefWindowProcW;
    window_class.hInstance = ThisModule();
    window_class.lpszClassName = kMenuOwnerClass;
    return RegisterClassExW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

cef_cursor_type_t CursorType(BrowserWindow::Cursor cursor) {
  switch (cursor) {
    case BrowserWindow::Cursor::kHand:
      return CT_HAND;
    case BrowserWindow::Cursor::kIBeam:
      return CT_IBEAM;
    case BrowserWindow::Cursor::kPointer:
      break;
  }
  return CT_POINTER;
}

HCURSOR SystemCursor(BrowserWindow::Cursor cursor) {
  const LPCWSTR id = cursor == BrowserWindow::Cursor::kHand    ? IDC_HAND
                     : cursor == BrowserWindow::Cursor::kIBeam ? IDC_IBEAM
                                                               : IDC_ARROW;
  return LoadCursorW(nullptr, id);
}

}  // namespace

WindowlessView::WindowlessView(CefBrowser* browser, CefRefPtr<CefRenderHandler> handler)
    : browser_(browser), handler_(std::move(handler)) {}

WindowlessView::~WindowlessView() {
  Close();
}

void WindowlessView::CheckThread() const {
  // A windowless view lives on the runtime's UI thread.
  KBASE_DCHECK(RuntimeContext::Get().CurrentlyOn(TID_UI));
}

WindowlessView::Size WindowlessView::QueryViewSize() {
  CheckThread();
  if (!handler_)
    return size_;
  // Asked as the real runtime asks it when it measures the view; the
  // stand-in's pages see no screen coordinates, so the answer is not used.
  CefRect root;
  handler_->GetRootScreenRect(browser(), root);
  CefRect view;
  handler_->GetViewRect(browser(), view);
  size_.width = RendererView::ClampSide(view.width);
  size_.height = RendererView::ClampSide(view.height);
  return size_;
}

void WindowlessView::SetHidden(bool hidden) {
  CheckThread();
  hidden_ = hidden;
}

void WindowlessView::DeliverViewFrame(const PaintedFrame& frame) {
  CheckThread();
  if (!handler_ || hidden_ || !frame.pixels || frame.width != size_.width ||
      frame.height != size_.height)
    return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    last_frame_ = frame;
    ++frame_count_;
  }
  CefRefPtr<CefRenderHandler> handler = handler_;
  handler->OnPaint(browser(), PET_VIEW, {frame.dirty}, frame.pixels->data(), frame.width,
                   frame.height);
}

void WindowlessView::ChangePopup(const PopupChange& change) {
  CheckThread();
  CefRefPtr<CefRenderHandler> handler = handler_;
  if (!handler)
    return;
  if (!change.shown) {
    if (popup_shown_) {
      popup_shown_ = false;
      handler->OnPopupShow(browser(), false);
    }
    return;
  }
  if (!popup_shown_) {
    popup_shown_ = true;
    handler->OnPopupShow(browser(), true);
  }
  handler->OnPopupSize(browser(), change.rect);
}

void WindowlessView::DeliverPopupFrame(const PaintedFrame& frame) {
  CheckThread();
  if (!handler_ || hidden_ || !popup_shown_ || !frame.pixels)
    return;
  CefRefPtr<CefRenderHandler> handler = handler_;
  handler->OnPaint(browser(), PET_POPUP, {frame.dirty}, frame.pixels->data(), frame.width,
                   frame.height);
}

void WindowlessView::ChangeCursor(BrowserWindow::Cursor cursor, bool change_disabled) {
  CheckThread();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    cursor_ = cursor;
  }
  if (!handler_ || change_disabled || (cursor_sent_ && cursor == sent_cursor_))
    return;
  cursor_sent_ = true;
  sent_cursor_ = cursor;
  CefRefPtr<CefRenderHandler> handler = handler_;
  handler->OnCursorChange(browser(), SystemCursor(cursor), CursorType(cursor), CefCursorInfo());
}

POINT WindowlessView::ScreenPoint(int view_x, int view_y) {
  CheckThread();
  POINT point = {view_x, view_y};
  CefRefPtr<CefRenderHandler> handler = handler_;
  if (!handler)
    return point;
  int screen_x = 0;
  int screen_y = 0;
  if (handler->GetScreenPoint(browser(), view_x, view_y, screen_x, screen_y))
    return {screen_x, screen_y};
  CefRect view;
  handler->GetViewRect(browser(), view);
  return {view.x + view_x, view.y + view_y};
}

HWND WindowlessView::MenuOwner() {
  CheckThread();
  if (!menu_owner_ && RegisterMenuOwnerClass()) {
    menu_owner_ = CreateWindowExW(WS_EX_TOOLWINDOW, kMenuOwnerClass, L"", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, ThisModule(), nullptr);
  }
  return menu_owner_;
}

void WindowlessView::Close() {
  handler_ = nullptr;
  if (menu_owner_) {
    DestroyWindow(menu_owner_);
    menu_owner_ = nullptr;
  }
}

bool WindowlessView::FramePixel(int x, int y, uint32_t* pixel, int* width, int* height) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (width)
    *width = last_frame_.width;
  if (height)
    *height = last_frame_.height;
  return FramePixelOf(last_frame_.pixels.get(), last_frame_.width, last_frame_.height, x, y, pixel);
}

uint64_t WindowlessView::frame_count() {
  std::lock_guard<std::mutex> lock(mutex_);
  return frame_count_;
}

BrowserWindow::Cursor WindowlessView::cursor() {
  std::lock_guard<std::mutex> lock(mutex_);
  return cursor_;
}

}  // namespace cef_standin
