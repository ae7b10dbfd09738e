#include "tests/controls/fake_host.h"

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

}  // namespace ui::test
