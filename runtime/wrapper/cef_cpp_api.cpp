// The C++ functions of the runtime's headers, built on its entry points.

#include <cstring>

#include "runtime/include/capi/cef_exports.h"
#include "runtime/include/cef_api_hash.h"
#include "runtime/include/wrapper/cef_closure_task.h"

namespace {

// Takes over the reference an entry point returned with its object.
template <class T>
CefRefPtr<T> Adopt(T* object) {
  CefRefPtr<T> reference(object);
  if (object)
    object->Release();
  return reference;
}

// A library built for another interface must not be handed this program's
// objects.
bool ApiHashMatches() {
  const char* hash = cef_api_hash(0);
  return hash && std::strcmp(hash, CEF_API_HASH_PLATFORM) == 0;
}

class ClosureTask : public CefTask {
 public:
  explicit ClosureTask(std::function<void()> closure) : closure_(std::move(closure)) {}

  void Execute() override {
    if (closure_)
      closure_();
  }

 private:
  std::function<void()> closure_;
  IMPLEMENT_REFCOUNTING(ClosureTask);
};

}  // namespace

int CefExecuteProcess(const CefMainArgs& args,
                      CefRefPtr<CefApp> application,
                      void* windows_sandbox_info) {
  if (!ApiHashMatches())
    return 0;
  return cef_execute_process(&args, application.get(), windows_sandbox_info);
}

bool CefInitialize(const CefMainArgs& args,
                   const CefSettings& settings,
                   CefRefPtr<CefApp> application,
                   void* windows_sandbox_info) {
  if (!ApiHashMatches())
    return false;
  return cef_initialize(&args, &settings, application.get(), windows_sandbox_info) != 0;
}

void CefShutdown() {
  cef_shutdown();
}

bool CefCurrentlyOn(CefThreadId thread_id) {
  return cef_currently_on(thread_id) != 0;
}

bool CefPostTask(CefThreadId thread_id, CefRefPtr<CefTask> task) {
  return task && cef_post_task(thread_id, task.get()) != 0;
}

bool CefPostDelayedTask(CefThreadId thread_id, CefRefPtr<CefTask> task, int64 delay_ms) {
  return task && cef_post_delayed_task(thread_id, task.get(), delay_ms) != 0;
}

CefRefPtr<CefTask> CefCreateClosureTask(std::function<void()> closure) {
  return new ClosureTask(std::move(closure));
}

CefRefPtr<CefCommandLine> CefCommandLine::CreateCommandLine() {
  return Adopt(cef_command_line_create());
}

CefRefPtr<CefCommandLine> CefCommandLine::GetGlobalCommandLine() {
  return Adopt(cef_command_line_get_global());
}

CefRefPtr<CefCookieManager> CefCookieManager::GetGlobalManager(
    CefRefPtr<CefCompletionCallback> callback) {
  return Adopt(cef_cookie_manager_get_global_manager(callback.get()));
}

bool CefBrowserHost::CreateBrowser(const CefWindowInfo& windowInfo,
                                   CefRefPtr<CefClient> client,
                                   const CefString& url,
                                   const CefBrowserSettings& settings,
                                   CefRefPtr<CefDictionaryValue> extra_info,
                                   CefRefPtr<CefRequestContext> request_context) {
  if (!client)
    return false;
  return cef_browser_host_create_browser(&windowInfo, client.get(), url.GetStruct(), &settings,
                                         extra_info.get(), request_context.get()) != 0;
}

CefRefPtr<CefDictionaryValue> CefDictionaryValue::Create() {
  return Adopt(cef_dictionary_value_create());
}

CefRefPtr<CefListValue> CefListValue::Create() {
  return Adopt(cef_list_value_create());
}

CefRefPtr<CefProcessMessage> CefProcessMessage::Create(const CefString& name) {
  return Adopt(cef_process_message_create(name.GetStruct()));
}

bool CefRegisterExtension(const CefString& extension_name,
                          const CefString& javascript_code,
                          CefRefPtr<CefV8Handler> handler) {
  return cef_register_extension(extension_name.GetStruct(), javascript_code.GetStruct(),
                                handler.get()) != 0;
}

CefRefPtr<CefV8Context> CefV8Context::GetCurrentContext() {
  return Adopt(cef_v8context_get_current_context());
}

CefRefPtr<CefV8Context> CefV8Context::GetEnteredContext() {
  return Adopt(cef_v8context_get_entered_context());
}

bool CefV8Context::InContext() {
  return cef_v8context_in_context() != 0;
}

CefRefPtr<CefV8Value> CefV8Value::CreateUndefined() {
  return Adopt(cef_v8value_create_undefined());
}

CefRefPtr<CefV8Value> CefV8Value::CreateNull() {
  return Adopt(cef_v8value_create_null());
}

CefRefPtr<CefV8Value> CefV8Value::CreateBool(bool value) {
  return Adopt(cef_v8value_create_bool(value ? 1 : 0));
}

CefRefPtr<CefV8Value> CefV8Value::CreateInt(int32 value) {
  return Adopt(cef_v8value_create_int(value));
}

CefRefPtr<CefV8Value> CefV8Value::CreateDouble(double value) {
  return Adopt(cef_v8value_create_double(value));
}

CefRefPtr<CefV8Value> CefV8Value::CreateString(const CefString& value) {
  return Adopt(cef_v8value_create_string(value.GetStruct()));
}

CefRefPtr<CefV8Value> CefV8Value::CreateObject(CefRefPtr<CefV8Accessor> accessor) {
  return Adopt(cef_v8value_create_object(accessor.get()));
}

CefRefPtr<CefV8Value> CefV8Value::CreateArray(int length) {
  return Adopt(cef_v8value_create_array(length));
}

CefRefPtr<CefV8Value> CefV8Value::CreateFunction(const CefString& name,
                                                 CefRefPtr<CefV8Handler> handler) {
  return Adopt(cef_v8value_create_function(name.GetStruct(), handler.get()));
}
