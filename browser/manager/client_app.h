#pragma once

#include <memory>
#include <vector>

#include "browser/bridge/cef_js_bridge.h"
#include "runtime/include/cef_app.h"

namespace kel_comp {

// The runtime's application object, one in every process of the program:
// it adjusts the browser process's command line, lets the global cookie
// store keep cookies of web pages, and in a renderer installs the page
// side of the script bridge.
class ClientApp : public CefApp, public CefBrowserProcessHandler, public CefRenderProcessHandler {
 public:
  ClientApp() = default;

  // CefApp:
  void OnBeforeCommandLineProcessing(const CefString& process_type,
                                     CefRefPtr<CefCommandLine> command_line) override;
  void OnRegisterCustomSchemes(CefRawPtr<CefSchemeRegistrar> registrar) override;
  CefRefPtr<CefResourceBundleHandler> GetResourceBundleHandler() override { return nullptr; }
  CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override { return this; }
  CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return this; }

  // CefBrowserProcessHandler:
  void OnContextInitialized() override;

  // CefRenderProcessHandler:
  void OnWebKitInitialized() override;
  void OnBrowserCreated(CefRefPtr<CefBrowser> browser,
                        CefRefPtr<CefDictionaryValue> extra_info) override;
  void OnContextReleased(CefRefPtr<CefBrowser> browser,
                         CefRefPtr<CefFrame> frame,
                         CefRefPtr<CefV8Context> context) override;
  void OnFocusedNodeChanged(CefRefPtr<CefBrowser> browser,
                            CefRefPtr<CefFrame> frame,
                            CefRefPtr<CefDOMNode> node) override;
  // Passes the bridge's messages on; never reports a message handled.
  bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser,
                                CefRefPtr<CefFrame> frame,
                                CefProcessId source_process,
                                CefRefPtr<CefProcessMessage> message) override;

  // Renderer: the bridge every browser and frame of this renderer shares.
  const std::shared_ptr<CefJSBridge>& js_bridge() const { return js_bridge_; }
  const std::vector<CefString>& cookieable_schemes() const { return cookieable_schemes_; }

 private:
  void EnsureJsBridge();

  std::shared_ptr<CefJSBridge> js_bridge_;
  std::vector<CefString> cookieable_schemes_;
  bool last_node_editable_ = false;

  IMPLEMENT_REFCOUNTING(ClientApp);
};

}  // namespace kel_comp
