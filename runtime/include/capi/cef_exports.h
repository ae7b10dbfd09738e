#pragma once

#include "runtime/include/cef_app.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_client.h"
#include "runtime/include/cef_command_line.h"
#include "runtime/include/cef_cookie.h"
#include "runtime/include/cef_process_message.h"
#include "runtime/include/cef_task.h"
#include "runtime/include/cef_v8.h"
#include "runtime/include/cef_values.h"
#include "runtime/include/internal/cef_export.h"

// The runtime library's entry points behind the C++ functions of the other
// headers. Objects cross the boundary as interface pointers; a returned
// object carries one reference that the caller takes over.

extern "C" {

CEF_EXPORT int cef_execute_process(const cef_main_args_t* args,
                                   CefApp* application,
                                   void* windows_sandbox_info);
CEF_EXPORT int cef_initialize(const cef_main_args_t* args,
                              const cef_settings_t* settings,
                              CefApp* application,
                              void* windows_sandbox_info);
CEF_EXPORT void cef_shutdown(void);

CEF_EXPORT int cef_currently_on(cef_thread_id_t thread_id);
CEF_EXPORT int cef_post_task(cef_thread_id_t thread_id, CefTask* task);
CEF_EXPORT int cef_post_delayed_task(cef_thread_id_t thread_id, CefTask* task, int64 delay_ms);

CEF_EXPORT CefCommandLine* cef_command_line_create(void);
CEF_EXPORT CefCommandLine* cef_command_line_get_global(void);

CEF_EXPORT CefCookieManager* cef_cookie_manager_get_global_manager(CefCompletionCallback* callback);

CEF_EXPORT int cef_browser_host_create_browser(const cef_window_info_t* windowInfo,
                                               CefClient* client,
                                               const cef_string_t* url,
                                               const cef_browser_settings_t* settings,
                                               CefDictionaryValue* extra_info,
                                               CefRequestContext* request_context);

CEF_EXPORT CefListValue* cef_list_value_create(void);
CEF_EXPORT CefDictionaryValue* cef_dictionary_value_create(void);
CEF_EXPORT CefProcessMessage* cef_process_message_create(const cef_string_t* name);

CEF_EXPORT int cef_register_extension(const cef_string_t* extension_name,
                                      const cef_string_t* javascript_code,
                                      CefV8Handler* handler);
CEF_EXPORT CefV8Context* cef_v8context_get_current_context(void);
CEF_EXPORT CefV8Context* cef_v8context_get_entered_context(void);
CEF_EXPORT int cef_v8context_in_context(void);
CEF_EXPORT CefV8Value* cef_v8value_create_undefined(void);
CEF_EXPORT CefV8Value* cef_v8value_create_null(void);
CEF_EXPORT CefV8Value* cef_v8value_create_bool(int value);
CEF_EXPORT CefV8Value* cef_v8value_create_int(int32 value);
CEF_EXPORT CefV8Value* cef_v8value_create_double(double value);
CEF_EXPORT CefV8Value* cef_v8value_create_string(const cef_string_t* value);
CEF_EXPORT CefV8Value* cef_v8value_create_object(CefV8Accessor* accessor);
CEF_EXPORT CefV8Value* cef_v8value_create_array(int length);
CEF_EXPORT CefV8Value* cef_v8value_create_function(const cef_string_t* name, CefV8Handler* handler);

}  // extern "C"
