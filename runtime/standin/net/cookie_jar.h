#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/standin/net/url.h"

namespace cef_standin {

// The browser's cookies: stored from Set-Cookie headers, sent back to the
// hosts and paths they belong to, and kept in a file of the cache folder
// across restarts (cookies with an expiry date only; session cookies end
// with the runtime, as the real runtime does by default). Any thread.
class CookieJar {
 public:
  struct Cookie {
    std::wstring name;
    std::wstring value;
    std::wstring domain;  // lower case, without a leading dot
    bool host_only = true;
    std::wstring path = L"/";
    bool secure = false;
    bool http_only = false;
    int64_t expires = 0;  // seconds since 1970; 0 for a session cookie
  };

  // An empty folder keeps the cookies in memory only.
  void Open(const std::wstring& folder);
  // Writes the persistent cookies to the file.
  bool Flush();
  void Clear();

  // A Set-Cookie header of a response from `url`. False when refused.
  bool SetFromHeader(const ParsedUrl& url, const std::wstring& header, int64_t now);
  // The Cookie header value for a request to `url`, or empty.
  std::wstring HeaderFor(const ParsedUrl& url, int64_t now);
  std::vector<Cookie> All();

  static int64_t Now();

 private:
  void Load();
  void Store(Cookie cookie, int64_t now);

  std::mutex mutex_;
  std::wstring file_;            // guarded by mutex_
  std::vector<Cookie> cookies_;  // guarded by mutex_
};

}  // namespace cef_standin
