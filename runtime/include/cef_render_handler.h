#pragma once

#include <vector>

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_drag_data.h"

// Windowless browsers: where the view lies and the frames it paints, on the
// runtime's UI thread.
class CefRenderHandler : public virtual CefBaseRefCounted {
 public:
  typedef cef_cursor_type_t CursorType;
  typedef cef_drag_operations_mask_t DragOperation;
  typedef cef_drag_operations_mask_t DragOperationsMask;
  typedef cef_paint_element_type_t PaintElementType;
  typedef std::vector<CefRect> RectList;
  typedef cef_text_input_mode_t TextInputMode;

  // The screen rectangle of the window the view lies in; false for the
  // view rectangle instead.
  virtual bool GetRootScreenRect(CefRefPtr<CefBrowser> /*browser*/, CefRect& /*rect*/) {
    return false;
  }
  // The view rectangle relative to the screen, in view pixels; width and
  // height must be positive.
  virtual void GetViewRect(CefRefPtr<CefBrowser> browser, CefRect& rect) = 0;
  virtual bool GetScreenPoint(CefRefPtr<CefBrowser> /*browser*/,
                              int /*viewX*/,
                              int /*viewY*/,
                              int& /*screenX*/,
                              int& /*screenY*/) {
    return false;
  }
  // False for the runtime's defaults.
  virtual bool GetScreenInfo(CefRefPtr<CefBrowser> /*browser*/, CefScreenInfo& /*screen_info*/) {
    return false;
  }
  // A pop-up widget (an open select list) is shown or hidden, and where.
  virtual void OnPopupShow(CefRefPtr<CefBrowser> /*browser*/, bool /*show*/) {}
  virtual void OnPopupSize(CefRefPtr<CefBrowser> /*browser*/, const CefRect& /*rect*/) {}
  // A frame: `buffer` holds width x height 32-bit BGRA pixels, rows from
  // the top, valid during the call only.
  virtual void OnPaint(CefRefPtr<CefBrowser> browser,
                       PaintElementType type,
                       const RectList& dirtyRects,
                       const void* buffer,
                       int width,
                       int height) = 0;
  virtual void OnCursorChange(CefRefPtr<CefBrowser> /*browser*/,
                              CefCursorHandle /*cursor*/,
                              CursorType /*type*/,
                              const CefCursorInfo& /*custom_cursor_info*/) {}
  // True when the program runs the drag itself.
  virtual bool StartDragging(CefRefPtr<CefBrowser> /*browser*/,
                             CefRefPtr<CefDragData> /*drag_data*/,
                             DragOperationsMask /*allowed_ops*/,
                             int /*x*/,
                             int /*y*/) {
    return false;
  }
  virtual void UpdateDragCursor(CefRefPtr<CefBrowser> /*browser*/, DragOperation /*operation*/) {}
  virtual void OnScrollOffsetChanged(CefRefPtr<CefBrowser> /*browser*/,
                                     double /*x*/,
                                     double /*y*/) {}
  virtual void OnVirtualKeyboardRequested(CefRefPtr<CefBrowser> /*browser*/,
                                          TextInputMode /*input_mode*/) {}
};
