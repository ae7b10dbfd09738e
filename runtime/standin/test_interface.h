#pragma once

#include "runtime/include/cef_app.h"
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
} cef_standin_test_interface_t;

CEF_EXPORT const cef_standin_test_interface_t* cef_standin_get_test_interface(void);

}  // extern "C"
