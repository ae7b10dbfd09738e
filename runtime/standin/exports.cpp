// The runtime library's entry points.

#include <atomic>
#include <string>

#include "runtime/include/capi/cef_exports.h"
#include "runtime/include/cef_api_hash.h"
#include "runtime/standin/api_hash_override.h"
#include "runtime/standin/browser/browser_host_impl.h"
#include "runtime/standin/cookie_manager_impl.h"
#include "runtime/standin/dictionary_value_impl.h"
#include "runtime/standin/function_task.h"
#include "runtime/standin/list_value_impl.h"
#include "runtime/standin/process_message_impl.h"
#include "runtime/standin/runtime_context.h"
#include "runtime/standin/test_interface.h"
#include "runtime/standin/v8_context_impl.h"
#include "runtime/standin/v8_value_impl.h"

namespace {

// Hands an object over the boundary with one reference for the caller.
template <class T, class U>
T* Release(CefRefPtr<U> object) {
  return object.release();
}

std::wstring ToWString(const cef_string_t* str) {
  return str && str->str ? std::wstring(str->str, str->length) : std::wstring();
}

std::atomic<const char*> g_api_hash_override{nullptr};

}  // namespace

void cef_standin::SetApiHashOverride(const char* hash) {
  g_api_hash_override = hash;
}

const char* cef_api_hash(int entry) {
  switch (entry) {
    case 0:
      if (const char* hash = g_api_hash_override.load())
        return hash;
      return CEF_API_HASH_PLATFORM;
    case 1:
      return CEF_API_HASH_UNIVERSAL;
    case 2:
      return "qelmora-standin-1";
    default:
      return nullptr;
  }
}

int cef_execute_process(const cef_main_args_t* args,
                        CefApp* application,
                        void* /*windows_sandbox_info*/) {
  return cef_standin::RuntimeContext::Get().ExecuteProcess(args, application);
}

int cef_initialize(const cef_main_args_t* args,
                   const cef_settings_t* settings,
                   CefApp* application,
                   void* /*windows_sandbox_info*/) {
  return cef_standin::RuntimeContext::Get().Initialize(args, settings, application) ? 1 : 0;
}

void cef_shutdown() {
  cef_standin::RuntimeContext::Get().Shutdown();
}

int cef_currently_on(cef_thread_id_t thread_id) {
  return cef_standin::RuntimeContext::Get().CurrentlyOn(thread_id) ? 1 : 0;
}

int cef_post_task(cef_thread_id_t thread_id, CefTask* task) {
  return cef_standin::RuntimeContext::Get().PostTask(thread_id, task, 0) ? 1 : 0;
}

int cef_post_delayed_task(cef_thread_id_t thread_id, CefTask* task, int64 delay_ms) {
  return cef_standin::RuntimeContext::Get().PostTask(thread_id, task, delay_ms) ? 1 : 0;
}

CefCommandLine* cef_command_line_create() {
  return Release<CefCommandLine>(CefRefPtr<CefCommandLine>(new cef_standin::CommandLineImpl));
}

CefCommandLine* cef_command_line_get_global() {
  return Release<CefCommandLine>(cef_standin::RuntimeContext::Get().GlobalCommandLine());
}

CefCookieManager* cef_cookie_manager_get_global_manager(CefCompletionCallback* callback) {
  CefRefPtr<CefCookieManager> manager = cef_standin::RuntimeContext::Get().CookieManager();
  if (manager && callback)
    cef_standin::CompleteOnUiThread(callback);
  return Release<CefCookieManager>(manager);
}

int cef_browser_host_create_browser(const cef_window_info_t* window_info,
                                    CefClient* client,
                                    const cef_string_t* url,
                                    const cef_browser_settings_t* settings,
                                    CefDictionaryValue* extra_info,
                                    CefRequestContext* /*request_context*/) {
  cef_standin::RuntimeContext& runtime = cef_standin::RuntimeContext::Get();
  if (!window_info || !settings || !runtime.IsInitialized())
    return 0;
  // A windowless browser needs the runtime initialised for it and a
  // render handler to paint for; the real runtime refuses it otherwise.
  if (window_info->windowless_rendering_enabled &&
      (!runtime.windowless_rendering_enabled() || !client || !client->GetRenderHandler())) {
    runtime.log().Error(
        L"A windowless browser was refused: it needs windowless rendering enabled "
        L"in the runtime's settings and a render handler");
    return 0;
  }
  // Copied now: the caller's structures may go before the UI thread runs.
  auto params = std::make_shared<cef_standin::BrowserHostImpl::CreateParams>();
  params->window_info = CefWindowInfo(*window_info);
  params->client = client;
  params->url = ToWString(url);
  params->settings = CefBrowserSettings(*settings);
  params->extra_info = extra_info;
  return runtime.PostTask(TID_UI, cef_standin::MakeTask([params] {
                            cef_standin::BrowserHostImpl::Create(std::move(*params));
                          }),
                          0)
             ? 1
             : 0;
}

CefDictionaryValue* cef_dictionary_value_create() {
  return Release<CefDictionaryValue>(
      CefRefPtr<CefDictionaryValue>(new cef_standin::DictionaryValueImpl));
}

CefListValue* cef_list_value_create() {
  return Release<CefListValue>(CefRefPtr<CefListValue>(new cef_standin::ListValueImpl));
}

CefProcessMessage* cef_process_message_create(const cef_string_t* name) {
  const std::wstring message_name = ToWString(name);
  if (message_name.empty())
    return nullptr;
  return Release<CefProcessMessage>(
      CefRefPtr<CefProcessMessage>(new cef_standin::ProcessMessageImpl(message_name)));
}

int cef_register_extension(const cef_string_t* extension_name,
                           const cef_string_t* javascript_code,
                           CefV8Handler* handler) {
  return cef_standin::RuntimeContext::Get().RegisterExtension(ToWString(extension_name),
                                                              ToWString(javascript_code), handler)
             ? 1
             : 0;
}

CefV8Context* cef_v8context_get_current_context() {
  return cef_standin::V8ContextImpl::Current().release();
}

CefV8Context* cef_v8context_get_entered_context() {
  // Without scripts of its own the runtime never runs one context's code
  // from another, so the entered context is the current one.
  return cef_standin::V8ContextImpl::Current().release();
}

int cef_v8context_in_context() {
  return cef_standin::V8ContextImpl::Current() ? 1 : 0;
}

CefV8Value* cef_v8value_create_undefined() {
  return Release<CefV8Value>(cef_standin::V8ValueImpl::Undefined());
}

CefV8Value* cef_v8value_create_null() {
  return Release<CefV8Value>(cef_standin::V8ValueImpl::Null());
}

CefV8Value* cef_v8value_create_bool(int value) {
  return Release<CefV8Value>(cef_standin::V8ValueImpl::Bool(value != 0));
}

CefV8Value* cef_v8value_create_int(int32 value) {
  return Release<CefV8Value>(cef_standin::V8ValueImpl::Int(value));
}

CefV8Value* cef_v8value_create_double(double value) {
  return Release<CefV8Value>(cef_standin::V8ValueImpl::Double(value));
}

CefV8Value* cef_v8value_create_string(const cef_string_t* value) {
  return Release<CefV8Value>(cef_standin::V8ValueImpl::String(ToWString(value)));
}

CefV8Value* cef_v8value_create_object(CefV8Accessor* accessor) {
  return Release<CefV8Value>(cef_standin::V8ValueImpl::Object(accessor));
}

CefV8Value* cef_v8value_create_array(int length) {
  return Release<CefV8Value>(cef_standin::V8ValueImpl::Array(length));
}

CefV8Value* cef_v8value_create_function(const cef_string_t* name, CefV8Handler* handler) {
  if (!handler) {
    cef_standin::RuntimeContext::Get().log().Error(L"CreateFunction refused: no handler");
    return nullptr;
  }
  return Release<CefV8Value>(cef_standin::V8ValueImpl::Function(ToWString(name), handler));
}
