#pragma once

// The simple selectors of querySelector: compounds of a tag, #id, .class
// and [attr] or [attr=value] parts, joined by the descendant combinator,
// in comma-separated lists. Anything else makes the whole selector match
// nothing. Portable.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/standin/page/node.h"

namespace cef_standin::page {

class Selector {
 public:
  explicit Selector(std::string_view text);
  bool valid() const { return valid_; }
  bool Matches(const Node& element) const;

 private:
  struct Compound {
    std::string tag;  // empty or "*" for any
    std::string id;
    std::vector<std::string> classes;
    // Name, and the value when "=" was given.
    std::vector<std::pair<std::string, std::optional<std::string>>> attributes;
  };
  // Compounds left to right; the last one is the element's own.
  using Chain = std::vector<Compound>;

  static bool MatchesCompound(const Compound& compound, const Node& element);
  static bool MatchesChain(const Chain& chain, const Node& element);

  std::vector<Chain> chains_;
  bool valid_ = false;
};

// Visits the descendants of `root` in tree order without recursion, while
// `visit` returns true.
void ForEachDescendant(const Node& root, const std::function<bool(const NodePtr&)>& visit);

}  // namespace cef_standin::page
