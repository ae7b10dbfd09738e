#pragma once

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_command_line.h"
#include "runtime/include/cef_print_handler.h"
#include "runtime/include/cef_values.h"

// Browser-process events, on the runtime's UI thread unless noted.
class CefBrowserProcessHandler : public virtual CefBaseRefCounted {
 public:
  // The runtime is ready: cookie stores and browsers may be used.
  virtual void OnContextInitialized() {}
  // A sub-process is about to start with `command_line`, which may still
  // be changed.
  virtual void OnBeforeChildProcessLaunch(CefRefPtr<CefCommandLine> /*command_line*/) {}
  // A renderer's main thread is about to start; `extra_info` reaches its
  // CefRenderProcessHandler::OnRenderThreadCreated.
  virtual void OnRenderProcessThreadCreated(CefRefPtr<CefListValue> /*extra_info*/) {}
  virtual CefRefPtr<CefPrintHandler> GetPrintHandler() { return nullptr; }
  // Only with an external message pump.
  virtual void OnScheduleMessagePumpWork(int64 /*delay_ms*/) {}
};
