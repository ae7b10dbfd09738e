#include "ui/control/tab_box.h"

#include "ui/control/attribute_value.h"

namespace ui {

TabBox::TabBox() = default;

bool TabBox::Add(Control* control) {
  // Box::Add goes through the virtual AddAt, whose rules differ.
  if (!Box::AddAt(control, GetCount()))
    return false;
  const int32_t index = GetItemIndex(control);
  if (selected_index_ == -1 && control->IsVisible())
    selected_index_ = index;
  if (index != selected_index_ || !control->IsVisible())
    ShowChild(control, Shown::kNo);
  return true;
}

bool TabBox::AddAt(Control* control, int32_t index) {
  if (!Box::AddAt(control, index))
    return false;
  if (selected_index_ == -1 && control->IsVisible()) {
    selected_index_ = index;
    return true;
  }
  if (selected_index_ == -1 || selected_index_ < index) {
    ShowChild(control, Shown::kNo);
  } else {
    // Inserted at or before the shown child, which moves one on; the new
    // child keeps its own visibility.
    ++selected_index_;
  }
  return true;
}

bool TabBox::Remove(Control* control) {
  if (!control)
    return false;
  const int32_t index = GetItemIndex(control);
  // The box may delete the child: it is not touched after this.
  if (!Box::Remove(control))
    return false;
  if (index == selected_index_) {
    if (GetCount() == 0) {
      selected_index_ = -1;
    } else {
      selected_index_ = 0;
      ShowChild(GetItemAt(0), Shown::kYes);
    }
    RequestAncestorLayout();
  } else if (index < selected_index_) {
    --selected_index_;
  }
  return true;
}

bool TabBox::RemoveAt(int32_t index) {
  Control* child = GetItemAt(index);
  return child && Remove(child);
}

void TabBox::RemoveAll() {
  selected_index_ = -1;
  Box::RemoveAll();
  RequestAncestorLayout();
}

void TabBox::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"selectedid")
    selected_index_ = attribute_value::ReadInt(value);
  else if (name == L"fadeswitch")
    fade_switch_ = attribute_value::ReadBool(value);
  else
    Box::ApplyAttribute(name, value);
}

void TabBox::ShowChild(Control* child, Shown shown) {
  const bool show = shown == Shown::kYes;
  if (!fade_switch_)
    child->SetFadeVisible(show);
  child->SetMouseEnabled(show);
  if (auto* box = dynamic_cast<Box*>(child))
    box->SetMouseChildEnabled(show);
  child->SetAlpha(show ? 255 : 0);
  child->Invalidate();
}

}  // namespace ui
