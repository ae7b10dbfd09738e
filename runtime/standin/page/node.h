#pragma once

// The page's document model: elements and text nodes in a tree.
//
// Ownership and lifetime. Nodes are held by std::shared_ptr (`NodePtr`): a
// parent owns its children, and whoever else needs a node (the script
// engine's wrapper objects, the view's focus) holds a NodePtr too, so a
// node removed from the tree stays valid for as long as anyone holds it.
// The parent link is a plain pointer that the parent clears when it lets a
// child go or dies. Each node also knows the Document that created it; the
// document clears that pointer in every node it created when it dies, so a
// node that outlives its document is a harmless orphan (mutations still
// work, nobody is notified).
//
// Script wrappers. `script_wrapper()` is one untyped slot for the script
// engine to find its wrapper object of this node; the node never reads or
// frees it. The engine's wrapper holds a NodePtr, so the node outlives the
// wrapper; the wrapper's finalizer clears the slot.
//
// Threads: the whole model lives on one thread (the renderer thread).
//
// Text is UTF-8 everywhere. Tag and attribute names are lower case ASCII.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/standin/page/style.h"

namespace cef_standin::page {

class Document;
class Node;
using NodePtr = std::shared_ptr<Node>;

enum class NodeType { kElement, kText };

struct Attribute {
  std::string name;
  std::string value;
};

void ReleaseChildren(std::vector<NodePtr> children);

class Node : public std::enable_shared_from_this<Node> {
 public:
  // Nodes are made by the document (Document::CreateElement/CreateText) so
  // that they know it; these are public for make_shared only.
  Node(Document* document, NodeType type, std::string name_or_text);
  ~Node();
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  NodeType type() const { return type_; }
  bool IsElement() const { return type_ == NodeType::kElement; }
  bool IsText() const { return type_ == NodeType::kText; }
  // Lower-case tag name of an element ("div"); empty for text.
  const std::string& tag_name() const { return tag_name_; }
  bool Is(std::string_view tag) const { return IsElement() && tag_name_ == tag; }
  // The text of a text node.
  const std::string& data() const { return data_; }
  void SetData(std::string data);

  // The tree. `parent()` is null for a detached node and for the root.
  Node* parent() const { return parent_; }
  Document* document() const { return document_; }
  const std::vector<NodePtr>& children() const { return children_; }
  NodePtr SharedFromThis() { return shared_from_this(); }
  // In the document's tree (reachable from its root).
  bool IsConnected() const;
  bool IsInclusiveAncestorOf(const Node* other) const;
  // Element ancestor with the tag, or null.
  Node* ClosestAncestor(std::string_view tag) const;

  // Append or insert `child`, taking it from its old parent first.
  // Refused (null) when `child` is null, this node is text, `child` is this
  // node or one of its ancestors, or the reference is not a child here.
  // A null `reference` appends.
  NodePtr AppendChild(NodePtr child);
  NodePtr InsertBefore(NodePtr child, const Node* reference);
  // Null when `child` is not a child of this node.
  NodePtr RemoveChild(const Node* child);
  void RemoveAllChildren();

  // Attributes, names lower-cased on the way in.
  const std::vector<Attribute>& attributes() const { return attributes_; }
  bool HasAttribute(std::string_view name) const;
  // Null when absent.
  const std::string* GetAttribute(std::string_view name) const;
  // The value, or `fallback` when absent.
  std::string AttributeOr(std::string_view name, std::string_view fallback = {}) const;
  void SetAttribute(std::string_view name, std::string_view value);
  void RemoveAttribute(std::string_view name);
  const std::string& id() const;

  // Concatenated text of every descendant text node (the node's own text for
  // a text node). Setting replaces the children by one text node.
  std::string TextContent() const;
  void SetTextContent(std::string_view text);
  // The children serialised as markup, and replaced by parsed markup.
  std::string InnerHtml() const;
  void SetInnerHtml(std::string_view markup);
  std::string OuterHtml() const;

  // Form controls. Value: input's current value (its "value" attribute
  // until the user or script changes it), textarea's text, select's
  // selected option's value, option's value; the "value" attribute for
  // anything else. Checked: checkbox and radio state ("checked" attribute
  // until changed).
  std::string Value() const;
  void SetValue(std::string_view value);
  bool Checked() const;
  void SetChecked(bool checked);
  // The type of an input, lower case, "text" when absent or unknown.
  std::string InputType() const;
  // Text inputs, passwords and textareas: they take typed text.
  bool IsTextField() const;
  // Can take the keyboard focus (text fields, buttons, checkboxes, links
  // with href, select), and is not disabled.
  bool IsFocusable() const;

  // The element's own style declarations: the "style" attribute, parsed.
  // Setting a property rewrites the attribute. Empty `value` removes it.
  const InlineStyle& inline_style() const { return inline_style_; }
  void SetStyleProperty(std::string_view name, std::string_view value);
  std::string GetStyleProperty(std::string_view name) const;

  // Simple selectors: tag, #id, .class, tag.class, [attr], [attr=value],
  // compounds of these, descendant combinator (space), and comma lists.
  // An unparsable selector matches nothing.
  NodePtr QuerySelector(std::string_view selector) const;
  std::vector<NodePtr> QuerySelectorAll(std::string_view selector) const;
  bool Matches(std::string_view selector) const;
  bool HasClass(std::string_view name) const;

  void* script_wrapper() const { return script_wrapper_; }
  void set_script_wrapper(void* wrapper) { script_wrapper_ = wrapper; }

 private:
  friend class Document;
  friend void ReleaseChildren(std::vector<NodePtr> children);
  void NotifyChanged() const;
  void Detach(Node* child_ptr);
  std::string* FindAttribute(std::string_view name);

  Document* document_;
  const NodeType type_;
  const std::string tag_name_;
  std::string data_;
  Node* parent_ = nullptr;
  std::vector<NodePtr> children_;
  std::vector<Attribute> attributes_;
  InlineStyle inline_style_;
  // Form control state changed from its attribute by the user or script.
  bool value_dirty_ = false;
  std::string value_;
  bool checked_dirty_ = false;
  bool checked_ = false;
  void* script_wrapper_ = nullptr;
};

}  // namespace cef_standin::page
