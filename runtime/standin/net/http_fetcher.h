#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "runtime/standin/net/host_resolver_rules.h"
#include "runtime/standin/net/raw_headers.h"

namespace cef_standin {

struct HttpRequestInfo {
  std::wstring method = L"GET";
  std::wstring url;  // absolute http or https address
  std::string body;
  HeaderList headers;  // Content-Type, Referer, Cookie, ...
};

struct HttpResult {
  int error = 0;  // a net_error code; 0 when a response arrived
  int status = 0;
  std::wstring status_text;
  std::wstring mime_type;
  std::wstring charset;
  HeaderList headers;  // in arrival order; repeated names kept
  std::string body;
  bool truncated = false;  // fewer bytes than Content-Length promised
  bool clipped = false;    // longer than the options allow; the rest dropped

  // The first header of that name (case-insensitive), or empty.
  std::wstring Header(const std::wstring& name) const;
  std::vector<std::wstring> Headers(const std::wstring& name) const;
};

struct FetchOptions {
  HostResolverRules rules;
  std::wstring user_agent;
  int timeout_ms = 30000;
  size_t max_body_bytes = 64u << 20;
  // Called with each piece of the body instead of collecting it, with the
  // total length or -1; false stops the transfer (ERR_ABORTED).
  std::function<bool(const char* data, size_t size, int64_t total)> body_sink;
};

// Lets another thread stop a fetch in progress. The fetch then reports
// ERR_ABORTED at its next step at the latest.
class FetchCancel {
 public:
  void Cancel();
  bool cancelled();

 private:
  friend class HttpFetcher;
  void SetRequest(void* request);

  std::mutex mutex_;
  bool cancelled_ = false;   // guarded by mutex_
  void* request_ = nullptr;  // guarded by mutex_; a WinHTTP request handle
};

// One HTTP/1.1 exchange through WinHTTP, blocking: a worker thread's job,
// never the UI's or the renderer's. Redirects are not followed (the
// caller asks about each hop) and cookies are left to the caller.
class HttpFetcher {
 public:
  static HttpResult Fetch(const HttpRequestInfo& request,
                          const FetchOptions& options,
                          FetchCancel* cancel);
  // Fetches share one WinHTTP session per user agent, and with it their
  // connections; this lets them go (fetches in progress keep theirs).
  static void CloseSessions();
};

}  // namespace cef_standin
