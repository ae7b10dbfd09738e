#include "ui/core/window.h"

#include <algorithm>
#include <utility>

#include "base/thread/thread_checker.h"
#include "ui/control/box.h"
#include "ui/control/control.h"
#include "ui/core/global_resources.h"
#include "ui/core/language_strings.h"
#include "ui/core/touch_api.h"
#include "ui/render/render_context.h"

namespace ui {

namespace {

// The window property through which a superclassed window finds its object.
constexpr wchar_t kWindowProperty[] = L"WndX";

HINSTANCE ModuleInstance() {
  return GetModuleHandleW(nullptr);
}

bool RegisteredOrExists(ATOM atom) {
  return atom != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

Control* MatchPoint(Control* control, void* data) {
  const UiPoint& point = *static_cast<const UiPoint*>(data);
  return control->GetBounds(true).Contains(point) ? control : nullptr;
}

UiRect ToUiRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

Window::Window() {
  LOGFONTW font = {};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
  font.lfCharSet = DEFAULT_CHARSET;
  default_font_.handle = CreateFontIndirectW(&font);
  default_font_.faceName = font.lfFaceName;
  default_font_.size = -font.lfHeight;
  default_font_.bold = font.lfWeight >= FW_BOLD;
  default_font_.underline = font.lfUnderline != 0;
  default_font_.italic = font.lfItalic != 0;
}

Window::~Window() {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  // Weak callbacks (the fade, the close timer) must not reach a dying window.
  weak_flag_.Cancel();
  for (Control* control : std::exchange(deferred_deletions_, {}))
    delete control;
  // The tree asks the window to forget each control it deletes.
  delete std::exchange(root_, nullptr);
  if (default_font_.handle)
    DeleteObject(default_font_.handle);
  classes_.clear();
  option_groups_.clear();
  name_index_.clear();
  if (handle_ && IsWindow(handle_)) {
    HWND hwnd = handle_;
    // Unbind first: the messages of the destruction no longer reach this
    // half-destroyed object.
    ReleasePaintDC();
    if (GetPropW(hwnd, kWindowProperty) == this)
      RemovePropW(hwnd, kWindowProperty);
    if (GetWindowLongPtrW(hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    handle_ = nullptr;
    DestroyWindow(hwnd);
  }
  ReleasePaintDC();
}

std::wstring Window::WindowClassName() const {
  return {};
}

std::wstring Window::SuperclassName() const {
  return {};
}

UINT Window::WindowClassStyle() const {
  return 0;
}

bool Window::RegisterWindowClass() {
  const std::wstring name = WindowClassName();
  WNDCLASSW window_class = {};
  window_class.style = WindowClassStyle();
  window_class.lpfnWndProc = &Window::WindowProc;
  window_class.hInstance = ModuleInstance();
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = name.c_str();
  return RegisteredOrExists(RegisterClassW(&window_class));
}

bool Window::RegisterSuperclass() {
  const std::wstring base = SuperclassName();
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  if (!GetClassInfoExW(nullptr, base.c_str(), &window_class) &&
      !GetClassInfoExW(ModuleInstance(), base.c_str(), &window_class)) {
    return false;
  }
  previous_proc_ = window_class.lpfnWndProc;
  const std::wstring name = WindowClassName();
  window_class.lpfnWndProc = &Window::SuperclassProc;
  window_class.hInstance = ModuleInstance();
  window_class.lpszClassName = name.c_str();
  return RegisteredOrExists(RegisterClassExW(&window_class));
}

HWND Window::Create(HWND parent,
                    const std::wstring& title,
                    DWORD style,
                    DWORD ex_style,
                    bool layered,
                    const UiRect& rect) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  // One object, one native window.
  if (handle_)
    return nullptr;
  const bool registered = SuperclassName().empty() ? RegisterWindowClass() : RegisterSuperclass();
  if (!registered)
    return nullptr;
  layered_ = layered;
  if (layered)
    ex_style |= WS_EX_LAYERED;
  const std::weak_ptr<kbase::WeakFlag> alive = AcquireWeakFlag();
  HWND hwnd = CreateWindowExW(ex_style, WindowClassName().c_str(), title.c_str(), style, rect.left,
                              rect.top, rect.Width(), rect.Height(), parent, nullptr,
                              ModuleInstance(), this);
  // A refused creation destroys the native window, and with it a window
  // object that deletes itself then.
  if (!hwnd || alive.expired())
    return nullptr;
  const LONG current = GetWindowLongW(hwnd, GWL_STYLE);
  if (current & WS_CAPTION)
    SetWindowLongW(hwnd, GWL_STYLE, current & ~WS_CAPTION);
  return hwnd;
}

void Window::Show(bool show, bool activate) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  if (!handle_)
    return;
  ShowWindow(handle_, !show ? SW_HIDE : (activate ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE));
}

void Window::OnWindowDestroyed(HWND hwnd) {
  touch_api::UnregisterTouchWindow(hwnd);
  RaiseWindowClose();
}

LRESULT Window::OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  const std::weak_ptr<kbase::WeakFlag> alive = AcquireWeakFlag();
  HWND hwnd = handle_;
  WNDPROC previous = previous_proc_;
  bool handled = false;
  const LRESULT result = HandleWindowMessage(message, wparam, lparam, &handled);
  if (handled)
    return result;
  // A handler may have destroyed the object; the native window may live on.
  if (alive.expired())
    return hwnd && IsWindow(hwnd) ? DefWindowProcW(hwnd, message, wparam, lparam) : 0;
  return CallWindowProcW(previous, hwnd, message, wparam, lparam);
}

LRESULT Window::CallPreviousProc(UINT message, WPARAM wparam, LPARAM lparam) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  return CallWindowProcW(previous_proc_, handle_, message, wparam, lparam);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Window* window = nullptr;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    window = static_cast<Window*>(create->lpCreateParams);
    if (window) {
      window->handle_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
  } else {
    window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window && message == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      return OnNcDestroy(window, hwnd, wparam, lparam);
    }
  }
  if (window)
    return window->Dispatch(message, wparam, lparam);
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK Window::SuperclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Window* window = nullptr;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    window = static_cast<Window*>(create->lpCreateParams);
    if (window) {
      window->handle_ = hwnd;
      SetPropW(hwnd, kWindowProperty, window);
    }
  } else {
    window = static_cast<Window*>(GetPropW(hwnd, kWindowProperty));
    if (window && message == WM_NCDESTROY) {
      RemovePropW(hwnd, kWindowProperty);
      return OnNcDestroy(window, hwnd, wparam, lparam);
    }
  }
  if (window)
    return window->Dispatch(message, wparam, lparam);
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
  // Whoever handles this paint, the next invalidation must post again.
  if (message == WM_PAINT)
    paint_posted_ = false;
  return OnWindowMessage(message, wparam, lparam);
}

LRESULT Window::OnNcDestroy(Window* window, HWND hwnd, WPARAM wparam, LPARAM lparam) {
  const LRESULT result =
      CallWindowProcW(window->previous_proc_, hwnd, WM_NCDESTROY, wparam, lparam);
  window->ReleasePaintDC();
  // The handles are stale from here on (the tooltip went with its owner); a
  // later Show or Close must not reach whatever window reuses them.
  window->handle_ = nullptr;
  window->tooltip_window_ = nullptr;
  if (window->subclassed_) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(window->previous_proc_));
    window->subclassed_ = false;
  }
  window->OnWindowDestroyed(hwnd);
  return result;
}

void Window::ReleasePaintDC() {
  if (paint_dc_ && handle_)
    ReleaseDC(handle_, paint_dc_);
  paint_dc_ = nullptr;
}

void Window::AttachNativeWindow(HWND hwnd) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  ReleasePaintDC();
  handle_ = hwnd;
  paint_dc_ = GetDC(hwnd);
  render_context_ = GlobalResources::CreateRenderContext();
  touch_api::RegisterTouchWindow(hwnd);
}

void Window::ClearTargets() {
  new_hover_ = nullptr;
  hover_ = nullptr;
  click_target_ = nullptr;
  key_target_ = nullptr;
  touch_target_ = nullptr;
  pointer_target_ = nullptr;
}

bool Window::AttachRoot(Control* root) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  SetFocusControl(nullptr);
  ClearTargets();
  // Attaching the current root again must not queue it for deletion.
  if (root_ && root_ != root) {
    if (root_ == shadow_.box())
      shadow_.ForgetBox();
    root_->SetWindowAndParent(this, nullptr, false);
    DeferDelete(root_);
  }
  root_ = root;
  layout_needed_ = true;
  focus_next_pending_ = true;
  first_paint_pending_ = true;
  if (!root)
    return false;
  root->SetWindowAndParent(this, root->GetParent(), true);
  IndexNames(root);
  // A live window shows its new tree at once.
  InvalidateAll();
  return true;
}

void Window::IndexNames(Control* control) {
  if (!control->GetName().empty())
    name_index_[control->GetName()] = control;
  if (Box* box = dynamic_cast<Box*>(control)) {
    for (Control* child : box->children())
      IndexNames(child);
  }
}

bool Window::RegisterSubtree(Control* control, Box* parent) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  if (!control)
    return false;
  control->SetWindowAndParent(this, parent ? parent : control->GetParent(), true);
  IndexNames(control);
  return true;
}

void Window::DeferDelete(Control* control) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  if (!control)
    return;
  deferred_deletions_.push_back(control);
  if (handle_)
    PostMessageW(handle_, kMsgDeleteDeferred, 0, 0);
}

void Window::ForgetControl(Control* control) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  for (Control** target : {&focus_, &new_hover_, &hover_, &click_target_, &key_target_,
                           &touch_target_, &pointer_target_}) {
    if (*target == control)
      *target = nullptr;
  }
  // Only the entry of this very control goes: a later control of the same
  // name keeps its entry.
  auto found = name_index_.find(control->GetName());
  if (found != name_index_.end() && found->second == control)
    name_index_.erase(found);
}

Control* Window::FindControlByName(const std::wstring& name) const {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  auto found = name_index_.find(name);
  return found == name_index_.end() ? nullptr : found->second;
}

Control* Window::FindControlAt(UiPoint point) const {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  if (!root_)
    return nullptr;
  return root_->FindControl(&MatchPoint, &point, kFindVisible | kFindHitTest | kFindTopFirst);
}

bool Window::BelongsHere(const Control* control) const {
  return control && control->GetWindow() == static_cast<const ControlHost*>(this);
}

void Window::Send(Control* control,
                  EventType type,
                  WPARAM wparam,
                  LPARAM lparam,
                  wchar_t key_char,
                  float pressure,
                  UiPoint point) {
  if (control) {
    control->SendEvent(type, static_cast<uintptr_t>(wparam), static_cast<intptr_t>(lparam),
                       key_char, pressure, point);
  }
}

void Window::SendNotify(Control* control, EventType type, WPARAM wparam, LPARAM lparam) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  if (!control)
    return;
  EventArgs args;
  args.type = type;
  args.sender = control;
  args.timestamp = GetTickCount();
  args.mousePoint = last_mouse_point_;
  args.wParam = static_cast<uintptr_t>(wparam);
  args.lParam = static_cast<intptr_t>(lparam);
  control->DispatchEvent(&args);
}

void Window::AttachWindowEvent(EventType type, EventHandler handler) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  KBASE_DCHECK(handler);
  if (handler)
    window_events_[type].push_back(std::move(handler));
}

void Window::RaiseWindowClose() {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  EventArgs args;
  args.type = kEventWindowClose;
  args.timestamp = GetTickCount();
  args.mousePoint = last_mouse_point_;
  const std::weak_ptr<kbase::WeakFlag> alive = AcquireWeakFlag();
  for (EventType type : {kEventWindowClose, kEventAll}) {
    auto found = window_events_.find(type);
    if (found == window_events_.end())
      continue;
    // A handler may attach more handlers; run the list as it was.
    const std::vector<EventHandler> handlers = found->second;
    for (const EventHandler& handler : handlers) {
      if (!handler(&args) || alive.expired())
        return;
    }
  }
}

void Window::SetFocusControl(Control* control) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  if (handle_ && GetFocus() != handle_ && control && control != focus_)
    ::SetFocus(handle_);
  if (control == focus_)
    return;
  if (Control* old = std::exchange(focus_, nullptr)) {
    const std::weak_ptr<kbase::WeakFlag> old_alive = old->AcquireWeakFlag();
    Send(old, kEventInternalKillFocus, 0, 0);
    if (!old_alive.expired())
      SendNotify(old, kEventKillFocus);
  }
  if (BelongsHere(control) && control->IsVisible() && control->IsEnabled()) {
    focus_ = control;
    const std::weak_ptr<kbase::WeakFlag> alive = control->AcquireWeakFlag();
    Send(control, kEventInternalSetFocus, 0, 0);
    if (!alive.expired())
      SendNotify(control, kEventSetFocus);
  }
}

namespace {

struct TabWalk {
  std::vector<Control*> visited;
  std::vector<bool> tab_stop;
};

Control* CollectForTab(Control* control, void* data) {
  auto* walk = static_cast<TabWalk*>(data);
  walk->visited.push_back(control);
  walk->tab_stop.push_back((control->GetTabFlags() & kTabStop) != 0);
  return nullptr;
}

}  // namespace

void Window::MoveFocus(bool forward) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  if (layout_needed_ && forward) {
    focus_next_pending_ = true;
    InvalidateAll();
    return;
  }
  focus_next_pending_ = false;
  if (!root_)
    return;
  TabWalk walk;
  root_->FindControl(&CollectForTab, &walk, kFindVisible | kFindEnabled | kFindMeFirst);
  const size_t count = walk.visited.size();
  auto first_stop = [&]() -> Control* {
    for (size_t i = 0; i < count; ++i) {
      if (walk.tab_stop[i])
        return walk.visited[i];
    }
    return nullptr;
  };
  auto last_stop = [&]() -> Control* {
    for (size_t i = count; i-- > 0;) {
      if (walk.tab_stop[i])
        return walk.visited[i];
    }
    return nullptr;
  };
  const auto position = std::find(walk.visited.begin(), walk.visited.end(), focus_);
  Control* next = nullptr;
  if (!focus_ || position == walk.visited.end()) {
    next = first_stop();
  } else if (forward) {
    for (size_t i = static_cast<size_t>(position - walk.visited.begin()) + 1; i < count && !next;
         ++i) {
      if (walk.tab_stop[i])
        next = walk.visited[i];
    }
    if (!next)
      next = first_stop();
  } else {
    for (size_t i = static_cast<size_t>(position - walk.visited.begin()); i-- > 0 && !next;) {
      if (walk.tab_stop[i])
        next = walk.visited[i];
    }
    if (!next)
      next = last_stop();
  }
  if (next)
    SetFocusControl(next);
}

void Window::Invalidate(const UiRect& rect) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  // Controls not laid out yet have nothing to repaint; skipping them saves
  // the system calls of every attribute a skin applies.
  if (!handle_ || rect.IsEmpty())
    return;
  const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
  InvalidateRect(handle_, &area, FALSE);
  PostPaint();
}

void Window::InvalidateAll() {
  if (!handle_)
    return;
  InvalidateRect(handle_, nullptr, FALSE);
  PostPaint();
}

void Window::PostPaint() {
  // Layered windows get no paint messages of their own; one posted message
  // serves every invalidation until it is handled.
  if (layered_ && !paint_posted_)
    paint_posted_ = PostMessageW(handle_, WM_PAINT, 0, 0) != FALSE;
}

std::wstring Window::WindowClassAttributes(const std::wstring& class_name) const {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  auto found = classes_.find(class_name);
  return found == classes_.end() ? std::wstring() : found->second;
}

void Window::DefineWindowClass(const std::wstring& class_name, const std::wstring& attributes) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  classes_[class_name] = attributes;
}

void Window::SetSkinFolder(const std::wstring& folder) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  skin_folder_ = folder;
  if (!skin_folder_.empty() && skin_folder_.back() != L'\\' && skin_folder_.back() != L'/')
    skin_folder_.push_back(L'\\');
}

bool Window::AddToGroup(const std::wstring& group, Control* control) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  KBASE_DCHECK(control);
  std::vector<Control*>& members = option_groups_[group];
  if (std::find(members.begin(), members.end(), control) != members.end())
    return false;
  members.push_back(control);
  return true;
}

const std::vector<Control*>* Window::GetGroup(const std::wstring& group) const {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  auto found = option_groups_.find(group);
  return found == option_groups_.end() ? nullptr : &found->second;
}

void Window::RemoveFromGroup(const std::wstring& group, Control* control) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  auto found = option_groups_.find(group);
  if (found == option_groups_.end())
    return;
  std::vector<Control*>& members = found->second;
  members.erase(std::remove(members.begin(), members.end(), control), members.end());
  if (members.empty())
    option_groups_.erase(found);
}

void Window::AddMessageFilter(IUIMessageFilter* filter) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  KBASE_DCHECK(filter);
  KBASE_DCHECK(std::find(message_filters_.begin(), message_filters_.end(), filter) ==
               message_filters_.end());
  if (filter)
    message_filters_.push_back(filter);
}

bool Window::RemoveMessageFilter(IUIMessageFilter* filter) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  auto found = std::find(message_filters_.begin(), message_filters_.end(), filter);
  if (found == message_filters_.end())
    return false;
  message_filters_.erase(found);
  return true;
}

void Window::SetTextId(const std::wstring& id) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  if (handle_)
    SetWindowTextW(handle_, LanguageStrings::Instance()->StringById(id).c_str());
}

void Window::SetMinSize(int32_t cx, int32_t cy) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  const UiPadding shadow = shadow_.Corner();
  min_size_.cx = cx == 0 ? 0 : cx + shadow.left + shadow.right;
  min_size_.cy = cy == 0 ? 0 : cy + shadow.top + shadow.bottom;
}

void Window::SetMaxSize(int32_t cx, int32_t cy) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  const UiPadding shadow = shadow_.Corner();
  max_size_.cx = cx == 0 ? 0 : cx + shadow.left + shadow.right;
  max_size_.cy = cy == 0 ? 0 : cy + shadow.top + shadow.bottom;
}

void Window::SetInitialSize(int32_t cx, int32_t cy) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  const UiPadding shadow = shadow_.Corner();
  SetInitialSizeWithShadow({cx + shadow.left + shadow.right, cy + shadow.top + shadow.bottom});
}

void Window::SetInitialSizeWithShadow(UiSize size) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  initial_size_ = size;
  if (!root_ && handle_) {
    SetWindowPos(handle_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Window::SetWindowPosWithShadow(const UiRect& rect, HWND insert_after, UINT flags) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  if (!handle_)
    return;
  const UiPadding shadow = shadow_.Corner();
  const UiRect outer = {rect.left - shadow.left, rect.top - shadow.top, rect.right + shadow.right,
                        rect.bottom + shadow.bottom};
  SetWindowPos(handle_, insert_after, outer.left, outer.top, outer.Width(), outer.Height(), flags);
}

void Window::CenterWindow() {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  if (!handle_)
    return;
  RECT window_rect = {};
  GetWindowRect(handle_, &window_rect);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(handle_, MONITOR_DEFAULTTONEAREST), &monitor);
  const UiRect work = ToUiRect(monitor.rcWork);
  UiRect center = work;
  HWND owner = GetWindow(handle_, GW_OWNER);
  if (owner && !IsIconic(owner)) {
    RECT owner_rect = {};
    GetWindowRect(owner, &owner_rect);
    center = ToUiRect(owner_rect);
  }
  const int32_t width = window_rect.right - window_rect.left;
  const int32_t height = window_rect.bottom - window_rect.top;
  int32_t x = center.left + (center.Width() - width) / 2;
  int32_t y = center.top + (center.Height() - height) / 2;
  // The left and top edges win when the window is larger than the area.
  if (x < work.left)
    x = work.left;
  else if (x + width > work.right)
    x = work.right - width;
  if (y < work.top)
    y = work.top;
  else if (y + height > work.bottom)
    y = work.bottom - height;
  SetWindowPos(handle_, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ui
