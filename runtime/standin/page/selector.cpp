#include "runtime/standin/page/selector.h"

#include <optional>

namespace cef_standin::page {

namespace {

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string_view ReadName(std::string_view text, std::size_t& at) {
  const std::size_t start = at;
  while (at < text.size() && IsNameChar(text[at]))
    ++at;
  return text.substr(start, at - start);
}

}  // namespace

Selector::Selector(std::string_view text) {
  std::size_t at = 0;
  Chain chain;
  Compound compound;
  bool compound_empty = true;
  auto end_compound = [&]() {
    if (!compound_empty)
      chain.push_back(std::move(compound));
    compound = Compound();
    compound_empty = true;
  };
  while (at < text.size()) {
    const char c = text[at];
    if (IsSpace(c)) {
      end_compound();
      ++at;
    } else if (c == ',') {
      end_compound();
      if (chain.empty())
        return;
      chains_.push_back(std::move(chain));
      chain.clear();
      ++at;
    } else if (c == '#' || c == '.') {
      ++at;
      const std::string_view name = ReadName(text, at);
      if (name.empty())
        return;
      if (c == '#')
        compound.id = std::string(name);
      else
        compound.classes.emplace_back(name);
      compound_empty = false;
    } else if (c == '[') {
      ++at;
      while (at < text.size() && IsSpace(text[at]))
        ++at;
      const std::string name = Lower(ReadName(text, at));
      if (name.empty())
        return;
      while (at < text.size() && IsSpace(text[at]))
        ++at;
      std::optional<std::string> value;
      if (at < text.size() && text[at] == '=') {
        ++at;
        while (at < text.size() && IsSpace(text[at]))
          ++at;
        if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
          const char quote = text[at++];
          const std::size_t close = text.find(quote, at);
          if (close == std::string_view::npos)
            return;
          value = std::string(text.substr(at, close - at));
          at = close + 1;
        } else {
          value = std::string(ReadName(text, at));
        }
        while (at < text.size() && IsSpace(text[at]))
          ++at;
      }
      if (at >= text.size() || text[at] != ']')
        return;
      ++at;
      compound.attributes.emplace_back(name, value);
      compound_empty = false;
    } else if (c == '*' && compound_empty) {
      ++at;
      compound.tag = "*";
      compound_empty = false;
    } else if (IsNameChar(c) && compound_empty) {
      compound.tag = Lower(ReadName(text, at));
      compound_empty = false;
    } else {
      return;  // combinators and pseudo-classes are not supported
    }
  }
  end_compound();
  if (chain.empty())
    return;
  chains_.push_back(std::move(chain));
  valid_ = true;
}

bool Selector::MatchesCompound(const Compound& compound, const Node& element) {
  if (!element.IsElement())
    return false;
  if (!compound.tag.empty() && compound.tag != "*" && compound.tag != element.tag_name())
    return false;
  if (!compound.id.empty() && compound.id != element.id())
    return false;
  for (const std::string& name : compound.classes) {
    if (!element.HasClass(name))
      return false;
  }
  for (const auto& [name, value] : compound.attributes) {
    const std::string* actual = element.GetAttribute(name);
    if (!actual || (value && *value != *actual))
      return false;
  }
  return true;
}

bool Selector::MatchesChain(const Chain& chain, const Node& element) {
  if (!MatchesCompound(chain.back(), element))
    return false;
  // Greedy from the right: the nearest matching ancestor for each compound
  // is always the best choice for a chain of descendant combinators.
  const Node* node = element.parent();
  for (std::size_t i = chain.size() - 1; i-- > 0;) {
    while (node && !MatchesCompound(chain[i], *node))
      node = node->parent();
    if (!node)
      return false;
    node = node->parent();
  }
  return true;
}

bool Selector::Matches(const Node& element) const {
  if (!valid_)
    return false;
  for (const Chain& chain : chains_) {
    if (MatchesChain(chain, element))
      return true;
  }
  return false;
}

void ForEachDescendant(const Node& root, const std::function<bool(const NodePtr&)>& visit) {
  // Pairs of (parent, next child index) instead of recursion: documents
  // built by script have no depth limit.
  std::vector<std::pair<const Node*, std::size_t>> stack{{&root, 0}};
  while (!stack.empty()) {
    auto& [node, index] = stack.back();
    if (index >= node->children().size()) {
      stack.pop_back();
      continue;
    }
    const NodePtr& child = node->children()[index++];
    if (!visit(child))
      return;
    if (!child->children().empty())
      stack.emplace_back(child.get(), 0);
  }
}

}  // namespace cef_standin::page
