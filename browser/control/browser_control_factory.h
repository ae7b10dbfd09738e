#pragma once

#include <string>

namespace ui {
class Control;
}

namespace kel_comp {

// The skin element of a browser control.
inline constexpr wchar_t kBrowserControlElement[] = L"CefControl";

// For the forms' control factories: a new browser control for the element
// "CefControl" (windowed, while the runtime manager's off-screen rendering
// is off), else null. The caller (the skin builder) takes ownership.
ui::Control* CreateBrowserControl(const std::wstring& element_name);

}  // namespace kel_comp
