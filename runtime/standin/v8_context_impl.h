#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include <quickjs.h>

#include "runtime/include/cef_v8.h"
#include "runtime/standin/script/page_host.h"
#include "runtime/standin/script/script_engine.h"
#include "runtime/standin/v8_exception_impl.h"

namespace cef_standin {

namespace script {
class PageScript;
}
class V8ValueImpl;

// An extension as the renderer runs it in every page context.
struct ExtensionScript {
  std::wstring name;
  std::wstring code;
  CefRefPtr<CefV8Handler> handler;
};

// The script context of one page load of a frame: a context of the
// renderer's script engine, with the references of the values handed out
// from it. Valid until the page goes; then its values let go of their
// references first and the engine's context is freed after them. Entered
// contexts form a stack per renderer thread, whose top is the current one;
// a native handler runs with its function's context on top. Renderer
// thread only.
class V8ContextImpl : public CefV8Context {
 public:
  // Told before the context goes, while its script values still work.
  class ReleaseObserver {
   public:
    virtual void OnContextReleasing() = 0;

   protected:
    ~ReleaseObserver() = default;
  };
  using ConsoleSink = std::function<void(const script::ConsoleMessage&)>;

  V8ContextImpl(script::ScriptEngine* engine,
                CefRefPtr<CefBrowser> browser,
                CefRefPtr<CefFrame> frame);
  ~V8ContextImpl() override;

  // The top of the renderer thread's entered contexts; null when none is
  // entered or on any other thread.
  static CefRefPtr<V8ContextImpl> Current();
  // Forgets the entered contexts (a page left entered at shutdown); the
  // number forgotten.
  static size_t ForgetEntered();
  // The context an engine context belongs to, or null.
  static V8ContextImpl* FromJs(JSContext* ctx);

  // Null once the context is released.
  JSContext* js_context() const { return ctx_; }
  script::ScriptEngine* engine() const { return engine_; }

  // The references of script values handed out from this context.
  uint64_t Hold(JSValue value);
  void ReleaseHeld(uint64_t id);

  void AddReleaseObserver(ReleaseObserver* observer);
  void RemoveReleaseObserver(ReleaseObserver* observer);
  // Where script errors and console output go; the runtime's log when
  // none is set.
  void set_console_sink(ConsoleSink sink) { console_sink_ = std::move(sink); }
  void ReportToConsole(const script::ConsoleMessage& message);
  // The page's bindings, while a PageScript serves this context.
  void set_page_script(script::PageScript* page_script) { page_script_ = page_script; }
  script::PageScript* page_script() const { return page_script_; }

  // Takes the engine's pending exception, reports it on the console and
  // describes it.
  ScriptError TakeException();
  // Runs `code` as a global script. False when it threw (reported); the
  // completion value goes to `result` when given, else it is freed.
  bool RunScript(const std::wstring& code,
                 const std::wstring& url,
                 int start_line,
                 JSValue* result);
  // Runs the extensions, in order, with their native function
  // declarations bound to their handlers.
  void RunExtensions(const std::vector<ExtensionScript>& extensions);

  // The page is gone: observers are told, the values' references go, the
  // engine's context is freed and the browser and frame are let go.
  void Invalidate();

  bool IsValid() override { return ctx_ != nullptr; }
  CefRefPtr<CefBrowser> GetBrowser() override { return browser_; }
  CefRefPtr<CefFrame> GetFrame() override { return frame_; }
  CefRefPtr<CefV8Value> GetGlobal() override;
  bool Enter() override;
  bool Exit() override;
  bool IsSame(CefRefPtr<CefV8Context> that) override { return that.get() == this; }
  bool Eval(const CefString& code,
            const CefString& script_url,
            int start_line,
            CefRefPtr<CefV8Value>& retval,
            CefRefPtr<CefV8Exception>& exception) override;

 private:
  script::ScriptEngine* const engine_;
  JSContext* ctx_ = nullptr;
  CefRefPtr<CefBrowser> browser_;
  CefRefPtr<CefFrame> frame_;
  uint64_t next_held_id_ = 1;
  std::unordered_map<uint64_t, JSValue> held_;
  std::vector<ReleaseObserver*> observers_;
  ConsoleSink console_sink_;
  script::PageScript* page_script_ = nullptr;

  IMPLEMENT_REFCOUNTING(V8ContextImpl);
};

}  // namespace cef_standin
