#include "runtime/standin/v8_context_impl.h"

#include <algorithm>
#include <utility>

#include "runtime/standin/runtime_context.h"
#include "runtime/standin/script/js_strings.h"
#include "runtime/standin/script/json_guard.h"
#include "runtime/standin/script/native_declarations.h"
#include "runtime/standin/v8_handler_function.h"
#include "runtime/standin/v8_value_impl.h"

namespace cef_standin {

namespace {

// The renderer thread's entered contexts. Never destroyed: the library may
// be unloaded while the process ends.
std::vector<CefRefPtr<V8ContextImpl>>& EnteredContexts() {
  static auto* entered = new std::vector<CefRefPtr<V8ContextImpl>>;
  return *entered;
}

bool OnRendererThread() {
  return RuntimeContext::Get().CurrentlyOn(TID_RENDERER);
}

// Far more lines than any script has, and few enough that the padding
// that moves a script's first line stays small.
constexpr int kMaxStartLine = 1000000;

// "    at f (page.html:12)": the source and line of the innermost script
// frame of an engine stack text.
bool ParseStackFrame(const std::wstring& stack, std::wstring* source, int* line) {
  size_t start = 0;
  while (start < stack.size()) {
    size_t end = stack.find(L'\n', start);
    if (end == std::wstring::npos)
      end = stack.size();
    const std::wstring frame = stack.substr(start, end - start);
    start = end + 1;
    const size_t open = frame.rfind(L'(');
    const size_t close = frame.rfind(L')');
    if (open == std::wstring::npos || close == std::wstring::npos || close < open)
      continue;
    const std::wstring place = frame.substr(open + 1, close - open - 1);
    const size_t colon = place.rfind(L':');
    if (colon == std::wstring::npos || colon + 1 >= place.size())
      continue;
    int number = 0;
    bool digits = true;
    for (size_t i = colon + 1; i < place.size() && digits; ++i) {
      digits = place[i] >= L'0' && place[i] <= L'9';
      number = digits && number < 100000000 ? number * 10 + (place[i] - L'0') : number;
    }
    if (!digits)
      continue;
    *source = place.substr(0, colon);
    *line = number;
    return true;
  }
  return false;
}

ScriptError DescribeError(JSContext* ctx, JSValueConst error) {
  ScriptError described;
  described.message = L"Uncaught " + script::JsToWString(ctx, error);
  if (!JS_IsObject(error))
    return described;
  // Syntax errors carry their place; errors thrown while running have it
  // in their stack.
  JSValue file = JS_GetPropertyStr(ctx, error, "fileName");
  JSValue line = JS_GetPropertyStr(ctx, error, "lineNumber");
  int32_t number = 0;
  if (JS_IsString(file) && JS_IsNumber(line) && JS_ToInt32(ctx, &number, line) == 0) {
    described.source = script::JsToWString(ctx, file);
    described.line = number;
  } else {
    JSValue stack = JS_GetPropertyStr(ctx, error, "stack");
    if (JS_IsString(stack))
      ParseStackFrame(script::JsToWString(ctx, stack), &described.source, &described.line);
    JS_FreeValue(ctx, stack);
  }
  JS_FreeValue(ctx, file);
  JS_FreeValue(ctx, line);
  return described;
}

}  // namespace

V8ContextImpl::V8ContextImpl(script::ScriptEngine* engine,
                             CefRefPtr<CefBrowser> browser,
                             CefRefPtr<CefFrame> frame)
    : engine_(engine), browser_(std::move(browser)), frame_(std::move(frame)) {
  if (!engine_ || !engine_->runtime())
    return;
  ctx_ = JS_NewContext(engine_->runtime());
  if (!ctx_) {
    RuntimeContext::Get().log().Error(L"A page's script context could not be made");
    return;
  }
  JS_SetContextOpaque(ctx_, this);
  PrepareHandlerFunctions(ctx_);
  script::GuardJsonStringify(ctx_);
}

V8ContextImpl::~V8ContextImpl() {
  // Released contexts freed their engine context; one never released goes
  // the same way, where the engine lives.
  if (ctx_ && OnRendererThread())
    Invalidate();
}

CefRefPtr<V8ContextImpl> V8ContextImpl::Current() {
  if (!OnRendererThread() || EnteredContexts().empty())
    return nullptr;
  return EnteredContexts().back();
}

size_t V8ContextImpl::ForgetEntered() {
  std::vector<CefRefPtr<V8ContextImpl>> entered;
  entered.swap(EnteredContexts());
  return entered.size();
}

V8ContextImpl* V8ContextImpl::FromJs(JSContext* ctx) {
  return ctx ? static_cast<V8ContextImpl*>(JS_GetContextOpaque(ctx)) : nullptr;
}

uint64_t V8ContextImpl::Hold(JSValue value) {
  const uint64_t id = next_held_id_++;
  held_.emplace(id, value);
  return id;
}

void V8ContextImpl::ReleaseHeld(uint64_t id) {
  const auto found = held_.find(id);
  if (found == held_.end())
    return;
  const JSValue value = found->second;
  held_.erase(found);
  JS_FreeValue(ctx_, value);
}

void V8ContextImpl::AddReleaseObserver(ReleaseObserver* observer) {
  observers_.push_back(observer);
}

void V8ContextImpl::RemoveReleaseObserver(ReleaseObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void V8ContextImpl::ReportToConsole(const script::ConsoleMessage& message) {
  if (console_sink_) {
    console_sink_(message);
    return;
  }
  std::wstring line = L"Console: " + message.text;
  if (!message.source.empty())
    line += L" (" + message.source + L":" + std::to_wstring(message.line) + L")";
  RuntimeContext::Get().log().Write(
      message.level == script::ConsoleLevel::kError     ? LOGSEVERITY_ERROR
      : message.level == script::ConsoleLevel::kWarning ? LOGSEVERITY_WARNING
                                                        : LOGSEVERITY_INFO,
      line);
}

ScriptError V8ContextImpl::TakeException() {
  JSValue error = JS_GetException(ctx_);
  ScriptError described;
  if (engine_->interrupted()) {
    described.message = L"Script interrupted: it ran longer than " +
                        std::to_wstring(engine_->time_limit_ms() / 1000) + L" seconds";
    if (!engine_->TakeInterruptReport()) {
      JS_FreeValue(ctx_, error);
      return described;
    }
  } else {
    described = DescribeError(ctx_, error);
  }
  JS_FreeValue(ctx_, error);
  ReportToConsole(
      {script::ConsoleLevel::kError, described.message, described.source, described.line});
  return described;
}

bool V8ContextImpl::RunScript(const std::wstring& code,
                              const std::wstring& url,
                              int start_line,
                              JSValue* result) {
  if (!ctx_)
    return false;
  // The engine counts lines from 1: earlier lines are padding.
  std::string text(static_cast<size_t>(std::clamp(start_line, 1, kMaxStartLine) - 1), '\n');
  text += script::ToUtf8(code);
  const std::string name = url.empty() ? std::string("<anonymous>") : script::ToUtf8(url);
  script::ScriptScope scope(engine_);
  JSValue value = JS_Eval(ctx_, text.c_str(), text.size(), name.c_str(), JS_EVAL_TYPE_GLOBAL);
  if (JS_IsException(value)) {
    if (ctx_)
      TakeException();
    return false;
  }
  if (result)
    *result = value;
  else
    JS_FreeValue(ctx_, value);
  return true;
}

void V8ContextImpl::RunExtensions(const std::vector<ExtensionScript>& extensions) {
  for (size_t index = 0; index < extensions.size() && ctx_; ++index) {
    const ExtensionScript& extension = extensions[index];
    const std::wstring holder = L"__cef_extension_natives_" + std::to_wstring(index) + L"__";
    script::TranslatedExtension translated =
        script::TranslateNativeDeclarations(extension.code, holder);
    if (!translated.native_names.empty()) {
      // The handler's functions, kept where only the rewritten
      // declarations look: a hidden, fixed global.
      JSValue natives = JS_NewObject(ctx_);
      for (const std::wstring& name : translated.native_names) {
        const std::string key = script::ToUtf8(name);
        JS_DefinePropertyValueStr(ctx_, natives, key.c_str(),
                                  NewHandlerFunction(ctx_, name, extension.handler), 0);
      }
      JSValue global = JS_GetGlobalObject(ctx_);
      JS_DefinePropertyValueStr(ctx_, global, script::ToUtf8(holder).c_str(), natives, 0);
      JS_FreeValue(ctx_, global);
    }
    RunScript(translated.code, extension.name, 1, nullptr);
  }
}

void V8ContextImpl::Invalidate() {
  if (!ctx_)
    return;
  // Observers first: they may still run script and drop their values.
  const std::vector<ReleaseObserver*> observers = observers_;
  for (ReleaseObserver* observer : observers)
    observer->OnContextReleasing();
  observers_.clear();

  std::unordered_map<uint64_t, JSValue> held;
  held.swap(held_);
  for (auto& [id, value] : held)
    JS_FreeValue(ctx_, value);
  JSContext* ctx = ctx_;
  ctx_ = nullptr;
  JS_SetContextOpaque(ctx, nullptr);
  JS_FreeContext(ctx);
  // Cycles among the page's objects end here, with their handlers.
  JS_RunGC(engine_->runtime());
  console_sink_ = nullptr;
  // Ends the cycles frame - context and browser - frame - context.
  frame_ = nullptr;
  browser_ = nullptr;
}

CefRefPtr<CefV8Value> V8ContextImpl::GetGlobal() {
  if (!ctx_ || !OnRendererThread())
    return nullptr;
  return V8ValueImpl::FromJs(this, JS_GetGlobalObject(ctx_));
}

bool V8ContextImpl::Enter() {
  if (!ctx_ || !OnRendererThread())
    return false;
  EnteredContexts().push_back(this);
  return true;
}

bool V8ContextImpl::Exit() {
  std::vector<CefRefPtr<V8ContextImpl>>& entered = EnteredContexts();
  // Exits pair with enters: only the innermost context may leave.
  if (!OnRendererThread() || entered.empty() || entered.back().get() != this)
    return false;
  entered.pop_back();
  return true;
}

bool V8ContextImpl::Eval(const CefString& code,
                         const CefString& script_url,
                         int start_line,
                         CefRefPtr<CefV8Value>& retval,
                         CefRefPtr<CefV8Exception>& exception) {
  retval = nullptr;
  exception = nullptr;
  if (!ctx_ || !OnRendererThread())
    return false;
  CefRefPtr<V8ContextImpl> self(this);
  JSValue result = JS_UNDEFINED;
  // The error is described before it is reported, for the caller too.
  const std::string text = script::ToUtf8(code.ToWString());
  std::string padded(static_cast<size_t>(std::clamp(start_line, 1, kMaxStartLine) - 1), '\n');
  padded += text;
  const std::wstring url = script_url.ToWString();
  const std::string name = url.empty() ? std::string("<anonymous>") : script::ToUtf8(url);
  Enter();
  {
    script::ScriptScope scope(engine_);
    result = JS_Eval(ctx_, padded.c_str(), padded.size(), name.c_str(), JS_EVAL_TYPE_GLOBAL);
    if (JS_IsException(result) && ctx_)
      exception = new V8ExceptionImpl(TakeException());
  }
  Exit();
  if (JS_IsException(result))
    return false;
  if (!ctx_) {
    JS_FreeValueRT(engine_->runtime(), result);
    return false;
  }
  retval = V8ValueImpl::FromJs(this, result);
  return true;
}

}  // namespace cef_standin
