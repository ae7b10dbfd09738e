#include "runtime/standin/page/document.h"

#include "runtime/standin/page/charset.h"
#include "runtime/standin/page/html_reader.h"
#include "runtime/standin/page/selector.h"
#include "runtime/standin/page/url.h"

namespace cef_standin::page {

const char* EventName(EventType type) {
  switch (type) {
    case EventType::kClick:
      return "click";
    case EventType::kInput:
      return "input";
    case EventType::kChange:
      return "change";
    case EventType::kSubmit:
      return "submit";
    case EventType::kFocus:
      return "focus";
    case EventType::kBlur:
      return "blur";
  }
  return "";
}

Document::Document(std::string url) : url_(std::move(url)) {
  ResetTree();
  ReadHtml({}, *root_, ReaderMode::kDocument);
}

Document::~Document() {
  // Nodes held elsewhere outlive the document as orphans.
  for (Node* node : nodes_)
    node->document_ = nullptr;
  nodes_.clear();
}

void Document::ResetTree() {
  root_ = CreateElement("html");
  scripts_.clear();
}

void Document::Load(std::string_view bytes, std::string_view charset) {
  LoadUtf8(DecodeToUtf8(bytes, SniffCharset(bytes, charset)));
}

void Document::LoadUtf8(std::string_view markup) {
  ResetTree();
  ReadHtml(markup, *root_, ReaderMode::kDocument);
  CollectScripts();
  NotifyChanged();
}

void Document::CollectScripts() {
  for (const NodePtr& script : root_->QuerySelectorAll("script")) {
    ScriptEntry entry;
    entry.element = script;
    if (const std::string* src = script->GetAttribute("src"))
      entry.src_url = ResolveUrl(*src);
    else
      entry.text = script->TextContent();
    scripts_.push_back(std::move(entry));
  }
}

NodePtr Document::CreateElement(std::string_view tag) {
  return std::make_shared<Node>(this, NodeType::kElement, std::string(tag));
}

NodePtr Document::CreateText(std::string_view text) {
  return std::make_shared<Node>(this, NodeType::kText, std::string(text));
}

NodePtr Document::head() const {
  for (const NodePtr& child : root_->children()) {
    if (child->Is("head"))
      return child;
  }
  return nullptr;
}

NodePtr Document::body() const {
  for (const NodePtr& child : root_->children()) {
    if (child->Is("body"))
      return child;
  }
  return nullptr;
}

NodePtr Document::GetElementById(std::string_view id) const {
  if (id.empty())
    return nullptr;
  if (root_->id() == id)
    return root_;
  NodePtr found;
  ForEachDescendant(*root_, [&](const NodePtr& node) {
    if (node->IsElement() && node->id() == id)
      found = node;
    return !found;
  });
  return found;
}

NodePtr Document::QuerySelector(std::string_view selector) const {
  if (root_->Matches(selector))
    return root_;
  return root_->QuerySelector(selector);
}

std::vector<NodePtr> Document::QuerySelectorAll(std::string_view selector) const {
  std::vector<NodePtr> found;
  if (root_->Matches(selector))
    found.push_back(root_);
  std::vector<NodePtr> rest = root_->QuerySelectorAll(selector);
  found.insert(found.end(), rest.begin(), rest.end());
  return found;
}

std::string Document::Title() const {
  const NodePtr title = root_->QuerySelector("title");
  if (!title)
    return {};
  std::string out;
  bool space = false;
  for (char c : title->TextContent()) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
      space = !out.empty();
      continue;
    }
    if (space)
      out += ' ';
    space = false;
    out += c;
  }
  return out;
}

void Document::SetTitle(std::string_view title) {
  NodePtr element = root_->QuerySelector("title");
  if (!element) {
    NodePtr parent = head();
    if (!parent)
      parent = root_;
    element = parent->AppendChild(CreateElement("title"));
  }
  element->SetTextContent(title);
}

void Document::SetUrl(std::string url) {
  url_ = std::move(url);
}

std::string Document::BaseUrl() const {
  const NodePtr base = root_->QuerySelector("base[href]");
  if (!base)
    return url_;
  return page::ResolveUrl(url_, base->AttributeOr("href"));
}

std::string Document::ResolveUrl(std::string_view relative) const {
  return page::ResolveUrl(BaseUrl(), relative);
}

EventOutcome Document::DispatchEvent(const NodePtr& target, EventType type) {
  if (!sink_ || !target)
    return EventOutcome::kProceed;
  return sink_->DispatchEvent(target, type);
}

void Document::Click(const NodePtr& target) {
  if (!target || target->HasAttribute("disabled"))
    return;
  if (DispatchEvent(target, EventType::kClick) == EventOutcome::kProceed && host_)
    host_->ActivateElement(target, UserGesture::kNo);
}

void Document::Focus(const NodePtr& target) {
  if (host_ && target)
    host_->FocusElement(target);
}

void Document::Blur(const NodePtr& target) {
  if (host_ && target)
    host_->BlurElement(target);
}

void Document::Submit(const NodePtr& form) {
  if (host_ && form && form->Is("form"))
    host_->SubmitForm(form);
}

void Document::NotifyChanged() {
  ++change_count_;
  if (observer_)
    observer_->OnDocumentChanged();
}

}  // namespace cef_standin::page
