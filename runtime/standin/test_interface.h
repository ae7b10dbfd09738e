#pragma once

#include "runtime/include/cef_app.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_process_message.h"
#include "runtime/include/cef_v8.h"
#include "runtime/include/internal/cef_export.h"
#include "runtime/include/internal/cef_string_list.h"

// What tests may ask the stand-in runtime about: what the program asked of
// it. Exported by the stand-in only, found with GetProcAddress; programs
// never use it.

extern "C" {

typedef struct _cef_standin_test_interface_t {
  // 1 while the runtime is initialised.
  int (*is_initialized)(void);
  // The browser process's command line as the runtime uses it, after the
  // application adjusted it; empty before the first initialisation.
  void (*get_command_line)(cef_string_t* command_line);
  // Fills `schemes` with the schemes last given to the global cookie
  // manager and returns whether the default schemes were kept (0 or 1);
  // -1 when no scheme was set since the last initialisation.
  int (*get_cookie_schemes)(cef_string_list_t schemes);
  // Extensions registered since the last initialisation, in order.
  size_t (*get_extension_count)(void);
  int (*get_extension)(size_t index, cef_string_t* name, cef_string_t* code);
  // The handler of a registered extension with one reference for the
  // caller, or null (also after shutdown).
  CefV8Handler* (*get_extension_handler)(size_t index);
  // The application given to cef_initialize with one reference for the
  // caller, or null while the runtime is not initialised.
  CefApp* (*get_application)(void);
  // How often OnContextInitialized and OnWebKitInitialized were called
  // since the last initialisation.
  int (*get_context_initialized_count)(void);
  int (*get_web_kit_initialized_count)(void);
  // The system thread identifier of a runtime thread, 0 when it does not
  // run.
  unsigned long (*get_thread_id)(cef_thread_id_t thread_id);
  // Makes cef_api_hash report `hash` instead of its own; null restores it.
  void (*set_api_hash)(const char* hash);

  // The renderer's pages, driven by tests in place of web content. Each
  // call runs on the renderer thread and returns when it is done; results
  // of 0 or null mean the runtime is not initialised, or the browser or
  // frame is unknown.
  //
  // Creates a browser with that identifier (unused so far), a main frame
  // and `child_frames` child frames: OnBrowserCreated, then a new script
  // context and OnContextCreated for every frame, main frame first.
  int (*renderer_create_browser)(int browser_id, int child_frames);
  // The renderer's browser with one reference for the caller, or null.
  CefBrowser* (*renderer_get_browser)(int browser_id);
  // Loads the frame's page again: OnContextReleased while the frame still
  // has its old context, which then becomes invalid; then a new context
  // and OnContextCreated.
  int (*renderer_reload_frame)(int browser_id, int64 frame_id);
  // OnContextReleased for every frame, child frames first, then
  // OnBrowserDestroyed; the browser and its frames become invalid.
  int (*renderer_destroy_browser)(int browser_id);
  // A message from the browser process reaches the frame: the renderer
  // handler's OnProcessMessageReceived gets a read-only copy of `message`
  // with the source PID_BROWSER.
  int (*renderer_deliver_message)(int browser_id, int64 frame_id, CefProcessMessage* message);
  // Takes the oldest message a renderer frame sent to the browser process
  // and not yet taken, with one reference for the caller, and the sending
  // browser and frame; null when there is none. Any thread.
  CefProcessMessage* (*renderer_take_sent_message)(int* browser_id, int64* frame_id);
  // OnFocusedNodeChanged for the frame with an editable element (1), an
  // element that is not editable (0) or no node (-1).
  int (*renderer_focus_node)(int browser_id, int64 frame_id, int editable);
} cef_standin_test_interface_t;

CEF_EXPORT const cef_standin_test_interface_t* cef_standin_get_test_interface(void);

}  // extern "C"
