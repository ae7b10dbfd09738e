#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <quickjs.h>

#include "runtime/standin/page/document.h"
#include "runtime/standin/script/page_host.h"
#include "runtime/standin/v8_context_impl.h"

// The script side of one page load of a frame, and the browser half's one
// entry point into it.
//
//   auto script = std::make_unique<PageScript>(context, document, host);
//   script->RunScripts(sources);   // the page's scripts, in document order
//   script->FinishLoading();       // DOMContentLoaded, then load
//   ...                            // timers and events run from here on
//   script.reset();                // before or when the context is released
//
// Creating it binds the page's globals on the context's global object
// (window, self, document, location, history, navigator, console, timers,
// dialogs, window.open) and registers it as the document's script event
// sink, so that clicks, input, change, submit, focus and blur reach the
// page's listeners. The extensions ran already when the context was made.
//
// Everything the page asks of the browser goes to the PageHost. Timers are
// posted through PageHost::PostRendererTask and guarded: a timer that
// fires after the PageScript or its context is gone does nothing.
//
// Lifetime: the context, the document and the host must outlive it, or the
// context is released first, which detaches it (script stops, the sink is
// unset, the page's values are freed) so that destroying it afterwards is
// safe. Renderer thread only.
namespace cef_standin::script {

// One <script> of the page as the browser fetched it.
struct ScriptSource {
  std::wstring text;  // the inline text, or the fetched body of src
  std::wstring url;   // the src address, or the page's address for inline script
  int start_line = 1;
};

class PageScript : public page::ScriptEventSink, public V8ContextImpl::ReleaseObserver {
 public:
  PageScript(CefRefPtr<V8ContextImpl> context, page::Document* document, PageHost* host);
  ~PageScript();
  PageScript(const PageScript&) = delete;
  PageScript& operator=(const PageScript&) = delete;

  // The PageScript of an engine context, or null.
  static PageScript* FromJs(JSContext* ctx);

  // Runs each script in order; one that throws is reported on the console
  // and the next one still runs. False when any threw.
  bool RunScripts(const std::vector<ScriptSource>& sources);
  bool Run(const ScriptSource& source);
  // The document is complete: "DOMContentLoaded" on document, then "load"
  // on window (window.onload too).
  void FinishLoading();

  // page::ScriptEventSink: listeners of the target and, for events that
  // bubble, its ancestors and the document; "on..." properties and
  // attributes included.
  page::EventOutcome DispatchEvent(const page::NodePtr& target, page::EventType type) override;

  // Whether the script running now runs for a user action (a listener of
  // an event the user caused).
  UserGesture gesture() const { return gesture_; }

  // Used by the bindings.
  JSContext* ctx() const { return detached_ ? nullptr : context_->js_context(); }
  page::Document* document() const { return document_; }
  PageHost* host() const { return host_; }
  // The one wrapper object of a node (made on first use); a new reference.
  JSValue WrapNode(const page::NodePtr& node);
  // The node of a wrapper, or null.
  page::NodePtr NodeOf(JSValueConst value) const;
  // Listener registry: `target` is a Node*, the document's or the window's
  // key.
  void AddListener(const void* target,
                   const std::string& type,
                   JSValueConst function,
                   bool capture);
  void RemoveListener(const void* target,
                      const std::string& type,
                      JSValueConst function,
                      bool capture);
  // "onclick" and its kin, set as properties.
  void SetHandlerProperty(const void* target, const std::string& type, JSValueConst function);
  JSValue GetHandlerProperty(const void* target, const std::string& type) const;
  const void* document_key() const { return &document_key_; }
  const void* window_key() const { return &window_key_; }
  // Timers: the id (above 0); 0 when the page is gone.
  int AddTimer(JSValueConst callback,
               std::vector<JSValue> arguments,
               int64_t delay_ms,
               bool repeat);
  void ClearTimer(int id);
  // navigator.webkitPersistentStorage.requestQuota: asks the host; its
  // answer calls `granted(bytes)` or `failed(error)` later.
  void RequestQuota(int64_t bytes, JSValueConst granted, JSValueConst failed);
  // Script's element.click(): the click runs without a user gesture.
  void ClickFromScript(const page::NodePtr& node);

 private:
  struct Listener {
    std::string type;
    JSValue function;
    bool capture;
  };
  struct QuotaCallbacks {
    JSValue granted;
    JSValue failed;
  };
  struct Timer {
    JSValue callback;  // a function, or a string of code
    std::vector<JSValue> arguments;
    int64_t interval_ms;  // below 0: runs once
  };

  // V8ContextImpl::ReleaseObserver.
  void OnContextReleasing() override;
  void Detach();
  void ScheduleTimer(int id, int64_t delay_ms);
  void FireTimer(int id);
  void AnswerQuota(int id, QuotaDecision decision);
  // Calls `function` with `this` and one argument; exceptions are reported.
  void CallListener(JSValueConst function, JSValueConst this_value, JSValueConst event);
  // Listeners and the handler of one target in one phase.
  void InvokeTarget(const void* key,
                    const page::NodePtr& node,
                    JSValueConst this_value,
                    const std::string& type,
                    JSValueConst event,
                    int phase);
  JSValue NewEvent(const std::string& type, JSValueConst target, bool bubbles, bool cancelable);
  // The handler compiled from an "on..." attribute, cached by its text.
  JSValue AttributeHandler(const page::NodePtr& node, const std::string& type);
  void FireSimpleEvent(const void* key, JSValueConst this_value, const std::string& type);

  CefRefPtr<V8ContextImpl> context_;
  page::Document* document_;
  PageHost* host_;
  bool detached_ = false;
  UserGesture gesture_ = UserGesture::kNo;
  bool script_click_ = false;

  char document_key_ = 0;
  char window_key_ = 0;
  std::vector<std::pair<page::NodePtr, JSValue>> wrappers_;  // kept for the page's life
  std::map<const void*, std::vector<Listener>> listeners_;
  std::map<std::pair<const void*, std::string>, JSValue> handler_properties_;
  std::map<std::pair<const void*, std::string>, std::pair<std::string, JSValue>>
      attribute_handlers_;
  int next_timer_id_ = 1;
  std::map<int, Timer> timers_;
  int next_quota_id_ = 1;
  std::map<int, QuotaCallbacks> quota_requests_;
  // Expires with this object: tasks posted for timers hold a weak copy.
  std::shared_ptr<PageScript*> alive_;
};

}  // namespace cef_standin::script
