// The browser handler's own decisions and its bookkeeping of browsers, with
// fake browsers: the runtime's callbacks come from the test's thread, the
// handler's main-thread work runs on a test main thread.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "browser/control/cef_native_control.h"
#include "browser/handler/browser_handler.h"
#include "browser/manager/cef_manager.h"
#include "tests/browser/fake_browser.h"
#include "tests/browser/main_thread_for_test.h"

namespace kel_comp {
namespace {

class RecordingRequestCallback : public CefRequestCallback {
 public:
  void Continue(bool allow) override { answers.push_back(allow ? 1 : 0); }
  void Cancel() override { answers.push_back(-1); }
  std::vector<int> answers;
  IMPLEMENT_REFCOUNTING(RecordingRequestCallback);
};

CefRefPtr<CefProcessMessage> Message(const wchar_t* name,
                                     std::function<void(CefRefPtr<CefListValue>)> fill) {
  CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(name);
  fill(message->GetArgumentList());
  return message;
}

class BrowserHandlerTest : public ::testing::Test {
 protected:
  // The runtime's pop-up question for `url`, asked from this thread.
  bool AskPopup(CefRefPtr<BrowserHandler> handler, const CefString& url) {
    CefPopupFeatures features;
    CefWindowInfo window_info;
    CefRefPtr<CefClient> client;
    CefBrowserSettings settings;
    CefRefPtr<CefDictionaryValue> extra_info;
    bool no_javascript_access = false;
    return handler->OnBeforePopup(nullptr, nullptr, url, CefString(), WOD_NEW_FOREGROUND_TAB, true,
                                  features, window_info, client, settings, extra_info,
                                  &no_javascript_access);
  }
  // Lets every closure posted to the main thread so far run.
  void Flush() {
    ASSERT_TRUE(main_.RunAndWait([] {}));
  }
  // A windowed control without a window: it has a handler but never
  // creates a browser itself. Made and destroyed on the main thread.
  void MakeControl() {
    ASSERT_TRUE(main_.RunAndWait([this] {
      control_ = std::make_unique<CefNativeControl>();
      control_->Init();
    }));
  }
  // The runtime reports a new browser of `handler`; TearDown closes it
  // again unless the test did, so the process-wide browser count is left
  // as found.
  void Created(CefRefPtr<BrowserHandler> handler, CefRefPtr<CefBrowser> browser) {
    created_.emplace_back(handler, browser);
    handler->OnAfterCreated(browser);
  }
  void TearDown() override {
    // The browser list belongs to the main thread, and each close posts a
    // change of it there: read it there too, before closing anything.
    std::vector<std::pair<CefRefPtr<BrowserHandler>, CefRefPtr<CefBrowser>>> still_open;
    main_.RunAndWait([&] {
      for (auto& [handler, browser] : created_) {
        for (const CefRefPtr<CefBrowser>& open : handler->GetBrowserList()) {
          if (open->IsSame(browser))
            still_open.emplace_back(handler, browser);
        }
      }
    });
    for (auto& [handler, browser] : still_open)
      handler->OnBeforeClose(browser);
    Flush();
    main_.RunAndWait([this] { control_.reset(); });
  }

  std::vector<std::pair<CefRefPtr<BrowserHandler>, CefRefPtr<CefBrowser>>> created_;

  test::MainThreadForTest main_;
  std::unique_ptr<CefNativeControl> control_;
};

TEST_F(BrowserHandlerTest, QuotaIsGrantedUpToTwentyMebibytesInclusive) {
  CefRefPtr<BrowserHandler> handler = new BrowserHandler;
  CefRefPtr<RecordingRequestCallback> callback = new RecordingRequestCallback;
  EXPECT_TRUE(handler->OnQuotaRequest(nullptr, L"http://a/", 20971520, callback));
  EXPECT_TRUE(handler->OnQuotaRequest(nullptr, L"http://a/", 20971521, callback));
  EXPECT_TRUE(handler->OnQuotaRequest(nullptr, L"http://a/", 0, callback));
  EXPECT_EQ(callback->answers, (std::vector<int>{1, 0, 1}));
}

TEST_F(BrowserHandlerTest, ScriptDialogsAreSuppressedWithoutADialog) {
  CefRefPtr<BrowserHandler> handler = new BrowserHandler;
  for (cef_jsdialog_type_t type : {JSDIALOGTYPE_ALERT, JSDIALOGTYPE_CONFIRM, JSDIALOGTYPE_PROMPT}) {
    bool suppress = false;
    EXPECT_FALSE(handler->OnJSDialog(nullptr, L"http://a/", type, L"hi", L"", nullptr, suppress));
    EXPECT_TRUE(suppress);
  }
}

TEST_F(BrowserHandlerTest, CurrentBrowserFollowsCreationAndClosing) {
  CefRefPtr<BrowserHandler> handler = new BrowserHandler;
  CefRefPtr<test::FakeBrowser> older = new test::FakeBrowser(1);
  CefRefPtr<test::FakeBrowser> newer = new test::FakeBrowser(2);
  const int32_t count = CefManager::GetInstance()->browser_count();

  Created(handler, older);
  Created(handler, newer);
  Flush();
  EXPECT_EQ(handler->GetBrowser(), CefRefPtr<CefBrowser>(newer));
  EXPECT_EQ(handler->GetBrowserList().size(), 2u);
  EXPECT_EQ(older->host->hidden_calls, std::vector<bool>{true}) << "replaced, so hidden";
  EXPECT_EQ(CefManager::GetInstance()->browser_count(), count + 2);

  // Closing an older browser leaves the current one alone.
  CefRefPtr<test::FakeBrowser> oldest = new test::FakeBrowser(3);
  Created(handler, oldest);
  Flush();
  handler->OnBeforeClose(newer);
  handler->OnBeforeClose(oldest);
  Flush();
  EXPECT_EQ(handler->GetBrowser(), CefRefPtr<CefBrowser>(older));
  EXPECT_EQ(older->host->hidden_calls, (std::vector<bool>{true, false}));
  EXPECT_EQ(older->reloads, 1) << "made current again: shown and reloaded";

  handler->OnBeforeClose(older);
  Flush();
  EXPECT_FALSE(handler->GetBrowser());
  EXPECT_TRUE(handler->GetBrowserList().empty());
  EXPECT_EQ(CefManager::GetInstance()->browser_count(), count);
}

TEST_F(BrowserHandlerTest, PopupsNeverOpenAndLoadInPlaceWhenTheControlAgrees) {
  CefRefPtr<BrowserHandler> lone = new BrowserHandler;
  EXPECT_TRUE(AskPopup(lone, L"http://a/next")) << "no browser yet: nothing, but no pop-up";
  CefRefPtr<test::FakeBrowser> browser = new test::FakeBrowser(1);
  Created(lone, browser);
  Flush();
  EXPECT_TRUE(AskPopup(lone, L"http://a/next"));
  EXPECT_TRUE(AskPopup(lone, L""));
  EXPECT_EQ(browser->main_frame->loaded, std::vector<std::wstring>{L"http://a/next"});

  MakeControl();
  CefRefPtr<BrowserHandler> handler = control_->GetHandler();
  CefRefPtr<test::FakeBrowser> page = new test::FakeBrowser(2);
  Created(handler, page);
  Flush();
  std::vector<std::wstring> asked;
  bool accept = false;
  control_->AttachLinkClick([&](const std::wstring& url) {
    asked.push_back(url);
    return accept;
  });
  EXPECT_TRUE(AskPopup(handler, L"http://a/refused"));
  accept = true;
  EXPECT_TRUE(AskPopup(handler, L"http://a/accepted"));
  EXPECT_TRUE(AskPopup(handler, L""));
  EXPECT_EQ(asked, (std::vector<std::wstring>{L"http://a/refused", L"http://a/accepted"}));
  EXPECT_EQ(page->main_frame->loaded, std::vector<std::wstring>{L"http://a/accepted"});
}

TEST_F(BrowserHandlerTest, WorkBeforeCreationWaitsForTheFirstBrowser) {
  MakeControl();
  CefRefPtr<BrowserHandler> handler = control_->GetHandler();
  bool registered = true;
  ASSERT_TRUE(main_.RunAndWait([&] {
    control_->LoadURL(L"http://a/one");
    control_->LoadURL(L"http://a/two");
    control_->GoBack();
    registered = control_->RegisterCppFunc(L"f", [](const std::string&, CppReply) {});
  }));
  EXPECT_FALSE(registered) << "no browser to register for yet";

  CefRefPtr<test::FakeBrowser> first = new test::FakeBrowser(1);
  CefRefPtr<test::FakeBrowser> second = new test::FakeBrowser(2);
  Created(handler, first);
  Created(handler, second);
  Flush();
  EXPECT_EQ(first->main_frame->loaded,
            (std::vector<std::wstring>{L"http://a/one", L"http://a/two"}));
  EXPECT_TRUE(second->main_frame->loaded.empty()) << "the queue ran once";
  ASSERT_TRUE(main_.RunAndWait(
      [&] { registered = control_->RegisterCppFunc(L"f", [](const std::string&, CppReply) {}); }));
  EXPECT_TRUE(registered);
}

TEST_F(BrowserHandlerTest, NotificationsReachOnlyALiveControlOnTheMainThread) {
  MakeControl();
  CefRefPtr<BrowserHandler> handler = control_->GetHandler();
  std::vector<std::wstring> titles;
  DWORD title_thread = 0;
  control_->AttachTitleChange([&](const std::wstring& title) {
    titles.push_back(title);
    title_thread = GetCurrentThreadId();
  });
  handler->OnTitleChange(nullptr, L"first");
  Flush();
  EXPECT_EQ(titles, std::vector<std::wstring>{L"first"});
  EXPECT_EQ(title_thread, main_.os_thread_id());

  // Posted while the control lives, run after it is gone.
  ASSERT_TRUE(main_.RunAndWait([&] {
    handler->OnTitleChange(nullptr, L"late");
    control_.reset();
  }));
  Flush();
  handler->OnTitleChange(nullptr, L"after");
  Flush();
  EXPECT_EQ(titles, std::vector<std::wstring>{L"first"});
  EXPECT_FALSE(handler->GetHandlerDelegate());
  EXPECT_FALSE(handler->OnBeforeBrowse(nullptr, nullptr, nullptr, true, false))
      << "without a control every navigation is allowed";
}

TEST_F(BrowserHandlerTest, BridgeMessagesOfTheWrongShapeAreDropped) {
  MakeControl();
  CefRefPtr<BrowserHandler> handler = control_->GetHandler();
  CefRefPtr<test::FakeBrowser> browser = new test::FakeBrowser(1);
  Created(handler, browser);
  Flush();
  std::vector<std::string> calls;
  ASSERT_TRUE(main_.RunAndWait([&] {
    ASSERT_TRUE(control_->RegisterCppFunc(L"f", [&](const std::string& params, CppReply reply) {
      calls.push_back(params);
      reply(false, "{}");
    }));
  }));

  auto call = [&](std::function<void(CefRefPtr<CefListValue>)> fill) {
    return handler->OnProcessMessageReceived(browser, browser->main_frame, PID_RENDERER,
                                             Message(L"CallCppFunction", fill));
  };
  EXPECT_TRUE(call([](CefRefPtr<CefListValue> a) {
    a->SetInt(0, 1);
    a->SetString(1, L"{}");
    a->SetInt(2, 0);
  }));
  EXPECT_TRUE(call([](CefRefPtr<CefListValue> a) { a->SetString(0, L"f"); }));
  EXPECT_TRUE(call([](CefRefPtr<CefListValue> a) {
    a->SetString(0, L"f");
    a->SetString(1, L"{\"n\":1}");
    a->SetInt(2, 4);
  }));
  Flush();
  EXPECT_EQ(calls, std::vector<std::string>{"{\"n\":1}"});
  ASSERT_EQ(browser->main_frame->sent.size(), 1u) << "one answer, for the well-formed call";

  auto focus = [&](std::function<void(CefRefPtr<CefListValue>)> fill) {
    EXPECT_TRUE(handler->OnProcessMessageReceived(browser, browser->main_frame, PID_RENDERER,
                                                  Message(L"FocusedNodeChanged", fill)));
    return handler->IsFocusOnEditableField();
  };
  EXPECT_TRUE(focus([](CefRefPtr<CefListValue> a) { a->SetBool(0, true); }));
  EXPECT_FALSE(focus([](CefRefPtr<CefListValue> a) { a->SetString(0, L"true"); }));
  EXPECT_FALSE(handler->OnProcessMessageReceived(browser, browser->main_frame, PID_RENDERER,
                                                 Message(L"Unknown", [](auto) {})));
}

}  // namespace
}  // namespace kel_comp
