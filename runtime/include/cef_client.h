#pragma once

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_context_menu_handler.h"
#include "runtime/include/cef_dialog_handler.h"
#include "runtime/include/cef_display_handler.h"
#include "runtime/include/cef_download_handler.h"
#include "runtime/include/cef_drag_handler.h"
#include "runtime/include/cef_find_handler.h"
#include "runtime/include/cef_focus_handler.h"
#include "runtime/include/cef_frame.h"
#include "runtime/include/cef_jsdialog_handler.h"
#include "runtime/include/cef_keyboard_handler.h"
#include "runtime/include/cef_life_span_handler.h"
#include "runtime/include/cef_load_handler.h"
#include "runtime/include/cef_process_message.h"
#include "runtime/include/cef_render_handler.h"
#include "runtime/include/cef_request_handler.h"

// The program's side of a browser: the handlers that receive its events.
// A handler getter returning null means the runtime's default behaviour
// for those events. The runtime asks for the handlers again for each
// event, on the thread of that event.
class CefClient : public virtual CefBaseRefCounted {
 public:
  virtual CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() { return nullptr; }
  virtual CefRefPtr<CefDialogHandler> GetDialogHandler() { return nullptr; }
  virtual CefRefPtr<CefDisplayHandler> GetDisplayHandler() { return nullptr; }
  virtual CefRefPtr<CefDownloadHandler> GetDownloadHandler() { return nullptr; }
  virtual CefRefPtr<CefDragHandler> GetDragHandler() { return nullptr; }
  virtual CefRefPtr<CefFindHandler> GetFindHandler() { return nullptr; }
  virtual CefRefPtr<CefFocusHandler> GetFocusHandler() { return nullptr; }
  virtual CefRefPtr<CefJSDialogHandler> GetJSDialogHandler() { return nullptr; }
  virtual CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() { return nullptr; }
  virtual CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() { return nullptr; }
  virtual CefRefPtr<CefLoadHandler> GetLoadHandler() { return nullptr; }
  virtual CefRefPtr<CefRenderHandler> GetRenderHandler() { return nullptr; }
  virtual CefRefPtr<CefRequestHandler> GetRequestHandler() { return nullptr; }
  // A message from a renderer, sent through `frame`; true when handled.
  virtual bool OnProcessMessageReceived(CefRefPtr<CefBrowser> /*browser*/,
                                        CefRefPtr<CefFrame> /*frame*/,
                                        CefProcessId /*source_process*/,
                                        CefRefPtr<CefProcessMessage> /*message*/) {
    return false;
  }
};
