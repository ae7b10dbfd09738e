#include "runtime/standin/net/cookie_jar.h"

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/util/string_util.h"

namespace cef_standin {

namespace {

constexpr size_t kMaxCookies = 3000;
// The longest a cookie lives, as in current browsers: 400 days, however far
// off its Max-Age or Expires says.
constexpr int64_t kMaxLifetime = 400LL * 24 * 60 * 60;

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

// The file holds UTF-8; wide strings are UTF-16 on Windows.
std::wstring FromUtf8(const std::string& text) {
  const kbase::Utf16String units = kbase::Utf8ToUtf16(text);
  return std::wstring(units.begin(), units.end());
}

std::string ToUtf8(const std::wstring& text) {
  return kbase::Utf16ToUtf8(kbase::Utf16String(text.begin(), text.end()));
}

// Days from 1970-01-01 to the date of the proleptic Gregorian calendar;
// `month` 1 to 12.
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = year / 400;
  const int64_t year_of_era = year - era * 400;
  const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
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
        const int number =
            static_cast<int>(std::min(std::wcstol(part.c_str(), nullptr, 10), 100000L));
        if (part.size() >= 4 || number > 31)
          year = number < 100 ? number + (number < 70 ? 2000 : 1900) : number;
        else if (day == 0)
          day = number;
      }
    }
  }
  if (month < 0 || day == 0 || year < 1970 || hour < 0)
    return 0;
  year = std::min(year, 30000);
  static constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (day > kMonthDays[month] + (month == 1 && leap) || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59)
    return 0;
  return DaysFromCivil(year, month + 1, day) * 86400 + hour * 3600 + minute * 60 + second;
}

}  // namespace

int64_t CookieJar::Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
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
  std::ifstream in(std::filesystem::path(file_), std::ios::binary);
  std::string line;
  const int64_t now = Now();
  // One cookie a line: domain, host-only, path, secure, http-only,
  // expiry, name, value, creation, last access, separated by tabs.
  while (std::getline(in, line) && cookies_.size() < kMaxCookies) {
    std::vector<std::wstring> fields;
    std::wstringstream all(FromUtf8(line));
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
    cookie.expires = std::wcstoll(fields[5].c_str(), nullptr, 10);
    cookie.name = fields[6];
    cookie.value = fields[7];
    // Files written before creation and access times were kept have none.
    cookie.creation = fields.size() > 8 ? std::wcstoll(fields[8].c_str(), nullptr, 10) : now;
    cookie.last_access =
        fields.size() > 9 ? std::wcstoll(fields[9].c_str(), nullptr, 10) : cookie.creation;
    if (cookie.expires > now && !cookie.domain.empty())
      cookies_.push_back(cookie);
  }
}

bool CookieJar::Flush() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (file_.empty())
    return true;
  std::ofstream out(std::filesystem::path(file_), std::ios::binary | std::ios::trunc);
  if (!out)
    return false;
  for (const Cookie& cookie : cookies_) {
    if (cookie.expires == 0)
      continue;
    const std::wstring line =
        cookie.domain + L"\t" + (cookie.host_only ? L"1" : L"0") + L"\t" + cookie.path + L"\t" +
        (cookie.secure ? L"1" : L"0") + L"\t" + (cookie.http_only ? L"1" : L"0") + L"\t" +
        std::to_wstring(cookie.expires) + L"\t" + cookie.name + L"\t" + cookie.value + L"\t" +
        std::to_wstring(cookie.creation) + L"\t" + std::to_wstring(cookie.last_access) + L"\n";
    out << ToUtf8(line);
  }
  return static_cast<bool>(out);
}

bool CookieJar::SetFromHeader(const ParsedUrl& url, const std::wstring& header, int64_t now) {
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
  cookie.domain.clear();
  cookie.path.clear();
  bool has_max_age = false;
  for (size_t i = 1; i < parts.size(); ++i) {
    const size_t eq = parts[i].find(L'=');
    const std::wstring name = Lower(Trim(parts[i].substr(0, eq)));
    const std::wstring value = eq == std::wstring::npos ? L"" : Trim(parts[i].substr(eq + 1));
    if (name == L"domain" && !value.empty()) {
      cookie.domain = value;
    } else if (name == L"path" && !value.empty() && value[0] == L'/') {
      cookie.path = value;
    } else if (name == L"secure") {
      cookie.secure = true;
    } else if (name == L"httponly") {
      cookie.http_only = true;
    } else if (name == L"max-age" && !value.empty()) {
      // Saturates at the largest number when longer.
      const int64_t seconds = std::wcstoll(value.c_str(), nullptr, 10);
      cookie.expires = seconds <= 0 ? -1 : now + std::min(seconds, kMaxLifetime);
      has_max_age = true;
    } else if (name == L"expires" && !has_max_age) {
      const int64_t when = ParseHttpDate(value);
      if (when != 0)
        cookie.expires = when <= now ? -1 : std::min(when, now + kMaxLifetime);
    }
  }
  return Set(url, std::move(cookie), now);
}

bool CookieJar::Set(const ParsedUrl& url, Cookie cookie, int64_t now) {
  if (!url.valid || !url.IsHttp())
    return false;
  // Tabs and line ends would break the file; ";" and "=" the header.
  auto holds_bad = [](const std::wstring& text, const wchar_t* also) {
    for (wchar_t c : text) {
      if (c < 0x20 || c == 0x7F || std::wcschr(also, c))
        return true;
    }
    return false;
  };
  if (cookie.name.empty() || holds_bad(cookie.name, L";=") || holds_bad(cookie.value, L";"))
    return false;
  if (cookie.domain.empty()) {
    cookie.domain = url.host;
    cookie.host_only = true;
  } else {
    std::wstring domain = Lower(cookie.domain);
    if (domain[0] == L'.')
      domain.erase(0, 1);
    Cookie probe;
    probe.domain = domain;
    probe.host_only = false;
    // A host may only set cookies for itself and its parent domains.
    if (domain.empty() || holds_bad(domain, L";") || !DomainMatches(probe, url.host))
      return false;
    cookie.domain = domain;
    cookie.host_only = false;
  }
  if (cookie.path.empty() || cookie.path[0] != L'/') {
    // The default path is the address's directory.
    const size_t last_slash = url.path.rfind(L'/');
    cookie.path =
        last_slash == 0 || last_slash == std::wstring::npos ? L"/" : url.path.substr(0, last_slash);
  }
  if (holds_bad(cookie.path, L";"))
    return false;
  cookie.creation = now;
  cookie.last_access = now;
  std::lock_guard<std::mutex> lock(mutex_);
  Store(std::move(cookie), now);
  return true;
}

void CookieJar::Store(Cookie cookie, int64_t now) {
  auto same = std::find_if(cookies_.begin(), cookies_.end(), [&](const Cookie& c) {
    return c.name == cookie.name && c.domain == cookie.domain && c.path == cookie.path;
  });
  // An expiry in the past deletes the cookie.
  if (cookie.expires < 0 || (cookie.expires > 0 && cookie.expires <= now)) {
    if (same != cookies_.end())
      cookies_.erase(same);
    return;
  }
  if (same != cookies_.end()) {
    // A replacement keeps the place and creation time of the cookie it
    // replaces.
    cookie.creation = same->creation;
    *same = std::move(cookie);
    return;
  }
  if (cookies_.size() >= kMaxCookies)
    cookies_.erase(cookies_.begin());
  cookies_.push_back(std::move(cookie));
}

bool CookieJar::SentTo(const Cookie& cookie, const ParsedUrl& url, int64_t now) {
  return url.valid && url.IsHttp() && (cookie.expires == 0 || cookie.expires > now) &&
         DomainMatches(cookie, url.host) && PathMatches(cookie.path, url.path) &&
         (!cookie.secure || url.scheme == L"https");
}

std::vector<size_t> CookieJar::Matching(const ParsedUrl& url, int64_t now) {
  std::vector<size_t> matching;
  for (size_t i = 0; i < cookies_.size(); ++i) {
    if (SentTo(cookies_[i], url, now))
      matching.push_back(i);
  }
  // Longer paths first, as browsers send them; the oldest first among
  // equals, which is the order they are kept in.
  std::stable_sort(matching.begin(), matching.end(), [this](size_t a, size_t b) {
    return cookies_[a].path.size() > cookies_[b].path.size();
  });
  return matching;
}

std::wstring CookieJar::HeaderFor(const ParsedUrl& url, int64_t now) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::wstring header;
  for (size_t index : Matching(url, now)) {
    Cookie& cookie = cookies_[index];
    cookie.last_access = now;
    if (!header.empty())
      header += L"; ";
    header += cookie.name + L"=" + cookie.value;
  }
  return header;
}

std::vector<CookieJar::Cookie> CookieJar::ForUrl(const ParsedUrl& url, int64_t now) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Cookie> sent;
  for (size_t index : Matching(url, now))
    sent.push_back(cookies_[index]);
  return sent;
}

std::vector<CookieJar::Cookie> CookieJar::All() {
  std::lock_guard<std::mutex> lock(mutex_);
  return cookies_;
}

int CookieJar::Delete(const std::function<bool(const Cookie&)>& doomed) {
  std::lock_guard<std::mutex> lock(mutex_);
  const size_t before = cookies_.size();
  cookies_.erase(std::remove_if(cookies_.begin(), cookies_.end(), doomed), cookies_.end());
  return static_cast<int>(before - cookies_.size());
}

}  // namespace cef_standin
