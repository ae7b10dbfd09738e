#pragma once

#include <cstdint>
#include <functional>
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
    // Seconds since 1970: when it was first set (a replacement keeps
    // it), and when a request last carried it.
    int64_t creation = 0;
    int64_t last_access = 0;
  };

  // An empty folder keeps the cookies in memory only.
  void Open(const std::wstring& folder);
  // Writes the persistent cookies to the file.
  bool Flush();
  void Clear();

  // A Set-Cookie header of a response from `url`. False when refused.
  bool SetFromHeader(const ParsedUrl& url, const std::wstring& header, int64_t now);
  // Sets `cookie` as a response from `url` would: an empty domain makes a
  // host cookie of the address's host, another domain (with or without
  // its leading dot) a domain cookie, which the host must be inside; an
  // empty path is the address's directory; an expiry of -1 or in the past
  // deletes the cookie. False when refused: not http(s), a name or value a
  // cookie cannot hold, a foreign domain.
  bool Set(const ParsedUrl& url, Cookie cookie, int64_t now);
  // The Cookie header value for a request to `url`, or empty; the
  // cookies sent are marked as accessed.
  std::wstring HeaderFor(const ParsedUrl& url, int64_t now);
  // The cookies a request to `url` would carry, as HeaderFor orders them:
  // longest path first, then the oldest first.
  std::vector<Cookie> ForUrl(const ParsedUrl& url, int64_t now);
  // Every cookie, oldest first.
  std::vector<Cookie> All();
  // Deletes the cookies `doomed` picks; returns how many.
  int Delete(const std::function<bool(const Cookie&)>& doomed);
  // Whether a request to `url` carries `cookie`.
  static bool SentTo(const Cookie& cookie, const ParsedUrl& url, int64_t now);

  static int64_t Now();

 private:
  void Load();
  void Store(Cookie cookie, int64_t now);
  // Indexes of the cookies sent to `url`, in sending order. Under mutex_.
  std::vector<size_t> Matching(const ParsedUrl& url, int64_t now);

  std::mutex mutex_;
  std::wstring file_;            // guarded by mutex_
  std::vector<Cookie> cookies_;  // guarded by mutex_
};

}  // namespace cef_standin
