#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/control/list_box.h"
#include "ui/control/list_container_element.h"

namespace ui {

class TreeView;

// A list element with child nodes, shown only while every node above it is
// expanded. The virtual operation added here follows the element's.
class TreeNode : public ListContainerElement {
 public:
  TreeNode();

  // Control and option.
  bool IsVisible() const override;
  void SetInternalVisible(bool visible) override;
  void SetWindowAndParent(ControlHost* window, Box* parent, bool init) override;

  // An event handler: flips the expanded flag of the event's sender node
  // and lays its tree view out again.
  virtual bool ToggleExpanded(EventArgs* args);

  int32_t GetDepth() const { return depth_; }
  bool IsExpanded() const { return expanded_; }
  TreeView* GetTreeView() const { return tree_view_; }
  void SetTreeView(TreeView* view) { tree_view_ = view; }
  TreeNode* GetParentNode() const { return parent_node_; }
  // Not owned.
  const std::vector<TreeNode*>& child_nodes() const { return child_nodes_; }

 private:
  int32_t depth_ = -1;
  bool expanded_ = true;
  TreeView* tree_view_ = nullptr;
  TreeNode* parent_node_ = nullptr;
  std::vector<TreeNode*> child_nodes_;
};

// A list box with a root node. Children handed to it directly are ignored.
class TreeView : public ListBox {
 public:
  TreeView();
  ~TreeView() override;

  // Control and Box.
  void SetWindowAndParent(ControlHost* window, Box* parent, bool init) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  bool Add(Control* control) override;
  bool AddAt(Control* control, int32_t index) override;
  bool Remove(Control* control) override;
  bool RemoveAt(int32_t index) override;
  void RemoveAll() override;

  int32_t GetIndent() const { return indent_; }
  TreeNode* GetRootNode() const { return root_node_.get(); }

 private:
  int32_t indent_ = 0;
  std::unique_ptr<TreeNode> root_node_;
};

}  // namespace ui
