// The pointer declarations of the system headers need Windows 8 as target;
// the functions themselves are only ever reached through GetProcAddress.
#undef WINVER
#undef _WIN32_WINNT
#define WINVER 0x0602
#define _WIN32_WINNT 0x0602

#include "ui/core/touch_api.h"

namespace ui::touch_api {

namespace {

template <typename Function>
Function Resolve(const char* name) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (!user32)
    return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

// Looked up once each, on first use.
struct Functions {
  decltype(&::RegisterTouchWindow) register_touch_window =
      Resolve<decltype(&::RegisterTouchWindow)>("RegisterTouchWindow");
  decltype(&::UnregisterTouchWindow) unregister_touch_window =
      Resolve<decltype(&::UnregisterTouchWindow)>("UnregisterTouchWindow");
  decltype(&::GetTouchInputInfo) get_touch_input_info =
      Resolve<decltype(&::GetTouchInputInfo)>("GetTouchInputInfo");
  decltype(&::CloseTouchInputHandle) close_touch_input_handle =
      Resolve<decltype(&::CloseTouchInputHandle)>("CloseTouchInputHandle");
  decltype(&::GetPointerType) get_pointer_type =
      Resolve<decltype(&::GetPointerType)>("GetPointerType");
  decltype(&::GetPointerTouchInfo) get_pointer_touch_info =
      Resolve<decltype(&::GetPointerTouchInfo)>("GetPointerTouchInfo");
  decltype(&::GetPointerPenInfo) get_pointer_pen_info =
      Resolve<decltype(&::GetPointerPenInfo)>("GetPointerPenInfo");
};

const Functions& functions() {
  static const Functions instance;
  return instance;
}

}  // namespace

bool RegisterTouchWindow(HWND window) {
  auto function = functions().register_touch_window;
  return function && function(window, 0);
}

bool UnregisterTouchWindow(HWND window) {
  auto function = functions().unregister_touch_window;
  return function && function(window);
}

bool GetFirstTouchInput(HTOUCHINPUT input, UINT count, TOUCHINPUT* first) {
  auto function = functions().get_touch_input_info;
  if (!function || count == 0)
    return false;
  // Only the first point is used; asking for one record is enough.
  return function(input, 1, first, sizeof(TOUCHINPUT)) != FALSE;
}

bool CloseTouchInputHandle(HTOUCHINPUT input) {
  auto function = functions().close_touch_input_handle;
  return function && function(input);
}

bool ReadPointer(uint32_t pointer_id, PointerSample* sample) {
  const Functions& f = functions();
  POINTER_INPUT_TYPE type = 0;
  if (!f.get_pointer_type || !f.get_pointer_type(pointer_id, &type))
    return false;
  *sample = PointerSample();
  if (type == PT_TOUCH) {
    POINTER_TOUCH_INFO info = {};
    if (!f.get_pointer_touch_info || !f.get_pointer_touch_info(pointer_id, &info))
      return false;
    sample->kind = PointerKind::kTouch;
    sample->position = info.pointerInfo.ptPixelLocation;
    sample->pressure = static_cast<float>(info.pressure) / 1024.0f;
  } else if (type == PT_PEN) {
    POINTER_PEN_INFO info = {};
    if (!f.get_pointer_pen_info || !f.get_pointer_pen_info(pointer_id, &info))
      return false;
    sample->kind = PointerKind::kPen;
    sample->position = info.pointerInfo.ptPixelLocation;
    sample->pressure = static_cast<float>(info.pressure) / 1024.0f;
  }
  return true;
}

}  // namespace ui::touch_api
