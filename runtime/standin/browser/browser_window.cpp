#include "runtime/standin/browser/browser_window.h"

#include <windowsx.h>

#include <utility>

namespace cef_standin {

namespace {

constexpr wchar_t kWindowClass[] = L"CefBrowserWindow";

// The runtime's event flags.
constexpr uint32_t kCapsLockOn = 1;
constexpr uint32_t kShiftDown = 2;
constexpr uint32_t kControlDown = 4;
constexpr uint32_t kAltDown = 8;
constexpr uint32_t kLeftMouseButton = 16;
constexpr uint32_t kMiddleMouseButton = 32;
constexpr uint32_t kRightMouseButton = 64;
constexpr uint32_t kNumLockOn = 256;

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

bool RegisterWindowClass(WNDPROC procedure) {
  static const bool registered = [procedure] {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.style = CS_DBLCLKS;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = ThisModule();
    window_class.hCursor = nullptr;  // the page sets it
    window_class.hbrBackground = nullptr;
    window_class.lpszClassName = kWindowClass;
    return RegisterClassExW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

uint32_t KeyStateModifiers() {
  uint32_t modifiers = 0;
  if (GetKeyState(VK_SHIFT) < 0)
    modifiers |= kShiftDown;
  if (GetKeyState(VK_CONTROL) < 0)
    modifiers |= kControlDown;
  if (GetKeyState(VK_MENU) < 0)
    modifiers |= kAltDown;
  if (GetKeyState(VK_NUMLOCK) & 1)
    modifiers |= kNumLockOn;
  if (GetKeyState(VK_CAPITAL) & 1)
    modifiers |= kCapsLockOn;
  return modifiers;
}

uint32_t MouseModifiers(WPARAM wparam) {
  uint32_t modifiers = KeyStateModifiers();
  if (wparam & MK_LBUTTON)
    modifiers |= kLeftMouseButton;
  if (wparam & MK_MBUTTON)
    modifiers |= kMiddleMouseButton;
  if (wparam & MK_RBUTTON)
    modifiers |= kRightMouseButton;
  return modifiers;
}

}  // namespace

BrowserWindow::BrowserWindow(BrowserWindowDelegate* delegate) : delegate_(delegate) {}

BrowserWindow::~BrowserWindow() {
  Destroy();
}

bool BrowserWindow::Create(const CreateParams& params) {
  if (hwnd_ || !RegisterWindowClass(&BrowserWindow::WindowProc))
    return false;
  DWORD style = params.style;
  // A child style needs a parent; without one the window is top-level.
  if (!params.parent)
    style &= ~static_cast<DWORD>(WS_CHILD);
  const int width = params.width > 0 ? params.width : (params.parent ? 0 : CW_USEDEFAULT);
  const int height = params.height > 0 ? params.height : (params.parent ? 0 : CW_USEDEFAULT);
  hwnd_ = CreateWindowExW(params.ex_style, kWindowClass, params.title.c_str(), style, params.x,
                          params.y, width, height, params.parent, nullptr, ThisModule(), this);
  return hwnd_ != nullptr;
}

void BrowserWindow::Destroy() {
  if (!hwnd_)
    return;
  HWND hwnd = std::exchange(hwnd_, nullptr);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  DestroyWindow(hwnd);
}

void BrowserWindow::SetFrame(PaintedFrame frame) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pixels_ = std::move(frame.pixels);
    frame_width_ = pixels_ ? frame.width : 0;
    frame_height_ = pixels_ ? frame.height : 0;
    ++frame_count_;
  }
  // Any thread may ask for a repaint; the paint itself runs on the
  // window's thread.
  if (HWND hwnd = hwnd_)
    InvalidateRect(hwnd, nullptr, FALSE);
}

bool BrowserWindow::FramePixel(int x, int y, uint32_t* pixel, int* width, int* height) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (width)
    *width = frame_width_;
  if (height)
    *height = frame_height_;
  return FramePixelOf(pixels_.get(), frame_width_, frame_height_, x, y, pixel);
}

uint64_t BrowserWindow::frame_count() {
  std::lock_guard<std::mutex> lock(mutex_);
  return frame_count_;
}

void BrowserWindow::SetCursor(Cursor cursor) {
  std::lock_guard<std::mutex> lock(mutex_);
  cursor_ = cursor;
}

BrowserWindow::Cursor BrowserWindow::cursor() {
  std::lock_guard<std::mutex> lock(mutex_);
  return cursor_;
}

SIZE BrowserWindow::ClientSize() const {
  RECT client = {};
  if (hwnd_)
    GetClientRect(hwnd_, &client);
  return {client.right - client.left, client.bottom - client.top};
}

LRESULT CALLBACK BrowserWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* window = static_cast<BrowserWindow*>(create->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<BrowserWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!window)
    return DefWindowProcW(hwnd, message, wparam, lparam);
  return window->HandleMessage(message, wparam, lparam);
}

LRESULT BrowserWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      delegate_->OnWindowResized(LOWORD(lparam), HIWORD(lparam));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lparam) == HTCLIENT) {
        const Cursor current = cursor();
        const LPCWSTR id = current == Cursor::kHand    ? IDC_HAND
                           : current == Cursor::kIBeam ? IDC_IBEAM
                                                       : IDC_ARROW;
        ::SetCursor(LoadCursorW(nullptr, id));
        return TRUE;
      }
      break;
    case WM_MOUSEACTIVATE:
      // A click gives the page the keyboard focus, as browsers do.
      ::SetFocus(hwnd_);
      return MA_ACTIVATE;
    case WM_SETFOCUS:
      delegate_->OnWindowFocus(true);
      return 0;
    case WM_KILLFOCUS:
      delegate_->OnWindowFocus(false);
      return 0;
    case WM_GETDLGCODE:
      // Tab, arrows and characters belong to the page.
      return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_WANTTAB;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSELEAVE:
      OnMouse(message, wparam, lparam);
      return 0;
    case WM_MOUSEWHEEL: {
      POINT point = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      ScreenToClient(hwnd_, &point);
      const int delta = GET_WHEEL_DELTA_WPARAM(wparam);
      const uint32_t modifiers = MouseModifiers(GET_KEYSTATE_WPARAM(wparam));
      if (modifiers & kShiftDown)
        delegate_->OnWindowWheel(point.x, point.y, delta, 0, modifiers);
      else
        delegate_->OnWindowWheel(point.x, point.y, 0, delta, modifiers);
      return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      OnKey(message, wparam, lparam);
      // System keys still reach the system (Alt+F4 and the menu).
      if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP || message == WM_SYSCHAR)
        break;
      return 0;
    case WM_DESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      delegate_->OnWindowDestroyed();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void BrowserWindow::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  RECT client;
  GetClientRect(hwnd_, &client);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (frame_width_ > 0 && frame_height_ > 0) {
      BITMAPINFO info = {};
      info.bmiHeader.biSize = sizeof(info.bmiHeader);
      info.bmiHeader.biWidth = frame_width_;
      info.bmiHeader.biHeight = -frame_height_;  // top-down rows
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 32;
      info.bmiHeader.biCompression = BI_RGB;
      SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(frame_width_),
                        static_cast<DWORD>(frame_height_), 0, 0, 0,
                        static_cast<UINT>(frame_height_), pixels_->data(), &info, DIB_RGB_COLORS);
    }
    // What the frame does not cover is the page's white.
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    if (client.right > frame_width_) {
      RECT right = {frame_width_, 0, client.right, client.bottom};
      FillRect(dc, &right, white);
    }
    if (client.bottom > frame_height_) {
      RECT bottom = {0, frame_height_, std::min<LONG>(frame_width_, client.right), client.bottom};
      FillRect(dc, &bottom, white);
    }
  }
  EndPaint(hwnd_, &paint);
}

void BrowserWindow::OnMouse(UINT message, WPARAM wparam, LPARAM lparam) {
  using Action = BrowserWindowDelegate::MouseAction;
  using Button = BrowserWindowDelegate::MouseButton;
  BrowserWindowDelegate::MouseInput input;
  input.x = GET_X_LPARAM(lparam);
  input.y = GET_Y_LPARAM(lparam);
  input.modifiers = MouseModifiers(wparam);
  switch (message) {
    case WM_MOUSEMOVE:
      input.action = Action::kMove;
      if (!tracking_leave_) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd_, 0};
        tracking_leave_ = TrackMouseEvent(&track) != FALSE;
      }
      break;
    case WM_MOUSELEAVE:
      tracking_leave_ = false;
      input.action = Action::kLeave;
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      input.action = Action::kDown;
      SetCapture(hwnd_);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      input.action = Action::kUp;
      if (GetCapture() == hwnd_)
        ReleaseCapture();
      break;
    default:
      input.action = Action::kDoubleClick;
      break;
  }
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      input.button = Button::kLeft;
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      input.button = Button::kRight;
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      input.button = Button::kMiddle;
      break;
    default:
      break;
  }
  delegate_->OnWindowMouse(input);
}

void BrowserWindow::OnKey(UINT message, WPARAM wparam, LPARAM lparam) {
  using Action = BrowserWindowDelegate::KeyAction;
  BrowserWindowDelegate::KeyInput input;
  input.windows_key_code = static_cast<int>(wparam);
  input.native_key_code = static_cast<int>(lparam);
  input.is_system_key = message == WM_SYSKEYDOWN || message == WM_SYSKEYUP || message == WM_SYSCHAR;
  input.modifiers = KeyStateModifiers();
  if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
    input.action = Action::kRawKeyDown;
  else if (message == WM_KEYUP || message == WM_SYSKEYUP)
    input.action = Action::kKeyUp;
  else
    input.action = Action::kChar;
  delegate_->OnWindowKey(input);
}

}  // namespace cef_standin
