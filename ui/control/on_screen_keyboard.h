#pragma once

#include <string>

#include "base/callback/weak_callback.h"

namespace ui {

// Shows and closes the system's touch keyboard for text input on Windows 8
// and later: a request remembers the wanted state, and 10 ms later the
// wish is compared with the touch keyboard's window and carried out. Every
// failure is silent; where there is no touch keyboard (older systems,
// Wine) nothing visible happens. UI thread only.
class OnScreenKeyboardManager : public kbase::SupportWeakCallback {
 public:
  static constexpr wchar_t kKeyboardWindowClass[] = L"IPTip_Main_Window";
  static constexpr int32_t kApplyDelayMs = 10;

  // The process-wide manager, created on first use and kept to the end.
  static OnScreenKeyboardManager* Instance();

  void ShowKeyboard(bool show);
  // Compares the wish with the keyboard window and shows or closes it.
  void ApplyKeyboardState();

  bool show_wanted() const { return show_wanted_; }

  // Whether the touch keyboard's window exists, is visible and enabled.
  static bool IsKeyboardShown();
  // The keyboard program's path: "CommonProgramW6432" (without a trailing
  // null character) or the fixed fallback, followed by the keyboard's own
  // folders and file name.
  static std::wstring TabTipPath();

 private:
  OnScreenKeyboardManager() = default;

  static bool IsWindows8OrLater();
  // Toggles the keyboard through its invocation object; false when that
  // object cannot be created.
  static bool ToggleThroughInvocationObject();

  bool show_wanted_ = false;
};

}  // namespace ui
