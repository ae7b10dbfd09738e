// The attributes of a skin's "Window" root element.

#include <algorithm>
#include <cwchar>

#include "ui/control/attribute_value.h"
#include "ui/core/skin_builder.h"
#include "ui/core/window.h"

namespace ui {

namespace {

using attribute_value::ReadPadding;
using attribute_value::ReadSize;

// "heightpercent": a share of the work area's height, within the minimum
// and maximum heights without the shadow.
void ApplyHeightPercent(Window* window, const std::wstring& value) {
  const double fraction = std::wcstod(value.c_str(), nullptr);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window->GetHWND(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  const double work_height = monitor.rcWork.bottom - monitor.rcWork.top;
  const double wanted = work_height * fraction;
  // Out-of-range fractions must not turn into undefined conversions.
  int32_t height = wanted > 0 && wanted < 1e9 ? static_cast<int32_t>(wanted) : 0;

  const UiPadding shadow = window->ShadowCorner();
  const int32_t vertical = shadow.top + shadow.bottom;
  const UiSize min_size = window->GetMinSize();
  const UiSize max_size = window->GetMaxSize();
  if (min_size.cy != 0)
    height = std::max(height, min_size.cy - vertical);
  if (max_size.cy != 0)
    height = std::min(height, max_size.cy - vertical);

  const UiSize initial = window->GetInitialSize();
  const int32_t width = initial.cx != 0 ? initial.cx : shadow.left + shadow.right;
  window->SetInitialSizeWithShadow({width, height + vertical});
}

}  // namespace

void ApplyWindowAttribute(Window* window, const std::wstring& name, const std::wstring& value) {
  if (name == L"size") {
    const UiSize size = ReadSize(value);
    window->SetInitialSize(size.cx, size.cy);
  } else if (name == L"heightpercent") {
    ApplyHeightPercent(window, value);
  } else if (name == L"sizebox") {
    window->SetSizeBox(ReadPadding(value));
  } else if (name == L"caption") {
    const UiPadding caption = ReadPadding(value);
    window->SetCaption({caption.left, caption.top, caption.right, caption.bottom});
  } else if (name == L"textid") {
    window->SetTextId(value);
  } else if (name == L"roundcorner") {
    window->SetRoundCorner(ReadSize(value));
  } else if (name == L"mininfo") {
    const UiSize size = ReadSize(value);
    window->SetMinSize(size.cx, size.cy);
  } else if (name == L"maxinfo") {
    const UiSize size = ReadSize(value);
    window->SetMaxSize(size.cx, size.cy);
  } else if (name == L"shadowattached") {
    window->Shadow().SetAttached(value == L"true");
  } else if (name == L"shadowimage") {
    window->Shadow().SetImage(value);
  } else if (name == L"shadowcorner") {
    window->Shadow().SetConfiguredCorner(ReadPadding(value));
  } else if (name == L"alphafixcorner" || name == L"custom_shadow") {
    window->SetAlphaFixMargins(ReadPadding(value));
  }
}

}  // namespace ui
