// What pages do through the runtime: script, links and pop-ups, dialogs,
// storage quota, downloads, focus, and a renderer that crashes.

#include <gtest/gtest.h>

#include "tests/runtime/browser_test_support.h"

namespace browser_test {
namespace {

using Events = std::vector<std::wstring>;
using BrowserPageTest = BrowserTest;

TEST_F(BrowserPageTest, PageScriptSetsTheTitleLogsAndNavigatesByItself) {
  CefRefPtr<CefBrowser> browser = Open(
      PageUrl("<title>Before</title><script>document.title = 'Scripted';"
              "console.log('hello ' + navigator.userAgent.indexOf('Chrome/76'));"
              "setTimeout(function () { location.href = 'http://a.example/page?title=Next'; }, 10);"
              "</script>"));
  ASSERT_TRUE(browser);
  ASSERT_TRUE(WaitForTitle(L"Next"));
  EXPECT_TRUE(client_->HasEvent(L"OnTitleChange Scripted"));
  const Events console = client_->Events({L"OnConsoleMessage"});
  ASSERT_EQ(console.size(), 1u);
  EXPECT_NE(console[0], L"OnConsoleMessage hello -1");
  // A page moving on by itself has no user gesture.
  EXPECT_TRUE(client_->HasEvent(
      L"OnBeforeBrowse main GET http://a.example/page?title=Next gesture=0 redirect=0"));
  EXPECT_EQ(client_->off_ui_thread(), 0);
}

TEST_F(BrowserPageTest, APageThatNavigatesInItsLoadEventReportsItsLoadEndFirst) {
  CefRefPtr<CefBrowser> browser = Open(L"about:blank");
  ASSERT_TRUE(browser);
  const std::wstring first =
      PageUrl("<title>First</title><script>addEventListener('load', function () {"
              " location.href = 'http://a.example/page?title=Next'; });</script>");
  client_->ClearEvents();
  browser->GetMainFrame()->LoadURL(first);
  ASSERT_TRUE(test::PumpUntil([&] { return client_->Events({L"OnLoadEnd"}).size() >= 2; }, 10000))
      << "only " << client_->Events({L"OnLoadEnd"}).size() << " load end(s)";
  EXPECT_EQ(client_->Events({L"OnBeforeBrowse", L"OnLoadEnd", L"OnLoadError"}),
            (Events{L"OnBeforeBrowse main GET " + first + L" gesture=0 redirect=0",
                    L"OnLoadEnd main 200",
                    L"OnBeforeBrowse main GET http://a.example/page?title=Next gesture=0 "
                    L"redirect=0",
                    L"OnLoadEnd main 200"}));
  EXPECT_EQ(browser->GetMainFrame()->GetURL().ToWString(), L"http://a.example/page?title=Next");
}

TEST_F(BrowserPageTest, ClicksFollowLinksAndAskBeforeOpeningPopups) {
  CefRefPtr<CefBrowser> browser = Open(
      PageUrl("<p><a id='go' href='http://a.example/page?title=Linked'>go</a></p>"
              "<p><a id='pop' href='http://a.example/page?title=Popup' target='_blank'>pop</a></p>"
              "<button id='open' onclick=\"window.open('http://a.example/page?title=Opened')\">open"
              "</button>"));
  ASSERT_TRUE(browser);
  const int id = browser->GetIdentifier();

  // Refused pop-ups open nothing.
  ASSERT_TRUE(probe_.ClickElement(id, L"pop"));
  ASSERT_TRUE(probe_.ClickElement(id, L"open"));
  EXPECT_EQ(client_->Events({L"OnBeforePopup"}),
            (Events{L"OnBeforePopup http://a.example/page?title=Popup [_blank] gesture=1",
                    L"OnBeforePopup http://a.example/page?title=Opened [_blank] gesture=1"}));
  test::PumpFor(200);
  EXPECT_EQ(client_->BrowserCount(), 1u);

  // An accepted one is a browser of its own, a pop-up.
  client_->refuse_popups = false;
  ASSERT_TRUE(probe_.ClickElement(id, L"open"));
  ASSERT_TRUE(test::PumpUntil([&] { return client_->BrowserCount() == 2; }, 10000));
  CefRefPtr<CefBrowser> popup = client_->Browser(1);
  EXPECT_TRUE(popup->IsPopup());
  EXPECT_FALSE(popup->IsSame(browser));
  ASSERT_TRUE(WaitForTitle(L"Opened"));

  // A link navigates its own browser with the user's gesture.
  ASSERT_TRUE(probe_.ClickElement(id, L"go"));
  ASSERT_TRUE(WaitForTitle(L"Linked"));
  EXPECT_TRUE(client_->HasEvent(
      L"OnBeforeBrowse main GET http://a.example/page?title=Linked gesture=1 redirect=0"));
  EXPECT_TRUE(client_->HasEvent(L"OnLoadStart main tt=0"));
}

// A page that asks its three dialogs and shows the answers in its title.
const char kDialogPage[] =
    "<button id='ask' onclick=\"document.title = [String(alert('a')), String(confirm('c')),"
    " String(prompt('p', 'default'))].join(' ')\">ask</button>";

TEST_F(BrowserPageTest, DialogsAreAskedOfTheClientSuppressedOrShown) {
  CefRefPtr<CefBrowser> browser = Open(PageUrl(kDialogPage));
  ASSERT_TRUE(browser);
  const int id = browser->GetIdentifier();

  // Suppressed: each returns at once, as if cancelled.
  ASSERT_TRUE(probe_.ClickElement(id, L"ask"));
  ASSERT_TRUE(WaitForTitle(L"undefined false null"));
  EXPECT_EQ(client_->Events({L"OnJSDialog"}),
            (Events{L"OnJSDialog 0 a", L"OnJSDialog 1 c", L"OnJSDialog 2 p"}));

  // Answered by the client.
  client_->dialogs = RecordingClient::Dialogs::kAnswerOk;
  client_->prompt_answer = L"typed";
  ASSERT_TRUE(probe_.ClickElement(id, L"ask"));
  ASSERT_TRUE(WaitForTitle(L"undefined true typed"));

  // Left to the runtime: real dialogs, closed here as a user would.
  client_->dialogs = RecordingClient::Dialogs::kRuntime;
  const size_t before = probe_.Dialogs().size();
  // The click waits in the page until every dialog is closed.
  std::atomic<bool> clicked{false};
  std::thread click([&] { clicked = probe_.ClickElement(id, L"ask"); });
  // Each dialog is recorded once the one before it is closed; each is
  // accepted, the prompt with a text of its own.
  const std::wstring answers[] = {L"", L"", L"mine"};
  bool dismissed = true;
  for (size_t shown = 1; shown <= 3 && dismissed; ++shown) {
    dismissed = test::PumpUntil(
        [&] {
          return probe_.Dialogs().size() >= before + shown &&
                 probe_.DismissDialog(true, answers[shown - 1]);
        },
        10000);
  }
  // Closing a dialog re-activates its owner, this thread's window: the
  // thread keeps pumping until the click is through.
  test::PumpUntil([&] { return clicked.load(); }, 10000);
  click.join();
  ASSERT_TRUE(dismissed);
  EXPECT_TRUE(clicked);
  ASSERT_TRUE(WaitForTitle(L"undefined true mine"));
  const auto dialogs = probe_.Dialogs();
  ASSERT_EQ(dialogs.size(), before + 3);
  EXPECT_TRUE(dialogs.back().shown);
  EXPECT_EQ(dialogs.back().message, L"p");
}

TEST_F(BrowserPageTest, TheClientsQuotaDecisionReachesThePage) {
  client_->quota_limit = 20 * 1024 * 1024;
  CefRefPtr<CefBrowser> browser = Open(L"http://a.example/page?title=Quota");
  ASSERT_TRUE(browser);
  const int id = browser->GetIdentifier();
  const std::wstring ask =
      L"navigator.webkitPersistentStorage.requestQuota(%d, function (granted) {"
      L"  document.title = 'granted ' + granted; },"
      L" function (error) { document.title = 'refused'; });";
  auto request = [&](long long bytes) {
    std::wstring code = ask;
    code.replace(code.find(L"%d"), 2, std::to_wstring(bytes));
    return probe_.RunScript(id, code);
  };
  ASSERT_TRUE(request(20 * 1024 * 1024));
  ASSERT_TRUE(WaitForTitle(L"granted 20971520"));
  ASSERT_TRUE(request(20 * 1024 * 1024 + 1));
  ASSERT_TRUE(WaitForTitle(L"refused"));
  EXPECT_EQ(client_->Events({L"OnQuotaRequest"}),
            (Events{L"OnQuotaRequest 20971520", L"OnQuotaRequest 20971521"}));
}

TEST_F(BrowserPageTest, AnAttachmentIsDownloadedToThePathTheClientGives) {
  client_->download_path = folder_.path() + L"saved.bin";
  CefRefPtr<CefBrowser> browser = Open(L"http://a.example/page?title=Start");
  ASSERT_TRUE(browser);
  LoadAndWait(browser, L"http://a.example/attachment?size=300000&name=report.bin");
  ASSERT_TRUE(
      WaitForEvent(client_, L"OnDownloadUpdated complete 300000 " + client_->download_path));
  EXPECT_TRUE(client_->HasEvent(L"OnBeforeDownload report.bin 300000"));
  // The page stays; the navigation that became a download is aborted.
  EXPECT_EQ(browser->GetMainFrame()->GetURL().ToWString(), L"http://a.example/page?title=Start");
  EXPECT_EQ(test::ReadWholeFile(client_->download_path).size(), 300000u);

  // Cancelled on its first progress report: no file is left.
  client_->cancel_download_on_first_update = true;
  client_->download_path = folder_.path() + L"cancelled.bin";
  LoadAndWait(browser, L"http://a.example/attachment?size=2000000&name=big.bin");
  ASSERT_TRUE(test::PumpUntil(
      [&] { return !client_->Events({L"OnDownloadUpdated canceled"}).empty(); }, 10000));
  EXPECT_FALSE(test::IsFile(client_->download_path));
}

TEST_F(BrowserPageTest, FocusAndTypingReachTheFieldAndTheRenderHandler) {
  CefRefPtr<CefBrowser> browser =
      Open(PageUrl("<p><input id='name' name='player'> <a id='link' href='#x'>link</a></p>"
                   "<button id='show' onclick='document.title = "
                   "document.getElementById(\"name\").value'>show</button>"));
  ASSERT_TRUE(browser);
  const int id = browser->GetIdentifier();
  ASSERT_TRUE(probe_.ClickElement(id, L"name"));
  EXPECT_TRUE(probe_.FocusOnEditable(id));
  EXPECT_EQ(probe_.Cursor(id), 2) << "the I-beam over a text field";
  ASSERT_TRUE(probe_.TypeText(id, L"Ab\u4E2D"));
  ASSERT_TRUE(probe_.ClickElement(id, L"show"));
  ASSERT_TRUE(WaitForTitle(L"Ab\u4E2D"));
  EXPECT_FALSE(probe_.FocusOnEditable(id));
  EXPECT_EQ(app_->FocusEvents(), (Events{L"INPUT player editable", L"BUTTON  fixed"}));
}

TEST_F(BrowserPageTest, ACrashedRendererIsReportedAndAReloadBringsThePageBack) {
  CefRefPtr<CefBrowser> browser = Open(L"http://a.example/page?title=Alive");
  ASSERT_TRUE(browser);
  ASSERT_TRUE(probe_.CrashRenderer());
  ASSERT_TRUE(WaitForEvent(client_, L"OnRenderProcessTerminated 2"));
  client_->ClearEvents();
  browser->Reload();
  ASSERT_TRUE(WaitForEvent(client_, L"OnLoadEnd main 200"));
  EXPECT_TRUE(client_->HasEvent(L"OnTitleChange Alive"));
}

TEST_F(BrowserPageTest, BrowsersCloseThroughDoCloseAndOnBeforeClose) {
  CefRefPtr<CefBrowser> first = Open(L"about:blank");
  CefRefPtr<CefBrowser> second = Open(L"about:blank");
  ASSERT_TRUE(first && second);
  EXPECT_FALSE(first->IsSame(second));
  EXPECT_NE(first->GetIdentifier(), second->GetIdentifier());
  const std::wstring id = std::to_wstring(first->GetIdentifier());
  // Closing sends WM_CLOSE to the browser window's top-level window, as the
  // real runtime does; the program first makes the browser's window
  // top-level, so that its own window stays.
  SetParent(first->GetHost()->GetWindowHandle(), nullptr);
  EXPECT_FALSE(first->GetHost()->TryCloseBrowser()) << "closing starts";
  ASSERT_TRUE(WaitForEvent(client_, L"OnBeforeClose " + id));
  EXPECT_TRUE(first->GetHost()->TryCloseBrowser()) << "closed";
  EXPECT_EQ(client_->Events({L"DoClose", L"OnBeforeClose"}),
            (Events{L"DoClose " + id, L"OnBeforeClose " + id}));
  EXPECT_FALSE(first->GetMainFrame()->IsValid());
  EXPECT_EQ(client_->BrowserCount(), 1u);
  EXPECT_TRUE(IsWindow(window_)) << "the program's window stays";
}

}  // namespace
}  // namespace browser_test
