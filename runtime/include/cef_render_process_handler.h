#pragma once

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_dom.h"
#include "runtime/include/cef_frame.h"
#include "runtime/include/cef_load_handler.h"
#include "runtime/include/cef_process_message.h"
#include "runtime/include/cef_v8.h"
#include "runtime/include/cef_values.h"

// Renderer events, on the renderer's main thread.
class CefRenderProcessHandler : public virtual CefBaseRefCounted {
 public:
  virtual void OnRenderThreadCreated(CefRefPtr<CefListValue> /*extra_info*/) {}
  // The script engine is ready: the time to register extensions.
  virtual void OnWebKitInitialized() {}
  // `extra_info` is what the browser process gave CreateBrowser, or null.
  virtual void OnBrowserCreated(CefRefPtr<CefBrowser> /*browser*/,
                                CefRefPtr<CefDictionaryValue> /*extra_info*/) {}
  virtual void OnBrowserDestroyed(CefRefPtr<CefBrowser> /*browser*/) {}
  virtual CefRefPtr<CefLoadHandler> GetLoadHandler() { return nullptr; }
  virtual void OnContextCreated(CefRefPtr<CefBrowser> /*browser*/,
                                CefRefPtr<CefFrame> /*frame*/,
                                CefRefPtr<CefV8Context> /*context*/) {}
  virtual void OnContextReleased(CefRefPtr<CefBrowser> /*browser*/,
                                 CefRefPtr<CefFrame> /*frame*/,
                                 CefRefPtr<CefV8Context> /*context*/) {}
  virtual void OnUncaughtException(CefRefPtr<CefBrowser> /*browser*/,
                                   CefRefPtr<CefFrame> /*frame*/,
                                   CefRefPtr<CefV8Context> /*context*/,
                                   CefRefPtr<CefV8Exception> /*exception*/,
                                   CefRefPtr<CefV8StackTrace> /*stack_trace*/) {}
  // `node` is null when no node has the focus any more.
  virtual void OnFocusedNodeChanged(CefRefPtr<CefBrowser> /*browser*/,
                                    CefRefPtr<CefFrame> /*frame*/,
                                    CefRefPtr<CefDOMNode> /*node*/) {}
  // True when the message was handled.
  virtual bool OnProcessMessageReceived(CefRefPtr<CefBrowser> /*browser*/,
                                        CefRefPtr<CefFrame> /*frame*/,
                                        CefProcessId /*source_process*/,
                                        CefRefPtr<CefProcessMessage> /*message*/) {
    return false;
  }
};
