#pragma once

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser_process_handler.h"
#include "runtime/include/cef_command_line.h"
#include "runtime/include/cef_render_process_handler.h"
#include "runtime/include/cef_resource_bundle_handler.h"
#include "runtime/include/cef_scheme.h"

// The program's application object, created in every process of the
// runtime and handed to CefExecuteProcess and CefInitialize.
class CefApp : public virtual CefBaseRefCounted {
 public:
  // Called once per process before the runtime reads its command line;
  // `process_type` is empty in the browser process.
  virtual void OnBeforeCommandLineProcessing(const CefString& /*process_type*/,
                                             CefRefPtr<CefCommandLine> /*command_line*/) {}
  virtual void OnRegisterCustomSchemes(CefRawPtr<CefSchemeRegistrar> /*registrar*/) {}
  virtual CefRefPtr<CefResourceBundleHandler> GetResourceBundleHandler() { return nullptr; }
  virtual CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() { return nullptr; }
  virtual CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() { return nullptr; }
};

// Runs a sub-process's whole work when the command line names a process
// type, and returns its exit code (0 or more). Returns a negative value in
// the browser process, which continues with CefInitialize.
int CefExecuteProcess(const CefMainArgs& args,
                      CefRefPtr<CefApp> application,
                      void* windows_sandbox_info);

// Starts the runtime in the browser process. True when it runs.
bool CefInitialize(const CefMainArgs& args,
                   const CefSettings& settings,
                   CefRefPtr<CefApp> application,
                   void* windows_sandbox_info);

// Stops the runtime: on the thread that initialised it, once, after every
// browser has closed.
void CefShutdown();
