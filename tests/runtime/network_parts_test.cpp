// The stand-in's network helpers, compiled into the test: addresses, host
// mapping, data addresses and cookies.

#include <gtest/gtest.h>

#include <fstream>

#include "runtime/standin/net/content_disposition.h"
#include "runtime/standin/net/cookie_jar.h"
#include "runtime/standin/net/data_url.h"
#include "runtime/standin/net/host_resolver_rules.h"
#include "runtime/standin/net/text_decoding.h"
#include "runtime/standin/net/url.h"
#include "tests/support/temp_folder.h"

namespace {

using cef_standin::CookieJar;
using cef_standin::ParseUrl;

TEST(NetworkAddressTest, ReferencesResolveAgainstThePageAddress) {
  struct Case {
    const wchar_t* base;
    const wchar_t* reference;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"http://a.example/dir/page.html?q#f", L"other.html", L"http://a.example/dir/other.html"},
      {L"http://a.example/dir/page.html", L"../up/./x", L"http://a.example/up/x"},
      {L"http://a.example/dir/page.html", L"/root?x=1", L"http://a.example/root?x=1"},
      {L"http://a.example:8080/dir/", L"//b.example/p", L"http://b.example/p"},
      {L"http://a.example:8080/dir/p", L"?q=2", L"http://a.example:8080/dir/p?q=2"},
      {L"http://a.example/dir/p?q", L"#top", L"http://a.example/dir/p?q#top"},
      {L"http://a.example/", L"HTTPS://B.Example:443/X", L"https://b.example/X"},
      {L"http://a.example/", L"data:text/html,<b>x</b>", L"data:text/html,<b>x</b>"},
      {L"about:blank", L"relative.html", L""},
      {L"http://a.example/", L"http://bad:99999/", L""},
      // A backslash ends the host, as in browsers; hosts hold no spaces or
      // colons outside brackets.
      {L"http://a.example/", L"http://evil.example\\@good.example\\x",
       L"http://evil.example/@good.example/x"},
      {L"http://a.example/", L"http://a b/", L""},
      {L"http://a.example/", L"http://]:24x:/", L""},
      {L"http://[::1]:81/dir/p", L"q", L"http://[::1]:81/dir/q"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(cef_standin::ResolveUrl(c.base, c.reference), c.expected) << c.reference;
  EXPECT_EQ(ParseUrl(L"http://[::1]:81/").host, L"::1");
  // Written out, an IPv6 host keeps its brackets, so that its colons are no port.
  const auto ipv6 = ParseUrl(cef_standin::ResolveUrl(L"http://[::1]/dir/p", L"q"));
  EXPECT_EQ(ipv6.host, L"::1");
  EXPECT_EQ(ipv6.port, 80);
  EXPECT_FALSE(ParseUrl(L"http://[x]/").valid);
  EXPECT_FALSE(ParseUrl(L"http:///nohost").valid);
}

TEST(NetworkAddressTest, HostRulesMapWildcardsToTheFirstMatchingTarget) {
  const cef_standin::HostResolverRules rules(
      L"MAP *.example 127.0.0.1:8080, EXCLUDE keep.test, MAP *.test 10.0.0.1 ,garbage, MAP x");
  EXPECT_EQ(rules.size(), 3u);
  auto mapped = rules.Map(L"Login.Example", 80);
  EXPECT_EQ(mapped.host, L"127.0.0.1");
  EXPECT_EQ(mapped.port, 8080);
  mapped = rules.Map(L"a.test", 443);  // no port in the target: the request's stays
  EXPECT_EQ(mapped.host, L"10.0.0.1");
  EXPECT_EQ(mapped.port, 443);
  EXPECT_EQ(rules.Map(L"keep.test", 80).host, L"keep.test");
  EXPECT_EQ(rules.Map(L"example", 80).host, L"example");  // "*." needs a label before
  EXPECT_TRUE(cef_standin::MatchesHostPattern(L"a*b*c", L"axxbyyc"));
  EXPECT_FALSE(cef_standin::MatchesHostPattern(L"a*b*c", L"axxbyy"));
}

TEST(NetworkAddressTest, DataAddressesDecodeBase64AndPercentEscapes) {
  auto content = cef_standin::DecodeDataUrl(L"text/html;charset=GBK;base64,PGI+aGk8L2I+");
  ASSERT_TRUE(content.valid);
  EXPECT_EQ(content.mime_type, L"text/html");
  EXPECT_EQ(content.charset, L"gbk");
  EXPECT_EQ(content.bytes, "<b>hi</b>");
  content = cef_standin::DecodeDataUrl(L",a%20b%zz");
  ASSERT_TRUE(content.valid);
  EXPECT_EQ(content.mime_type, L"text/plain");
  EXPECT_EQ(content.bytes, "a b%zz");
  EXPECT_FALSE(cef_standin::DecodeDataUrl(L"text/html;base64,@@@").valid);
  EXPECT_FALSE(cef_standin::DecodeDataUrl(L"no comma").valid);
  // "\xC4\xE3\xBA\xC3" is 你好 in GBK.
  EXPECT_EQ(cef_standin::DecodeText("\xC4\xE3\xBA\xC3", L"gbk"), L"\u4F60\u597D");
  EXPECT_EQ(cef_standin::DecodeText("\xEF\xBB\xBFok", L"gbk"), L"ok");
  // A byte that starts no UTF-8 sequence is one U+FFFD, not the end of the text.
  EXPECT_EQ(cef_standin::DecodeText("a\xFF\xE4\xBD\xA0\xE4\xBD", L""),
            L"a\uFFFD\u4F60\uFFFD\uFFFD");
  EXPECT_EQ(cef_standin::DecodeText("\xEF\xBB\xBFok\xC3", L"gbk"), L"ok\uFFFD");
}

TEST(NetworkDownloadNameTest, ADispositionNameIsAPlainFileNameInTheFolder) {
  struct Case {
    const wchar_t* header;
    const wchar_t* expected;  // the name saved under
  };
  const Case cases[] = {
      {L"attachment; filename=\"a.bin\"", L"a.bin"},
      {L"Attachment; filename=report.pdf; size=3", L"report.pdf"},
      {L"attachment; filename=\"a;b.txt\"", L"a;b.txt"},
      {L"attachment; filename=\"..\\..\\Windows\\x.dll\"", L"x.dll"},
      {L"attachment; filename=\"../../etc/passwd\"", L"passwd"},
      {L"attachment; filename=\"..\"", L"fallback"},
      {L"attachment; filename=\"C:evil.exe\"", L"C_evil.exe"},
      {L"attachment; filename=\"a.txt:Zone.Identifier\"", L"a.txt_Zone.Identifier"},
      {L"attachment; filename=\"name. . \"", L"name"},
      {L"attachment; filename=CON.txt", L"_CON.txt"},
      {L"attachment; filename=\"tab\there\"", L"tab_here"},
      {L"attachment; filename=plain.txt; filename*=UTF-8''%E2%82%AC%20rates.txt",
       L"\u20AC rates.txt"},
      {L"attachment; filename*=UTF-8''..%2F..%2Fup.txt", L"up.txt"},
      {L"attachment; filename*=UTF-8''%FF; filename=kept.txt", L"kept.txt"},
      {L"attachment; filename*=iso-8859-1'en'%E9t%E9.txt", L"\u00E9t\u00E9.txt"},
  };
  for (const Case& c : cases) {
    const auto disposition = cef_standin::ParseContentDisposition(c.header);
    EXPECT_TRUE(disposition.attachment) << c.header;
    EXPECT_EQ(cef_standin::PlainFileName(disposition.file_name, L"fallback"), c.expected)
        << c.header;
  }
  EXPECT_FALSE(cef_standin::ParseContentDisposition(L"inline; filename=a.txt").attachment);
  EXPECT_FALSE(cef_standin::ParseContentDisposition(L"attachmentx; filename=a.txt").attachment);
  // Cut names are as long as names get, a device name's too, and stay as they are.
  for (const std::wstring& name :
       {std::wstring(300, L'a') + L".exe", L"con." + std::wstring(300, L'a')}) {
    const std::wstring plain = cef_standin::PlainFileName(name);
    EXPECT_EQ(plain.size(), 200u);
    EXPECT_EQ(cef_standin::PlainFileName(plain), plain);
  }
}

TEST(CookieJarTest, CookiesGoBackToTheirDomainAndPathOnly) {
  CookieJar jar;
  jar.Open(L"");
  const int64_t now = 1700000000;
  const auto page = ParseUrl(L"http://www.game.example/login/form");
  EXPECT_TRUE(jar.SetFromHeader(page, L"sid=1; Path=/", now));
  EXPECT_TRUE(jar.SetFromHeader(page, L"shared=2; Domain=.game.example; Path=/", now));
  EXPECT_TRUE(jar.SetFromHeader(page, L"deep=3", now));  // path /login
  EXPECT_FALSE(jar.SetFromHeader(page, L"evil=4; Domain=other.example", now));
  EXPECT_FALSE(jar.SetFromHeader(page, L"novalue", now));
  EXPECT_EQ(jar.HeaderFor(ParseUrl(L"http://www.game.example/login/x"), now),
            L"deep=3; sid=1; shared=2");
  EXPECT_EQ(jar.HeaderFor(ParseUrl(L"http://api.game.example/loginx"), now), L"shared=2");
  EXPECT_EQ(jar.HeaderFor(ParseUrl(L"http://game.example.evil/"), now), L"");
  // Replacing, then deleting through an expiry in the past.
  jar.SetFromHeader(page, L"sid=5; Path=/", now);
  jar.SetFromHeader(page, L"shared=; Domain=game.example; Path=/; Max-Age=0", now);
  EXPECT_EQ(jar.HeaderFor(ParseUrl(L"http://www.game.example/"), now), L"sid=5");
  // A lifetime too long to add to the clock is the longest one there is,
  // not an expiry in the past.
  EXPECT_TRUE(jar.SetFromHeader(page, L"long=6; Path=/; Max-Age=99999999999999999999", now));
  EXPECT_EQ(jar.HeaderFor(ParseUrl(L"http://www.game.example/"), now + 3600), L"sid=5; long=6");
}

TEST(CookieJarTest, OnlyCookiesWithAnExpiryOutliveARestart) {
  test::TempFolder folder(L"cookie_jar");
  const int64_t now = CookieJar::Now();
  const auto page = ParseUrl(L"http://a.example/");
  {
    CookieJar jar;
    jar.Open(folder.path());
    jar.SetFromHeader(page, L"session=1", now);
    jar.SetFromHeader(page, L"kept=2; Max-Age=3600", now);
    jar.SetFromHeader(page, L"dated=3; Expires=Wed, 01 Jan 2200 00:00:00 GMT", now);
    jar.SetFromHeader(page, L"old=4; Expires=Thu, 01-Jan-1998 00:00:00 GMT", now);
    ASSERT_TRUE(jar.Flush());
  }
  CookieJar reopened;
  reopened.Open(folder.path());
  EXPECT_EQ(reopened.HeaderFor(page, now), L"kept=2; dated=3");

  // A file of the older form, without creation and access times, still
  // reads; a replaced cookie keeps its creation time.
  {
    std::ofstream old((folder.path() + L"Cookies").c_str(), std::ios::binary | std::ios::trunc);
    old << "a.example\t1\t/\t0\t0\t" << now + 3600 << "\told\t1\n";
  }
  CookieJar older;
  older.Open(folder.path());
  ASSERT_EQ(older.All().size(), 1u);
  const int64_t created = older.All()[0].creation;  // when it was read
  EXPECT_GE(created, now);
  older.SetFromHeader(page, L"old=2; Max-Age=60", now + 5);
  EXPECT_EQ(older.HeaderFor(page, now + 6), L"old=2");
  EXPECT_EQ(older.All()[0].creation, created);
  EXPECT_EQ(older.All()[0].last_access, now + 6);
}

}  // namespace
