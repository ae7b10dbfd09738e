#pragma once

#include <vector>

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_drag_data.h"
#include "runtime/include/cef_frame.h"

// Dragging onto and within a page, on the runtime's UI thread.
class CefDragHandler : public virtual CefBaseRefCounted {
 public:
  typedef cef_drag_operations_mask_t DragOperationsMask;

  // True refuses the drop.
  virtual bool OnDragEnter(CefRefPtr<CefBrowser> /*browser*/,
                           CefRefPtr<CefDragData> /*dragData*/,
                           DragOperationsMask /*mask*/) {
    return false;
  }
  virtual void OnDraggableRegionsChanged(CefRefPtr<CefBrowser> /*browser*/,
                                         CefRefPtr<CefFrame> /*frame*/,
                                         const std::vector<CefDraggableRegion>& /*regions*/) {}
};
