// Set-Cookie headers come from any server: the jar must take or refuse
// each without harm, keep only cookies it can send back and write out,
// store a header twice as once, send a request exactly the cookies that
// belong to it, and read back from its file what it wrote. The first byte
// picks the address the headers come from; each further line is a header.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/standin/net/cookie_jar.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using fuzz::Check;

using cef_standin::CookieJar;
using cef_standin::ParsedUrl;

ParsedUrl Url(const wchar_t* scheme, const wchar_t* host, const wchar_t* path) {
  ParsedUrl url;
  url.valid = true;
  url.scheme = scheme;
  url.host = host;
  url.port = scheme == std::wstring(L"https") ? 443 : 80;
  url.path = path;
  return url;
}

const std::vector<ParsedUrl>& Addresses() {
  static const std::vector<ParsedUrl> addresses = {
      Url(L"http", L"www.game.example", L"/login/form"),
      Url(L"https", L"game.example", L"/"),
      Url(L"http", L"a.b.game.example", L"/a/b/"),
      Url(L"https", L"127.0.0.1", L"/x"),
      Url(L"http", L"example", L"/login"),
      Url(L"ftp", L"game.example", L"/"),
  };
  return addresses;
}

bool HoldsControl(const std::wstring& text) {
  for (wchar_t c : text) {
    if (c < 0x20 || c == 0x7F)
      return true;
  }
  return false;
}

bool Same(const CookieJar::Cookie& a, const CookieJar::Cookie& b) {
  return a.name == b.name && a.value == b.value && a.domain == b.domain &&
         a.host_only == b.host_only && a.path == b.path && a.secure == b.secure &&
         a.http_only == b.http_only && a.expires == b.expires && a.creation == b.creation &&
         a.last_access == b.last_access;
}

void CheckJar(CookieJar& jar, int64_t now) {
  const std::vector<CookieJar::Cookie> all = jar.All();
  Check(all.size() <= 3000);
  for (const CookieJar::Cookie& cookie : all) {
    Check(!cookie.name.empty() && !cookie.domain.empty() && cookie.path[0] == L'/');
    Check(!HoldsControl(cookie.name) && !HoldsControl(cookie.value) &&
          !HoldsControl(cookie.domain) && !HoldsControl(cookie.path));
    Check(cookie.name.find_first_of(L";=") == std::wstring::npos);
    Check(cookie.value.find(L';') == std::wstring::npos);
    Check(cookie.expires == 0 || (cookie.expires > now && cookie.expires <= now + 400 * 86400));
  }
  for (const ParsedUrl& url : Addresses()) {
    std::wstring expected;
    for (const CookieJar::Cookie& cookie : jar.ForUrl(url, now)) {
      Check(CookieJar::SentTo(cookie, url, now));
      expected += (expected.empty() ? L"" : L"; ") + cookie.name + L"=" + cookie.value;
    }
    size_t sent = 0;
    for (const CookieJar::Cookie& cookie : all)
      sent += CookieJar::SentTo(cookie, url, now);
    Check(jar.ForUrl(url, now).size() == sent);
    Check(jar.HeaderFor(url, now) == expected);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0)
    return 0;
  // The jar reads its file against the clock.
  const int64_t now = CookieJar::Now();
  const ParsedUrl& from = Addresses()[data[0] % Addresses().size()];
  const bool persist = data[0] & 0x80;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  CookieJar jar;
  jar.Open(L"");
  size_t start = 0;
  while (start <= bytes.size()) {
    const size_t end = std::min(bytes.find('\n', start), bytes.size());
    std::wstring header;
    for (unsigned char byte : bytes.substr(start, end - start))
      header.push_back(static_cast<wchar_t>(byte));
    start = end + 1;
    jar.SetFromHeader(from, header, now);
    const size_t count = jar.All().size();
    jar.SetFromHeader(from, header, now);
    Check(jar.All().size() == count);
  }
  CheckJar(jar, now);

  if (persist) {
    // The folder's name ends in the separator the jar adds on Windows.
    static const std::string folder = "/tmp/qelmora_cookie_fuzz_" + std::to_string(getpid()) + "\\";
    std::remove((folder + "Cookies").c_str());
    CookieJar written;
    written.Open(std::wstring(folder.begin(), folder.end()));
    for (CookieJar::Cookie cookie : jar.All()) {
      if (cookie.expires > 0)
        written.Set(from, cookie, now);
    }
    Check(written.Flush());
    CookieJar read;
    read.Open(std::wstring(folder.begin(), folder.end()));
    // Cookies that expire while the file is read may or may not be back.
    auto lasting = [now](const std::vector<CookieJar::Cookie>& cookies) {
      std::vector<CookieJar::Cookie> kept;
      for (const CookieJar::Cookie& cookie : cookies) {
        if (cookie.expires > now + 2)
          kept.push_back(cookie);
      }
      return kept;
    };
    const std::vector<CookieJar::Cookie> expected = lasting(written.All());
    const std::vector<CookieJar::Cookie> back = lasting(read.All());
    Check(back.size() == expected.size());
    for (size_t i = 0; i < back.size(); ++i)
      Check(Same(back[i], expected[i]));
  }
  return 0;
}
