#include "app/placeholder_window.h"

#include <windows.h>

namespace {

LRESULT CALLBACK PlaceholderProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

void ShowPlaceholderWindow(const wchar_t* class_name) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &PlaceholderProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = class_name;
  RegisterClassExW(&window_class);

  constexpr int kWidth = 960;
  constexpr int kHeight = 600;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  HWND window = CreateWindowExW(0, class_name, class_name, 0x00CE0000, x, y, kWidth, kHeight,
                                nullptr, nullptr, instance, nullptr);
  if (!window) {
    PostQuitMessage(0);
    return;
  }
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
}
