#include "ui/core/window_impl_base.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "base/thread/thread_checker.h"
#include "ui/control/box.h"
#include "ui/control/button.h"
#include "ui/control/control.h"
#include "ui/control/rich_edit.h"
#include "ui/core/skin_builder.h"

namespace ui {

namespace {

constexpr wchar_t kCloseButton[] = L"closebtn";
constexpr wchar_t kMinButton[] = L"minbtn";
constexpr wchar_t kMaxButton[] = L"maxbtn";
constexpr wchar_t kRestoreButton[] = L"restorebtn";
// The available size an auto-sized skin is measured with.
constexpr int32_t kUnboundedSize = 99999;

bool IsButton(Control* control) {
  return dynamic_cast<ButtonTemplate<Control>*>(control) ||
         dynamic_cast<ButtonTemplate<Box>*>(control);
}

// Controls in the caption that keep the mouse to themselves instead of
// dragging the window: buttons and everything derived from them, and rich
// edits.
bool KeepsMouseInCaption(Control* control) {
  return IsButton(control) || dynamic_cast<RichEdit*>(control);
}

// The result of a hit test inside the size box of one edge band: which of
// the band's three parts the coordinate falls in.
LRESULT EdgeHit(int32_t x,
                const UiRect& area,
                const UiPadding& size_box,
                LRESULT start,
                LRESULT middle,
                LRESULT end) {
  if (x >= area.left && x < area.left + size_box.left)
    return start;
  if (x > area.right - size_box.right && x <= area.right)
    return end;
  return middle;
}

}  // namespace

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() = default;

UINT WindowImplBase::WindowClassStyle() const {
  return CS_DBLCLKS;
}

LRESULT WindowImplBase::FilterMessage(UINT /*message*/,
                                      WPARAM /*wparam*/,
                                      LPARAM /*lparam*/,
                                      bool* /*handled*/) {
  return 0;
}

void WindowImplBase::OnSkinAttached() {}

LONG WindowImplBase::SkinnedFrameStyle() {
  return GetWindowLongW(GetHWND(), GWL_STYLE) & ~static_cast<LONG>(WS_CAPTION);
}

std::wstring WindowImplBase::SkinArchiveName() {
  return {};
}

Control* WindowImplBase::CreateCustomControl(const std::wstring& /*element_name*/) {
  return nullptr;
}

std::wstring WindowImplBase::SkinPath() {
  std::wstring folder = SkinFolder();
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
    folder.push_back(L'\\');
  return folder + SkinFile();
}

LRESULT WindowImplBase::OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  KBASE_DCHECK_ON_WINDOW_THREAD(GetHWND());
  if (message == WM_CREATE)
    return OnCreate();
  const std::weak_ptr<kbase::WeakFlag> alive = AcquireWeakFlag();
  LRESULT result = 0;
  bool handled = true;
  if (DispatchToSlot(message, wparam, lparam, &result, &handled) && handled)
    return result;
  // A handler that destroyed the window has had its say.
  if (alive.expired())
    return result;
  return Window::OnWindowMessage(message, wparam, lparam);
}

bool WindowImplBase::DispatchToSlot(UINT message,
                                    WPARAM wparam,
                                    LPARAM lparam,
                                    LRESULT* result,
                                    bool* handled) {
  using Handler = LRESULT (WindowImplBase::*)(UINT, WPARAM, LPARAM, bool*);
  Handler handler = nullptr;
  switch (message) {
    case WM_DESTROY:
      handler = &WindowImplBase::OnWmDestroy;
      break;
    case WM_SIZE:
      handler = &WindowImplBase::OnWmSize;
      break;
    case WM_SETFOCUS:
      handler = &WindowImplBase::OnWmSetFocus;
      break;
    case WM_KILLFOCUS:
      handler = &WindowImplBase::OnWmKillFocus;
      break;
    case WM_CLOSE:
      handler = &WindowImplBase::OnWmClose;
      break;
    case WM_GETMINMAXINFO:
      handler = &WindowImplBase::OnWmGetMinMaxInfo;
      break;
    case WM_WINDOWPOSCHANGING:
      handler = &WindowImplBase::OnWmWindowPosChanging;
      break;
    case WM_NCCALCSIZE:
      handler = &WindowImplBase::OnWmNcCalcSize;
      break;
    case WM_NCHITTEST:
      handler = &WindowImplBase::OnWmNcHitTest;
      break;
    case WM_NCPAINT:
      handler = &WindowImplBase::OnWmNcPaint;
      break;
    case WM_NCACTIVATE:
      handler = &WindowImplBase::OnWmNcActivate;
      break;
    case WM_NCLBUTTONDBLCLK:
      handler = &WindowImplBase::OnWmNcLButtonDblClk;
      break;
    case WM_KEYDOWN:
      handler = &WindowImplBase::OnWmKeyDown;
      break;
    case WM_CHAR:
      handler = &WindowImplBase::OnWmChar;
      break;
    case WM_SYSCOMMAND:
      handler = &WindowImplBase::OnWmSysCommand;
      break;
    case WM_MOUSEMOVE:
      handler = &WindowImplBase::OnWmMouseMove;
      break;
    case WM_LBUTTONDOWN:
      handler = &WindowImplBase::OnWmLButtonDown;
      break;
    case WM_LBUTTONUP:
      handler = &WindowImplBase::OnWmLButtonUp;
      break;
    case WM_MOUSEWHEEL:
      handler = &WindowImplBase::OnWmMouseWheel;
      break;
    case WM_MOUSEHOVER:
      handler = &WindowImplBase::OnWmMouseHover;
      break;
    case WM_DPICHANGED:
      handler = &WindowImplBase::OnWmDpiChanged;
      break;
    default:
      return false;
  }
  *handled = true;
  *result = (this->*handler)(message, wparam, lparam, handled);
  return true;
}

LRESULT WindowImplBase::OnCreate() {
  SetWindowLongW(GetHWND(), GWL_STYLE, SkinnedFrameStyle());
  AttachNativeWindow(GetHWND());
  SetSkinFolder(SkinFolder());

  const std::wstring path = SkinPath();
  SkinBuilder builder;
  ControlFactory factory = MakeWeakCallback(
      [this](const std::wstring& element_name) { return CreateCustomControl(element_name); });
  Control* skin = builder.Create(path, factory, this, nullptr);
  if (!skin) {
    std::wstring text = L"Failed to load xml file " + path;
    text.resize(std::min(text.size(), kSkinErrorMaxLength));
    MessageBoxW(nullptr, text.c_str(), kSkinErrorCaption, MB_ICONERROR);
    // The native window is not created.
    return -1;
  }

  AttachRoot(AttachShadow(skin));
  OnSkinAttached();
  SizeToSkin();
  WireSystemButtons();
  return 0;
}

void WindowImplBase::SizeToSkin() {
  Control* root = GetRoot();
  if (!root || !root->IsAutoSized())
    return;
  const UiSize measured = root->Measure({kUnboundedSize, kUnboundedSize});
  int32_t width = std::max(measured.cx, root->GetMinWidth());
  if (root->GetMaxWidth() >= 0)
    width = std::min(width, root->GetMaxWidth());
  int32_t height = std::max(measured.cy, root->GetMinHeight());
  height = std::min(height, root->GetMaxHeight());
  MoveWindow(GetHWND(), 0, 0, width, height, FALSE);
}

void WindowImplBase::WireSystemButtons() {
  for (const wchar_t* name : {kCloseButton, kMinButton, kMaxButton, kRestoreButton}) {
    Control* control = FindControlByName(name);
    if (!dynamic_cast<ButtonTemplate<Control>*>(control))
      continue;
    control->AttachEvent(
        kEventClick, MakeWeakCallback([this](EventArgs* args) { return OnSystemButton(args); }));
  }
}

bool WindowImplBase::FindMaxRestorePair(Control** max_button, Control** restore_button) const {
  *max_button = FindControlByName(kMaxButton);
  *restore_button = FindControlByName(kRestoreButton);
  return *max_button && *restore_button;
}

bool WindowImplBase::OnSystemButton(EventArgs* args) {
  KBASE_DCHECK_ON_WINDOW_THREAD(GetHWND());
  if (!args->sender || !GetHWND())
    return true;
  const std::wstring& name = args->sender->GetName();
  Control* max_button = nullptr;
  Control* restore_button = nullptr;
  if (name == kCloseButton) {
    Close(1);
  } else if (name == kMinButton) {
    SendMessageW(GetHWND(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else if (name == kMaxButton) {
    if (FindMaxRestorePair(&max_button, &restore_button)) {
      max_button->SetFadeVisible(false);
      restore_button->SetFadeVisible(true);
    }
    SendMessageW(GetHWND(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  } else if (name == kRestoreButton) {
    if (FindMaxRestorePair(&max_button, &restore_button)) {
      max_button->SetFadeVisible(true);
      restore_button->SetFadeVisible(false);
    }
    SendMessageW(GetHWND(), WM_SYSCOMMAND, SC_RESTORE, 0);
  }
  return true;
}

void WindowImplBase::OnWindowDestroyed(HWND hwnd) {
  Window::OnWindowDestroyed(hwnd);
  if (Control* root = GetRoot())
    ForgetControl(root);
  delete this;
}

LRESULT WindowImplBase::OnWmClose(UINT, WPARAM, LPARAM, bool* handled) {
  *handled = false;
  return 0;
}

LRESULT WindowImplBase::OnWmDestroy(UINT, WPARAM, LPARAM, bool* handled) {
  *handled = false;
  return 0;
}

LRESULT WindowImplBase::OnWmNcActivate(UINT, WPARAM wparam, LPARAM, bool* handled) {
  if (IsIconic(GetHWND())) {
    *handled = false;
    return 0;
  }
  return wparam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnWmNcCalcSize(UINT, WPARAM, LPARAM, bool*) {
  return 0;
}

LRESULT WindowImplBase::OnWmWindowPosChanging(UINT, WPARAM, LPARAM lparam, bool* handled) {
  *handled = false;
  auto* position = reinterpret_cast<WINDOWPOS*>(lparam);
  if (!position || !IsZoomed(GetHWND()) || !(position->flags & SWP_FRAMECHANGED))
    return 0;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(GetHWND(), MONITOR_DEFAULTTONEAREST), &monitor) ||
      (monitor.dwFlags & MONITORINFOF_PRIMARY)) {
    return 0;
  }
  position->x = monitor.rcWork.left;
  position->y = monitor.rcWork.top;
  position->cx = monitor.rcWork.right - monitor.rcWork.left;
  position->cy = monitor.rcWork.bottom - monitor.rcWork.top;
  return 0;
}

LRESULT WindowImplBase::OnWmNcPaint(UINT, WPARAM, LPARAM, bool*) {
  return 0;
}

LRESULT WindowImplBase::OnWmNcLButtonDblClk(UINT, WPARAM, LPARAM, bool*) {
  return 0;
}

LRESULT WindowImplBase::OnWmNcHitTest(UINT, WPARAM, LPARAM lparam, bool*) {
  POINT screen = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  ScreenToClient(GetHWND(), &screen);
  const int32_t x = screen.x;
  const int32_t y = screen.y;
  RECT client_rect = {};
  GetClientRect(GetHWND(), &client_rect);
  const UiRect area =
      UiRect{client_rect.left, client_rect.top, client_rect.right, client_rect.bottom}.Deflate(
          ShadowCorner());

  if (!IsZoomed(GetHWND())) {
    const UiPadding size_box = GetSizeBox();
    if (y < area.top + size_box.top) {
      if (y < area.top)
        return HTCLIENT;
      return EdgeHit(x, area, size_box, HTTOPLEFT, HTTOP, HTTOPRIGHT);
    }
    if (y > area.bottom - size_box.bottom) {
      if (y > area.bottom)
        return HTCLIENT;
      return EdgeHit(x, area, size_box, HTBOTTOMLEFT, HTBOTTOM, HTBOTTOMRIGHT);
    }
    if (x < area.left + size_box.left)
      return x < area.left ? HTCLIENT : HTLEFT;
    if (x > area.right - size_box.right)
      return x > area.right ? HTCLIENT : HTRIGHT;
  }

  const UiRect caption = GetCaption();
  if (x >= area.left + caption.left && x < area.right - caption.right &&
      y >= area.top + caption.top && y < area.top + caption.bottom) {
    Control* control = FindControlAt({x, y});
    if (control && !KeepsMouseInCaption(control))
      return HTCAPTION;
  }
  return HTCLIENT;
}

LRESULT WindowImplBase::OnWmGetMinMaxInfo(UINT, WPARAM, LPARAM lparam, bool* handled) {
  *handled = false;
  auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  if (!info || !GetMonitorInfoW(MonitorFromWindow(GetHWND(), MONITOR_DEFAULTTONEAREST), &monitor)) {
    return 0;
  }
  const RECT& work = monitor.rcWork;
  info->ptMaxPosition = {work.left - monitor.rcMonitor.left, work.top - monitor.rcMonitor.top};
  info->ptMaxSize = {work.right - work.left, work.bottom - work.top};

  // A limit that is only the shadow's thickness was never set.
  const UiPadding shadow = ShadowCorner();
  const int32_t shadow_x = shadow.left + shadow.right;
  const int32_t shadow_y = shadow.top + shadow.bottom;
  auto is_set = [](int32_t value, int32_t shadow_sum) { return value != 0 && value != shadow_sum; };
  const UiSize max_size = GetMaxSize();
  const UiSize min_size = GetMinSize();
  if (is_set(max_size.cx, shadow_x))
    info->ptMaxTrackSize.x = max_size.cx;
  if (is_set(max_size.cy, shadow_y))
    info->ptMaxTrackSize.y = max_size.cy;
  if (is_set(min_size.cx, shadow_x))
    info->ptMinTrackSize.x = min_size.cx;
  if (is_set(min_size.cy, shadow_y))
    info->ptMinTrackSize.y = min_size.cy;
  return 0;
}

LRESULT WindowImplBase::OnWmMouseWheel(UINT, WPARAM, LPARAM, bool* handled) {
  *handled = false;
  return 0;
}

LRESULT WindowImplBase::OnWmMouseHover(UINT, WPARAM, LPARAM, bool* handled) {
  *handled = false;
  return 0;
}

LRESULT WindowImplBase::OnWmDpiChanged(UINT, WPARAM, LPARAM, bool* handled) {
  *handled = false;
  Shadow().ResetCorner();
  return 0;
}

LRESULT WindowImplBase::OnWmSize(UINT, WPARAM, LPARAM, bool* handled) {
  *handled = false;
  const UiSize corner = GetRoundCorner();
  if (IsIconic(GetHWND()) || (corner.cx == 0 && corner.cy == 0))
    return 0;
  RECT window_rect = {};
  GetWindowRect(GetHWND(), &window_rect);
  // The system owns the region from here on.
  HRGN region = CreateRoundRectRgn(0, 0, window_rect.right - window_rect.left + 1,
                                   window_rect.bottom - window_rect.top + 1, corner.cx, corner.cy);
  SetWindowRgn(GetHWND(), region, TRUE);
  return 0;
}

LRESULT WindowImplBase::OnWmChar(UINT, WPARAM, LPARAM, bool* handled) {
  *handled = false;
  return 0;
}

LRESULT WindowImplBase::OnWmSysCommand(UINT message, WPARAM wparam, LPARAM lparam, bool*) {
  if ((wparam & 0xFFF0) == SC_CLOSE) {
    SendMessageW(GetHWND(), WM_CLOSE, 0, 0);
    return 0;
  }
  const std::weak_ptr<kbase::WeakFlag> alive = AcquireWeakFlag();
  bool host_handled = false;
  const LRESULT result = HandleWindowMessage(message, wparam, lparam, &host_handled);
  if (host_handled || alive.expired())
    return result;
  return CallPreviousProc(message, wparam, lparam);
}

LRESULT WindowImplBase::OnWmKeyDown(UINT, WPARAM, LPARAM, bool* handled) {
  *handled = false;
  return 0;
}

LRESULT WindowImplBase::OnWmKillFocus(UINT, WPARAM, LPARAM, bool* handled) {
  *handled = false;
  return 0;
}

LRESULT WindowImplBase::OnWmSetFocus(UINT, WPARAM, LPARAM, bool* handled) {
  *handled = false;
  return 0;
}

LRESULT WindowImplBase::OnWmLButtonDown(UINT, WPARAM, LPARAM, bool* handled) {
  *handled = false;
  return 0;
}

LRESULT WindowImplBase::OnWmLButtonUp(UINT, WPARAM, LPARAM, bool* handled) {
  *handled = false;
  return 0;
}

LRESULT WindowImplBase::OnWmMouseMove(UINT, WPARAM, LPARAM, bool* handled) {
  *handled = false;
  return 0;
}

void WindowImplBase::BringToFront() {
  KBASE_DCHECK_ON_WINDOW_THREAD(GetHWND());
  HWND hwnd = GetHWND();
  if (!hwnd)
    return;
  if (IsIconic(hwnd)) {
    ShowWindow(hwnd, SW_RESTORE);
    return;
  }
  if (!IsWindowVisible(hwnd))
    ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
}

void WindowImplBase::SetTitleText(const std::wstring& text) {
  KBASE_DCHECK_ON_WINDOW_THREAD(GetHWND());
  if (GetHWND())
    SetWindowTextW(GetHWND(), text.c_str());
}

}  // namespace ui
