#include "ui/control/combo.h"

#include <algorithm>

#include "ui/control/attribute_value.h"
#include "ui/control/linear_layout.h"
#include "ui/control/list_container_element.h"
#include "ui/render/render_context.h"

namespace ui {

namespace {

constexpr uint32_t kComboTextStyle = DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;

HWND NativeWindowOf(const Control& control) {
  auto* window = dynamic_cast<Window*>(control.GetWindow());
  return window ? window->GetHWND() : nullptr;
}

// |rect| from the client coordinates of |hwnd| to the screen's.
UiRect ToScreen(HWND hwnd, const UiRect& rect) {
  POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
  MapWindowPoints(hwnd, HWND_DESKTOP, corners, 2);
  return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

}  // namespace

// The drop-down.

std::wstring CComboWnd::WindowClassName() const {
  return L"ComboWnd";
}

void CComboWnd::Open(Combo* owner) {
  owner_ = owner;
  HWND owner_hwnd = NativeWindowOf(*owner);
  const UiPoint offset = owner->GetScrollOffset();
  const UiRect rc = owner->GetBounds(true).Offset(-offset.x, -offset.y);

  UiRect popup;
  popup.left = rc.left;
  popup.right = owner->drop_box_width_ > 0 ? rc.left + owner->drop_box_width_ : rc.right;
  popup.top = rc.bottom + 1;
  int64_t total = 0;
  for (int32_t i = 0; i < owner->list_->GetCount(); ++i) {
    Control* item = owner->list_->GetItemAt(i);
    if (item->IsVisible())
      total += item->Measure({popup.Width(), owner->drop_box_height_}).cy;
  }
  const auto height = static_cast<int32_t>(std::min<int64_t>(total + 2, owner->drop_box_height_));
  popup.bottom = popup.top + height;
  UiRect screen = ToScreen(owner_hwnd, popup);

  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(owner_hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
  if (monitor.rcWork.bottom < screen.bottom || owner->popup_top_)
    screen = ToScreen(owner_hwnd, {rc.left, rc.top - height, popup.right, rc.top});

  const std::weak_ptr<kbase::WeakFlag> alive = AcquireWeakFlag();
  if (!Create(owner_hwnd, L"", WS_POPUP, WS_EX_TOOLWINDOW, /*layered=*/true, screen)) {
    // A native window that came and went has deleted this object already.
    if (!alive.expired()) {
      owner->drop_window_ = nullptr;
      delete this;
    }
    return;
  }
  ShowWindow(GetHWND(), SW_SHOW);
  HWND top = GetHWND();
  while (HWND parent = GetParent(top))
    top = parent;
  SendMessageW(top, WM_NCACTIVATE, TRUE, 0);
}

void CComboWnd::GiveListBack() {
  if (!owner_ || !GetRoot())
    return;
  ListBox* list = owner_->list_.get();
  auto* root = static_cast<Box*>(GetRoot());
  if (root->GetItemIndex(list) < 0)
    return;
  owner_->SelectItem(list->GetCurSel());
  root->RemoveAt(0);
  list->SetWindowAndParent(nullptr, nullptr, false);
}

LRESULT CComboWnd::OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE: {
      AttachNativeWindow(GetHWND());
      auto* root = new Box();
      root->SetAutoDestroy(false);
      root->Add(owner_->list_.get());
      AttachRoot(root);
      SetSkinFolder(owner_->GetWindow() ? owner_->GetWindow()->SkinFolder() : L"");
      Shadow().SetAttached(false);
      return 0;
    }
    case WM_CLOSE:
      if (owner_) {
        owner_->SetWindowAndParent(owner_->GetWindow(), owner_->GetParent(), false);
        owner_->SetBounds(owner_->GetBounds(true));
        owner_->SetFocus();
      }
      break;
    case WM_KEYDOWN:
      // Escape closes the drop-down as losing the focus does.
      if (wparam == VK_ESCAPE && !closing_) {
        PostMessageW(GetHWND(), WM_KILLFOCUS, 0, 0);
        return 0;
      }
      break;
    case WM_KILLFOCUS:
      if (reinterpret_cast<HWND>(wparam) != GetHWND() && !closing_) {
        closing_ = true;
        PostMessageW(GetHWND(), WM_CLOSE, 0, 0);
        GiveListBack();
      }
      break;
    default:
      break;
  }
  if (!closing_) {
    bool handled = false;
    const LRESULT result = HandleWindowMessage(message, wparam, lparam, &handled);
    if (handled)
      return result;
  }
  return CallPreviousProc(message, wparam, lparam);
}

void CComboWnd::OnWindowDestroyed(HWND /*hwnd*/) {
  // Destroyed without losing the focus first (its owner went): the list
  // must not stay in a root that is about to go.
  GiveListBack();
  if (owner_) {
    owner_->drop_window_ = nullptr;
    owner_->Invalidate();
  }
  delete this;
}

// The combo.

Combo::Combo() : list_(std::make_unique<ListBox>(std::make_unique<VLayout>())) {
  list_->GetLayout()->SetPadding({1, 1, 1, 1});
  list_->SetBorderSizes({1, 1, 1, 1});
  list_->Invalidate();
  list_->SetAutoDestroy(false);
  list_->EnableScrollBar(true, false);
  list_->ApplyAttributeList(drop_box_attributes_);
  list_->AttachEvent(kEventSelect,
                     MakeWeakCallback([this](EventArgs* args) { return OnListSelect(args); }));
}

Combo::~Combo() {
  if (drop_window_ && drop_window_->GetHWND()) {
    // The pop-up deletes itself with its native window and lets go of us.
    DestroyWindow(drop_window_->GetHWND());
  }
  // Removing an item hands it back to its caller, but the items still in
  // the list belong to the combo and go with it.
  list_->SetAutoDestroy(true);
}

void Combo::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"dropbox") {
    drop_box_attributes_ = value;
    list_->ApplyAttributeList(value);
  } else if (name == L"vscrollbar") {
    // Accepted: the list always has its vertical bar.
  } else if (name == L"dropboxsize") {
    const UiSize size = attribute_value::ReadSize(value);
    SetDropBoxSize(size.cx, size.cy);
  } else if (name == L"popuptop") {
    popup_top_ = attribute_value::ReadBool(value);
  } else {
    Box::ApplyAttribute(name, value);
  }
}

void Combo::SetDropBoxSize(int32_t width, int32_t height) {
  drop_box_width_ = width;
  drop_box_height_ = height;
}

void Combo::Activate() {
  if (!IsActivatable() || drop_window_)
    return;
  drop_window_ = new CComboWnd();
  drop_window_->Open(this);
  if (drop_window_) {
    EventArgs args;
    args.type = kEventClick;
    args.sender = this;
    args.timestamp = GetTickCount();
    args.mousePoint = drop_window_->GetLastMousePos();
    DispatchEvent(&args);
  }
  Invalidate();
}

bool Combo::OnListSelect(EventArgs* /*args*/) {
  if (drop_window_ && drop_window_->GetHWND())
    PostMessageW(drop_window_->GetHWND(), WM_KILLFOCUS, 0, 0);
  cur_sel_ = list_->GetCurSel();
  if (Control* item = list_->GetItemAt(cur_sel_)) {
    item->SetHotAlpha(0);
    item->SetState(ControlState::kNormal);
    item->Invalidate();
  }
  if (drop_window_) {
    EventArgs select;
    select.type = kEventSelect;
    select.sender = this;
    select.timestamp = GetTickCount();
    select.mousePoint = drop_window_->GetLastMousePos();
    select.wParam = static_cast<uintptr_t>(cur_sel_);
    select.lParam = -1;
    DispatchEvent(&select);
  }
  return true;
}

int32_t Combo::GetCount() const {
  return list_->GetCount();
}

bool Combo::Add(Control* control) {
  list_->Add(control);
  if (control)
    control->SetReceivePointer(true);
  cur_sel_ = list_->GetCurSel();
  return true;
}

bool Combo::Remove(Control* control) {
  const bool removed = list_->Remove(control);
  cur_sel_ = list_->GetCurSel();
  return removed;
}

bool Combo::RemoveAt(int32_t index) {
  const bool removed = list_->RemoveItemAt(index);
  cur_sel_ = list_->GetCurSel();
  return removed;
}

void Combo::RemoveAll() {
  list_->RemoveAll();
  cur_sel_ = -1;
}

bool Combo::SelectItem(int32_t index) {
  if (index < 0 || index >= list_->GetCount() || index == cur_sel_)
    return false;
  cur_sel_ = index;
  list_->SelectItem(index, /*take_focus=*/false, /*notify=*/false);
  return true;
}

std::wstring Combo::GetText() const {
  if (cur_sel_ < 0)
    return {};
  auto* item = dynamic_cast<ListContainerElement*>(list_->GetItemAt(cur_sel_));
  return item ? item->GetText() : std::wstring();
}

void Combo::PaintText(IRenderContext* context) {
  if (cur_sel_ < 0)
    return;
  auto* item = dynamic_cast<ListContainerElement*>(list_->GetItemAt(cur_sel_));
  if (!item)
    return;
  const UiPadding padding = item->GetTextPadding();
  const UiRect rc{bounds_.left + padding.left, bounds_.top + padding.top,
                  bounds_.right - padding.right, bounds_.bottom - padding.bottom};
  const std::wstring text = GetText();
  if (text.empty() || !item->GetOwner())
    return;
  const uint32_t color =
      GlobalResources::ColorByName(item->GetStateTextColor(ControlState::kNormal));
  context->DrawText(rc, text, color, item->GetFont(), kComboTextStyle, 255, false);
}

}  // namespace ui
