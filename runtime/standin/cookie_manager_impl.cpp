#include "runtime/standin/cookie_manager_impl.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>

#include "runtime/standin/function_task.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin {

namespace {

// Seconds from 1601, where file times start, to 1970.
constexpr int64_t kUnixEpochSeconds = 11644473600LL;

CookieJar& Jar() {
  return RuntimeContext::Get().network().cookies();
}

// Visits `cookies` on the UI thread, deleting those the visitor asks to.
bool VisitOnUiThread(std::vector<CookieJar::Cookie> cookies, CefRefPtr<CefCookieVisitor> visitor) {
  if (!visitor || !RuntimeContext::Get().IsInitialized())
    return false;
  return RuntimeContext::Get().PostTask(
      TID_UI, MakeTask([cookies = std::move(cookies), visitor] {
        const int total = static_cast<int>(cookies.size());
        for (int index = 0; index < total; ++index) {
          const CookieJar::Cookie& cookie = cookies[static_cast<size_t>(index)];
          bool delete_cookie = false;
          const bool go_on = visitor->Visit(ToCefCookie(cookie), index, total, delete_cookie);
          if (delete_cookie) {
            Jar().Delete([&cookie](const CookieJar::Cookie& kept) {
              return kept.name == cookie.name && kept.domain == cookie.domain &&
                     kept.path == cookie.path;
            });
          }
          if (!go_on)
            break;
        }
      }),
      0);
}

// An http or https address, or an invalid one.
ParsedUrl HttpUrl(const CefString& url) {
  ParsedUrl parsed = ParseUrl(url.ToWString());
  if (!parsed.IsHttp())
    parsed.valid = false;
  return parsed;
}

}  // namespace

void CompleteOnUiThread(CefRefPtr<CefCompletionCallback> callback) {
  if (callback)
    RuntimeContext::Get().PostTask(TID_UI, MakeTask([callback] { callback->OnComplete(); }), 0);
}

bool CefTimeToSeconds(const cef_time_t& time, int64_t* seconds) {
  if (time.month < 1 || time.month > 12 || time.day_of_month < 1 || time.day_of_month > 31 ||
      time.hour < 0 || time.hour > 23 || time.minute < 0 || time.minute > 59 || time.second < 0 ||
      time.second > 60 || time.millisecond < 0 || time.millisecond > 999 || time.year < 1601 ||
      time.year > 30827)
    return false;
  SYSTEMTIME system = {};
  system.wYear = static_cast<WORD>(time.year);
  system.wMonth = static_cast<WORD>(time.month);
  system.wDay = static_cast<WORD>(time.day_of_month);
  system.wHour = static_cast<WORD>(time.hour);
  system.wMinute = static_cast<WORD>(time.minute);
  // A leap second counts as the last second of its minute.
  system.wSecond = static_cast<WORD>(std::min(time.second, 59));
  FILETIME file_time;
  if (!SystemTimeToFileTime(&system, &file_time))
    return false;
  const int64_t ticks =
      (static_cast<int64_t>(file_time.dwHighDateTime) << 32) | file_time.dwLowDateTime;
  *seconds = ticks / 10000000 - kUnixEpochSeconds;
  return true;
}

bool SecondsToCefTime(int64_t seconds, cef_time_t* time) {
  if (seconds < -kUnixEpochSeconds)
    return false;
  const uint64_t ticks = static_cast<uint64_t>(seconds + kUnixEpochSeconds) * 10000000ULL;
  FILETIME file_time;
  file_time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
  file_time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  SYSTEMTIME system;
  if (!FileTimeToSystemTime(&file_time, &system))
    return false;
  *time = {system.wYear, system.wMonth,  system.wDayOfWeek, system.wDay,
           system.wHour, system.wMinute, system.wSecond,    system.wMilliseconds};
  return true;
}

CefCookie ToCefCookie(const CookieJar::Cookie& cookie) {
  CefCookie shown;
  CefString(&shown.name) = cookie.name;
  CefString(&shown.value) = cookie.value;
  CefString(&shown.domain) = cookie.host_only ? cookie.domain : L"." + cookie.domain;
  CefString(&shown.path) = cookie.path;
  shown.secure = cookie.secure;
  shown.httponly = cookie.http_only;
  SecondsToCefTime(cookie.creation, &shown.creation);
  SecondsToCefTime(cookie.last_access, &shown.last_access);
  shown.has_expires = cookie.expires > 0 && SecondsToCefTime(cookie.expires, &shown.expires);
  return shown;
}

void CookieManagerImpl::SetSupportedSchemes(const std::vector<CefString>& schemes,
                                            bool include_defaults,
                                            CefRefPtr<CefCompletionCallback> callback) {
  std::vector<std::wstring> names;
  for (const CefString& scheme : schemes)
    names.push_back(scheme.ToWString());
  RuntimeContext::Get().RecordCookieSchemes(names, include_defaults);
  CompleteOnUiThread(callback);
}

bool CookieManagerImpl::VisitAllCookies(CefRefPtr<CefCookieVisitor> visitor) {
  std::vector<CookieJar::Cookie> cookies = Jar().All();
  // Longest path first; the jar keeps the oldest first.
  std::stable_sort(cookies.begin(), cookies.end(),
                   [](const CookieJar::Cookie& a, const CookieJar::Cookie& b) {
                     return a.path.size() > b.path.size();
                   });
  return VisitOnUiThread(std::move(cookies), visitor);
}

bool CookieManagerImpl::VisitUrlCookies(const CefString& url,
                                        bool includeHttpOnly,
                                        CefRefPtr<CefCookieVisitor> visitor) {
  const ParsedUrl parsed = HttpUrl(url);
  if (!parsed.valid)
    return false;
  std::vector<CookieJar::Cookie> cookies = Jar().ForUrl(parsed, CookieJar::Now());
  if (!includeHttpOnly) {
    cookies.erase(std::remove_if(cookies.begin(), cookies.end(),
                                 [](const CookieJar::Cookie& cookie) { return cookie.http_only; }),
                  cookies.end());
  }
  return VisitOnUiThread(std::move(cookies), visitor);
}

bool CookieManagerImpl::SetCookie(const CefString& url,
                                  const CefCookie& cookie,
                                  CefRefPtr<CefSetCookieCallback> callback) {
  const ParsedUrl parsed = HttpUrl(url);
  if (!parsed.valid || !RuntimeContext::Get().IsInitialized())
    return false;
  const int64_t now = CookieJar::Now();
  CookieJar::Cookie stored;
  stored.name = CefString(&cookie.name).ToWString();
  stored.value = CefString(&cookie.value).ToWString();
  stored.domain = CefString(&cookie.domain).ToWString();
  stored.path = CefString(&cookie.path).ToWString();
  stored.secure = cookie.secure != 0;
  stored.http_only = cookie.httponly != 0;
  bool success = true;
  if (cookie.has_expires) {
    int64_t expires = 0;
    success = CefTimeToSeconds(cookie.expires, &expires);
    // An expiry that has passed deletes the cookie, as in a response.
    stored.expires = expires > now ? expires : -1;
  }
  success = success && Jar().Set(parsed, std::move(stored), now);
  if (callback) {
    RuntimeContext::Get().PostTask(
        TID_UI, MakeTask([callback, success] { callback->OnComplete(success); }), 0);
  }
  return true;
}

bool CookieManagerImpl::DeleteCookies(const CefString& url,
                                      const CefString& cookie_name,
                                      CefRefPtr<CefDeleteCookiesCallback> callback) {
  if (!RuntimeContext::Get().IsInitialized())
    return false;
  int deleted = 0;
  if (url.empty()) {
    deleted = Jar().Delete([](const CookieJar::Cookie&) { return true; });
  } else {
    const ParsedUrl parsed = HttpUrl(url);
    if (!parsed.valid)
      return false;
    const std::wstring name = cookie_name.ToWString();
    const int64_t now = CookieJar::Now();
    if (name.empty()) {
      deleted = Jar().Delete([&parsed](const CookieJar::Cookie& cookie) {
        return cookie.host_only && cookie.domain == parsed.host;
      });
    } else {
      deleted = Jar().Delete([&](const CookieJar::Cookie& cookie) {
        return cookie.name == name && CookieJar::SentTo(cookie, parsed, now);
      });
    }
  }
  if (callback) {
    RuntimeContext::Get().PostTask(
        TID_UI, MakeTask([callback, deleted] { callback->OnComplete(deleted); }), 0);
  }
  return true;
}

bool CookieManagerImpl::FlushStore(CefRefPtr<CefCompletionCallback> callback) {
  if (!RuntimeContext::Get().IsInitialized())
    return false;
  return RuntimeContext::Get().PostTask(
      TID_UI, MakeTask([callback] {
        if (!Jar().Flush())
          RuntimeContext::Get().log().Warning(L"The cookies could not be written");
        if (callback)
          callback->OnComplete();
      }),
      0);
}

}  // namespace cef_standin
