#include "runtime/standin/net/host_resolver_rules.h"

#include <algorithm>
#include <cwctype>
#include <sstream>

namespace cef_standin {

namespace {

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return text;
}

}  // namespace

bool MatchesHostPattern(const std::wstring& pattern, const std::wstring& host) {
  // Iterative wildcard match: remember the last '*' and retry from there.
  size_t p = 0, h = 0, star = std::wstring::npos, resume = 0;
  while (h < host.size()) {
    if (p < pattern.size() && pattern[p] == L'*') {
      star = p++;
      resume = h;
    } else if (p < pattern.size() && pattern[p] == host[h]) {
      ++p;
      ++h;
    } else if (star != std::wstring::npos) {
      p = star + 1;
      h = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*')
    ++p;
  return p == pattern.size();
}

HostResolverRules::HostResolverRules(const std::wstring& text) {
  std::wstringstream all(text);
  std::wstring item;
  while (std::getline(all, item, L',')) {
    std::wstringstream words(item);
    std::wstring kind, pattern, target;
    words >> kind >> pattern;
    kind = Lower(kind);
    Rule rule;
    rule.pattern = Lower(pattern);
    if (rule.pattern.empty())
      continue;
    if (kind == L"exclude") {
      rule.exclude = true;
      rules_.push_back(rule);
      continue;
    }
    if (kind != L"map" || !(words >> target))
      continue;
    // "host:port", "[v6]:port" or a bare host.
    const size_t colon = target.rfind(L':');
    const size_t bracket = target.rfind(L']');
    if (colon != std::wstring::npos && (bracket == std::wstring::npos || colon > bracket)) {
      const std::wstring port = target.substr(colon + 1);
      if (port.empty() || port.size() > 5 ||
          port.find_first_not_of(L"0123456789") != std::wstring::npos)
        continue;
      rule.target_port = std::stoi(port);
      if (rule.target_port <= 0 || rule.target_port > 65535)
        continue;
      target.erase(colon);
    }
    if (!target.empty() && target.front() == L'[' && target.back() == L']')
      target = target.substr(1, target.size() - 2);
    if (target.empty())
      continue;
    rule.target_host = target;
    rules_.push_back(rule);
  }
}

HostResolverRules::Endpoint HostResolverRules::Map(const std::wstring& host, int port) const {
  const std::wstring lower = Lower(host);
  for (const Rule& rule : rules_) {
    if (!MatchesHostPattern(rule.pattern, lower))
      continue;
    if (rule.exclude)
      break;
    return {rule.target_host, rule.target_port ? rule.target_port : port};
  }
  return {host, port};
}

}  // namespace cef_standin
