#include "tests/controls/fake_host.h"

#include <algorithm>

#include "ui/control/box.h"
#include "ui/control/control.h"

namespace ui::test {

FakeHost::~FakeHost() {
  DeleteDeferred();
}

void FakeHost::AttachRoot(Control* root) {
  root_ = root;
  root->SetWindowAndParent(this, root->GetParent(), true);
  IndexNames(root);
}

void FakeHost::DeleteDeferred() {
  std::vector<Control*> deferred;
  deferred.swap(deferred_);
  for (Control* control : deferred)
    delete control;
}

void FakeHost::SetFocusControl(Control* control) {
  focus_requests_.push_back(control);
  focus_ = control;
}

std::wstring FakeHost::WindowClassAttributes(const std::wstring& class_name) const {
  auto found = classes_.find(class_name);
  return found == classes_.end() ? std::wstring() : found->second;
}

Control* FakeHost::FindControlByName(const std::wstring& name) const {
  auto found = names_.find(name);
  return found == names_.end() ? nullptr : found->second;
}

bool FakeHost::RegisterSubtree(Control* control, Box* parent) {
  if (!control)
    return false;
  control->SetWindowAndParent(this, parent ? parent : control->GetParent(), true);
  IndexNames(control);
  return true;
}

void FakeHost::IndexNames(Control* control) {
  if (!control->GetName().empty())
    names_[control->GetName()] = control;
  if (Box* box = dynamic_cast<Box*>(control)) {
    for (Control* child : box->children())
      IndexNames(child);
  }
}

void FakeHost::ForgetControl(Control* control) {
  forgotten_.push_back(control);
  if (focus_ == control)
    focus_ = nullptr;
  if (hover_ == control)
    hover_ = nullptr;
  if (root_ == control)
    root_ = nullptr;
  for (auto it = names_.begin(); it != names_.end();) {
    if (it->second == control)
      it = names_.erase(it);
    else
      ++it;
  }
}

bool FakeHost::AddToGroup(const std::wstring& group, Control* control) {
  std::vector<Control*>& members = groups_[group];
  if (std::find(members.begin(), members.end(), control) != members.end())
    return false;
  members.push_back(control);
  return true;
}

const std::vector<Control*>* FakeHost::GetGroup(const std::wstring& group) const {
  auto found = groups_.find(group);
  return found == groups_.end() ? nullptr : &found->second;
}

void FakeHost::RemoveFromGroup(const std::wstring& group, Control* control) {
  auto found = groups_.find(group);
  if (found == groups_.end())
    return;
  std::erase(found->second, control);
  if (found->second.empty())
    groups_.erase(found);
}

}  // namespace ui::test
