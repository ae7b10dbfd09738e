#include "runtime/standin/net/cookie_jar.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <sstream>

#include "base/util/string_util.h"

namespace cef_standin {

namespace {

constexpr size_t kMaxCookies = 3000;

std::wstring Trim(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos)
    return std::wstring();
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return text;
}

bool DomainMatches(const CookieJar::Cookie& cookie, const std::wstring& host) {
  if (cookie.host_only || host == cookie.domain)
    return host == cookie.domain;
  return host.size() > cookie.domain.size() &&
         host.compare(host.size() - cookie.domain.size(), cookie.domain.size(), cookie.domain) ==
             0 &&
         host[host.size() - cookie.domain.size() - 1] == L'.';
}

bool PathMatches(const std::wstring& cookie_path, const std::wstring& path) {
  if (path.compare(0, cookie_path.size(), cookie_path) != 0)
    return false;
  return path.size() == cookie_path.size() || cookie_path.back() == L'/' ||
         path[cookie_path.size()] == L'/';
}

// "Wed, 21 Oct 2015 07:28:00 GMT" in seconds since 1970; 0 when unreadable.
int64_t ParseHttpDate(const std::wstring& text) {
  static const wchar_t* const kMonths[] = {L"jan", L"feb", L"mar", L"apr", L"may", L"jun",
                                           L"jul", L"aug", L"sep", L"oct", L"nov", L"dec"};
  std::wstringstream words(Lower(text));
  std::wstring word;
  int day = 0, month = -1, year = 0, hour = -1, minute = 0, second = 0;
  while (words >> word) {
    while (!word.empty() && (word.back() == L',' || word.back() == L'-'))
      word.pop_back();
    if (word.find(L':') != std::wstring::npos) {
      swscanf(word.c_str(), L"%d:%d:%d", &hour, &minute, &second);
      continue;
    }
    // "21-oct-2015" forms split on the dashes.
    std::replace(word.begin(), word.end(), L'-', L' ');
    std::wstringstream parts(word);
    std::wstring part;
    while (parts >> part) {
      for (int m = 0; m < 12; ++m) {
        if (part.compare(0, 3, kMonths[m]) == 0)
          month = m;
      }
      if (!part.empty() && std::iswdigit(part[0])) {
        const int number = _wtoi(part.c_str());
        if (part.size() >= 4 || number > 31)
          year = number < 100 ? number + (number < 70 ? 2000 : 1900) : number;
        else if (day == 0)
          day = number;
      }
    }
  }
  if (month < 0 || day == 0 || year < 1970 || hour < 0)
    return 0;
  SYSTEMTIME time = {};
  time.wYear = static_cast<WORD>(std::min(year, 30000));
  time.wMonth = static_cast<WORD>(month + 1);
  time.wDay = static_cast<WORD>(day);
  time.wHour = static_cast<WORD>(hour);
  time.wMinute = static_cast<WORD>(minute);
  time.wSecond = static_cast<WORD>(second);
  FILETIME file_time;
  if (!SystemTimeToFileTime(&time, &file_time))
    return 0;
  const int64_t ticks =
      (static_cast<int64_t>(file_time.dwHighDateTime) << 32) | file_time.dwLowDateTime;
  return ticks / 10000000 - 11644473600LL;
}

}  // namespace

int64_t CookieJar::Now() {
  FILETIME file_time;
  GetSystemTimeAsFileTime(&file_time);
  const int64_t ticks =
      (static_cast<int64_t>(file_time.dwHighDateTime) << 32) | file_time.dwLowDateTime;
  return ticks / 10000000 - 11644473600LL;
}

void CookieJar::Open(const std::wstring& folder) {
  std::lock_guard<std::mutex> lock(mutex_);
  cookies_.clear();
  file_ = folder.empty() ? std::wstring()
                         : folder + (folder.back() == L'\\' ? L"" : L"\\") + L"Cookies";
  Load();
}

void CookieJar::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  cookies_.clear();
  file_.clear();
}

void CookieJar::Load() {
  if (file_.empty())
    return;
  std::ifstream in(file_.c_str(), std::ios::binary);
  std::string line;
  const int64_t now = Now();
  // One cookie a line: domain, host-only, path, secure, http-only,
  // expiry, name, value, separated by tabs.
  while (std::getline(in, line) && cookies_.size() < kMaxCookies) {
    std::vector<std::wstring> fields;
    std::wstringstream all(kbase::Utf8ToUtf16(line));
    std::wstring field;
    while (std::getline(all, field, L'\t'))
      fields.push_back(field);
    if (fields.size() < 8)
      continue;
    Cookie cookie;
    cookie.domain = fields[0];
    cookie.host_only = fields[1] == L"1";
    cookie.path = fields[2].empty() ? L"/" : fields[2];
    cookie.secure = fields[3] == L"1";
    cookie.http_only = fields[4] == L"1";
    cookie.expires = _wtoi64(fields[5].c_str());
    cookie.name = fields[6];
    cookie.value = fields[7];
    if (cookie.expires > now && !cookie.domain.empty())
      cookies_.push_back(cookie);
  }
}

bool CookieJar::Flush() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (file_.empty())
    return true;
  std::ofstream out(file_.c_str(), std::ios::binary | std::ios::trunc);
  if (!out)
    return false;
  for (const Cookie& cookie : cookies_) {
    if (cookie.expires == 0)
      continue;
    const std::wstring line =
        cookie.domain + L"\t" + (cookie.host_only ? L"1" : L"0") + L"\t" + cookie.path + L"\t" +
        (cookie.secure ? L"1" : L"0") + L"\t" + (cookie.http_only ? L"1" : L"0") + L"\t" +
        std::to_wstring(cookie.expires) + L"\t" + cookie.name + L"\t" + cookie.value + L"\n";
    out << kbase::Utf16ToUtf8(line);
  }
  return static_cast<bool>(out);
}

bool CookieJar::SetFromHeader(const ParsedUrl& url, const std::wstring& header, int64_t now) {
  if (!url.valid || !url.IsHttp())
    return false;
  std::vector<std::wstring> parts;
  std::wstringstream all(header);
  std::wstring part;
  while (std::getline(all, part, L';'))
    parts.push_back(part);
  if (parts.empty())
    return false;
  Cookie cookie;
  const size_t equals = parts[0].find(L'=');
  if (equals == std::wstring::npos)
    return false;
  cookie.name = Trim(parts[0].substr(0, equals));
  cookie.value = Trim(parts[0].substr(equals + 1));
  if (cookie.name.empty() || cookie.name.find_first_of(L"\t\r\n") != std::wstring::npos ||
      cookie.value.find_first_of(L"\t\r\n") != std::wstring::npos)
    return false;
  cookie.domain = url.host;
  // The default path is the address's directory.
  const size_t last_slash = url.path.rfind(L'/');
  cookie.path =
      last_slash == 0 || last_slash == std::wstring::npos ? L"/" : url.path.substr(0, last_slash);
  bool has_max_age = false;
  for (size_t i = 1; i < parts.size(); ++i) {
    const size_t eq = parts[i].find(L'=');
    const std::wstring name = Lower(Trim(parts[i].substr(0, eq)));
    const std::wstring value = eq == std::wstring::npos ? L"" : Trim(parts[i].substr(eq + 1));
    if (name == L"domain" && !value.empty()) {
      std::wstring domain = Lower(value);
      if (domain[0] == L'.')
        domain.erase(0, 1);
      Cookie probe;
      probe.domain = domain;
      probe.host_only = false;
      // A host may only set cookies for itself and its parent domains.
      if (domain.empty() || !DomainMatches(probe, url.host))
        return false;
      cookie.domain = domain;
      cookie.host_only = false;
    } else if (name == L"path" && !value.empty() && value[0] == L'/') {
      cookie.path = value;
    } else if (name == L"secure") {
      cookie.secure = true;
    } else if (name == L"httponly") {
      cookie.http_only = true;
    } else if (name == L"max-age" && !value.empty()) {
      const int64_t seconds = _wtoi64(value.c_str());
      cookie.expires = seconds <= 0 ? -1 : now + seconds;
      has_max_age = true;
    } else if (name == L"expires" && !has_max_age) {
      const int64_t when = ParseHttpDate(value);
      if (when != 0)
        cookie.expires = when <= now ? -1 : when;
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  Store(cookie, now);
  return true;
}

void CookieJar::Store(Cookie cookie, int64_t now) {
  auto same = [&](const Cookie& c) {
    return c.name == cookie.name && c.domain == cookie.domain && c.path == cookie.path;
  };
  cookies_.erase(std::remove_if(cookies_.begin(), cookies_.end(), same), cookies_.end());
  // An expiry in the past deletes the cookie.
  if (cookie.expires < 0 || (cookie.expires > 0 && cookie.expires <= now))
    return;
  if (cookies_.size() >= kMaxCookies)
    cookies_.erase(cookies_.begin());
  cookies_.push_back(std::move(cookie));
}

std::wstring CookieJar::HeaderFor(const ParsedUrl& url, int64_t now) {
  if (!url.valid || !url.IsHttp())
    return std::wstring();
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<const Cookie*> matching;
  for (const Cookie& cookie : cookies_) {
    if ((cookie.expires == 0 || cookie.expires > now) && DomainMatches(cookie, url.host) &&
        PathMatches(cookie.path, url.path) && (!cookie.secure || url.scheme == L"https"))
      matching.push_back(&cookie);
  }
  // Longer paths first, as browsers send them.
  std::stable_sort(matching.begin(), matching.end(), [](const Cookie* a, const Cookie* b) {
    return a->path.size() > b->path.size();
  });
  std::wstring header;
  for (const Cookie* cookie : matching) {
    if (!header.empty())
      header += L"; ";
    header += cookie->name + L"=" + cookie->value;
  }
  return header;
}

std::vector<CookieJar::Cookie> CookieJar::All() {
  std::lock_guard<std::mutex> lock(mutex_);
  return cookies_;
}

}  // namespace cef_standin
