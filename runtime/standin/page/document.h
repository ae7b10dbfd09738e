#pragma once

// A page's document: the tree of nodes (see node.h for lifetime rules), the
// page's address and base for relative links, its scripts, and the hooks
// through which the script engine and the view take part.
//
// Loading: Document::Load(bytes, charset) decodes the response bytes (the
// response's charset, else <meta charset>, else UTF-8) and reads the markup
// into the tree. The scripts are then listed in `scripts()` for the script
// engine to run in order; nothing here runs them.
//
// Events: user input reaches the view, which calls DispatchEvent before a
// default action; script calls Click/Focus/Blur/Submit, which dispatch too
// and then ask the DocumentHost (the view) for the default action.
//
// Renderer thread only.

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "runtime/standin/page/node.h"

namespace cef_standin::page {

enum class EventType { kClick, kInput, kChange, kSubmit, kFocus, kBlur };
// "click", "input", "change", "submit", "focus", "blur".
const char* EventName(EventType type);

enum class EventOutcome { kProceed, kDefaultPrevented };

// Implemented by the script engine: runs the listeners of `type` at
// `target` (and its ancestors, for the events that bubble) and says whether
// one of them prevented the default action.
class ScriptEventSink {
 public:
  virtual EventOutcome DispatchEvent(const NodePtr& target, EventType type) = 0;

 protected:
  ~ScriptEventSink() = default;
};

// Told after every change to the tree, attributes, text, form state or
// style, so that layout runs again. Called synchronously, possibly many
// times in a row: note it, do not lay out from inside.
class DocumentObserver {
 public:
  virtual void OnDocumentChanged() = 0;

 protected:
  ~DocumentObserver() = default;
};

enum class UserGesture { kNo, kYes };

// Implemented by the view: the default actions of elements and the focus.
class DocumentHost {
 public:
  // The default action of a click on `target` after listeners let it run:
  // follow a link, submit a form, toggle a checkbox.
  virtual void ActivateElement(const NodePtr& target, UserGesture gesture) = 0;
  // Script's focus() and blur().
  virtual void FocusElement(const NodePtr& target) = 0;
  virtual void BlurElement(const NodePtr& target) = 0;
  // Script's form.submit(): submits without a submit event.
  virtual void SubmitForm(const NodePtr& form) = 0;

 protected:
  ~DocumentHost() = default;
};

struct ScriptEntry {
  NodePtr element;
  // The "src" attribute resolved against the base; empty for inline script.
  std::string src_url;
  // The inline text (empty when src is given).
  std::string text;
};

class Document {
 public:
  // Readers stop nesting elements at this depth (deeper elements become
  // siblings) and keep at most this many nodes; text beyond the limit of
  // one document is dropped.
  static constexpr int kMaxDepth = 512;
  // A page of 200,000 elements has about three nodes for each (the
  // element, its text, the white space after it).
  static constexpr std::size_t kMaxNodes = 1000000;
  static constexpr std::size_t kMaxTextBytes = 32u << 20;

  explicit Document(std::string url = "about:blank");
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // Replaces the tree with `bytes` read as markup. `charset` is the
  // response's charset label, possibly empty.
  void Load(std::string_view bytes, std::string_view charset);
  // Replaces the tree with already decoded UTF-8 markup.
  void LoadUtf8(std::string_view markup);

  NodePtr CreateElement(std::string_view tag);
  NodePtr CreateText(std::string_view text);

  // The <html> element; always there (an empty page has html, head, body).
  const NodePtr& document_element() const { return root_; }
  NodePtr head() const;
  NodePtr body() const;
  // The first element with the id in tree order, or null.
  NodePtr GetElementById(std::string_view id) const;
  NodePtr QuerySelector(std::string_view selector) const;
  std::vector<NodePtr> QuerySelectorAll(std::string_view selector) const;

  // The <title> text with white space collapsed; setting makes a title.
  std::string Title() const;
  void SetTitle(std::string_view title);

  const std::string& url() const { return url_; }
  void SetUrl(std::string url);
  // The page's address, or its first <base href> resolved against it.
  std::string BaseUrl() const;
  std::string ResolveUrl(std::string_view relative) const;

  const std::vector<ScriptEntry>& scripts() const { return scripts_; }

  // Null unsets. None is owned.
  void SetObserver(DocumentObserver* observer) { observer_ = observer; }
  void SetScriptEventSink(ScriptEventSink* sink) { sink_ = sink; }
  void SetHost(DocumentHost* host) { host_ = host; }

  // Listeners run (if a sink is set); kProceed when there is no sink.
  EventOutcome DispatchEvent(const NodePtr& target, EventType type);
  // Script's element.click(): the click event, then the default action
  // without a user gesture.
  void Click(const NodePtr& target);
  void Focus(const NodePtr& target);
  void Blur(const NodePtr& target);
  void Submit(const NodePtr& form);

  // Counts every change; the view compares it with the count it laid out.
  unsigned long long change_count() const { return change_count_; }
  void NotifyChanged();
  std::size_t node_count() const { return nodes_.size(); }

 private:
  friend class Node;
  void ResetTree();
  void CollectScripts();

  std::string url_;
  NodePtr root_;
  std::vector<ScriptEntry> scripts_;
  // Every live node this document created, so that it can orphan them.
  std::unordered_set<Node*> nodes_;
  DocumentObserver* observer_ = nullptr;
  ScriptEventSink* sink_ = nullptr;
  DocumentHost* host_ = nullptr;
  unsigned long long change_count_ = 0;
  mutable std::string base_url_;
  mutable std::string base_url_page_;
  mutable unsigned long long base_url_change_ = ~0ull;
};

}  // namespace cef_standin::page
