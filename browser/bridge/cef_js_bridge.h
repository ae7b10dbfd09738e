#pragma once

namespace kel_comp {

// The state of the script bridge on one side: in a renderer it is shared
// by every browser and frame of that renderer and kept by the ClientApp;
// in the browser process each browser control has its own. Its tables of
// page callbacks, page functions, native callbacks and native functions
// live here, next to the operations that handle the bridge's process
// messages.
class CefJSBridge {
 public:
  CefJSBridge() = default;
  CefJSBridge(const CefJSBridge&) = delete;
  CefJSBridge& operator=(const CefJSBridge&) = delete;
};

}  // namespace kel_comp
