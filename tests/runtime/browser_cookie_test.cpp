// The cookie manager over the network's cookies: what responses set is
// seen, what is set is sent, deletions as the runtime defines them, and
// cookies with an expiry outliving a restart of the runtime.

#include <gtest/gtest.h>

#include <memory>

#include "runtime/include/cef_cookie.h"
#include "tests/runtime/browser_test_support.h"

namespace browser_test {
namespace {

using Names = std::vector<std::wstring>;

// What a visit saw: "name=value domain path" per cookie, with the flags
// it had, and whether it all came on the UI thread. Done once the runtime
// let the visitor go.
struct VisitLog {
  std::vector<std::wstring> cookies;
  std::vector<CefCookie> raw;
  int last_total = -1;
  bool off_ui_thread = false;
  std::atomic<bool> done{false};
};

class RecordingVisitor : public CefCookieVisitor {
 public:
  // Deletes the cookies named `doomed`; stops after `stop_after` visits.
  RecordingVisitor(std::shared_ptr<VisitLog> visit, std::wstring doomed = L"", int stop_after = -1)
      : visit_(std::move(visit)), doomed_(std::move(doomed)), stop_after_(stop_after) {}
  ~RecordingVisitor() override { visit_->done = true; }

  bool Visit(const CefCookie& cookie, int count, int total, bool& deleteCookie) override {
    if (!CefCurrentlyOn(TID_UI))
      visit_->off_ui_thread = true;
    const std::wstring name = CefString(&cookie.name).ToWString();
    visit_->cookies.push_back(
        name + L"=" + CefString(&cookie.value).ToWString() + L" " +
        CefString(&cookie.domain).ToWString() + L" " + CefString(&cookie.path).ToWString() +
        (cookie.has_expires ? L" expires" : L"") + (cookie.httponly ? L" httponly" : L"") +
        (count == static_cast<int>(visit_->raw.size()) ? L"" : L" BAD INDEX"));
    visit_->raw.push_back(cookie);
    visit_->last_total = total;
    deleteCookie = name == doomed_;
    return stop_after_ < 0 || count + 1 < stop_after_;
  }

 private:
  std::shared_ptr<VisitLog> visit_;
  const std::wstring doomed_;
  const int stop_after_;
  IMPLEMENT_REFCOUNTING(RecordingVisitor);
};

template <class Result>
struct Answer {
  std::atomic<bool> done{false};
  Result value{};
};

class SetCallback : public CefSetCookieCallback {
 public:
  explicit SetCallback(std::shared_ptr<Answer<bool>> answer) : answer_(std::move(answer)) {}
  void OnComplete(bool success) override {
    answer_->value = success && CefCurrentlyOn(TID_UI);
    answer_->done = true;
  }

 private:
  std::shared_ptr<Answer<bool>> answer_;
  IMPLEMENT_REFCOUNTING(SetCallback);
};

class DeleteCallback : public CefDeleteCookiesCallback {
 public:
  explicit DeleteCallback(std::shared_ptr<Answer<int>> answer) : answer_(std::move(answer)) {}
  void OnComplete(int num_deleted) override {
    answer_->value = CefCurrentlyOn(TID_UI) ? num_deleted : -1000;
    answer_->done = true;
  }

 private:
  std::shared_ptr<Answer<int>> answer_;
  IMPLEMENT_REFCOUNTING(DeleteCallback);
};

class FlushCallback : public CefCompletionCallback {
 public:
  explicit FlushCallback(std::shared_ptr<Answer<bool>> answer) : answer_(std::move(answer)) {}
  void OnComplete() override {
    answer_->value = true;
    answer_->done = true;
  }

 private:
  std::shared_ptr<Answer<bool>> answer_;
  IMPLEMENT_REFCOUNTING(FlushCallback);
};

class BrowserCookieTest : public BrowserTest {
 protected:
  static CefRefPtr<CefCookieManager> Manager() {
    return CefCookieManager::GetGlobalManager(nullptr);
  }

  std::shared_ptr<VisitLog> VisitAll(std::wstring doomed = L"", int stop_after = -1) {
    auto visit = std::make_shared<VisitLog>();
    EXPECT_TRUE(Manager()->VisitAllCookies(new RecordingVisitor(visit, doomed, stop_after)));
    EXPECT_TRUE(test::PumpUntil([&] { return visit->done.load(); }, 5000));
    EXPECT_FALSE(visit->off_ui_thread);
    return visit;
  }
  std::shared_ptr<VisitLog> VisitUrl(const std::wstring& url, bool http_only) {
    auto visit = std::make_shared<VisitLog>();
    EXPECT_TRUE(Manager()->VisitUrlCookies(url, http_only, new RecordingVisitor(visit)));
    EXPECT_TRUE(test::PumpUntil([&] { return visit->done.load(); }, 5000));
    return visit;
  }
  // Sets the cookie and waits for the answer (false when it came off the
  // UI thread).
  bool Set(const std::wstring& url,
           const std::wstring& name,
           const std::wstring& value,
           const std::wstring& domain = L"",
           const std::wstring& path = L"",
           const cef_time_t* expires = nullptr,
           bool http_only = false) {
    CefCookie cookie;
    CefString(&cookie.name) = name;
    CefString(&cookie.value) = value;
    CefString(&cookie.domain) = domain;
    CefString(&cookie.path) = path;
    cookie.httponly = http_only;
    if (expires) {
      cookie.has_expires = 1;
      cookie.expires = *expires;
    }
    auto answer = std::make_shared<Answer<bool>>();
    if (!Manager()->SetCookie(url, cookie, new SetCallback(answer)))
      return false;
    EXPECT_TRUE(test::PumpUntil([&] { return answer->done.load(); }, 5000));
    return answer->value;
  }
  int Delete(const std::wstring& url, const std::wstring& name) {
    auto answer = std::make_shared<Answer<int>>();
    if (!Manager()->DeleteCookies(url, name, new DeleteCallback(answer)))
      return -1;
    EXPECT_TRUE(test::PumpUntil([&] { return answer->done.load(); }, 5000));
    return answer->value;
  }
  static Names NamesOf(const VisitLog& visit) {
    Names names;
    for (const CefCookie& cookie : visit.raw)
      names.push_back(CefString(&cookie.name).ToWString());
    return names;
  }
};

TEST_F(BrowserCookieTest, ResponseCookiesAreSeenAndSetCookiesAreSent) {
  CefRefPtr<CefBrowser> browser =
      Open(L"http://a.example/cookie/set?name=kept&value=1&max_age=3600");
  ASSERT_TRUE(browser);
  LoadAndWait(browser, L"http://a.example/cookie/set?name=session&value=2&path=/cookie");
  std::shared_ptr<VisitLog> seen = VisitAll();
  // Longest path first.
  EXPECT_EQ(seen->cookies, (Names{L"session=2 a.example /cookie", L"kept=1 a.example / expires"}));
  EXPECT_EQ(seen->last_total, 2);

  // A domain cookie, seen with its dot, sent to the page and to a
  // subdomain; an HTTP-only one is visited only when asked for.
  ASSERT_TRUE(Set(L"http://a.example/x", L"made", L"here", L"a.example", L"/"));
  ASSERT_TRUE(Set(L"http://a.example/", L"secret", L"s", L"", L"/", nullptr, /*http_only=*/true));
  LoadAndWait(browser, L"http://a.example/cookie/echo");
  ASSERT_TRUE(probe_.RunScript(browser->GetIdentifier(),
                               L"var c = JSON.parse(document.body.textContent);"
                               L"document.title = c.made + ' ' + c.secret + ' ' + c.kept;"));
  EXPECT_TRUE(WaitForTitle(L"here s 1"));
  EXPECT_EQ(VisitUrl(L"http://a.example/cookie/page", false)->cookies,
            (Names{L"session=2 a.example /cookie", L"kept=1 a.example / expires",
                   L"made=here .a.example /"}));
  EXPECT_EQ(NamesOf(*VisitUrl(L"http://a.example/", true)), (Names{L"kept", L"made", L"secret"}));
  EXPECT_EQ(NamesOf(*VisitUrl(L"http://sub.a.example/cookie", true)), (Names{L"made"}));

  // Refused: characters a cookie cannot hold, a foreign domain, no
  // address, a time no calendar has.
  EXPECT_FALSE(Set(L"http://a.example/", L"bad", L"a;b"));
  EXPECT_FALSE(Set(L"http://a.example/", L"bad", L"line\nend"));
  EXPECT_FALSE(Set(L"http://a.example/", L"", L"nameless"));
  EXPECT_FALSE(Set(L"http://a.example/", L"bad", L"v", L"other.example"));
  EXPECT_FALSE(Set(L"not an address", L"bad", L"v"));
  EXPECT_FALSE(Set(L"about:blank", L"bad", L"v"));
  const cef_time_t nonsense = {2030, 13, 0, 40, 25, 61, 61, 1000};
  EXPECT_FALSE(Set(L"http://a.example/", L"bad", L"v", L"", L"", &nonsense));
  EXPECT_EQ(NamesOf(*VisitAll()), (Names{L"session", L"kept", L"made", L"secret"}));
}

TEST_F(BrowserCookieTest, DeletionsMatchWhatTheyNameAndDatedCookiesOutliveARestart) {
  ASSERT_TRUE(Set(L"http://a.example/", L"host", L"1", L"", L"/"));
  ASSERT_TRUE(Set(L"http://a.example/deep/page", L"host_deep", L"2"));  // path /deep
  ASSERT_TRUE(Set(L"http://a.example/", L"domain", L"3", L".a.example", L"/"));
  ASSERT_TRUE(Set(L"http://b.example/", L"other", L"4", L"", L"/"));
  ASSERT_TRUE(Set(L"http://b.example/", L"doomed", L"5", L"", L"/"));

  // An address alone: its host's host cookies, whatever their path.
  EXPECT_EQ(Delete(L"http://a.example/", L""), 2);
  // A visitor deletes what it marks; one that says stop is asked no more.
  EXPECT_EQ(VisitAll(L"doomed")->cookies.size(), 3u);
  EXPECT_EQ(VisitAll(L"", 1)->cookies.size(), 1u);
  EXPECT_EQ(NamesOf(*VisitAll()), (Names{L"domain", L"other"}));
  // An address and a name: the cookies of that name the address gets.
  EXPECT_EQ(Delete(L"http://x.a.example/", L"domain"), 1);
  EXPECT_EQ(Delete(L"not an address", L""), -1);
  EXPECT_EQ(Delete(L"", L""), 1);
  EXPECT_TRUE(VisitAll()->cookies.empty());

  // Dated cookies are written out and read back; session cookies end.
  cef_time_t later = {2200, 1, 0, 1, 12, 30, 15, 0};
  ASSERT_TRUE(Set(L"http://a.example/", L"dated", L"d", L"", L"/", &later));
  ASSERT_TRUE(Set(L"http://a.example/", L"session", L"s", L"", L"/"));
  const CefCookie before = VisitAll()->raw.front();
  auto flushed = std::make_shared<Answer<bool>>();
  ASSERT_TRUE(Manager()->FlushStore(new FlushCallback(flushed)));
  ASSERT_TRUE(test::PumpUntil([&] { return flushed->done.load(); }, 5000));

  CefShutdown();
  CefSettings settings;
  settings.no_sandbox = 1;
  settings.multi_threaded_message_loop = 1;
  CefString(&settings.cache_path) = folder_.path() + L"cache";
  ASSERT_TRUE(CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, app_, nullptr));
  std::shared_ptr<VisitLog> after = VisitAll();
  ASSERT_EQ(after->cookies, (Names{L"dated=d a.example / expires"}));
  const CefCookie& read = after->raw.front();
  EXPECT_EQ(read.expires.year, 2200);
  EXPECT_EQ(read.expires.hour, 12);
  EXPECT_EQ(read.expires.second, 15);
  EXPECT_EQ(read.expires.day_of_week, 3);  // 1 January 2200 is a Wednesday
  EXPECT_EQ(read.creation.year, before.creation.year);
  EXPECT_EQ(read.creation.second, before.creation.second);
  EXPECT_GE(read.creation.year, 2024);
}

}  // namespace
}  // namespace browser_test
