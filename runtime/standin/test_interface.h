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

// Tests in another process (the whole client run as a program) cannot call
// the interface below; they read what they need from the browser's native
// window instead: this window property is set while the browser is muted,
// on the browser's own window, or for a windowless browser on the window
// it was created for.
#define CEF_STANDIN_MUTED_PROPERTY L"CefStandinAudioMuted"

extern "C" {

// Mouse and key input as a page received it.
typedef enum {
  STANDIN_INPUT_MOUSE_MOVE = 0,
  STANDIN_INPUT_MOUSE_DOWN,
  STANDIN_INPUT_MOUSE_UP,
  STANDIN_INPUT_DOUBLE_CLICK,
  STANDIN_INPUT_MOUSE_LEAVE,
  STANDIN_INPUT_CAPTURE_LOST,
  STANDIN_INPUT_WHEEL,
  STANDIN_INPUT_RAW_KEY_DOWN,
  STANDIN_INPUT_KEY_UP,
  STANDIN_INPUT_CHAR,
} cef_standin_input_kind_t;

typedef struct _cef_standin_input_t {
  cef_standin_input_kind_t kind;
  // Mouse and wheel: the point in the view's pixels and the button
  // (cef_mouse_button_type_t).
  int x;
  int y;
  int button;
  // cef_event_flags_t.
  uint32 modifiers;
  // Keys: the key codes, or the character for STANDIN_INPUT_CHAR.
  int windows_key_code;
  int native_key_code;
  int is_system_key;
  // Wheel.
  int delta_x;
  int delta_y;
} cef_standin_input_t;

// The sounds of a browser's pages (<audio autoplay> elements).
typedef struct _cef_standin_sounds_t {
  // Asked for, not yet fetched and decoded.
  int fetching;
  // Playing now, muted or not; `silent` of them muted, and `on_device`
  // of them through a sound device, the rest by the clock (a machine
  // without one).
  int playing;
  int silent;
  int on_device;
  // Failed to load or decode (never heard).
  int refused;
} cef_standin_sounds_t;

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

  // Browsers of the browser process. Identifiers are those of
  // CefBrowser::GetIdentifier; unknown ones give 0, null or -1.
  //
  // Browsers open now, and the identifier of the one at `index`.
  int (*browser_count)(void);
  int (*browser_id_at)(int index);
  // 1 when no navigation of the browser is in flight, 0 while one is, -1
  // for an unknown browser.
  int (*browser_is_idle)(int browser_id);
  // The browser's native window (null for a windowless browser).
  HWND (*browser_window)(int browser_id);
  // The last page frame the window was handed (a windowless browser's
  // render handler, for its view): its size, one pixel (0xAARRGGBB), and
  // how many frames it had; 0 without a frame or outside it.
  int (*browser_frame_pixel)(int browser_id, int x, int y, uint32* pixel, int* width, int* height);
  uint64 (*browser_frame_count)(int browser_id);
  // The cursor the page asked for: 0 pointer, 1 hand, 2 I-beam.
  int (*browser_cursor)(int browser_id);
  // Whether the browser's page has the keyboard focus, and whether an
  // editable element inside it does.
  int (*browser_has_focus)(int browser_id);
  int (*browser_focus_on_editable)(int browser_id);
  // Audio: whether an element plays sound now (muted or not), and whether
  // the browser is muted.
  int (*browser_is_audible)(int browser_id);
  int (*browser_is_muted)(int browser_id);
  // What the sounds of the browser's pages are doing (see
  // cef_standin_sounds_t); 0 when the browser has no renderer half.
  int (*browser_sounds)(int browser_id, cef_standin_sounds_t* sounds);
  int (*browser_has_devtools)(int browser_id);

  // Navigations asked of OnBeforeBrowse since initialisation, oldest
  // first, with whether the client refused them.
  size_t (*navigation_count)(void);
  int (*get_navigation)(size_t index,
                        int* browser_id,
                        cef_string_t* url,
                        int* is_redirect,
                        int* refused);
  // Page dialogs asked of the client: type (cef_jsdialog_type_t), text,
  // and whether the runtime showed a dialog of its own.
  size_t (*dialog_count)(void);
  int (*get_dialog)(size_t index, int* type, cef_string_t* message, int* shown);
  // Closes the dialog the runtime shows, as a user would; 0 when none is.
  int (*dismiss_dialog)(int accept, const cef_string_t* text);
  // Downloads: address, file, bytes written, and how they ended.
  size_t (*download_count)(void);
  int (*get_download)(size_t index,
                      cef_string_t* url,
                      cef_string_t* path,
                      int64* received,
                      int* complete,
                      int* canceled);

  // What a user or the page would do. Each returns once the renderer
  // did it (its effects, such as navigations, follow on their own).
  //
  // A left click at the middle of the element with that id in the frame
  // (0: the main frame); 0 when there is no such element.
  int (*click_element)(int browser_id, int64 frame_id, const cef_string_t* element_id);
  // Types text into the focused element, as characters from the
  // keyboard or the input method.
  int (*type_text)(int browser_id, const cef_string_t* text);
  // Runs script in the frame's page (0: the main frame).
  int (*run_script)(int browser_id, int64 frame_id, const cef_string_t* code);
  // The renderer "crashes": every page is gone and the browsers hear of
  // it (OnRenderProcessTerminated); reloading brings a page back.
  int (*crash_renderer)(void);
  // The time after which a silent server fails a load (ERR_TIMED_OUT).
  void (*set_network_timeout)(int timeout_ms);

  // Mouse and key input the browser's page received since initialisation,
  // oldest first (the latest 1,000): how many, and the one at `index`;
  // 0 for an index out of range.
  int (*browser_input_count)(int browser_id);
  int (*browser_get_input)(int browser_id, int index, cef_standin_input_t* input);
} cef_standin_test_interface_t;

CEF_EXPORT const cef_standin_test_interface_t* cef_standin_get_test_interface(void);

}  // extern "C"
