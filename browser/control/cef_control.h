#pragma once

#include <windows.h>

#include <cstdint>

#include "browser/control/cef_control_base.h"
#include "ui/core/ui_message_filter.h"

namespace ui {
class Window;
}

namespace kel_comp {

// The off-screen browser control: the runtime renders the page into
// memory, the handler hands each frame over on the main thread, and the
// control keeps it in a bitmap that it paints with the rest of the window's
// control tree. The host window's mouse and keyboard messages, seen through
// a message filter, become the runtime's input events. Main thread only.
class CefControl : public CefControlBase, public ui::IUIMessageFilter {
 public:
  // A 32-bit top-down DIB section selected into a memory device context.
  struct OffscreenBitmap {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    BITMAP info = {};
    int width = 0;
    int height = 0;
    bool valid = false;
  };

  // The runtime's event flags (cef_event_flags_t) of the current keyboard
  // and mouse state; `key_state` is the MK_* word of a mouse message.
  static uint32_t MouseModifiers(WPARAM key_state);
  // ... and of a key message (`wparam`, `lparam` as the message gives them).
  static uint32_t KeyboardModifiers(WPARAM wparam, LPARAM lparam);

  CefControl() = default;
  ~CefControl() override;

  // ui::Control.
  void SetWindowAndParent(ui::ControlHost* window, ui::Box* parent, bool init) override;
  void Init() override;
  void SetBounds(const ui::UiRect& rect) override;
  void SetFadeVisible(bool visible) override;
  void SetInternalVisible(bool visible) override;
  bool HandleEvent(ui::EventArgs* args) override;
  void PaintContent(ui::IRenderContext* context, const ui::UiRect& paint_rect) override;

  // CefControlBase.
  bool AttachDevTools(ui::Control* view) override;
  void CreateBrowserIfNeeded() override;

  // HandlerDelegate.
  void OnPaint(CefRefPtr<CefBrowser> browser,
               CefRenderHandler::PaintElementType type,
               const CefRenderHandler::RectList& dirty_rects,
               const PaintBuffer& buffer,
               int width,
               int height) override;
  void OnPopupShow(CefRefPtr<CefBrowser> browser, bool show) override;
  void OnPopupSize(CefRefPtr<CefBrowser> browser, const CefRect& rect) override;
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;

  // ui::IUIMessageFilter.
  LRESULT FilterMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) override;

  // For tests and measurements.
  const OffscreenBitmap& view_bitmap() const { return view_bitmap_; }
  const OffscreenBitmap& popup_bitmap() const { return popup_bitmap_; }
  const CefRect& popup_rect() const { return popup_rect_; }

 private:
  static ui::Window* HostOf(ui::ControlHost* host);
  static HWND HostWindowOf(ui::ControlHost* host);
  // Releases `bitmap` and, for a non-zero size, makes a new one compatible
  // with the host window's device context; false when that failed.
  bool ReCreateBitmap(OffscreenBitmap* bitmap, int width, int height);
  static void ReleaseBitmap(OffscreenBitmap* bitmap);
  void NotifyHidden(bool hidden);
  // Whether `point` (client coordinates) lies in the control's bounds.
  bool Inside(POINT point) const;
  CefMouseEvent MouseEventAt(POINT point, WPARAM key_state) const;
  // The message's position as signed 16-bit halves.
  static POINT PointOf(LPARAM lparam);

  OffscreenBitmap view_bitmap_;
  OffscreenBitmap popup_bitmap_;
  CefRect popup_rect_;
  // Set between a started creation and its OnAfterCreated, so that a second
  // call cannot create a second browser.
  bool creation_pending_ = false;
};

}  // namespace kel_comp
