#pragma once

#include <windows.h>

#include <cstdint>

namespace ui::touch_api {

// Touch and pointer input of user32, looked up at run time so that systems
// without it run as if no such input existed: every wrapper reports failure
// when its function is missing.

// Pointer messages (Windows 8 and later).
constexpr UINT kMsgPointerUpdate = 0x0245;
constexpr UINT kMsgPointerDown = 0x0246;
constexpr UINT kMsgPointerUp = 0x0247;
constexpr UINT kMsgPointerLeave = 0x024A;
constexpr UINT kMsgPointerCaptureChanged = 0x024C;
// wParam flag of the primary pointer.
constexpr WPARAM kPointerFlagPrimary = 0x20000000;

bool RegisterTouchWindow(HWND window);
bool UnregisterTouchWindow(HWND window);
// Reads the first touch point of a WM_TOUCH message.
bool GetFirstTouchInput(HTOUCHINPUT input, UINT count, TOUCHINPUT* first);
bool CloseTouchInputHandle(HTOUCHINPUT input);

enum class PointerKind {
  kOther,  // the mouse and anything else the window leaves to mouse messages
  kTouch,
  kPen,
};

struct PointerSample {
  PointerKind kind = PointerKind::kOther;
  // Screen coordinates.
  POINT position = {};
  // The raw pressure divided by 1024.
  float pressure = 0.0f;
};

// The kind, position and pressure of pointer |pointer_id|; false when the
// pointer functions are missing or the pointer is unknown.
bool ReadPointer(uint32_t pointer_id, PointerSample* sample);

}  // namespace ui::touch_api
