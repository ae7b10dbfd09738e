#pragma once

#include <string>
#include <vector>

namespace cef_standin {

// The browser process's "--host-resolver-rules" switch: comma-separated
// "MAP pattern target" rules, where the pattern may hold '*' wildcards
// ("MAP *.example 127.0.0.1:8080") and the target is a host with an
// optional port. The first matching rule wins; a host no rule matches is
// looked up as it is. Other rule kinds ("EXCLUDE") keep the host unmapped.
class HostResolverRules {
 public:
  struct Endpoint {
    std::wstring host;
    int port = 0;
  };

  HostResolverRules() = default;
  explicit HostResolverRules(const std::wstring& rules);

  // Where a connection to `host`:`port` really goes.
  Endpoint Map(const std::wstring& host, int port) const;
  size_t size() const { return rules_.size(); }

 private:
  struct Rule {
    bool exclude = false;
    std::wstring pattern;  // lower case
    std::wstring target_host;
    int target_port = 0;  // 0 keeps the requested port
  };

  std::vector<Rule> rules_;
};

// '*' matches any run of characters, everything else itself (case was
// folded before).
bool MatchesHostPattern(const std::wstring& pattern, const std::wstring& host);

}  // namespace cef_standin
