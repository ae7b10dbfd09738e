#include "runtime/standin/net/http_fetcher.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <cwctype>
#include <memory>

#include "runtime/standin/net/content_type.h"
#include "runtime/standin/net/net_errors.h"
#include "runtime/standin/net/raw_headers.h"
#include "runtime/standin/net/url.h"

namespace cef_standin {

namespace {

bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

// Closes a WinHTTP handle when it goes out of scope.
class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  ~InternetHandle() {
    if (handle_)
      WinHttpCloseHandle(handle_);
  }
  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HINTERNET handle_;
};

std::wstring QueryString(HINTERNET request, DWORD what) {
  DWORD size = 0;
  WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0)
    return std::wstring();
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size,
                           WINHTTP_NO_HEADER_INDEX))
    return std::wstring();
  value.resize(size / sizeof(wchar_t));
  return value;
}

// WinHTTP sessions, one per user agent, kept for every fetch: a session
// keeps its connections alive between requests, and opening one costs
// more than a small request. A fetch holds its session while it runs, so
// dropping them all (CloseSessions) never closes one under a request.
class SessionCache {
 public:
  static SessionCache& Get() {
    static SessionCache* cache = new SessionCache;  // never destroyed: worker threads use it
    return *cache;
  }

  std::shared_ptr<void> Session(const std::wstring& user_agent) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [agent, session] : sessions_) {
      if (agent == user_agent)
        return session;
    }
    HINTERNET handle = WinHttpOpen(user_agent.c_str(), WINHTTP_ACCESS_TYPE_NO_PROXY,
                                   WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (!handle)
      return nullptr;
    std::shared_ptr<void> session(handle, [](void* opened) { WinHttpCloseHandle(opened); });
    // A handful of agents at most; the oldest goes first.
    if (sessions_.size() >= 4)
      sessions_.erase(sessions_.begin());
    sessions_.emplace_back(user_agent, session);
    return session;
  }

  void Clear() {
    std::vector<std::pair<std::wstring, std::shared_ptr<void>>> dropped;
    std::lock_guard<std::mutex> lock(mutex_);
    dropped.swap(sessions_);
  }

 private:
  std::mutex mutex_;
  std::vector<std::pair<std::wstring, std::shared_ptr<void>>> sessions_;  // guarded by mutex_
};

HttpResult Failure(int error) {
  HttpResult result;
  result.error = error;
  return result;
}

}  // namespace

std::wstring HttpResult::Header(const std::wstring& name) const {
  for (const auto& [key, value] : headers) {
    if (EqualsIgnoringCase(key, name))
      return value;
  }
  return std::wstring();
}

std::vector<std::wstring> HttpResult::Headers(const std::wstring& name) const {
  std::vector<std::wstring> values;
  for (const auto& [key, value] : headers) {
    if (EqualsIgnoringCase(key, name))
      values.push_back(value);
  }
  return values;
}

void FetchCancel::Cancel() {
  std::lock_guard<std::mutex> lock(mutex_);
  cancelled_ = true;
  // Closing the request makes a blocked WinHTTP call return.
  if (request_)
    WinHttpCloseHandle(request_);
  request_ = nullptr;
}

bool FetchCancel::cancelled() {
  std::lock_guard<std::mutex> lock(mutex_);
  return cancelled_;
}

void FetchCancel::SetRequest(void* request) {
  std::lock_guard<std::mutex> lock(mutex_);
  request_ = request;
}

HttpResult HttpFetcher::Fetch(const HttpRequestInfo& info,
                              const FetchOptions& options,
                              FetchCancel* cancel) {
  const ParsedUrl url = ParseUrl(info.url);
  if (!url.valid || !url.IsHttp())
    return Failure(net_error::kInvalidUrl);
  const HostResolverRules::Endpoint endpoint = options.rules.Map(url.host, url.port);

  const std::shared_ptr<void> session = SessionCache::Get().Session(options.user_agent);
  if (!session)
    return Failure(net_error::kFailed);
  InternetHandle connection(WinHttpConnect(session.get(), endpoint.host.c_str(),
                                           static_cast<INTERNET_PORT>(endpoint.port), 0));
  if (!connection)
    return Failure(NetErrorFromWinHttp(GetLastError(), false));
  const DWORD flags = url.scheme == L"https" ? WINHTTP_FLAG_SECURE : 0;
  // The request handle is closed by Cancel or below, whichever comes first.
  HINTERNET request =
      WinHttpOpenRequest(connection.get(), info.method.c_str(), url.PathAndQuery().c_str(), nullptr,
                         WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags);
  if (!request)
    return Failure(NetErrorFromWinHttp(GetLastError(), false));
  if (cancel)
    cancel->SetRequest(request);
  auto close_request = [&] {
    if (cancel) {
      std::lock_guard<std::mutex> lock(cancel->mutex_);
      if (cancel->request_)
        WinHttpCloseHandle(cancel->request_);
      cancel->request_ = nullptr;
    } else {
      WinHttpCloseHandle(request);
    }
  };
  auto fail = [&](int error) {
    const bool cancelled = cancel && cancel->cancelled();
    close_request();
    return Failure(cancelled ? net_error::kAborted : error);
  };
  if (cancel && cancel->cancelled())
    return fail(net_error::kAborted);

  // The session is shared: each request has the timeouts of its fetch.
  WinHttpSetTimeouts(request, options.timeout_ms, options.timeout_ms, options.timeout_ms,
                     options.timeout_ms);
  // Waiting for the response head has a timeout of its own.
  DWORD response_timeout = static_cast<DWORD>(options.timeout_ms);
  WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &response_timeout,
                   sizeof(response_timeout));
  DWORD disabled = WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_COOKIES;
  WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &disabled, sizeof(disabled));

  std::wstring headers;
  if (endpoint.host != url.host || endpoint.port != url.port) {
    // A mapped host: the connection goes elsewhere, the server still sees
    // the host of the address.
    headers +=
        L"Host: " + url.host +
        (url.port == (url.scheme == L"https" ? 443 : 80) ? L"" : L":" + std::to_wstring(url.port)) +
        L"\r\n";
  }
  for (const auto& [name, value] : info.headers)
    headers += name + L": " + value + L"\r\n";
  if (!headers.empty()) {
    WinHttpAddRequestHeaders(request, headers.c_str(), static_cast<DWORD>(headers.size()),
                             WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
  }
  const DWORD body_size = static_cast<DWORD>(info.body.size());
  if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                          body_size ? const_cast<char*>(info.body.data()) : nullptr, body_size,
                          body_size, 0)) {
    return fail(NetErrorFromWinHttp(GetLastError(), false));
  }
  if (!WinHttpReceiveResponse(request, nullptr))
    return fail(NetErrorFromWinHttp(GetLastError(), false));

  HttpResult result;
  DWORD status = 0;
  DWORD size = sizeof(status);
  WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                      WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
  result.status = static_cast<int>(status);
  if (result.status < 100 || result.status > 999)
    return fail(net_error::kInvalidHttpResponse);
  result.status_text = QueryString(request, WINHTTP_QUERY_STATUS_TEXT);
  result.headers = ParseRawHeaders(QueryString(request, WINHTTP_QUERY_RAW_HEADERS_CRLF));
  SplitContentType(result.Header(L"Content-Type"), &result.mime_type, &result.charset);

  int64_t total = -1;
  const std::wstring length = result.Header(L"Content-Length");
  if (!length.empty() && length.size() < 19 &&
      length.find_first_not_of(L"0123456789") == std::wstring::npos)
    total = std::stoll(length);

  int64_t received = 0;
  if (total > 0 && !options.body_sink)
    result.body.reserve(static_cast<size_t>(std::min<int64_t>(total, options.max_body_bytes)));
  // Read straight into a large piece. Asking what is available first
  // (WinHttpQueryDataAvailable) made a 200 KB page take ten times as long
  // under Wine: it hands the body over in pieces as small as the socket's.
  std::string piece(64u << 10, '\0');
  for (;;) {
    DWORD read = 0;
    if (!WinHttpReadData(request, piece.data(), static_cast<DWORD>(piece.size()), &read)) {
      const DWORD error = GetLastError();
      // A peer that closes early ends the body; the length check below
      // tells a truncated one.
      if (error == ERROR_WINHTTP_CONNECTION_ERROR)
        break;
      return fail(NetErrorFromWinHttp(error, true));
    }
    if (read == 0)
      break;
    if (cancel && cancel->cancelled())
      return fail(net_error::kAborted);
    received += read;
    if (options.body_sink) {
      if (!options.body_sink(piece.data(), read, total))
        return fail(net_error::kAborted);
    } else if (result.body.size() + read > options.max_body_bytes) {
      // A huge body keeps what fits.
      result.body.append(piece.data(), options.max_body_bytes - result.body.size());
      result.clipped = true;
      break;
    } else {
      result.body.append(piece.data(), read);
    }
  }
  if (total >= 0 && received < total && !result.clipped && info.method != L"HEAD")
    result.truncated = true;
  close_request();
  return result;
}

void HttpFetcher::CloseSessions() {
  SessionCache::Get().Clear();
}

}  // namespace cef_standin
