#include "ui/control/virtual_list_box.h"

#include <algorithm>
#include <climits>
#include <memory>

namespace ui {

namespace {

constexpr wchar_t kKeyEnd = 35;
constexpr wchar_t kKeyHome = 36;
constexpr wchar_t kKeyUp = 38;
constexpr wchar_t kKeyDown = 40;

int32_t Clamp32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

UiSize VirtualLayout::ArrangeChildren(const std::vector<Control*>& children, const UiRect& rect) {
  auto* list = static_cast<VirtualListBox*>(GetOwner());
  const int32_t count = list ? list->GetElementCount() : 0;
  if (!list || list->GetCount() >= count)
    return VLayout::ArrangeChildren(children, rect);
  const int64_t height = int64_t{count} * std::max(list->GetElementHeight(), 0);
  list->ReArrangeChild(/*forced=*/false);
  return {rect.Width(), Clamp32(height)};
}

VirtualListBox::VirtualListBox() : ListBox(std::make_unique<VirtualLayout>()) {}

void VirtualListBox::SetDataProvider(VirtualListDataProvider* provider) {
  data_provider_ = provider;
}

void VirtualListBox::SetElementHeight(int32_t height) {
  element_height_ = height;
}

int32_t VirtualListBox::GetElementCount() const {
  return data_provider_ ? std::max(data_provider_->GetElementCount(), 0) : 0;
}

void VirtualListBox::Fill(Control* element, int32_t index) {
  if (data_provider_ && element)
    data_provider_->FillElement(element, index);
}

void VirtualListBox::InitElements(int32_t count) {
  max_element_count_ = std::max(count, 0);
  if (!data_provider_)
    return;
  const int32_t made = std::min(max_element_count_, GetElementCount());
  for (int32_t i = 0; i < made; ++i) {
    Control* element = data_provider_->CreateElement();
    if (!element)
      continue;
    if (!Add(element)) {
      delete element;
      continue;
    }
    Fill(element, i);
  }
}

void VirtualListBox::Refresh() {
  const int32_t count = GetElementCount();
  const int32_t existing = GetCount();
  if (count < existing) {
    for (int32_t i = count; i < existing; ++i)
      RemoveItemAt(0);
  } else if (existing < count && data_provider_) {
    const int32_t more = std::min(max_element_count_, count) - existing;
    for (int32_t i = 0; i < more; ++i) {
      Control* element = data_provider_->CreateElement();
      if (element && !Add(element))
        delete element;
    }
  }
  if (GetCount() < count) {
    ReArrangeChild(/*forced=*/true);
    RequestLayout();
    return;
  }
  if (existing == max_element_count_)
    layout_->ArrangeChildren(children_, ViewRect());
  for (int32_t i = 0; i < GetCount(); ++i)
    Fill(GetItemAt(i), i);
}

void VirtualListBox::SetScrollPos(UiPoint pos) {
  previous_scroll_pos_ = GetScrollPos().y;
  ListBox::SetScrollPos(pos);
  if (GetCount() < GetElementCount())
    ReArrangeChild(/*forced=*/false);
}

void VirtualListBox::SetBounds(const UiRect& rect) {
  const UiRect old = bounds_;
  ListBox::SetBounds(rect);
  if (rect != old && GetCount() < GetElementCount())
    ReArrangeChild(/*forced=*/true);
}

void VirtualListBox::RemoveAll() {
  cur_sel_ = -1;
  Box::RemoveAll();
  if (ScrollBar* bar = GetVerticalScrollBar()) {
    bar->SetBarPos(0);
    bar->SetBounds(bar->GetBounds(true));
  }
  previous_scroll_pos_ = 0;
  initialised_ = false;
}

bool VirtualListBox::HandleEvent(EventArgs* args) {
  if (!IsMouseEnabled() && IsMouseEvent(args->type)) {
    if (parent_)
      return parent_->DispatchEvent(args);
    return ScrollableBox::HandleEvent(args);
  }
  if (args->type == kEventKeyDown) {
    switch (args->keyChar) {
      case kKeyEnd:
        SetScrollPosY(GetScrollRange().cy);
        return true;
      case kKeyHome:
        SetScrollPosY(0);
        return true;
      case kKeyUp:
      case kKeyDown:
        OnKeyDownHook(args->keyChar);
        return true;
      default:
        break;
    }
  } else if (args->type == kEventKeyUp && (args->keyChar == kKeyUp || args->keyChar == kKeyDown)) {
    OnKeyUpHook(args->keyChar);
    return true;
  }
  return ListBox::HandleEvent(args);
}

void VirtualListBox::OnKeyDownHook(wchar_t /*key*/) {}

void VirtualListBox::OnKeyUpHook(wchar_t /*key*/) {}

bool VirtualListBox::NeedReArrange(int32_t* direction) {
  *direction = -1;
  if (!initialised_) {
    initialised_ = true;
    return true;
  }
  const int32_t children = GetCount();
  if (children == 0 || GetElementCount() <= children || bounds_.Width() <= 0)
    return false;
  const int32_t pos = GetScrollPos().y;
  if (pos >= previous_scroll_pos_) {
    const int64_t below =
        int64_t{GetItemAt(children - 1)->GetBounds(true).bottom} - bounds_.bottom - pos;
    if (below < 0) {
      *direction = 1;
      return true;
    }
    return false;
  }
  return pos < int64_t{GetItemAt(0)->GetBounds(true).top} - bounds_.top;
}

void VirtualListBox::PlaceElement(Control* element, int64_t top) {
  element->SetBounds({bounds_.left, Clamp32(top), bounds_.right, Clamp32(top + element_height_)});
}

void VirtualListBox::ReArrangeChild(bool forced) {
  int32_t direction = -1;
  if (!forced && !NeedReArrange(&direction))
    return;
  const int32_t height = element_height_;
  const int32_t children = GetCount();
  if (height <= 0 || children == 0)
    return;
  const int32_t count = GetElementCount();
  const int32_t top_index = std::max(GetScrollPos().y, 0) / height;
  const int64_t y0 = bounds_.top + int64_t{top_index} * height;
  if (direction == 1) {
    for (int32_t j = 0; j < children; ++j) {
      PlaceElement(GetItemAt(j), y0 + int64_t{j} * height);
      if (int64_t{top_index} + j < count)
        Fill(GetItemAt(j), top_index + j);
    }
    return;
  }
  // Spares above the view, the rest from its top down. A view taller than
  // all elements has no spares.
  const int32_t first_in_view = std::clamp(children - bounds_.Height() / height - 1, 0, children);
  for (int32_t j = first_in_view - 1, up = 1; j >= 0; --j, ++up) {
    PlaceElement(GetItemAt(j), y0 - int64_t{up} * height);
    if (top_index - up >= 0)
      Fill(GetItemAt(j), top_index - up);
  }
  for (int32_t j = first_in_view, down = 0; j < children; ++j, ++down) {
    PlaceElement(GetItemAt(j), y0 + int64_t{down} * height);
    if (int64_t{top_index} + down < count)
      Fill(GetItemAt(j), top_index + down);
  }
}

}  // namespace ui
