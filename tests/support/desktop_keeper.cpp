#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &DefWindowProcW;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"QelmoraDesktopKeeper";
  RegisterClassExW(&window_class);
  CreateWindowExW(0, window_class.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                  instance, nullptr);
  // Tells the script that started it that the desktop is up.
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "ready\n", 6, &written, nullptr);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0)
    DispatchMessageW(&message);
  return 0;
}
