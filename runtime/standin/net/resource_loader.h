#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/standin/net/cookie_jar.h"
#include "runtime/standin/net/host_resolver_rules.h"
#include "runtime/standin/net/http_fetcher.h"

namespace cef_standin {

struct LoadRequest {
  std::wstring method = L"GET";
  std::wstring url;
  std::string body;
  std::wstring content_type;  // of the body
  std::wstring referrer;
};

struct LoadResult {
  int error = 0;   // a net_error code
  int status = 0;  // 200 for data: and about: addresses
  std::wstring status_text;
  std::wstring url;  // the address loaded
  std::wstring mime_type;
  std::wstring charset;
  HeaderList headers;
  std::string body;
  std::wstring redirect_url;  // absolute; for 3xx responses with a Location
  // Content-Disposition: attachment; the suggested file name with it.
  bool attachment = false;
  std::wstring suggested_name;
  bool truncated = false;
};

// The browser process's network: the host mapping of the command line,
// the cookie jar, the user agent, and the worker threads every load runs
// on. Loads are single hops; whoever asked decides about redirects.
class NetworkContext {
 public:
  using Done = std::function<void(LoadResult)>;

  // Any thread, before the first load.
  void Configure(const std::wstring& host_resolver_rules,
                 const std::wstring& cookie_folder,
                 const std::wstring& user_agent);
  // Waits a short while for loads in progress, then lets them finish on
  // their own (their results are dropped); cookies are written out.
  void Shutdown();

  // Starts a load on a worker thread; `done` runs on that worker (the
  // caller posts it on). The cancel handle stops it early.
  std::shared_ptr<FetchCancel> Load(const LoadRequest& request, Done done);
  // Blocking, on the calling worker thread: one load as Load does it.
  LoadResult LoadNow(const LoadRequest& request, FetchCancel* cancel);
  // A download's body straight into `sink`, on a worker thread.
  std::shared_ptr<FetchCancel> Download(const LoadRequest& request,
                                        std::function<bool(const char*, size_t, int64_t)> sink,
                                        Done done);

  CookieJar& cookies() { return cookies_; }
  void set_timeout_ms(int timeout_ms) { timeout_ms_ = timeout_ms; }
  std::wstring user_agent();
  // Which host and port a connection to `host` really uses.
  HostResolverRules::Endpoint MapHost(const std::wstring& host, int port);

 private:
  // A worker waiting for its next load.
  struct IdleWorker {
    std::condition_variable wake;
    std::function<void()> job;  // guarded by mutex_
    bool quit = false;          // guarded by mutex_
  };

  std::shared_ptr<FetchCancel> StartWorker(std::function<void(FetchCancel*)> job);
  // A worker thread: runs `job`, then the loads handed to it while it
  // waits, until it waited long enough or the network shuts down.
  void WorkerLoop(std::function<void()> job);
  FetchOptions Options();

  std::mutex mutex_;
  std::condition_variable idle_;
  HostResolverRules rules_;                // guarded by mutex_
  std::wstring user_agent_;                // guarded by mutex_
  int running_ = 0;                        // loads in progress; guarded by mutex_
  int threads_ = 0;                        // worker threads alive; guarded by mutex_
  bool accepting_ = true;                  // false from Shutdown to Configure; guarded by mutex_
  std::vector<IdleWorker*> idle_workers_;  // guarded by mutex_
  std::atomic<int> timeout_ms_{30000};
  CookieJar cookies_;
};

}  // namespace cef_standin
