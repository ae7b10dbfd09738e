// The runtime library's entry points as the program sees them: each one
// loads the library on first use and forwards the call, so the program has
// no load-time dependency on it. Without the library every call fails
// with a null, zero or empty result.

#include "runtime/include/capi/cef_exports.h"
#include "runtime/include/cef_api_hash.h"
#include "runtime/include/internal/cef_string_list.h"
#include "runtime/include/internal/cef_string_map.h"
#include "runtime/wrapper/libcef_loader.h"

#define CEF_ENTRY(name) static const auto entry = cef_loader::Resolve<decltype(&::name)>(#name)

#define CEF_FORWARD(name, fallback, ...) \
  CEF_ENTRY(name);                       \
  return entry ? entry(__VA_ARGS__) : fallback

#define CEF_FORWARD_VOID(name, ...) \
  CEF_ENTRY(name);                  \
  if (entry)                        \
  entry(__VA_ARGS__)

// Strings.

int cef_string_utf16_set(const char16* src, size_t src_len, cef_string_utf16_t* output, int copy) {
  CEF_FORWARD(cef_string_utf16_set, 0, src, src_len, output, copy);
}

int cef_string_utf8_set(const char* src, size_t src_len, cef_string_utf8_t* output, int copy) {
  CEF_FORWARD(cef_string_utf8_set, 0, src, src_len, output, copy);
}

void cef_string_utf16_clear(cef_string_utf16_t* str) {
  CEF_FORWARD_VOID(cef_string_utf16_clear, str);
}

void cef_string_utf8_clear(cef_string_utf8_t* str) {
  CEF_FORWARD_VOID(cef_string_utf8_clear, str);
}

int cef_string_utf16_cmp(const cef_string_utf16_t* str1, const cef_string_utf16_t* str2) {
  CEF_FORWARD(cef_string_utf16_cmp, 0, str1, str2);
}

int cef_string_utf16_to_utf8(const char16* src, size_t src_len, cef_string_utf8_t* output) {
  CEF_FORWARD(cef_string_utf16_to_utf8, 0, src, src_len, output);
}

int cef_string_utf8_to_utf16(const char* src, size_t src_len, cef_string_utf16_t* output) {
  CEF_FORWARD(cef_string_utf8_to_utf16, 0, src, src_len, output);
}

cef_string_userfree_utf16_t cef_string_userfree_utf16_alloc() {
  CEF_FORWARD(cef_string_userfree_utf16_alloc, nullptr);
}

void cef_string_userfree_utf16_free(cef_string_userfree_utf16_t str) {
  CEF_FORWARD_VOID(cef_string_userfree_utf16_free, str);
}

// String lists and maps.

cef_string_list_t cef_string_list_alloc() {
  CEF_FORWARD(cef_string_list_alloc, nullptr);
}

size_t cef_string_list_size(cef_string_list_t list) {
  CEF_FORWARD(cef_string_list_size, 0, list);
}

int cef_string_list_value(cef_string_list_t list, size_t index, cef_string_t* value) {
  CEF_FORWARD(cef_string_list_value, 0, list, index, value);
}

void cef_string_list_append(cef_string_list_t list, const cef_string_t* value) {
  CEF_FORWARD_VOID(cef_string_list_append, list, value);
}

void cef_string_list_clear(cef_string_list_t list) {
  CEF_FORWARD_VOID(cef_string_list_clear, list);
}

void cef_string_list_free(cef_string_list_t list) {
  CEF_FORWARD_VOID(cef_string_list_free, list);
}

cef_string_list_t cef_string_list_copy(cef_string_list_t list) {
  CEF_FORWARD(cef_string_list_copy, nullptr, list);
}

cef_string_map_t cef_string_map_alloc() {
  CEF_FORWARD(cef_string_map_alloc, nullptr);
}

size_t cef_string_map_size(cef_string_map_t map) {
  CEF_FORWARD(cef_string_map_size, 0, map);
}

int cef_string_map_find(cef_string_map_t map, const cef_string_t* key, cef_string_t* value) {
  CEF_FORWARD(cef_string_map_find, 0, map, key, value);
}

int cef_string_map_key(cef_string_map_t map, size_t index, cef_string_t* key) {
  CEF_FORWARD(cef_string_map_key, 0, map, index, key);
}

int cef_string_map_value(cef_string_map_t map, size_t index, cef_string_t* value) {
  CEF_FORWARD(cef_string_map_value, 0, map, index, value);
}

int cef_string_map_append(cef_string_map_t map,
                          const cef_string_t* key,
                          const cef_string_t* value) {
  CEF_FORWARD(cef_string_map_append, 0, map, key, value);
}

void cef_string_map_clear(cef_string_map_t map) {
  CEF_FORWARD_VOID(cef_string_map_clear, map);
}

void cef_string_map_free(cef_string_map_t map) {
  CEF_FORWARD_VOID(cef_string_map_free, map);
}

// Process.

const char* cef_api_hash(int entry_index) {
  CEF_FORWARD(cef_api_hash, nullptr, entry_index);
}

int cef_execute_process(const cef_main_args_t* args,
                        CefApp* application,
                        void* windows_sandbox_info) {
  CEF_FORWARD(cef_execute_process, 0, args, application, windows_sandbox_info);
}

int cef_initialize(const cef_main_args_t* args,
                   const cef_settings_t* settings,
                   CefApp* application,
                   void* windows_sandbox_info) {
  CEF_FORWARD(cef_initialize, 0, args, settings, application, windows_sandbox_info);
}

void cef_shutdown() {
  CEF_FORWARD_VOID(cef_shutdown);
}

// Threads.

int cef_currently_on(cef_thread_id_t thread_id) {
  CEF_FORWARD(cef_currently_on, 0, thread_id);
}

int cef_post_task(cef_thread_id_t thread_id, CefTask* task) {
  CEF_FORWARD(cef_post_task, 0, thread_id, task);
}

int cef_post_delayed_task(cef_thread_id_t thread_id, CefTask* task, int64 delay_ms) {
  CEF_FORWARD(cef_post_delayed_task, 0, thread_id, task, delay_ms);
}

// Objects.

CefCommandLine* cef_command_line_create() {
  CEF_FORWARD(cef_command_line_create, nullptr);
}

CefCommandLine* cef_command_line_get_global() {
  CEF_FORWARD(cef_command_line_get_global, nullptr);
}

CefCookieManager* cef_cookie_manager_get_global_manager(CefCompletionCallback* callback) {
  CEF_FORWARD(cef_cookie_manager_get_global_manager, nullptr, callback);
}

int cef_browser_host_create_browser(const cef_window_info_t* windowInfo,
                                    CefClient* client,
                                    const cef_string_t* url,
                                    const cef_browser_settings_t* settings,
                                    CefDictionaryValue* extra_info,
                                    CefRequestContext* request_context) {
  CEF_FORWARD(cef_browser_host_create_browser, 0, windowInfo, client, url, settings, extra_info,
              request_context);
}

CefDictionaryValue* cef_dictionary_value_create() {
  CEF_FORWARD(cef_dictionary_value_create, nullptr);
}

CefListValue* cef_list_value_create() {
  CEF_FORWARD(cef_list_value_create, nullptr);
}

CefProcessMessage* cef_process_message_create(const cef_string_t* name) {
  CEF_FORWARD(cef_process_message_create, nullptr, name);
}

// Script.

int cef_register_extension(const cef_string_t* extension_name,
                           const cef_string_t* javascript_code,
                           CefV8Handler* handler) {
  CEF_FORWARD(cef_register_extension, 0, extension_name, javascript_code, handler);
}

CefV8Context* cef_v8context_get_current_context() {
  CEF_FORWARD(cef_v8context_get_current_context, nullptr);
}

CefV8Context* cef_v8context_get_entered_context() {
  CEF_FORWARD(cef_v8context_get_entered_context, nullptr);
}

int cef_v8context_in_context() {
  CEF_FORWARD(cef_v8context_in_context, 0);
}

CefV8Value* cef_v8value_create_undefined() {
  CEF_FORWARD(cef_v8value_create_undefined, nullptr);
}

CefV8Value* cef_v8value_create_null() {
  CEF_FORWARD(cef_v8value_create_null, nullptr);
}

CefV8Value* cef_v8value_create_bool(int value) {
  CEF_FORWARD(cef_v8value_create_bool, nullptr, value);
}

CefV8Value* cef_v8value_create_int(int32 value) {
  CEF_FORWARD(cef_v8value_create_int, nullptr, value);
}

CefV8Value* cef_v8value_create_double(double value) {
  CEF_FORWARD(cef_v8value_create_double, nullptr, value);
}

CefV8Value* cef_v8value_create_string(const cef_string_t* value) {
  CEF_FORWARD(cef_v8value_create_string, nullptr, value);
}

CefV8Value* cef_v8value_create_object(CefV8Accessor* accessor) {
  CEF_FORWARD(cef_v8value_create_object, nullptr, accessor);
}

CefV8Value* cef_v8value_create_array(int length) {
  CEF_FORWARD(cef_v8value_create_array, nullptr, length);
}

CefV8Value* cef_v8value_create_function(const cef_string_t* name, CefV8Handler* handler) {
  CEF_FORWARD(cef_v8value_create_function, nullptr, name, handler);
}
