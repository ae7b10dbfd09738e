#include "runtime/standin/net/resource_loader.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

#include "runtime/standin/net/content_disposition.h"
#include "runtime/standin/net/data_url.h"
#include "runtime/standin/net/net_errors.h"
#include "runtime/standin/net/text_decoding.h"
#include "runtime/standin/net/url.h"

namespace cef_standin {

namespace {

std::wstring FileNameOf(const std::wstring& url) {
  const ParsedUrl parsed = ParseUrl(url);
  const size_t slash = parsed.path.rfind(L'/');
  return PlainFileName(slash == std::wstring::npos ? parsed.path : parsed.path.substr(slash + 1));
}

}  // namespace

void NetworkContext::Configure(const std::wstring& host_resolver_rules,
                               const std::wstring& cookie_folder,
                               const std::wstring& user_agent) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    rules_ = HostResolverRules(host_resolver_rules);
    user_agent_ = user_agent;
    accepting_ = true;
  }
  cookies_.Open(cookie_folder);
}

void NetworkContext::Shutdown() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait_for(lock, std::chrono::seconds(2), [this] { return running_ == 0; });
  // Waiting workers end now; those still loading end after their load.
  accepting_ = false;
  for (IdleWorker* worker : idle_workers_) {
    worker->quit = true;
    worker->wake.notify_one();
  }
  idle_workers_.clear();
  idle_.wait_for(lock, std::chrono::seconds(2), [this] { return threads_ <= running_; });
  lock.unlock();
  HttpFetcher::CloseSessions();
  cookies_.Flush();
  cookies_.Clear();
}

std::wstring NetworkContext::user_agent() {
  std::lock_guard<std::mutex> lock(mutex_);
  return user_agent_;
}

HostResolverRules::Endpoint NetworkContext::MapHost(const std::wstring& host, int port) {
  std::lock_guard<std::mutex> lock(mutex_);
  return rules_.Map(host, port);
}

FetchOptions NetworkContext::Options() {
  FetchOptions options;
  std::lock_guard<std::mutex> lock(mutex_);
  options.rules = rules_;
  options.user_agent = user_agent_;
  options.timeout_ms = timeout_ms_;
  return options;
}

std::shared_ptr<FetchCancel> NetworkContext::StartWorker(std::function<void(FetchCancel*)> job) {
  auto cancel = std::make_shared<FetchCancel>();
  std::function<void()> work = [cancel, job = std::move(job)] { job(cancel.get()); };
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++running_;
    // Each load has a thread of its own, so a server that hangs holds up
    // no other load; a thread whose load is done waits a while for the
    // next one, since starting a thread costs about a millisecond.
    if (!idle_workers_.empty()) {
      IdleWorker* worker = idle_workers_.back();
      idle_workers_.pop_back();
      worker->job = std::move(work);
      worker->wake.notify_one();
      return cancel;
    }
    ++threads_;
  }
  std::thread([this, work = std::move(work)]() mutable { WorkerLoop(std::move(work)); }).detach();
  return cancel;
}

void NetworkContext::WorkerLoop(std::function<void()> job) {
  constexpr auto kIdleTime = std::chrono::seconds(5);
  IdleWorker self;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    lock.unlock();
    job();
    job = nullptr;
    lock.lock();
    --running_;
    idle_.notify_all();
    if (!accepting_)
      break;
    idle_workers_.push_back(&self);
    self.wake.wait_for(lock, kIdleTime, [&self] { return self.job || self.quit; });
    if (!self.job) {
      // Waited long enough, or the network shuts down: off the list.
      const auto found = std::find(idle_workers_.begin(), idle_workers_.end(), &self);
      if (found != idle_workers_.end())
        idle_workers_.erase(found);
      break;
    }
    job = std::move(self.job);
    self.job = nullptr;
  }
  --threads_;
  idle_.notify_all();
}

std::shared_ptr<FetchCancel> NetworkContext::Load(const LoadRequest& request, Done done) {
  return StartWorker([this, request, done = std::move(done)](FetchCancel* cancel) {
    done(LoadNow(request, cancel));
  });
}

LoadResult NetworkContext::LoadNow(const LoadRequest& request, FetchCancel* cancel) {
  LoadResult result;
  result.url = request.url;
  const ParsedUrl url = ParseUrl(request.url);
  if (!url.valid) {
    result.error = net_error::kInvalidUrl;
    return result;
  }
  if (url.scheme == L"about") {
    // Every about: page is an empty document.
    result.status = 200;
    result.mime_type = L"text/html";
    return result;
  }
  if (url.scheme == L"data") {
    const DataUrlContent content = DecodeDataUrl(url.path);
    if (!content.valid) {
      result.error = net_error::kInvalidUrl;
      return result;
    }
    result.status = 200;
    result.mime_type = content.mime_type;
    result.charset = content.charset;
    result.body = content.bytes;
    return result;
  }
  if (!url.IsHttp()) {
    result.error = net_error::kUnknownUrlScheme;
    return result;
  }

  HttpRequestInfo info;
  info.method = request.method;
  info.url = url.Href();
  info.body = request.body;
  if (!request.content_type.empty())
    info.headers.emplace_back(L"Content-Type", request.content_type);
  if (!request.referrer.empty())
    info.headers.emplace_back(L"Referer", request.referrer);
  const std::wstring cookie = cookies_.HeaderFor(url, CookieJar::Now());
  if (!cookie.empty())
    info.headers.emplace_back(L"Cookie", cookie);
  HttpResult http = HttpFetcher::Fetch(info, Options(), cancel);
  result.error = http.error;
  if (http.error != net_error::kOk)
    return result;

  for (const std::wstring& header : http.Headers(L"Set-Cookie"))
    cookies_.SetFromHeader(url, header, CookieJar::Now());
  result.status = http.status;
  result.status_text = http.status_text;
  result.mime_type = http.mime_type;
  result.charset = http.charset;
  result.headers = std::move(http.headers);
  result.body = std::move(http.body);
  result.truncated = http.truncated;
  const ContentDisposition disposition =
      ParseContentDisposition(HttpResult{.headers = result.headers}.Header(L"Content-Disposition"));
  result.attachment = disposition.attachment;
  // Only a plain name: no folders from the server.
  if (result.attachment)
    result.suggested_name = PlainFileName(disposition.file_name, FileNameOf(request.url));
  if (result.status >= 300 && result.status < 400) {
    const std::wstring location = HttpResult{.headers = result.headers}.Header(L"Location");
    if (!location.empty())
      result.redirect_url = ResolveUrl(url.Href(), location);
  }
  return result;
}

std::shared_ptr<FetchCancel> NetworkContext::Download(
    const LoadRequest& request,
    std::function<bool(const char*, size_t, int64_t)> sink,
    Done done) {
  return StartWorker([this, request, sink = std::move(sink),
                      done = std::move(done)](FetchCancel* cancel) {
    const ParsedUrl url = ParseUrl(request.url);
    LoadResult result;
    result.url = request.url;
    if (!url.IsHttp()) {
      // data: and about: bodies arrive in one piece.
      result = LoadNow(request, cancel);
      if (result.error == net_error::kOk &&
          !sink(result.body.data(), result.body.size(), static_cast<int64_t>(result.body.size())))
        result.error = net_error::kAborted;
      done(std::move(result));
      return;
    }
    HttpRequestInfo info;
    info.method = request.method;
    info.url = url.Href();
    info.body = request.body;
    const std::wstring cookie = cookies_.HeaderFor(url, CookieJar::Now());
    if (!cookie.empty())
      info.headers.emplace_back(L"Cookie", cookie);
    FetchOptions options = Options();
    options.body_sink = sink;
    HttpResult http = HttpFetcher::Fetch(info, options, cancel);
    result.error = http.error;
    result.status = http.status;
    result.truncated = http.truncated;
    done(std::move(result));
  });
}

}  // namespace cef_standin
