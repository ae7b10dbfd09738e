#include "runtime/standin/script/page_script.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "runtime/standin/script/bindings.h"
#include "runtime/standin/script/js_strings.h"
#include "runtime/standin/script/script_engine.h"

namespace cef_standin::script {

namespace {

// Timers and timeouts shorter than this run after it, as browsers clamp
// them; also keeps a zero-delay interval from starving the renderer.
constexpr int64_t kMinIntervalMs = 4;
constexpr int64_t kMaxDelayMs = 0x7FFFFFFF;

bool Bubbles(page::EventType type) {
  return type != page::EventType::kFocus && type != page::EventType::kBlur;
}

bool Cancelable(page::EventType type) {
  return type == page::EventType::kClick || type == page::EventType::kSubmit;
}

enum Phase { kCapturing = 1, kAtTarget = 2, kBubbling = 3 };

}  // namespace

PageScript::PageScript(CefRefPtr<V8ContextImpl> context, page::Document* document, PageHost* host)
    : context_(std::move(context)),
      document_(document),
      host_(host),
      alive_(std::make_shared<PageScript*>(this)) {
  JSContext* js = context_ ? context_->js_context() : nullptr;
  if (!js || !document_ || !host_) {
    detached_ = true;
    return;
  }
  context_->AddReleaseObserver(this);
  context_->set_page_script(this);
  context_->set_console_sink(
      [host = host_](const ConsoleMessage& message) { host->AddConsoleMessage(message); });
  JSValue global = JS_GetGlobalObject(js);
  InstallWindowBindings(js, global);
  InstallDomBindings(js, global);
  JS_FreeValue(js, global);
  document_->SetScriptEventSink(this);
}

PageScript::~PageScript() {
  Detach();
}

PageScript* PageScript::FromJs(JSContext* ctx) {
  V8ContextImpl* context = V8ContextImpl::FromJs(ctx);
  PageScript* script = context ? context->page_script() : nullptr;
  return script && !script->detached_ ? script : nullptr;
}

void PageScript::OnContextReleasing() {
  Detach();
}

void PageScript::Detach() {
  if (detached_)
    return;
  JSContext* js = context_->js_context();
  detached_ = true;
  alive_.reset();
  document_->SetScriptEventSink(nullptr);
  context_->RemoveReleaseObserver(this);
  context_->set_page_script(nullptr);
  context_->set_console_sink(nullptr);
  // The page's values go while the engine context still exists.
  for (auto& [id, timer] : timers_) {
    JS_FreeValue(js, timer.callback);
    for (JSValue& argument : timer.arguments)
      JS_FreeValue(js, argument);
  }
  timers_.clear();
  for (auto& [id, callbacks] : quota_requests_) {
    JS_FreeValue(js, callbacks.granted);
    JS_FreeValue(js, callbacks.failed);
  }
  quota_requests_.clear();
  for (auto& [target, listeners] : listeners_) {
    for (Listener& listener : listeners)
      JS_FreeValue(js, listener.function);
  }
  listeners_.clear();
  for (auto& [key, function] : handler_properties_)
    JS_FreeValue(js, function);
  handler_properties_.clear();
  for (auto& [key, compiled] : attribute_handlers_)
    JS_FreeValue(js, compiled.second);
  attribute_handlers_.clear();
  for (auto& [node, wrapper] : wrappers_) {
    node->set_script_wrapper(nullptr);
    JS_FreeValue(js, wrapper);
  }
  wrappers_.clear();
}

bool PageScript::RunScripts(const std::vector<ScriptSource>& sources) {
  bool all = true;
  for (const ScriptSource& source : sources)
    all = Run(source) && all;
  return all;
}

bool PageScript::Run(const ScriptSource& source) {
  if (detached_)
    return false;
  CefRefPtr<V8ContextImpl> context = context_;
  context->Enter();
  const bool done = context->RunScript(source.text, source.url, source.start_line, nullptr);
  context->Exit();
  return done;
}

void PageScript::FinishLoading() {
  if (detached_)
    return;
  JSContext* js = ctx();
  JSValue global = JS_GetGlobalObject(js);
  JSValue document = JS_GetPropertyStr(js, global, "document");
  FireSimpleEvent(document_key(), document, "DOMContentLoaded");
  FireSimpleEvent(window_key(), global, "load");
  JS_FreeValue(js, document);
  JS_FreeValue(js, global);
}

void PageScript::FireSimpleEvent(const void* key,
                                 JSValueConst this_value,
                                 const std::string& type) {
  if (detached_)
    return;
  CefRefPtr<V8ContextImpl> context = context_;
  context->Enter();
  ScriptScope scope(context->engine());
  JSValue event = NewEvent(type, this_value, false, false);
  InvokeTarget(key, nullptr, this_value, type, event, kAtTarget);
  if (!detached_)
    JS_FreeValue(ctx(), event);
  context->Exit();
}

JSValue PageScript::WrapNode(const page::NodePtr& node) {
  JSContext* js = ctx();
  if (!node || !js)
    return JS_NULL;
  if (void* existing = node->script_wrapper())
    return JS_DupValue(js, JS_MKPTR(JS_TAG_OBJECT, existing));
  JSValue wrapper = JS_NewObjectClass(js, static_cast<int>(ElementClass()));
  if (JS_IsException(wrapper))
    return wrapper;
  JS_SetOpaque(wrapper, new page::NodePtr(node));
  node->set_script_wrapper(JS_VALUE_GET_PTR(wrapper));
  // Kept for the page's life: the same node is always the same object,
  // and what script stored on it stays.
  wrappers_.emplace_back(node, JS_DupValue(js, wrapper));
  return wrapper;
}

page::NodePtr PageScript::NodeOf(JSValueConst value) const {
  auto* node = static_cast<page::NodePtr*>(JS_GetOpaque(value, ElementClass()));
  return node ? *node : nullptr;
}

void PageScript::AddListener(const void* target,
                             const std::string& type,
                             JSValueConst function,
                             bool capture) {
  JSContext* js = ctx();
  if (!js || !JS_IsFunction(js, function))
    return;
  std::vector<Listener>& listeners = listeners_[target];
  for (const Listener& listener : listeners) {
    // The same listener twice is one listener.
    if (listener.type == type && listener.capture == capture &&
        JS_VALUE_GET_PTR(listener.function) == JS_VALUE_GET_PTR(function))
      return;
  }
  listeners.push_back({type, JS_DupValue(js, function), capture});
}

void PageScript::RemoveListener(const void* target,
                                const std::string& type,
                                JSValueConst function,
                                bool capture) {
  JSContext* js = ctx();
  const auto found = listeners_.find(target);
  if (!js || found == listeners_.end() || !JS_IsObject(function))
    return;
  std::vector<Listener>& listeners = found->second;
  for (auto it = listeners.begin(); it != listeners.end(); ++it) {
    if (it->type == type && it->capture == capture &&
        JS_VALUE_GET_PTR(it->function) == JS_VALUE_GET_PTR(function)) {
      JS_FreeValue(js, it->function);
      listeners.erase(it);
      return;
    }
  }
}

void PageScript::SetHandlerProperty(const void* target,
                                    const std::string& type,
                                    JSValueConst function) {
  JSContext* js = ctx();
  if (!js)
    return;
  const auto key = std::make_pair(target, type);
  const auto found = handler_properties_.find(key);
  if (found != handler_properties_.end()) {
    JS_FreeValue(js, found->second);
    handler_properties_.erase(found);
  }
  // Anything but a function clears the handler, as in browsers.
  if (JS_IsFunction(js, function))
    handler_properties_.emplace(key, JS_DupValue(js, function));
}

JSValue PageScript::GetHandlerProperty(const void* target, const std::string& type) const {
  JSContext* js = ctx();
  const auto found = handler_properties_.find(std::make_pair(target, type));
  return js && found != handler_properties_.end() ? JS_DupValue(js, found->second) : JS_NULL;
}

JSValue PageScript::AttributeHandler(const page::NodePtr& node, const std::string& type) {
  JSContext* js = ctx();
  const std::string* code = node ? node->GetAttribute("on" + type) : nullptr;
  if (!js || !code)
    return JS_UNDEFINED;
  const auto key = std::make_pair(static_cast<const void*>(node.get()), type);
  const auto found = attribute_handlers_.find(key);
  if (found != attribute_handlers_.end()) {
    if (found->second.first == *code)
      return JS_DupValue(js, found->second.second);
    JS_FreeValue(js, found->second.second);
    attribute_handlers_.erase(found);
  }
  // The attribute's text is the body of a function of `event`.
  const std::string source = "(function(event) {\n" + *code + "\n})";
  const std::string name = document_->url() + " (on" + type + ")";
  JSValue function = JS_Eval(js, source.c_str(), source.size(), name.c_str(), JS_EVAL_TYPE_GLOBAL);
  if (JS_IsException(function)) {
    context_->TakeException();
    return JS_UNDEFINED;
  }
  attribute_handlers_.emplace(key, std::make_pair(*code, JS_DupValue(js, function)));
  return function;
}

JSValue PageScript::NewEvent(const std::string& type,
                             JSValueConst target,
                             bool bubbles,
                             bool cancelable) {
  JSContext* js = ctx();
  JSValue global = JS_GetGlobalObject(js);
  JSValue make = JS_GetPropertyStr(js, global, "__cef_make_event__");
  JSValue args[4] = {NewUtf8String(js, type), JS_DupValue(js, target), JS_NewBool(js, bubbles),
                     JS_NewBool(js, cancelable)};
  JSValue event = JS_Call(js, make, JS_UNDEFINED, 4, args);
  for (JSValue& arg : args)
    JS_FreeValue(js, arg);
  JS_FreeValue(js, make);
  JS_FreeValue(js, global);
  if (JS_IsException(event)) {
    JS_FreeValue(js, JS_GetException(js));
    return JS_NewObject(js);
  }
  return event;
}

void PageScript::CallListener(JSValueConst function, JSValueConst this_value, JSValueConst event) {
  JSContext* js = ctx();
  if (!js)
    return;
  ScriptScope scope(context_->engine());
  JSValue result = JS_Call(js, function, this_value, 1, &event);
  if (JS_IsException(result)) {
    context_->TakeException();
    return;
  }
  // An "on..." handler returning false prevents the default, like
  // preventDefault().
  if (JS_IsBool(result) && !JS_ToBool(js, result)) {
    JSValue prevent = JS_GetPropertyStr(js, event, "preventDefault");
    JS_FreeValue(js, JS_Call(js, prevent, event, 0, nullptr));
    JS_FreeValue(js, prevent);
  }
  JS_FreeValue(js, result);
}

void PageScript::InvokeTarget(const void* key,
                              const page::NodePtr& node,
                              JSValueConst this_value,
                              const std::string& type,
                              JSValueConst event,
                              int phase) {
  JSContext* js = ctx();
  if (!js)
    return;
  JS_SetPropertyStr(js, event, "currentTarget", JS_DupValue(js, this_value));
  JS_SetPropertyStr(js, event, "eventPhase", JS_NewInt32(js, phase));
  // Copied: listeners may add and remove listeners. The "on..." handler
  // comes first, as the one an attribute set while the page was read.
  std::vector<JSValue> functions;
  if (phase != kCapturing) {
    JSValue handler = GetHandlerProperty(key, type);
    if (JS_IsNull(handler))
      handler = AttributeHandler(node, type);
    if (JS_IsFunction(js, handler))
      functions.push_back(handler);
    else
      JS_FreeValue(js, handler);
  }
  const auto found = listeners_.find(key);
  if (found != listeners_.end()) {
    for (const Listener& listener : found->second) {
      const bool wanted = phase == kAtTarget || (phase == kCapturing) == listener.capture;
      if (listener.type == type && wanted)
        functions.push_back(JS_DupValue(js, listener.function));
    }
  }
  for (JSValue& function : functions) {
    JSValue stopped = JS_GetPropertyStr(js, event, "__stopImmediate");
    const bool stop = JS_ToBool(js, stopped) > 0;
    JS_FreeValue(js, stopped);
    if (!stop && !detached_)
      CallListener(function, this_value, event);
    if (!detached_)
      JS_FreeValue(ctx(), function);
  }
}

page::EventOutcome PageScript::DispatchEvent(const page::NodePtr& target, page::EventType type) {
  if (detached_ || !target)
    return page::EventOutcome::kProceed;
  CefRefPtr<V8ContextImpl> context = context_;
  JSContext* js = ctx();
  const std::string name = page::EventName(type);
  // Listeners run for the user unless script clicked.
  const UserGesture saved_gesture = gesture_;
  if (!script_click_)
    gesture_ = UserGesture::kYes;
  context->Enter();
  std::optional<ScriptScope> scope(std::in_place, context->engine());

  JSValue target_object = WrapNode(target);
  JSValue event = NewEvent(name, target_object, Bubbles(type), Cancelable(type));
  // The path: the target's ancestors, nearest last, and the document.
  std::vector<page::NodePtr> path;
  for (page::Node* node = target->parent(); node; node = node->parent())
    path.push_back(node->SharedFromThis());
  std::reverse(path.begin(), path.end());

  auto stopped = [&] {
    if (detached_)
      return true;
    JSValue value = JS_GetPropertyStr(js, event, "__stop");
    const bool stop = JS_ToBool(js, value) > 0;
    JS_FreeValue(js, value);
    return stop;
  };
  JSValue document = JS_UNDEFINED;
  {
    JSValue global = JS_GetGlobalObject(js);
    document = JS_GetPropertyStr(js, global, "document");
    JS_FreeValue(js, global);
  }
  if (target->IsConnected())
    InvokeTarget(document_key(), nullptr, document, name, event, kCapturing);
  for (const page::NodePtr& node : path) {
    if (stopped())
      break;
    JSValue wrapper = WrapNode(node);
    InvokeTarget(node.get(), node, wrapper, name, event, kCapturing);
    if (!detached_)
      JS_FreeValue(js, wrapper);
  }
  if (!stopped())
    InvokeTarget(target.get(), target, target_object, name, event, kAtTarget);
  if (Bubbles(type)) {
    for (auto node = path.rbegin(); node != path.rend() && !stopped(); ++node) {
      JSValue wrapper = WrapNode(*node);
      InvokeTarget(node->get(), *node, wrapper, name, event, kBubbling);
      if (!detached_)
        JS_FreeValue(js, wrapper);
    }
    if (!stopped() && target->IsConnected())
      InvokeTarget(document_key(), nullptr, document, name, event, kBubbling);
  }

  bool prevented = false;
  if (!detached_) {
    JSValue value = JS_GetPropertyStr(js, event, "defaultPrevented");
    prevented = JS_ToBool(js, value) > 0;
    JS_FreeValue(js, value);
    JS_FreeValue(js, document);
    JS_FreeValue(js, event);
    JS_FreeValue(js, target_object);
  }
  scope.reset();
  context->Exit();
  gesture_ = saved_gesture;
  return prevented ? page::EventOutcome::kDefaultPrevented : page::EventOutcome::kProceed;
}

void PageScript::RequestQuota(int64_t bytes, JSValueConst granted, JSValueConst failed) {
  JSContext* js = ctx();
  if (!js)
    return;
  const int id = next_quota_id_++;
  quota_requests_.emplace(id, QuotaCallbacks{JS_DupValue(js, granted), JS_DupValue(js, failed)});
  std::weak_ptr<PageScript*> alive = alive_;
  host_->RequestQuota(bytes, [alive, id](QuotaDecision decision) {
    if (std::shared_ptr<PageScript*> script = alive.lock())
      (*script)->AnswerQuota(id, decision);
  });
}

void PageScript::AnswerQuota(int id, QuotaDecision decision) {
  JSContext* js = ctx();
  const auto found = quota_requests_.find(id);
  if (!js || found == quota_requests_.end())
    return;
  const QuotaCallbacks callbacks = found->second;
  quota_requests_.erase(found);
  CefRefPtr<V8ContextImpl> context = context_;
  JSRuntime* runtime = JS_GetRuntime(js);
  context->Enter();
  {
    ScriptScope scope(context->engine());
    JSValue argument = JS_UNDEFINED;
    JSValue function = JS_UNDEFINED;
    if (decision.granted) {
      function = callbacks.granted;
      argument = JS_NewFloat64(js, static_cast<double>(decision.granted_bytes));
    } else {
      function = callbacks.failed;
      argument = JS_NewObject(js);
      JS_SetPropertyStr(js, argument, "name", JS_NewString(js, "QuotaExceededError"));
      JS_SetPropertyStr(js, argument, "code", JS_NewInt32(js, 22));
      JS_SetPropertyStr(js, argument, "message", JS_NewString(js, "The quota was refused."));
    }
    if (JS_IsFunction(js, function)) {
      JSValue result = JS_Call(js, function, JS_UNDEFINED, 1, &argument);
      if (JS_IsException(result)) {
        if (context->IsValid())
          context->TakeException();
      } else {
        JS_FreeValueRT(runtime, result);
      }
    }
    JS_FreeValueRT(runtime, argument);
  }
  context->Exit();
  JS_FreeValueRT(runtime, callbacks.granted);
  JS_FreeValueRT(runtime, callbacks.failed);
}

void PageScript::ClickFromScript(const page::NodePtr& node) {
  const bool saved = script_click_;
  script_click_ = true;
  document_->Click(node);
  script_click_ = saved;
}

int PageScript::AddTimer(JSValueConst callback,
                         std::vector<JSValue> arguments,
                         int64_t delay_ms,
                         bool repeat) {
  JSContext* js = ctx();
  if (!js) {
    for (JSValue& argument : arguments)
      JS_FreeValueRT(JS_GetRuntime(context_->js_context()), argument);
    return 0;
  }
  const int64_t delay = std::clamp<int64_t>(delay_ms, repeat ? kMinIntervalMs : 0, kMaxDelayMs);
  const int id = next_timer_id_++;
  timers_.emplace(id, Timer{JS_DupValue(js, callback), std::move(arguments), repeat ? delay : -1});
  ScheduleTimer(id, delay);
  return id;
}

void PageScript::ClearTimer(int id) {
  JSContext* js = ctx();
  const auto found = timers_.find(id);
  if (!js || found == timers_.end())
    return;
  Timer timer = std::move(found->second);
  timers_.erase(found);
  JS_FreeValue(js, timer.callback);
  for (JSValue& argument : timer.arguments)
    JS_FreeValue(js, argument);
}

void PageScript::ScheduleTimer(int id, int64_t delay_ms) {
  std::weak_ptr<PageScript*> alive = alive_;
  host_->PostRendererTask(
      [alive, id] {
        if (std::shared_ptr<PageScript*> script = alive.lock())
          (*script)->FireTimer(id);
      },
      delay_ms);
}

void PageScript::FireTimer(int id) {
  JSContext* js = ctx();
  const auto found = timers_.find(id);
  if (!js || found == timers_.end())
    return;
  CefRefPtr<V8ContextImpl> context = context_;
  // Freed through the engine: the callback may end the page.
  JSRuntime* runtime = JS_GetRuntime(js);
  const bool repeat = found->second.interval_ms >= 0;
  // Taken out for the call: the callback may clear its own timer.
  JSValue callback = JS_DupValue(js, found->second.callback);
  std::vector<JSValue> arguments;
  for (JSValue& argument : found->second.arguments)
    arguments.push_back(JS_DupValue(js, argument));
  if (!repeat)
    ClearTimer(id);

  context->Enter();
  {
    ScriptScope scope(context->engine());
    JSValue result = JS_UNDEFINED;
    if (JS_IsFunction(js, callback)) {
      result =
          JS_Call(js, callback, JS_UNDEFINED, static_cast<int>(arguments.size()), arguments.data());
    } else {
      // A string is code, as old pages pass it.
      const std::string code = ToUtf8(JsToWString(js, callback));
      result =
          JS_Eval(js, code.c_str(), code.size(), document_->url().c_str(), JS_EVAL_TYPE_GLOBAL);
    }
    if (JS_IsException(result)) {
      if (context->IsValid())
        context->TakeException();
    } else {
      JS_FreeValueRT(runtime, result);
    }
  }
  context->Exit();
  JS_FreeValueRT(runtime, callback);
  for (JSValue& argument : arguments)
    JS_FreeValueRT(runtime, argument);
  if (!context->IsValid())
    return;
  const auto still = timers_.find(id);
  if (repeat && !detached_ && still != timers_.end())
    ScheduleTimer(id, still->second.interval_ms);
}

}  // namespace cef_standin::script
