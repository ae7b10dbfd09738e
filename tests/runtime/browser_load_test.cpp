// Page loads as the client sees them: the callbacks of a load, a redirect,
// an error and a refused navigation, in order and on the UI thread, and
// history. Against the local web server, reached through the host mapping
// of the command line.

#include <gtest/gtest.h>

#include "tests/runtime/browser_test_support.h"

namespace browser_test {
namespace {

using Events = std::vector<std::wstring>;

const std::vector<std::wstring> kLoadEvents = {
    L"OnLoadingStateChange", L"OnBeforeBrowse", L"OnAddressChange", L"OnLoadStart",
    L"OnTitleChange",        L"OnLoadEnd",      L"OnLoadError"};

using BrowserLoadTest = BrowserTest;

TEST_F(BrowserLoadTest, APageLoadRaisesEveryCallbackInOrderOnTheUiThread) {
  const std::wstring url = L"http://site.example/page?title=Hello&text=hi";
  CefRefPtr<CefBrowser> browser = Open(url);
  ASSERT_TRUE(browser);
  EXPECT_EQ(
      client_->Events(kLoadEvents),
      (Events{L"OnLoadingStateChange loading=1 back=0 forward=0",
              L"OnBeforeBrowse main GET " + url + L" gesture=0 redirect=0",
              L"OnAddressChange main " + url, L"OnLoadStart main tt=1", L"OnTitleChange Hello",
              L"OnLoadEnd main 200", L"OnLoadingStateChange loading=0 back=0 forward=0"}));
  EXPECT_EQ(client_->off_ui_thread(), 0);
  EXPECT_EQ(browser->GetMainFrame()->GetURL().ToWString(), url);
  EXPECT_TRUE(browser->HasDocument());
  EXPECT_FALSE(browser->IsLoading());

  // A data address loads without the network; a page without a title is
  // titled by its address.
  const std::wstring data = L"data:text/html;base64,PHA+ZGF0YTwvcD4=";
  LoadAndWait(browser, data);
  EXPECT_EQ(client_->Events({L"OnTitleChange", L"OnLoadEnd"}),
            (Events{L"OnTitleChange " + data, L"OnLoadEnd main 200"}));
}

TEST_F(BrowserLoadTest, ThePageIsPaintedIntoTheBrowsersChildWindow) {
  CefRefPtr<CefBrowser> browser =
      Open(L"http://site.example/page?title=Painted&text=Some%20text%20on%20the%20page");
  ASSERT_TRUE(browser);
  const int id = browser->GetIdentifier();
  HWND child = browser->GetHost()->GetWindowHandle();
  ASSERT_EQ(probe_.BrowserWindow(id), child);
  EXPECT_EQ(GetParent(child), window_);
  EXPECT_NE(GetWindowThreadProcessId(child, nullptr), GetCurrentThreadId());
  RECT rect = {};
  GetClientRect(child, &rect);
  EXPECT_EQ(rect.right, 800);
  EXPECT_EQ(rect.bottom, 600);
  LoadAndWait(browser,
              L"data:text/html,<body style=\"margin: 0\"><div style=\"background-color: #ff0000; "
              L"width: 100px; height: 50px\">x</div></body>");
  uint32 pixel = 0;
  ASSERT_TRUE(test::PumpUntil(
      [&] { return probe_.FramePixel(id, 10, 40, &pixel) && pixel == 0xFFFF0000u; }, 5000))
      << std::hex << pixel;
  ASSERT_TRUE(probe_.FramePixel(id, 300, 300, &pixel));
  EXPECT_EQ(pixel, 0xFFFFFFFFu);
}

TEST_F(BrowserLoadTest, RedirectsAreAskedAboutHopByHop) {
  CefRefPtr<CefBrowser> browser = Open(L"about:blank");
  ASSERT_TRUE(browser);
  const std::wstring start =
      L"http://a.example/redirect/301?to=http%3A%2F%2Fb.example%2Fredirect%2F302%3Fto%3D%2Fpage";
  LoadAndWait(browser, start);
  EXPECT_EQ(client_->Events({L"OnBeforeBrowse", L"OnAddressChange", L"OnLoadEnd"}),
            (Events{L"OnBeforeBrowse main GET " + start + L" gesture=0 redirect=0",
                    L"OnBeforeBrowse main GET http://b.example/redirect/302?to=/page gesture=0 "
                    L"redirect=1",
                    L"OnBeforeBrowse main GET http://b.example/page gesture=0 redirect=1",
                    L"OnAddressChange main http://b.example/page", L"OnLoadEnd main 200"}));
  EXPECT_EQ(client_->off_ui_thread(), 0);
}

TEST_F(BrowserLoadTest, FailuresReportTheRuntimesErrorCodes) {
  CefRefPtr<CefBrowser> browser = Open(L"about:blank");
  ASSERT_TRUE(browser);
  struct Case {
    std::wstring url;
    std::wstring error;
  };
  const Case cases[] = {
      {L"http://127.0.0.1:1/", L"-102 ERR_CONNECTION_REFUSED"},
      {L"http://no-such-host.invalid/", L"-105 ERR_NAME_NOT_RESOLVED"},
      {L"http://a.example/garbage", L"-363 ERR_INVALID_HTTP_RESPONSE"},
      {L"http://a.example/truncated?length=5000&send=100", L"-354 ERR_CONTENT_LENGTH_MISMATCH"},
  };
  for (const Case& c : cases) {
    LoadAndWait(browser, c.url);
    EXPECT_EQ(client_->Events({L"OnLoadStart", L"OnLoadEnd", L"OnLoadError"}),
              (Events{L"OnLoadError main " + c.error + L" " + c.url}))
        << c.url;
  }
  // A server that closes without a word: WinHTTP under Wine cannot tell
  // that from a garbled reply, Windows' WinHTTP can.
  LoadAndWait(browser, L"http://a.example/close");
  const Events closed = client_->Events({L"OnLoadError"});
  ASSERT_EQ(closed.size(), 1u);
  EXPECT_TRUE(closed[0] == L"OnLoadError main -324 ERR_EMPTY_RESPONSE http://a.example/close" ||
              closed[0] ==
                  L"OnLoadError main -363 ERR_INVALID_HTTP_RESPONSE http://a.example/close")
      << closed[0];
  // A server that says nothing fails when the time is up.
  probe_.SetNetworkTimeout(500);
  LoadAndWait(browser, L"http://a.example/slow?head=5");
  EXPECT_EQ(client_->Events({L"OnLoadError"}),
            (Events{L"OnLoadError main -7 ERR_TIMED_OUT http://a.example/slow?head=5"}));
  probe_.SetNetworkTimeout(0);
  EXPECT_EQ(client_->off_ui_thread(), 0);
}

TEST_F(BrowserLoadTest, ARefusedNavigationLeavesThePageAsItWas) {
  const std::wstring first = L"http://site.example/page?title=First";
  CefRefPtr<CefBrowser> browser = Open(first);
  ASSERT_TRUE(browser);
  client_->cancel_navigation = [](const std::wstring& url, bool) {
    return url.find(L"m=game") != std::wstring::npos;
  };
  const std::wstring game = L"http://site.example/page?m=game&title=Game";
  LoadAndWait(browser, game);
  EXPECT_EQ(client_->Events(kLoadEvents),
            (Events{L"OnLoadingStateChange loading=1 back=0 forward=0",
                    L"OnBeforeBrowse main GET " + game + L" gesture=0 redirect=0",
                    L"OnLoadError main -3 ERR_ABORTED " + game,
                    L"OnLoadingStateChange loading=0 back=0 forward=0"}));
  EXPECT_EQ(browser->GetMainFrame()->GetURL().ToWString(), first);
  const auto navigations = probe_.Navigations();
  ASSERT_FALSE(navigations.empty());
  EXPECT_EQ(navigations.back().url, game);
  EXPECT_TRUE(navigations.back().refused);
}

TEST_F(BrowserLoadTest, HistoryGoesBackAndForwardOverCommittedPages) {
  const std::wstring a = L"http://site.example/page?title=A";
  const std::wstring b = L"http://site.example/page?title=B";
  CefRefPtr<CefBrowser> browser = Open(a);
  ASSERT_TRUE(browser);
  EXPECT_FALSE(browser->CanGoBack());
  LoadAndWait(browser, b);
  EXPECT_TRUE(browser->CanGoBack());
  EXPECT_FALSE(browser->CanGoForward());

  client_->ClearEvents();
  browser->GoBack();
  ASSERT_TRUE(WaitForEvent(client_, L"OnLoadingStateChange loading=0 back=0 forward=1"));
  EXPECT_EQ(browser->GetMainFrame()->GetURL().ToWString(), a);
  EXPECT_TRUE(client_->HasEvent(L"OnTitleChange A"));
  EXPECT_FALSE(browser->CanGoBack());
  EXPECT_TRUE(browser->CanGoForward());

  client_->ClearEvents();
  browser->GoForward();
  ASSERT_TRUE(WaitForEvent(client_, L"OnLoadingStateChange loading=0 back=1 forward=0"));
  EXPECT_EQ(browser->GetMainFrame()->GetURL().ToWString(), b);

  // A new page drops the entries ahead; a reload keeps the place.
  browser->GoBack();
  ASSERT_TRUE(WaitForEvent(client_, L"OnLoadingStateChange loading=0 back=0 forward=1"));
  LoadAndWait(browser, L"http://site.example/page?title=C");
  EXPECT_FALSE(browser->CanGoForward());
  client_->ClearEvents();
  browser->Reload();
  ASSERT_TRUE(WaitForEvent(client_, L"OnLoadingStateChange loading=0 back=1 forward=0"));
  EXPECT_TRUE(client_->HasEvent(L"OnLoadStart main tt=8"));
}

}  // namespace
}  // namespace browser_test
