#include "browser/bridge/cef_js_bridge.h"

#include <atomic>
#include <limits>
#include <memory>

#include "base/thread/thread_registry.h"
#include "base/util/string_util.h"
#include "browser/bridge/bridge_messages.h"
#include "runtime/include/cef_process_message.h"

namespace kel_comp {

namespace {

constexpr wchar_t kFunctionDoesNotExist[] = L"{\"message\":\"Function does not exist.\"}";

int32_t NextId(int32_t id) {
  // Identifiers wrap around instead of overflowing.
  return static_cast<int32_t>(static_cast<uint32_t>(id) + 1u);
}

// Calls JSON.parse or JSON.stringify of the context's global object. The
// context must be entered. Null when the function threw or is missing.
CefRefPtr<CefV8Value> CallJson(CefRefPtr<CefV8Context> context,
                               const wchar_t* function_name,
                               CefRefPtr<CefV8Value> argument) {
  CefRefPtr<CefV8Value> global = context->GetGlobal();
  CefRefPtr<CefV8Value> json = global ? global->GetValue(L"JSON") : nullptr;
  CefRefPtr<CefV8Value> function = json ? json->GetValue(function_name) : nullptr;
  if (!function || !function->IsFunction())
    return nullptr;
  return function->ExecuteFunction(json, {argument});
}

CefRefPtr<CefV8Value> ParseJson(CefRefPtr<CefV8Context> context, const CefString& text) {
  return CallJson(context, L"parse", CefV8Value::CreateString(text));
}

CefRefPtr<CefFrame> MainFrameOf(CefRefPtr<CefBrowser> browser) {
  return browser ? browser->GetMainFrame() : nullptr;
}

// Renderer: the frame's browser, looked up again so that a frame whose
// browser went away sends nothing.
CefRefPtr<CefFrame> MainFrameOf(CefRefPtr<CefFrame> frame) {
  return frame ? MainFrameOf(frame->GetBrowser()) : nullptr;
}

}  // namespace

bool CefJSBridge::CallCppFunction(const CefString& function_name,
                                  const CefString& params,
                                  CefRefPtr<CefV8Value> callback) {
  CefRefPtr<CefV8Context> context = CefV8Context::GetCurrentContext();
  CefRefPtr<CefFrame> main_frame = context ? MainFrameOf(context->GetBrowser()) : nullptr;
  if (!main_frame)
    return false;

  const int32_t id = next_page_callback_id_;
  if (page_callbacks_.count(id))
    return false;
  CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(kCallCppFunctionMessage);
  if (!message)
    return false;
  CefRefPtr<CefListValue> arguments = message->GetArgumentList();
  arguments->SetString(0, function_name);
  arguments->SetString(1, params);
  arguments->SetInt(2, id);

  page_callbacks_[id] = {context, callback};
  next_page_callback_id_ = NextId(id);
  main_frame->SendProcessMessage(PID_BROWSER, message);
  return true;
}

void CefJSBridge::ExecuteJSCallbackFunc(int callback_id, bool has_error, const CefString& result) {
  auto found = page_callbacks_.find(callback_id);
  if (found == page_callbacks_.end())
    return;
  // Taken out first: the page callback may call or register again.
  const PageCallback callback = found->second;
  page_callbacks_.erase(found);

  CefRefPtr<CefV8Context> context = callback.context;
  if (!context || !callback.function || !context->IsValid() || !context->Enter())
    return;
  CefRefPtr<CefV8Value> parsed = ParseJson(context, result);
  // A result that is not JSON reaches the page as an error carrying the
  // text, so that the callback still hears back.
  if (!parsed) {
    has_error = true;
    parsed = CefV8Value::CreateString(result);
  }
  callback.function->ExecuteFunction(nullptr, {CefV8Value::CreateBool(has_error), parsed});
  context->Exit();
}

bool CefJSBridge::RegisterJSFunc(const CefString& function_name,
                                 CefRefPtr<CefV8Value> function,
                                 bool replace) {
  CefRefPtr<CefV8Context> context = CefV8Context::GetCurrentContext();
  CefRefPtr<CefFrame> frame = context ? context->GetFrame() : nullptr;
  if (!frame || !function)
    return false;
  const FunctionKey key(function_name.ToWString(), frame->GetIdentifier());
  if (!replace && page_functions_.count(key))
    return false;
  page_functions_[key] = function;
  return true;
}

void CefJSBridge::ExecuteJSFunc(const CefString& function_name,
                                const CefString& params,
                                CefRefPtr<CefFrame> frame,
                                int cpp_callback_id) {
  if (!frame)
    return;
  auto found = page_functions_.find(FunctionKey(function_name.ToWString(), frame->GetIdentifier()));
  if (found == page_functions_.end())
    return;
  CefRefPtr<CefV8Value> function = found->second;
  CefRefPtr<CefV8Context> context = frame->GetV8Context();
  if (!context || !context->Enter())
    return;

  CefRefPtr<CefV8Value> parsed = ParseJson(context, params);
  CefRefPtr<CefV8Value> result = parsed ? function->ExecuteFunction(nullptr, {parsed}) : nullptr;
  CefRefPtr<CefV8Value> text = result && result->IsObject() ? CallJson(context, L"stringify", result)
                                                            : nullptr;
  CefRefPtr<CefFrame> main_frame = MainFrameOf(frame);
  CefRefPtr<CefProcessMessage> message =
      text && text->IsString() && main_frame
          ? CefProcessMessage::Create(kExecuteCppCallbackMessage)
          : nullptr;
  if (message) {
    message->GetArgumentList()->SetString(0, text->GetStringValue());
    message->GetArgumentList()->SetInt(1, cpp_callback_id);
    main_frame->SendProcessMessage(PID_BROWSER, message);
  }
  context->Exit();
}

void CefJSBridge::RemoveCallbackFuncWithFrame(CefRefPtr<CefFrame> frame,
                                              CefRefPtr<CefV8Context> context) {
  if (!context && frame)
    context = frame->GetV8Context();
  if (!context)
    return;
  for (auto it = page_callbacks_.begin(); it != page_callbacks_.end();) {
    if (it->second.context && it->second.context->IsSame(context))
      it = page_callbacks_.erase(it);
    else
      ++it;
  }
}

void CefJSBridge::UnRegisterJSFuncWithFrame(CefRefPtr<CefFrame> frame,
                                            CefRefPtr<CefV8Context> context) {
  CefRefPtr<CefBrowser> browser = frame ? frame->GetBrowser() : nullptr;
  if (!context && frame)
    context = frame->GetV8Context();
  if (!browser || !context)
    return;
  // Only functions of a frame that still shows the released context go:
  // a frame may already have a new page with functions of its own.
  for (auto it = page_functions_.begin(); it != page_functions_.end();) {
    CefRefPtr<CefFrame> owner = browser->GetFrame(it->first.second);
    CefRefPtr<CefV8Context> owner_context = owner ? owner->GetV8Context() : nullptr;
    if (owner_context && owner_context->IsSame(context))
      it = page_functions_.erase(it);
    else
      ++it;
  }
}

bool CefJSBridge::RegisterCppFunc(const CefString& function_name,
                                  CppFunction function,
                                  CefRefPtr<CefBrowser> browser,
                                  bool replace) {
  if (!function)
    return false;
  const FunctionKey key(function_name.ToWString(),
                        browser ? browser->GetIdentifier() : kEveryBrowser);
  kbase::AutoLock lock(lock_);
  if (!replace && native_functions_.count(key))
    return false;
  native_functions_[key] = std::move(function);
  return true;
}

bool CefJSBridge::ExecuteCppFunc(const CefString& function_name,
                                 const CefString& params,
                                 int js_callback_id,
                                 CefRefPtr<CefBrowser> browser) {
  CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(kExecuteJsCallbackMessage);
  CefRefPtr<CefFrame> main_frame = MainFrameOf(browser);
  if (!message || !main_frame)
    return false;

  CppFunction function;
  {
    const std::wstring name = function_name.ToWString();
    kbase::AutoLock lock(lock_);
    auto found = native_functions_.find(FunctionKey(name, browser->GetIdentifier()));
    if (found == native_functions_.end())
      found = native_functions_.find(FunctionKey(name, kEveryBrowser));
    if (found != native_functions_.end())
      function = found->second;
  }

  CefRefPtr<CefListValue> arguments = message->GetArgumentList();
  if (!function) {
    arguments->SetInt(0, js_callback_id);
    arguments->SetBool(1, true);
    arguments->SetString(2, kFunctionDoesNotExist);
    main_frame->SendProcessMessage(PID_RENDERER, message);
    return false;
  }

  // The reply may come from any thread, and a second reply must not send
  // the message again.
  auto replied = std::make_shared<std::atomic<bool>>(false);
  CppReply reply = [message, browser, js_callback_id, replied](bool has_error,
                                                               const std::string& result) {
    if (replied->exchange(true))
      return;
    CefRefPtr<CefFrame> frame = browser->GetMainFrame();
    if (!frame)
      return;
    CefRefPtr<CefListValue> reply_arguments = message->GetArgumentList();
    reply_arguments->SetInt(0, js_callback_id);
    reply_arguments->SetBool(1, has_error);
    reply_arguments->SetString(2, kbase::Utf8ToUtf16(result));
    frame->SendProcessMessage(PID_RENDERER, message);
  };
  const std::string params_utf8 = kbase::Utf16ToUtf8(params.ToWString());
  return kbase::ThreadRegistry::PostTask(
      kbase::kMainThreadIdentifier,
      [function, params_utf8, reply] { function(params_utf8, reply); });
}

bool CefJSBridge::ExecuteCppCallbackFunc(int cpp_callback_id, const CefString& result) {
  JsFunctionCallback callback;
  {
    kbase::AutoLock lock(lock_);
    auto found = native_callbacks_.find(cpp_callback_id);
    if (found == native_callbacks_.end())
      return false;
    callback = std::move(found->second);
    native_callbacks_.erase(found);
  }
  const std::string result_utf8 = kbase::Utf16ToUtf8(result.ToWString());
  return kbase::ThreadRegistry::PostTask(kbase::kMainThreadIdentifier,
                                         [callback, result_utf8] { callback(result_utf8); });
}

bool CefJSBridge::CallJSFunction(const CefString& function_name,
                                 const CefString& params,
                                 CefRefPtr<CefBrowser> browser,
                                 int64_t frame_id,
                                 JsFunctionCallback callback) {
  // The message carries the frame as a 32-bit number; a larger one would
  // name another frame.
  if (frame_id > std::numeric_limits<int32_t>::max())
    return false;
  if (frame_id < 0)
    frame_id = -1;
  CefRefPtr<CefFrame> main_frame = MainFrameOf(browser);
  CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(kCallJsFunctionMessage);
  if (!main_frame || !message || !callback)
    return false;

  int32_t id = 0;
  {
    kbase::AutoLock lock(lock_);
    id = next_native_callback_id_;
    if (native_callbacks_.count(id))
      return false;
    next_native_callback_id_ = NextId(id);
    native_callbacks_[id] = std::move(callback);
  }
  CefRefPtr<CefListValue> arguments = message->GetArgumentList();
  arguments->SetString(0, function_name);
  arguments->SetString(1, params);
  arguments->SetInt(2, id);
  arguments->SetInt(3, static_cast<int>(frame_id));
  main_frame->SendProcessMessage(PID_RENDERER, message);
  return true;
}

}  // namespace kel_comp
