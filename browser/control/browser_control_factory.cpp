#include "browser/control/browser_control_factory.h"

#include "browser/control/cef_control.h"
#include "browser/control/cef_native_control.h"
#include "browser/manager/cef_manager.h"

namespace kel_comp {

ui::Control* CreateBrowserControl(const std::wstring& element_name) {
  if (element_name != kBrowserControlElement)
    return nullptr;
  if (CefManager::GetInstance()->IsOffscreenRenderingEnabled())
    return new CefControl;
  return new CefNativeControl;
}

}  // namespace kel_comp
