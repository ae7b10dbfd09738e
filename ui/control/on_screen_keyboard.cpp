#include "ui/control/on_screen_keyboard.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <vector>

#include "ui/core/timer_queue.h"

namespace ui {

namespace {

constexpr CLSID kInvocationClass = {0x4CE576FA,
                                    0x83DC,
                                    0x4F88,
                                    {0x95, 0x1C, 0x9D, 0x07, 0x82, 0xB4, 0xE3, 0x76}};
constexpr IID kInvocationInterface = {0x37C994E7,
                                      0x432B,
                                      0x4834,
                                      {0xA2, 0xF7, 0xDC, 0xE1, 0xF1, 0x3B, 0x83, 0x4B}};
constexpr wchar_t kTabTipTail[] = L"\\microsoft shared\\ink\\TabTip.exe";
constexpr wchar_t kFallbackTabTipPath[] =
    L"C:\\\\Program Files\\Common Files\\microsoft shared\\ink\\TabTip.exe";

// The touch keyboard's invocation interface: IUnknown and one operation
// that toggles the keyboard for a window.
struct ITipInvocation : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Toggle(HWND window) = 0;
};

}  // namespace

OnScreenKeyboardManager* OnScreenKeyboardManager::Instance() {
  static OnScreenKeyboardManager* instance = new OnScreenKeyboardManager();
  return instance;
}

bool OnScreenKeyboardManager::IsWindows8OrLater() {
  static const bool later = [] {
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    version.dwMajorVersion = 6;
    version.dwMinorVersion = 2;
    version.wServicePackMajor = 0;
    ULONGLONG condition = 0;
    condition = VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
    condition = VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
    condition = VerSetConditionMask(condition, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR,
                              condition) != FALSE;
  }();
  return later;
}

void OnScreenKeyboardManager::ShowKeyboard(bool show) {
  if (!IsWindows8OrLater())
    return;
  show_wanted_ = show;
  TimerQueue::Instance()->AddTimer(
      AcquireWeakFlag(), [this] { ApplyKeyboardState(); }, kApplyDelayMs, 1);
}

bool OnScreenKeyboardManager::IsKeyboardShown() {
  HWND keyboard = FindWindowW(kKeyboardWindowClass, nullptr);
  if (!keyboard)
    return false;
  const LONG style = GetWindowLongW(keyboard, GWL_STYLE);
  return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

void OnScreenKeyboardManager::ApplyKeyboardState() {
  const bool shown = IsKeyboardShown();
  if (shown == show_wanted_)
    return;
  if (shown) {
    if (HWND keyboard = FindWindowW(kKeyboardWindowClass, nullptr))
      PostMessageW(keyboard, WM_SYSCOMMAND, SC_CLOSE, 0);
    return;
  }
  if (ToggleThroughInvocationObject())
    return;
  // Without the program there is no touch keyboard (Wine, stripped
  // systems); the shell is not asked, since it may answer a missing file
  // with an error box of its own.
  const std::wstring path = TabTipPath();
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
    return;
  SHELLEXECUTEINFOW start = {};
  start.cbSize = sizeof(start);
  start.fMask = SEE_MASK_FLAG_NO_UI;
  start.lpVerb = L"open";
  start.lpFile = path.c_str();
  start.nShow = SW_SHOWDEFAULT;
  ShellExecuteExW(&start);
}

bool OnScreenKeyboardManager::ToggleThroughInvocationObject() {
  ITipInvocation* invocation = nullptr;
  const HRESULT created =
      CoCreateInstance(kInvocationClass, nullptr, CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                       kInvocationInterface, reinterpret_cast<void**>(&invocation));
  if (FAILED(created) || !invocation)
    return false;
  invocation->Toggle(GetDesktopWindow());
  invocation->Release();
  return true;
}

std::wstring OnScreenKeyboardManager::TabTipPath() {
  const wchar_t* name = L"CommonProgramW6432";
  const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
  if (needed > 1) {
    std::vector<wchar_t> value(needed, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), needed);
    if (length > 0 && length < needed) {
      std::wstring folder(value.data(), length);
      while (!folder.empty() && folder.back() == L'\0')
        folder.pop_back();
      if (!folder.empty())
        return folder + kTabTipTail;
    }
  }
  return kFallbackTabTipPath;
}

}  // namespace ui
