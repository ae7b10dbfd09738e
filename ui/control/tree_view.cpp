#include "ui/control/tree_view.h"

#include "ui/control/attribute_value.h"
#include "ui/control/linear_layout.h"

namespace ui {

TreeNode::TreeNode() = default;

bool TreeNode::IsVisible() const {
  if (!visible_ || !internal_visible_)
    return false;
  return !parent_node_ || (parent_node_->expanded_ && parent_node_->IsVisible());
}

void TreeNode::SetInternalVisible(bool visible) {
  ListContainerElement::SetInternalVisible(visible);
  for (TreeNode* child : child_nodes_)
    child->SetInternalVisible(visible_ && internal_visible_);
}

void TreeNode::SetWindowAndParent(ControlHost* window, Box* parent, bool init) {
  for (TreeNode* child : child_nodes_)
    child->SetWindowAndParent(window, this, init);
  ListContainerElement::SetWindowAndParent(window, parent, init);
}

bool TreeNode::ToggleExpanded(EventArgs* args) {
  if (auto* node = dynamic_cast<TreeNode*>(args ? args->sender : nullptr)) {
    node->expanded_ = !node->expanded_;
    if (node->tree_view_)
      node->tree_view_->RequestLayout();
  }
  return true;
}

TreeView::TreeView() : ListBox(std::make_unique<VLayout>()), root_node_(new TreeNode()) {
  root_node_->SetTreeView(this);
}

TreeView::~TreeView() = default;

void TreeView::SetWindowAndParent(ControlHost* window, Box* parent, bool init) {
  ListBox::SetWindowAndParent(window, parent, init);
  if (parent)
    root_node_->SetWindowAndParent(window, parent, init);
}

void TreeView::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"indent")
    indent_ = attribute_value::ReadInt(value);
  else
    ListBox::ApplyAttribute(name, value);
}

// The view takes no children of its own, yet says it took them: as a box
// that took a control owns it, it deletes what it is given rather than
// leave it to nobody.
bool TreeView::Add(Control* control) {
  if (control != this)
    delete control;
  return true;
}

bool TreeView::AddAt(Control* control, int32_t /*index*/) {
  return Add(control);
}

bool TreeView::Remove(Control* /*control*/) {
  return true;
}

bool TreeView::RemoveAt(int32_t /*index*/) {
  return true;
}

void TreeView::RemoveAll() {}

}  // namespace ui
