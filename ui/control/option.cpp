#include "ui/control/option.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "ui/control/control_host.h"

namespace ui {

namespace {

// The top of the tree |control| lies in. Group members in another tree (a
// replaced tree waiting for deletion, or one still being built) are left
// alone: they keep their window but are out of the group's play.
const Control* TopOf(const Control* control) {
  while (control->GetParent())
    control = control->GetParent();
  return control;
}

}  // namespace

template <typename Base>
OptionTemplate<Base>::~OptionTemplate() {
  LeaveGroup();
}

template <typename Base>
std::wstring OptionTemplate<Base>::GetGroup() const {
  return group_;
}

template <typename Base>
void OptionTemplate<Base>::JoinGroup() {
  if (!group_.empty() && this->window_)
    this->window_->AddToGroup(group_, this);
}

template <typename Base>
void OptionTemplate<Base>::LeaveGroup() {
  if (!group_.empty() && this->window_)
    this->window_->RemoveFromGroup(group_, this);
}

template <typename Base>
void OptionTemplate<Base>::SetGroup(const std::wstring& group) {
  if (group == group_)
    return;
  LeaveGroup();
  group_ = group;
  JoinGroup();
  SetSelected(this->selected_, true);
}

template <typename Base>
void OptionTemplate<Base>::SetWindowAndParent(ControlHost* window, Box* parent, bool init) {
  // An option that moves to another window leaves the old window's group;
  // one taken out of its tree (no parent, no initialisation: removed, or
  // part of a replaced root) leaves it too, so a tree waiting for deletion
  // never answers for a group.
  const bool detached = !parent && !init;
  if (window != this->window_ || detached)
    LeaveGroup();
  CheckBoxTemplate<Base>::SetWindowAndParent(window, parent, init);
  if (!detached)
    JoinGroup();
}

template <typename Base>
void OptionTemplate<Base>::Activate() {
  const LivenessWatch watch(this->liveness_);
  ButtonTemplate<Base>::Activate();
  if (!watch.IsDestroyed() && this->IsActivatable())
    SetSelected(true, true);
}

template <typename Base>
void OptionTemplate<Base>::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"group")
    SetGroup(value);
  else
    CheckBoxTemplate<Base>::ApplyAttribute(name, value);
}

template <typename Base>
void OptionTemplate<Base>::SetSelected(bool selected, bool notify) {
  this->selected_ = selected;
  ControlHost* window = this->window_;
  if (!window) {
    this->Invalidate();
    return;
  }
  // A weak flag rather than a liveness watch: the members' handlers run
  // in between, and options are few.
  const std::weak_ptr<kbase::WeakFlag> alive = this->AcquireWeakFlag();
  if (selected) {
    if (!group_.empty()) {
      // Handlers may change the group or delete its members: walk a copy
      // and skip whoever has left the group meanwhile.
      const Control* top = TopOf(this);
      std::vector<Control*> members;
      if (const std::vector<Control*>* group = window->GetGroup(group_))
        members = *group;
      for (Control* member : members) {
        if (member == this || TopOf(member) != top)
          continue;
        const std::vector<Control*>* current = window->GetGroup(group_);
        if (!current || std::find(current->begin(), current->end(), member) == current->end())
          continue;
        if (auto* option = dynamic_cast<OptionTemplate<Control>*>(member))
          option->SetSelected(false, notify);
        else if (auto* option_box = dynamic_cast<OptionTemplate<Box>*>(member))
          option_box->SetSelected(false, notify);
        if (alive.expired())
          return;
      }
    }
    if (notify)
      this->SendEvent(kEventSelect);
  } else {
    this->SendEvent(kEventUnSelect);
  }
  if (!alive.expired())
    this->Invalidate();
}

template class OptionTemplate<Control>;
template class OptionTemplate<Box>;

}  // namespace ui
