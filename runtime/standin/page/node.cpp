#include "runtime/standin/page/node.h"

#include <algorithm>

#include "runtime/standin/page/document.h"
#include "runtime/standin/page/html_reader.h"
#include "runtime/standin/page/selector.h"

namespace cef_standin::page {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

void AppendText(const Node& node, std::string& out) {
  if (node.IsText()) {
    out += node.data();
    return;
  }
  for (const NodePtr& child : node.children())
    AppendText(*child, out);
}

// The option a select shows: the last one marked selected, else the first.
const Node* SelectedOption(const Node& select) {
  const Node* first = nullptr;
  const Node* selected = nullptr;
  std::vector<const Node*> stack{&select};
  while (!stack.empty()) {
    const Node* node = stack.back();
    stack.pop_back();
    for (auto it = node->children().rbegin(); it != node->children().rend(); ++it) {
      if ((*it)->IsElement())
        stack.push_back(it->get());
    }
    if (node->Is("option")) {
      if (!first)
        first = node;
      if (node->Checked())
        selected = node;
    }
  }
  return selected ? selected : first;
}

}  // namespace

Node::Node(Document* document, NodeType type, std::string name_or_text)
    : document_(document),
      type_(type),
      tag_name_(type == NodeType::kElement ? Lower(name_or_text) : std::string()),
      data_(type == NodeType::kText ? std::move(name_or_text) : std::string()) {
  if (document_)
    document_->nodes_.insert(this);
}

// Lets go of `children` without recursing once per level: a child nobody
// else holds has its own children moved here before it dies.
void ReleaseChildren(std::vector<NodePtr> children) {
  for (const NodePtr& child : children)
    child->parent_ = nullptr;
  while (!children.empty()) {
    NodePtr node = std::move(children.back());
    children.pop_back();
    if (node.use_count() == 1) {
      for (NodePtr& grandchild : node->children_) {
        grandchild->parent_ = nullptr;
        children.push_back(std::move(grandchild));
      }
      node->children_.clear();
    }
  }
}

Node::~Node() {
  ReleaseChildren(std::move(children_));
  if (document_)
    document_->nodes_.erase(this);
}

void Node::NotifyChanged() const {
  if (document_)
    document_->NotifyChanged();
}

void Node::SetData(std::string data) {
  if (!IsText())
    return;
  data_ = std::move(data);
  NotifyChanged();
}

bool Node::IsConnected() const {
  const Node* node = this;
  while (node->parent_)
    node = node->parent_;
  return document_ && node == document_->document_element().get();
}

bool Node::IsInclusiveAncestorOf(const Node* other) const {
  for (const Node* node = other; node; node = node->parent_) {
    if (node == this)
      return true;
  }
  return false;
}

Node* Node::ClosestAncestor(std::string_view tag) const {
  for (Node* node = parent_; node; node = node->parent_) {
    if (node->Is(tag))
      return node;
  }
  return nullptr;
}

void Node::Detach(Node* child_ptr) {
  auto it = std::find_if(children_.begin(), children_.end(),
                         [child_ptr](const NodePtr& child) { return child.get() == child_ptr; });
  if (it == children_.end())
    return;
  (*it)->parent_ = nullptr;
  children_.erase(it);
}

NodePtr Node::AppendChild(NodePtr child) {
  return InsertBefore(std::move(child), nullptr);
}

NodePtr Node::InsertBefore(NodePtr child, const Node* reference) {
  if (!child || IsText() || child->IsInclusiveAncestorOf(this))
    return nullptr;
  if (reference == child.get())
    return child;
  if (reference && reference->parent_ != this)
    return nullptr;
  if (child->parent_)
    child->parent_->Detach(child.get());
  auto at = children_.end();
  if (reference) {
    at = std::find_if(children_.begin(), children_.end(),
                      [reference](const NodePtr& node) { return node.get() == reference; });
  }
  child->parent_ = this;
  children_.insert(at, child);
  NotifyChanged();
  return child;
}

NodePtr Node::RemoveChild(const Node* child) {
  if (!child || child->parent_ != this)
    return nullptr;
  NodePtr kept = const_cast<Node*>(child)->shared_from_this();
  Detach(kept.get());
  NotifyChanged();
  return kept;
}

void Node::RemoveAllChildren() {
  if (children_.empty())
    return;
  std::vector<NodePtr> doomed;
  doomed.swap(children_);
  ReleaseChildren(std::move(doomed));
  NotifyChanged();
}

std::string* Node::FindAttribute(std::string_view name) {
  for (Attribute& attribute : attributes_) {
    if (attribute.name == name)
      return &attribute.value;
  }
  return nullptr;
}

bool Node::HasAttribute(std::string_view name) const {
  return GetAttribute(name) != nullptr;
}

const std::string* Node::GetAttribute(std::string_view name) const {
  const std::string lower = Lower(name);
  for (const Attribute& attribute : attributes_) {
    if (attribute.name == lower)
      return &attribute.value;
  }
  return nullptr;
}

std::string Node::AttributeOr(std::string_view name, std::string_view fallback) const {
  const std::string* value = GetAttribute(name);
  return value ? *value : std::string(fallback);
}

void Node::SetAttribute(std::string_view name, std::string_view value) {
  if (!IsElement() || name.empty())
    return;
  const std::string lower = Lower(name);
  if (std::string* existing = FindAttribute(lower))
    *existing = value;
  else
    attributes_.push_back({lower, std::string(value)});
  if (lower == "style")
    inline_style_.Parse(value);
  NotifyChanged();
}

void Node::RemoveAttribute(std::string_view name) {
  const std::string lower = Lower(name);
  auto it = std::find_if(attributes_.begin(), attributes_.end(),
                         [&lower](const Attribute& attribute) { return attribute.name == lower; });
  if (it == attributes_.end())
    return;
  attributes_.erase(it);
  if (lower == "style")
    inline_style_.Parse({});
  NotifyChanged();
}

const std::string& Node::id() const {
  static const std::string kNone;
  const std::string* value = GetAttribute("id");
  return value ? *value : kNone;
}

std::string Node::TextContent() const {
  std::string out;
  AppendText(*this, out);
  return out;
}

void Node::SetTextContent(std::string_view text) {
  if (IsText()) {
    SetData(std::string(text));
    return;
  }
  RemoveAllChildren();
  if (!text.empty() && document_)
    AppendChild(document_->CreateText(text));
}

std::string Node::InnerHtml() const {
  return IsText() ? SerializeNode(*this) : SerializeChildren(*this);
}

void Node::SetInnerHtml(std::string_view markup) {
  if (!IsElement())
    return;
  ReadHtml(markup, *this, ReaderMode::kFragment);
  NotifyChanged();
}

std::string Node::OuterHtml() const {
  return SerializeNode(*this);
}

std::string Node::InputType() const {
  static constexpr std::string_view kKnown[] = {"text",   "password", "hidden", "submit", "button",
                                                "file",   "checkbox", "radio",  "reset",  "email",
                                                "number", "search",   "tel",    "url",    "image"};
  const std::string type = Lower(AttributeOr("type", "text"));
  for (std::string_view known : kKnown) {
    if (type == known)
      return type;
  }
  return "text";
}

bool Node::IsTextField() const {
  if (Is("textarea"))
    return true;
  if (!Is("input"))
    return false;
  const std::string type = InputType();
  return type == "text" || type == "password" || type == "email" || type == "number" ||
         type == "search" || type == "tel" || type == "url";
}

bool Node::IsFocusable() const {
  if (!IsElement() || HasAttribute("disabled"))
    return false;
  if (Is("a"))
    return HasAttribute("href");
  if (Is("input"))
    return InputType() != "hidden";
  return Is("button") || Is("textarea") || Is("select");
}

std::string Node::Value() const {
  if (Is("input")) {
    if (value_dirty_)
      return value_;
    const std::string type = InputType();
    if ((type == "checkbox" || type == "radio") && !HasAttribute("value"))
      return "on";
    return AttributeOr("value");
  }
  if (Is("textarea"))
    return value_dirty_ ? value_ : TextContent();
  if (Is("select")) {
    const Node* option = SelectedOption(*this);
    return option ? option->Value() : std::string();
  }
  if (Is("option")) {
    const std::string* value = GetAttribute("value");
    return value ? *value : TextContent();
  }
  return AttributeOr("value");
}

void Node::SetValue(std::string_view value) {
  if (Is("input") || Is("textarea")) {
    value_ = value;
    value_dirty_ = true;
    NotifyChanged();
    return;
  }
  if (Is("select")) {
    std::vector<NodePtr> options = QuerySelectorAll("option");
    for (const NodePtr& option : options)
      option->SetChecked(option->Value() == value);
    return;
  }
  SetAttribute("value", value);
}

bool Node::Checked() const {
  if (checked_dirty_)
    return checked_;
  return HasAttribute(Is("option") ? "selected" : "checked");
}

void Node::SetChecked(bool checked) {
  checked_ = checked;
  checked_dirty_ = true;
  NotifyChanged();
}

void Node::SetStyleProperty(std::string_view name, std::string_view value) {
  if (!IsElement())
    return;
  InlineStyle style = inline_style_;
  style.Set(name, value);
  const std::string text = style.Serialize();
  if (text.empty())
    RemoveAttribute("style");
  else
    SetAttribute("style", text);
}

std::string Node::GetStyleProperty(std::string_view name) const {
  return inline_style_.Get(name);
}

NodePtr Node::QuerySelector(std::string_view selector) const {
  const Selector parsed(selector);
  NodePtr found;
  ForEachDescendant(*this, [&](const NodePtr& node) {
    if (!found && parsed.Matches(*node))
      found = node;
    return !found;
  });
  return found;
}

std::vector<NodePtr> Node::QuerySelectorAll(std::string_view selector) const {
  const Selector parsed(selector);
  std::vector<NodePtr> found;
  ForEachDescendant(*this, [&](const NodePtr& node) {
    if (parsed.Matches(*node))
      found.push_back(node);
    return true;
  });
  return found;
}

bool Node::Matches(std::string_view selector) const {
  return Selector(selector).Matches(*this);
}

bool Node::HasClass(std::string_view name) const {
  const std::string* classes = GetAttribute("class");
  if (!classes || name.empty())
    return false;
  std::string_view rest = *classes;
  while (!rest.empty()) {
    const std::size_t start = rest.find_first_not_of(" \t\r\n\f");
    if (start == std::string_view::npos)
      break;
    rest.remove_prefix(start);
    const std::size_t end = std::min(rest.find_first_of(" \t\r\n\f"), rest.size());
    if (rest.substr(0, end) == name)
      return true;
    rest.remove_prefix(end);
  }
  return false;
}

}  // namespace cef_standin::page
