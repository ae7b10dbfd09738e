#pragma once

#include <vector>

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_callback.h"

class CefCookieVisitor;
class CefSetCookieCallback;
class CefDeleteCookiesCallback;

// The browser process's cookie store. Its cookies are those the network
// keeps for the runtime's cache folder, and it persists them there. The
// operations may be called on any thread; visitors and callbacks run on
// the runtime's UI thread afterwards.
class CefCookieManager : public virtual CefBaseRefCounted {
 public:
  // The global store. Without a callback it is usable at once; with one,
  // the callback is told on the runtime's UI thread once the store is
  // ready. Null before the runtime is initialised.
  static CefRefPtr<CefCookieManager> GetGlobalManager(CefRefPtr<CefCompletionCallback> callback);

  // The schemes whose cookies the store keeps, in addition to the
  // runtime's defaults when `include_defaults` is set.
  virtual void SetSupportedSchemes(const std::vector<CefString>& schemes,
                                   bool include_defaults,
                                   CefRefPtr<CefCompletionCallback> callback) = 0;
  // Every cookie, longest path first, then the earliest made first.
  // False when the cookies cannot be reached.
  virtual bool VisitAllCookies(CefRefPtr<CefCookieVisitor> visitor) = 0;
  // The cookies a request to `url` would carry, in the same order;
  // HTTP-only ones only with `includeHttpOnly`.
  virtual bool VisitUrlCookies(const CefString& url,
                               bool includeHttpOnly,
                               CefRefPtr<CefCookieVisitor> visitor) = 0;
  // Sets a cookie for `url` as given; a name or value with characters a
  // cookie cannot hold, or a domain `url` may not set, fails (the callback
  // hears false). False for an invalid address.
  virtual bool SetCookie(const CefString& url,
                         const CefCookie& cookie,
                         CefRefPtr<CefSetCookieCallback> callback) = 0;
  // With `url` and `cookie_name`: the host and domain cookies of that name
  // a request to `url` would carry. With `url` only: the host cookies of
  // its host, whatever their path. With neither: every cookie. False for
  // a non-empty invalid address.
  virtual bool DeleteCookies(const CefString& url,
                             const CefString& cookie_name,
                             CefRefPtr<CefDeleteCookiesCallback> callback) = 0;
  // Writes the cookies that outlive the session to the cache folder.
  virtual bool FlushStore(CefRefPtr<CefCompletionCallback> callback) = 0;
};

// Sees cookies one at a time: `count` is the cookie's index, `total` how
// many there are. Setting `deleteCookie` deletes the cookie; false stops
// the visit. Never called when there is no cookie.
class CefCookieVisitor : public virtual CefBaseRefCounted {
 public:
  virtual bool Visit(const CefCookie& cookie, int count, int total, bool& deleteCookie) = 0;
};

// Told whether SetCookie set the cookie.
class CefSetCookieCallback : public virtual CefBaseRefCounted {
 public:
  virtual void OnComplete(bool success) = 0;
};

// Told how many cookies DeleteCookies deleted.
class CefDeleteCookiesCallback : public virtual CefBaseRefCounted {
 public:
  virtual void OnComplete(int num_deleted) = 0;
};
