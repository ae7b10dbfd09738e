#include "runtime/standin/page/html_reader.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "runtime/standin/page/document.h"

namespace cef_standin::page {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char ToLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsOneOf(std::string_view tag, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), tag) != names.end();
}

bool IsHeadElement(std::string_view tag) {
  return IsOneOf(tag, {"title", "meta", "base", "link", "style", "script", "noscript"});
}

// Start tags that close an open p first.
bool ClosesParagraph(std::string_view tag) {
  return IsOneOf(tag,
                 {"p",        "div",     "h1",     "h2",   "h3",      "h4",         "h5",    "h6",
                  "ul",       "ol",      "table",  "form", "pre",     "blockquote", "hr",    "dl",
                  "center",   "header",  "footer", "nav",  "section", "article",    "aside", "main",
                  "fieldset", "address", "figure", "menu", "details", "li",         "dd",    "dt"});
}

struct Token {
  enum class Kind { kText, kStart, kEnd };
  Kind kind = Kind::kText;
  std::string name;
  std::vector<Attribute> attributes;
  bool self_closing = false;
  std::string text;
};

// Splits markup into text, start and end tags; comments, doctypes and
// processing instructions are skipped. Raw text elements are read to
// their end tag.
class Tokenizer {
 public:
  explicit Tokenizer(std::string_view input) : input_(input) {}

  bool Next(Token& token) {
    while (at_ < input_.size()) {
      if (!raw_end_.empty())
        return ReadRawText(token);
      if (input_[at_] != '<')
        return ReadText(token);
      if (ReadMarkup(token))
        return true;
    }
    return false;
  }

 private:
  bool ReadText(Token& token) {
    const std::size_t end = std::min(input_.find('<', at_ + 1), input_.size());
    token = Token();
    AppendDecodedReferences(input_.substr(at_, end - at_), token.text);
    at_ = end;
    return true;
  }

  bool ReadRawText(Token& token) {
    // Up to "</name" in any case; the end tag itself is read next.
    std::size_t search = at_;
    std::size_t end = input_.size();
    while (search < input_.size()) {
      const std::size_t lt = input_.find("</", search);
      if (lt == std::string_view::npos)
        break;
      bool match = lt + 2 + raw_end_.size() <= input_.size();
      for (std::size_t i = 0; match && i < raw_end_.size(); ++i)
        match = ToLower(input_[lt + 2 + i]) == raw_end_[i];
      if (match) {
        const std::size_t after = lt + 2 + raw_end_.size();
        if (after >= input_.size() || IsSpace(input_[after]) || input_[after] == '>' ||
            input_[after] == '/') {
          end = lt;
          break;
        }
      }
      search = lt + 2;
    }
    token = Token();
    const std::string_view raw = input_.substr(at_, end - at_);
    if (decode_raw_)
      AppendDecodedReferences(raw, token.text);
    else
      token.text = std::string(raw);
    raw_end_.clear();
    at_ = end;
    return true;
  }

  // At '<': a tag (true, `token` filled), something skipped (false), or a
  // lone '<' read as text (true).
  bool ReadMarkup(Token& token) {
    const std::size_t next = at_ + 1;
    if (input_.substr(at_, 4) == "<!--") {
      const std::size_t end = input_.find("-->", at_ + 4);
      at_ = end == std::string_view::npos ? input_.size() : end + 3;
      return false;
    }
    if (next < input_.size() && (input_[next] == '!' || input_[next] == '?')) {
      const std::size_t end = input_.find('>', next);
      at_ = end == std::string_view::npos ? input_.size() : end + 1;
      return false;
    }
    const bool end_tag = next < input_.size() && input_[next] == '/';
    const std::size_t name_start = end_tag ? next + 1 : next;
    if (name_start >= input_.size() || !IsLetter(input_[name_start])) {
      if (end_tag) {
        // "</>" or "</ junk>": skipped.
        const std::size_t end = input_.find('>', next);
        at_ = end == std::string_view::npos ? input_.size() : end + 1;
        return false;
      }
      token = Token();
      token.text = "<";
      ++at_;
      return true;
    }
    token = Token();
    token.kind = end_tag ? Token::Kind::kEnd : Token::Kind::kStart;
    std::size_t i = name_start;
    while (i < input_.size() && !IsSpace(input_[i]) && input_[i] != '>' && input_[i] != '/')
      token.name += ToLower(input_[i++]);
    // Attributes up to '>'.
    while (i < input_.size() && input_[i] != '>') {
      if (IsSpace(input_[i])) {
        ++i;
        continue;
      }
      if (input_[i] == '/') {
        token.self_closing = i + 1 < input_.size() && input_[i + 1] == '>';
        ++i;
        continue;
      }
      std::string name;
      while (i < input_.size() && !IsSpace(input_[i]) && input_[i] != '>' && input_[i] != '=' &&
             !(input_[i] == '/' && name.size() > 0))
        name += ToLower(input_[i++]);
      while (i < input_.size() && IsSpace(input_[i]))
        ++i;
      std::string value;
      if (i < input_.size() && input_[i] == '=') {
        ++i;
        while (i < input_.size() && IsSpace(input_[i]))
          ++i;
        std::string_view raw;
        if (i < input_.size() && (input_[i] == '"' || input_[i] == '\'')) {
          const char quote = input_[i++];
          const std::size_t close = std::min(input_.find(quote, i), input_.size());
          raw = input_.substr(i, close - i);
          i = std::min(close + 1, input_.size());
        } else {
          const std::size_t start = i;
          while (i < input_.size() && !IsSpace(input_[i]) && input_[i] != '>')
            ++i;
          raw = input_.substr(start, i - start);
        }
        AppendDecodedReferences(raw, value);
      }
      if (name.empty())
        continue;
      if (!end_tag && token.attributes.size() < kMaxAttributes &&
          std::none_of(token.attributes.begin(), token.attributes.end(),
                       [&name](const Attribute& a) { return a.name == name; }))
        token.attributes.push_back({std::move(name), std::move(value)});
    }
    at_ = std::min(i + 1, input_.size());
    if (!end_tag && IsRawTextElement(token.name) && !token.self_closing) {
      raw_end_ = token.name;
      decode_raw_ = token.name == "textarea" || token.name == "title";
    }
    return true;
  }

  static constexpr std::size_t kMaxAttributes = 64;
  std::string_view input_;
  std::size_t at_ = 0;
  std::string raw_end_;
  bool decode_raw_ = false;
};

class TreeBuilder {
 public:
  TreeBuilder(Node& root, ReaderMode mode) : root_(root), mode_(mode), document_(root.document()) {
    root_.RemoveAllChildren();
    if (mode == ReaderMode::kDocument) {
      head_ = root_.AppendChild(Make("head")).get();
      body_ = root_.AppendChild(Make("body")).get();
      stack_.push_back(head_);
    } else {
      stack_.push_back(&root_);
    }
  }

  void Add(Token& token) {
    switch (token.kind) {
      case Token::Kind::kText:
        // Collected until the next tag, so that text broken up by stray
        // '<' still becomes one node without quadratic appends.
        pending_text_.append(
            token.text, 0,
            std::min(token.text.size(), Document::kMaxTextBytes - std::min(Document::kMaxTextBytes,
                                                                           pending_text_.size())));
        break;
      case Token::Kind::kStart:
        FlushText();
        AddStart(token);
        break;
      case Token::Kind::kEnd:
        FlushText();
        AddEnd(token.name);
        break;
    }
  }

  void Finish() {
    FlushText();
    if (mode_ == ReaderMode::kDocument)
      in_head_ = false;
  }

 private:
  NodePtr Make(std::string_view tag) {
    if (document_)
      return document_->CreateElement(tag);
    return std::make_shared<Node>(nullptr, NodeType::kElement, std::string(tag));
  }

  NodePtr MakeText(std::string_view text) {
    if (document_)
      return document_->CreateText(text);
    return std::make_shared<Node>(nullptr, NodeType::kText, std::string(text));
  }

  Node& Current() { return *stack_.back(); }

  // Leaves the head for the body on the first content that belongs there.
  void EnterBody() {
    if (mode_ == ReaderMode::kDocument && in_head_) {
      in_head_ = false;
      stack_.assign(1, body_);
    }
  }

  void FlushText() {
    std::string text;
    text.swap(pending_text_);
    AddText(text);
  }

  void AddText(std::string_view text) {
    if (text.empty() || nodes_ >= Document::kMaxNodes)
      return;
    if (in_head_ && stack_.size() == 1) {
      const bool blank = std::all_of(text.begin(), text.end(), IsSpace);
      if (blank)
        return;
      EnterBody();
    }
    if (text_bytes_ + text.size() > Document::kMaxTextBytes)
      text = text.substr(0, Document::kMaxTextBytes - text_bytes_);
    if (text.empty())
      return;
    text_bytes_ += text.size();
    Current().AppendChild(MakeText(text));
    ++nodes_;
  }

  void CloseUpTo(std::string_view tag, std::initializer_list<std::string_view> boundaries) {
    for (std::size_t i = stack_.size(); i-- > 1;) {
      const std::string& name = stack_[i]->tag_name();
      if (name == tag) {
        stack_.resize(i);
        return;
      }
      if (IsOneOf(name, boundaries))
        return;
    }
  }

  void AddStart(Token& token) {
    const std::string& tag = token.name;
    if (tag == "html" || tag == "body" || tag == "head") {
      // Their attributes join the elements that are already there.
      Node* target = tag == "html" ? &root_ : tag == "body" ? body_ : head_;
      if (mode_ == ReaderMode::kDocument && target) {
        for (Attribute& attribute : token.attributes) {
          if (!target->HasAttribute(attribute.name))
            target->SetAttribute(attribute.name, attribute.value);
        }
        if (tag == "body")
          EnterBody();
      }
      return;
    }
    if (nodes_ >= Document::kMaxNodes)
      return;
    if (!(in_head_ && IsHeadElement(tag)))
      EnterBody();
    if (ClosesParagraph(tag))
      CloseUpTo("p", {"div", "td", "th", "li", "button", "table", "form", "blockquote"});
    if (tag == "li")
      CloseUpTo("li", {"ul", "ol"});
    if (tag == "dt" || tag == "dd") {
      CloseUpTo("dt", {"dl"});
      CloseUpTo("dd", {"dl"});
    }
    if (tag == "option" || tag == "optgroup")
      CloseUpTo("option", {"select"});
    if (tag == "tr") {
      CloseUpTo("td", {"table", "tr"});
      CloseUpTo("th", {"table", "tr"});
      CloseUpTo("tr", {"table"});
    }
    if (tag == "td" || tag == "th") {
      CloseUpTo("td", {"table", "tr"});
      CloseUpTo("th", {"table", "tr"});
    }
    const bool leaf = IsVoidElement(tag) || token.self_closing;
    if (!leaf && stack_.size() >= static_cast<std::size_t>(Document::kMaxDepth)) {
      // Too deep: the tag is dropped and its content joins the current
      // element; its end tag is matched here so that it closes nothing.
      dropped_.push_back(tag);
      return;
    }
    NodePtr element = Make(tag);
    for (Attribute& attribute : token.attributes)
      element->SetAttribute(attribute.name, attribute.value);
    Current().AppendChild(element);
    ++nodes_;
    if (!leaf)
      stack_.push_back(element.get());
  }

  void AddEnd(const std::string& tag) {
    if (tag == "html" || tag == "body" || tag == "head") {
      if (tag == "head")
        EnterBody();
      return;
    }
    if (tag == "br") {  // "</br>" is read as "<br>", as browsers do
      Token token;
      token.kind = Token::Kind::kStart;
      token.name = "br";
      AddStart(token);
      return;
    }
    if (tag == "p" && !HasOpen("p")) {
      // A stray </p> makes an empty paragraph, as browsers do.
      Token token;
      token.kind = Token::Kind::kStart;
      token.name = "p";
      AddStart(token);
    }
    if (!dropped_.empty() && dropped_.back() == tag) {
      dropped_.pop_back();
      return;
    }
    for (std::size_t i = stack_.size(); i-- > 1;) {
      if (stack_[i]->tag_name() == tag) {
        stack_.resize(i);
        return;
      }
    }
  }

  bool HasOpen(std::string_view tag) const {
    for (std::size_t i = stack_.size(); i-- > 1;) {
      if (stack_[i]->tag_name() == tag)
        return true;
    }
    return false;
  }

  Node& root_;
  const ReaderMode mode_;
  Document* document_;
  Node* head_ = nullptr;
  Node* body_ = nullptr;
  bool in_head_ = true;
  std::vector<Node*> stack_;
  std::size_t nodes_ = 0;
  std::size_t text_bytes_ = 0;
  std::string pending_text_;
  // Start tags dropped beyond the depth limit, innermost last.
  std::vector<std::string> dropped_;
};

void EscapeInto(std::string_view text, bool attribute, std::string& out) {
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += attribute ? "<" : "&lt;";
        break;
      case '>':
        out += attribute ? ">" : "&gt;";
        break;
      case '"':
        out += attribute ? "&quot;" : "\"";
        break;
      default:
        out += c;
    }
  }
}

void AppendStartTag(const Node& node, std::string& out) {
  out += '<';
  out += node.tag_name();
  for (const Attribute& attribute : node.attributes()) {
    out += ' ';
    out += attribute.name;
    out += "=\"";
    EscapeInto(attribute.value, /*attribute=*/true, out);
    out += '"';
  }
  out += '>';
}

void Serialize(const Node& top, bool include_top, std::string& out) {
  // (node, next child) pairs: no recursion for deep trees.
  struct Frame {
    const Node* node;
    std::size_t next;
  };
  std::vector<Frame> stack;
  auto open = [&](const Node& node) {
    if (node.IsText()) {
      const Node* parent = node.parent();
      if (parent && IsRawTextElement(parent->tag_name()) && !parent->Is("textarea") &&
          !parent->Is("title"))
        out += node.data();
      else
        EscapeInto(node.data(), /*attribute=*/false, out);
      return;
    }
    AppendStartTag(node, out);
    if (!IsVoidElement(node.tag_name()))
      stack.push_back({&node, 0});
  };
  if (include_top) {
    open(top);
  } else {
    stack.push_back({&top, 0});
  }
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next < frame.node->children().size()) {
      const Node& child = *frame.node->children()[frame.next++];
      open(child);
      continue;
    }
    const Node* done = frame.node;
    stack.pop_back();
    if (done != &top || include_top) {
      out += "</";
      out += done->tag_name();
      out += '>';
    }
  }
}

}  // namespace

bool IsVoidElement(std::string_view tag) {
  return IsOneOf(tag, {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta",
                       "param", "source", "track", "wbr"});
}

bool IsRawTextElement(std::string_view tag) {
  return IsOneOf(tag, {"script", "style", "textarea", "title", "xmp", "noembed"});
}

void ReadHtml(std::string_view markup, Node& root, ReaderMode mode) {
  if (!root.IsElement())
    return;
  TreeBuilder builder(root, mode);
  Tokenizer tokenizer(markup);
  Token token;
  while (tokenizer.Next(token))
    builder.Add(token);
  builder.Finish();
}

std::string SerializeChildren(const Node& node) {
  std::string out;
  Serialize(node, /*include_top=*/false, out);
  return out;
}

std::string SerializeNode(const Node& node) {
  std::string out;
  if (node.IsText())
    EscapeInto(node.data(), /*attribute=*/false, out);
  else
    Serialize(node, /*include_top=*/true, out);
  return out;
}

}  // namespace cef_standin::page
