#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "base/synchronization/lock.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_frame.h"
#include "runtime/include/cef_v8.h"

namespace kel_comp {

// How a native function answers a page: once, on any thread, with the
// result as JSON text in UTF-8.
using CppReply = std::function<void(bool has_error, const std::string& result)>;
// A native function the page can call: parameters as JSON text in UTF-8.
using CppFunction = std::function<void(const std::string& params, CppReply reply)>;
// A native caller waiting for a page function's result (JSON text, UTF-8).
using JsFunctionCallback = std::function<void(const std::string& result)>;

// The state of the script bridge on one side. In a renderer it is shared
// by every browser and frame of that renderer and kept by the ClientApp;
// it lives on the renderer's main thread. In the browser process each
// browser control has its own; the runtime's UI thread looks native
// functions up while the main thread registers them.
class CefJSBridge {
 public:
  // The browser identifier of native functions every browser may call.
  static constexpr int64_t kEveryBrowser = -1;

  CefJSBridge() = default;
  CefJSBridge(const CefJSBridge&) = delete;
  CefJSBridge& operator=(const CefJSBridge&) = delete;

  // Renderer, from page script inside a context: sends the call to the
  // browser process and keeps `callback` until the answer comes.
  bool CallCppFunction(const CefString& function_name,
                       const CefString& params,
                       CefRefPtr<CefV8Value> callback);
  // Renderer: the browser process answered page callback `callback_id`.
  void ExecuteJSCallbackFunc(int callback_id, bool has_error, const CefString& result);
  // Renderer, from page script: a function native code may call, kept for
  // the current context's frame.
  bool RegisterJSFunc(const CefString& function_name,
                      CefRefPtr<CefV8Value> function,
                      bool replace = false);
  // Renderer: native code calls a page function registered in `frame`;
  // an object result goes back as native callback `cpp_callback_id`.
  void ExecuteJSFunc(const CefString& function_name,
                     const CefString& params,
                     CefRefPtr<CefFrame> frame,
                     int cpp_callback_id);
  // Renderer: the frame's script context goes away, and with it the page
  // callbacks waiting in it and the page functions registered in it.
  void RemoveCallbackFuncWithFrame(CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context);
  void UnRegisterJSFuncWithFrame(CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context);

  // Browser: a native function for one browser, or for every browser when
  // `browser` is null. An existing entry stays unless `replace`.
  bool RegisterCppFunc(const CefString& function_name,
                       CppFunction function,
                       CefRefPtr<CefBrowser> browser,
                       bool replace = false);
  // Browser, runtime UI thread: the page of `browser` calls a native
  // function. The function runs on the main thread; its reply goes to the
  // page callback `js_callback_id`. False when no such function exists
  // (the page is told so at once).
  bool ExecuteCppFunc(const CefString& function_name,
                      const CefString& params,
                      int js_callback_id,
                      CefRefPtr<CefBrowser> browser);
  // Browser: a page function answered native callback `cpp_callback_id`;
  // the callback runs on the main thread. False for an unknown id.
  bool ExecuteCppCallbackFunc(int cpp_callback_id, const CefString& result);
  // Browser: calls the page function registered in the frame of `browser`
  // (the main frame when `frame_id` is negative); `callback` gets its
  // object result on the main thread. False when the message cannot be
  // sent or the frame identifier does not fit the message.
  bool CallJSFunction(const CefString& function_name,
                      const CefString& params,
                      CefRefPtr<CefBrowser> browser,
                      int64_t frame_id,
                      JsFunctionCallback callback);

 private:
  struct PageCallback {
    CefRefPtr<CefV8Context> context;
    CefRefPtr<CefV8Value> function;
  };
  using FunctionKey = std::pair<std::wstring, int64_t>;  // name, frame or browser

  // Renderer main thread only.
  int32_t next_page_callback_id_ = 0;
  std::map<int32_t, PageCallback> page_callbacks_;
  std::map<FunctionKey, CefRefPtr<CefV8Value>> page_functions_;

  kbase::Lock lock_;
  int32_t next_native_callback_id_ = 0;                   // guarded by lock_
  std::map<int32_t, JsFunctionCallback> native_callbacks_;  // guarded by lock_
  std::map<FunctionKey, CppFunction> native_functions_;     // guarded by lock_
};

}  // namespace kel_comp
