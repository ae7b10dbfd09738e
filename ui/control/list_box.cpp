#include "ui/control/list_box.h"

#include <algorithm>

#include "ui/control/attribute_value.h"
#include "ui/control/list_container_element.h"

namespace ui {

namespace {

// Virtual-key codes of key-down events.
constexpr wchar_t kKeyEnd = 35;
constexpr wchar_t kKeyHome = 36;
constexpr wchar_t kKeyUp = 38;
constexpr wchar_t kKeyDown = 40;

ListContainerElement* AsElement(Control* control) {
  return dynamic_cast<ListContainerElement*>(control);
}

}  // namespace

ListBox::ListBox(std::unique_ptr<Layout> layout) : ScrollableBox(std::move(layout)) {}

void ListBox::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"scrollselect")
    SetScrollSelect(attribute_value::ReadBool(value));
  else
    ScrollableBox::ApplyAttribute(name, value);
}

bool ListBox::DispatchEvent(EventArgs* args) {
  return ScrollableBox::DispatchEvent(args);
}

bool ListBox::HandleEvent(EventArgs* args) {
  if (!IsMouseEnabled() && IsMouseEvent(args->type)) {
    if (parent_)
      return parent_->DispatchEvent(args);
    return ScrollableBox::HandleEvent(args);
  }
  switch (args->type) {
    case kEventKeyDown:
      switch (args->keyChar) {
        case kKeyUp:
          SelectItem(FindSelectableIndex(cur_sel_ - 1, false), true, true);
          return true;
        case kKeyDown:
          SelectItem(FindSelectableIndex(cur_sel_ + 1, true), true, true);
          return true;
        case kKeyHome:
          SelectItem(FindSelectableIndex(0, false), true, true);
          return true;
        case kKeyEnd:
          SelectItem(FindSelectableIndex(GetCount() - 1, true), true, true);
          return true;
        default:
          break;
      }
      break;
    case kEventMouseButtonDown:
    case kEventMouseButtonUp:
      return true;
    case kEventMouseScrollWheel:
      if (scroll_select_) {
        if (static_cast<intptr_t>(args->wParam) > 0)
          SelectItem(FindSelectableIndex(cur_sel_ - 1, false), true, true);
        else
          SelectItem(FindSelectableIndex(cur_sel_ + 1, true), true, true);
        return true;
      }
      break;
    default:
      break;
  }
  return ScrollableBox::HandleEvent(args);
}

bool ListBox::OnButtonDown(EventArgs* args) {
  const bool result = ScrollableBox::OnButtonDown(args);
  StopScroll();
  return result;
}

bool ListBox::Add(Control* control) {
  if (ListContainerElement* element = AsElement(control)) {
    element->SetOwner(this);
    element->SetIndex(GetCount());
  }
  return ScrollableBox::Add(control);
}

bool ListBox::Remove(Control* control) {
  const int32_t index = GetItemIndex(control);
  return index >= 0 && RemoveItemAt(index);
}

bool ListBox::RemoveItemAt(int32_t index) {
  Control* child = GetItemAt(index);
  if (!child || !ScrollableBox::Remove(child))
    return false;
  RenumberFrom(index, GetCount() - 1);
  if (index == cur_sel_ && cur_sel_ >= 0) {
    cur_sel_ = index - 1;
    SelectItem(FindSelectableIndex(index, false), false, true);
  } else if (index < cur_sel_) {
    --cur_sel_;
  }
  return true;
}

void ListBox::RemoveAll() {
  cur_sel_ = -1;
  ScrollableBox::RemoveAll();
}

bool ListBox::SetItemIndex(Control* control, int32_t index) {
  const int32_t current = GetItemIndex(control);
  if (current < 0)
    return false;
  if (current == index)
    return true;
  Control* selected = cur_sel_ >= 0 ? GetItemAt(cur_sel_) : nullptr;
  if (!ScrollableBox::SetItemIndex(control, index))
    return false;
  RenumberFrom(std::min(current, index), std::max(current, index));
  if (selected)
    cur_sel_ = GetItemIndex(selected);
  return true;
}

void ListBox::RenumberFrom(int32_t first, int32_t last) {
  for (int32_t i = std::max(first, 0); i <= last && i < GetCount(); ++i) {
    if (ListContainerElement* element = AsElement(GetItemAt(i)))
      element->SetIndex(i);
  }
}

bool ListBox::SelectItem(int32_t index, bool take_focus, bool notify) {
  const int32_t old = cur_sel_;
  if (cur_sel_ >= 0) {
    if (ListContainerElement* element = AsElement(GetItemAt(cur_sel_)))
      element->OptionTemplate<Box>::SetSelected(false, notify);
    cur_sel_ = -1;
  }
  if (index < 0)
    return false;
  Control* child = GetItemAt(index);
  ListContainerElement* element = AsElement(child);
  if (!element || !element->IsVisible() || !element->IsEnabled())
    return false;
  cur_sel_ = index;
  element->OptionTemplate<Box>::SetSelected(true, notify);
  EnsureVisible(element->GetBounds(true));
  if (take_focus)
    element->SetFocus();
  if (window_ && notify)
    SendEvent(kEventSelect, static_cast<uintptr_t>(cur_sel_), old);
  return true;
}

UiRect ListBox::ViewRect() const {
  const UiPadding padding = layout_->GetPadding();
  return {bounds_.left + padding.left, bounds_.top + padding.top, bounds_.right - padding.right,
          bounds_.bottom - padding.bottom};
}

void ListBox::EnsureVisible(const UiRect& rect) {
  const UiPoint pos = GetScrollPos();
  const UiRect r = rect.Offset(-pos.x, -pos.y);
  UiRect view = ViewRect();
  if (ScrollBar* bar = GetHorizontalScrollBar(); bar && bar->IsVisible())
    view.bottom -= bar->GetFixedHeight();
  if (r.left >= view.left && r.top >= view.top && r.right <= view.right &&
      r.bottom <= view.bottom) {
    if (ListContainerElement* element = AsElement(parent_); element && element->GetOwner())
      element->GetOwner()->EnsureVisible(r);
    return;
  }
  const int32_t dx = r.left < view.left ? r.left - view.left : 0;
  const int32_t dy = r.top < view.top ? r.top - view.top : 0;
  const int32_t x = pos.x + (r.right > view.right ? r.right - view.right : dx);
  const int32_t y = pos.y + (r.bottom > view.bottom ? r.bottom - view.bottom : dy);
  SetScrollPos({x, y});
}

void ListBox::StopScroll() {
  GetScrollAnimation().Cancel();
}

bool ListBox::ScrollItemToTop(const std::wstring& name) {
  for (Control* child : children_) {
    if (child->GetName() != name)
      continue;
    if (GetScrollRange().cy == 0)
      return false;
    const int32_t distance = child->GetBounds(true).top - ViewRect().top;
    if (distance < 0)
      return false;
    SetScrollPos({GetScrollPos().x, distance});
    return true;
  }
  return false;
}

Control* ListBox::GetTopItem() {
  const int32_t top = bounds_.top + layout_->GetPadding().top + GetScrollPos().y;
  for (Control* child : children_) {
    if (child->IsVisible() && !child->IsFloat() && child->GetBounds(true).bottom >= top)
      return child;
  }
  return nullptr;
}

}  // namespace ui
