#pragma once

#include "runtime/include/cef_cookie.h"
#include "runtime/standin/net/cookie_jar.h"

namespace cef_standin {

// The global cookie store: the network's cookie jar, which keeps its
// cookies in the cache folder. It records which schemes the store is to
// accept. Changes happen at once on the calling thread; visitors and
// callbacks run on the runtime's UI thread afterwards.
class CookieManagerImpl : public CefCookieManager {
 public:
  void SetSupportedSchemes(const std::vector<CefString>& schemes,
                           bool include_defaults,
                           CefRefPtr<CefCompletionCallback> callback) override;
  bool VisitAllCookies(CefRefPtr<CefCookieVisitor> visitor) override;
  bool VisitUrlCookies(const CefString& url,
                       bool includeHttpOnly,
                       CefRefPtr<CefCookieVisitor> visitor) override;
  bool SetCookie(const CefString& url,
                 const CefCookie& cookie,
                 CefRefPtr<CefSetCookieCallback> callback) override;
  bool DeleteCookies(const CefString& url,
                     const CefString& cookie_name,
                     CefRefPtr<CefDeleteCookiesCallback> callback) override;
  bool FlushStore(CefRefPtr<CefCompletionCallback> callback) override;

 private:
  IMPLEMENT_REFCOUNTING(CookieManagerImpl);
};

// Tells `callback` on the runtime's UI thread that an operation is done.
void CompleteOnUiThread(CefRefPtr<CefCompletionCallback> callback);

// Seconds since 1970 and the calendar in UTC; false for a time the
// calendar cannot hold (before 1601, past 30827, or fields out of range).
bool CefTimeToSeconds(const cef_time_t& time, int64_t* seconds);
bool SecondsToCefTime(int64_t seconds, cef_time_t* time);

// The cookie as the cookie manager shows it: a host cookie's domain is its
// host, a domain cookie's starts with a dot.
CefCookie ToCefCookie(const CookieJar::Cookie& cookie);

}  // namespace cef_standin
