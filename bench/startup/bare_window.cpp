// The reference of the start-up benchmark: the least a Win32 program does
// to put one window on the screen, painted in one colour.
#include <windows.h>

namespace {

constexpr COLORREF kColour = RGB(0x12, 0x9A, 0x56);

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &WindowProc;
  window_class.hInstance = instance;
  window_class.hbrBackground = CreateSolidBrush(kColour);
  window_class.lpszClassName = L"BareWindow";
  RegisterClassExW(&window_class);
  constexpr int kWidth = 960;
  constexpr int kHeight = 600;
  HWND window = CreateWindowExW(0, L"BareWindow", L"Bare", WS_POPUP,
                                (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2, kWidth, kHeight,
                                nullptr, nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
