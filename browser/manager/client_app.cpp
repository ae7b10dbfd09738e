#include "browser/manager/client_app.h"

#include <initializer_list>

#include "browser/bridge/bridge_messages.h"
#include "browser/bridge/cef_js_handler.h"
#include "browser/bridge/page_bridge_script.h"
#include "browser/manager/cef_manager.h"
#include "runtime/include/cef_cookie.h"

namespace kel_comp {

namespace {

bool HasTypes(CefRefPtr<CefListValue> arguments, std::initializer_list<CefValueType> types) {
  size_t index = 0;
  for (CefValueType type : types) {
    if (arguments->GetType(index++) != type)
      return false;
  }
  return true;
}

}  // namespace

void ClientApp::OnBeforeCommandLineProcessing(const CefString& process_type,
                                              CefRefPtr<CefCommandLine> command_line) {
  // Sub-processes get their switches from the browser process.
  if (!process_type.empty() || !command_line)
    return;
  command_line->AppendSwitchWithValue(L"ppapi-flash-version", L"20.0.0.228");
  command_line->AppendSwitchWithValue(L"ppapi-flash-path", L"PepperFlash\\pepflashplayer.dll");
  command_line->AppendSwitch(L"process-per-site");
  command_line->AppendSwitchWithValue(L"enable-webgl", L"1");
  command_line->AppendSwitchWithValue(L"ignore-gpu-blacklist", L"1");
  command_line->AppendSwitchWithValue(L"high-dpi-support", L"1");
  command_line->AppendSwitchWithValue(L"force-device-scale-factor", L"1");
  if (CefManager::GetInstance()->IsOffscreenRenderingEnabled()) {
    command_line->AppendSwitch(L"disable-surfaces");
    command_line->AppendSwitch(L"enable-begin-frame-scheduling");
  }
}

void ClientApp::OnRegisterCustomSchemes(CefRawPtr<CefSchemeRegistrar> /*registrar*/) {
  cookieable_schemes_.push_back(L"http");
  cookieable_schemes_.push_back(L"https");
}

void ClientApp::OnContextInitialized() {
  CefRefPtr<CefCookieManager> manager = CefCookieManager::GetGlobalManager(nullptr);
  if (manager)
    manager->SetSupportedSchemes(cookieable_schemes_, true, nullptr);
}

void ClientApp::OnWebKitInitialized() {
  EnsureJsBridge();
  const std::string_view script = PageBridgeScript();
  CefRegisterExtension(kPageBridgeExtensionName, std::string(script), new CefJSHandler(js_bridge_));
}

void ClientApp::OnBrowserCreated(CefRefPtr<CefBrowser> /*browser*/,
                                 CefRefPtr<CefDictionaryValue> /*extra_info*/) {
  EnsureJsBridge();
}

void ClientApp::OnContextReleased(CefRefPtr<CefBrowser> /*browser*/,
                                  CefRefPtr<CefFrame> frame,
                                  CefRefPtr<CefV8Context> context) {
  if (!js_bridge_)
    return;
  js_bridge_->RemoveCallbackFuncWithFrame(frame, context);
  js_bridge_->UnRegisterJSFuncWithFrame(frame, context);
}

void ClientApp::OnFocusedNodeChanged(CefRefPtr<CefBrowser> browser,
                                     CefRefPtr<CefFrame> /*frame*/,
                                     CefRefPtr<CefDOMNode> node) {
  const bool editable = node && node->IsEditable();
  if (editable == last_node_editable_)
    return;
  last_node_editable_ = editable;

  CefRefPtr<CefFrame> main_frame = browser ? browser->GetMainFrame() : nullptr;
  CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(kFocusedNodeChangedMessage);
  if (!main_frame || !message)
    return;
  message->GetArgumentList()->SetBool(0, editable);
  main_frame->SendProcessMessage(PID_BROWSER, message);
}

bool ClientApp::OnProcessMessageReceived(CefRefPtr<CefBrowser> browser,
                                         CefRefPtr<CefFrame> /*frame*/,
                                         CefProcessId /*source_process*/,
                                         CefRefPtr<CefProcessMessage> message) {
  CefRefPtr<CefListValue> arguments = message ? message->GetArgumentList() : nullptr;
  if (!js_bridge_ || !arguments)
    return false;
  // Messages whose arguments have the wrong types are dropped: read as
  // they are, they would answer some other callback.
  const CefString name = message->GetName();
  if (name == kExecuteJsCallbackMessage) {
    if (HasTypes(arguments, {VTYPE_INT, VTYPE_BOOL, VTYPE_STRING})) {
      js_bridge_->ExecuteJSCallbackFunc(arguments->GetInt(0), arguments->GetBool(1),
                                        arguments->GetString(2));
    }
  } else if (name == kCallJsFunctionMessage) {
    if (browser && HasTypes(arguments, {VTYPE_STRING, VTYPE_STRING, VTYPE_INT, VTYPE_INT})) {
      const int frame_id = arguments->GetInt(3);
      CefRefPtr<CefFrame> target =
          frame_id < 0 ? browser->GetMainFrame() : browser->GetFrame(frame_id);
      js_bridge_->ExecuteJSFunc(arguments->GetString(0), arguments->GetString(1), target,
                                arguments->GetInt(2));
    }
  }
  return false;
}

void ClientApp::EnsureJsBridge() {
  if (!js_bridge_)
    js_bridge_ = std::make_shared<CefJSBridge>();
}

}  // namespace kel_comp
