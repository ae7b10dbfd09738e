#include "browser/control/browser_control_factory.h"

#include "browser/control/cef_native_control.h"
#include "browser/manager/cef_manager.h"

namespace kel_comp {

ui::Control* CreateBrowserControl(const std::wstring& element_name) {
  if (element_name != kBrowserControlElement)
    return nullptr;
  // The off-screen control is not part of this build: with off-screen
  // rendering on there is no browser control to make.
  if (CefManager::GetInstance()->IsOffscreenRenderingEnabled())
    return nullptr;
  return new CefNativeControl;
}

}  // namespace kel_comp
