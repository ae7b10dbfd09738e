// The windowed browser control in a real window, against the stand-in
// runtime and the local web server: what the forms rely on.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "browser/control/browser_control_factory.h"
#include "browser/control/cef_native_control.h"
#include "browser/manager/cef_manager.h"
#include "runtime/include/wrapper/cef_closure_task.h"
#include "runtime/standin/test_interface.h"
#include "tests/browser/main_thread_for_test.h"
#include "tests/window/window_test_support.h"
#include "ui/core/skin_builder.h"
#include "ui/core/window.h"

namespace kel_comp {
namespace {

using test::WaitUntil;

constexpr wchar_t kSkin[] =
    L"<Window size=\"800,600\"><VBox><CefControl name=\"cef\"/></VBox></Window>";

int WebPort() {
  wchar_t value[16] = {};
  return GetEnvironmentVariableW(L"QEL_WEB_PORT", value, 16) ? _wtoi(value) : 0;
}

std::wstring Url(const std::wstring& path) {
  return L"http://127.0.0.1:" + std::to_wstring(WebPort()) + path;
}

// A mark no other run shares, for addresses whose requests a test counts:
// the server's log is shared by every test of the session.
std::wstring RunMark() {
  static const std::wstring mark =
      std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
  return mark;
}

// How many requests for `path` the local web server has logged.
int ServerRequests(const std::wstring& path) {
  wchar_t log_path[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"QEL_WEB_LOG", log_path, MAX_PATH))
    return -1;
  FILE* log = _wfopen(log_path, L"rb");
  if (!log)
    return -1;
  std::string text;
  char buffer[4096];
  for (size_t read; (read = fread(buffer, 1, sizeof buffer, log)) > 0;)
    text.append(buffer, read);
  fclose(log);
  const std::string needle = "\"path\": \"" + std::string(path.begin(), path.end()) + "\"";
  int count = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
    ++count;
  return count;
}

const cef_standin_test_interface_t* Standin() {
  HMODULE library = GetModuleHandleW(L"libcef.dll");
  using Get = const cef_standin_test_interface_t* (*)();
  auto get = library ? reinterpret_cast<Get>(reinterpret_cast<void*>(
                           GetProcAddress(library, "cef_standin_get_test_interface")))
                     : nullptr;
  return get ? get() : nullptr;
}

// What the control's callbacks reported, from the main thread.
class Recorder {
 public:
  void Add(std::wstring event) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(event));
  }
  bool Has(const std::wstring& event) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::wstring& seen : events_) {
      if (seen == event)
        return true;
    }
    return false;
  }
  bool WaitFor(const std::wstring& event, ULONGLONG timeout_ms = 10000) {
    return WaitUntil([&] { return Has(event); }, timeout_ms);
  }
  int Count(const std::wstring& event) {
    std::lock_guard<std::mutex> lock(mutex_);
    int count = 0;
    for (const std::wstring& seen : events_)
      count += seen == event;
    return count;
  }

 private:
  std::mutex mutex_;
  std::vector<std::wstring> events_;
};

// A top-level window whose skin holds one browser control, made through
// the control factory as the forms make it.
class HostWindow : public ui::Window {
 public:
  std::wstring WindowClassName() const override { return L"QelBrowserControlTest"; }

  bool Open() {
    HWND hwnd = Create(nullptr, L"browser control test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, false,
                       ui::UiRect{0, 0, 800, 600});
    if (!hwnd)
      return false;
    AttachNativeWindow(hwnd);
    ui::SkinBuilder builder;
    ui::Control* root = builder.Create(kSkin, &CreateBrowserControl, this, nullptr);
    return root && AttachRoot(root);
  }
  CefNativeControl* control() const {
    return dynamic_cast<CefNativeControl*>(FindControlByName(L"cef"));
  }
};

class BrowserControlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // One main thread for every test, never ended: the skin builder keeps
    // per-thread state whose destruction at a thread's exit is not safe
    // with this toolchain's thread-local storage.
    if (!main_thread_)
      main_thread_ = new test::MainThreadForTest;
    folder_ = new test::TempFolder(L"qel_browser_control");
    settings_ = new CefSettings;
    initialized_ = CefManager::GetInstance()->Initialize(folder_->path() + L"cef_temp\\",
                                                         *settings_, /*offscreen=*/false);
  }
  static void TearDownTestSuite() {
    CefManager::GetInstance()->Shutdown();
    delete settings_;
    delete folder_;
  }

  void SetUp() override {
    if (!WebPort())
      GTEST_SKIP() << "no local web server (QEL_WEB_PORT): run through scripts/test";
    ASSERT_TRUE(initialized_);
    standin_ = Standin();
    ASSERT_NE(standin_, nullptr);
    // The store belongs to the UI thread: the main thread, not this one.
    ASSERT_TRUE(main_.RunAndWait([] { ui::test::UseShippedResources(); }));
  }
  void TearDown() override {
    main_.RunAndWait([this] {
      if (window_ && window_->GetHWND())
        DestroyWindow(window_->GetHWND());
      delete window_;
      window_ = nullptr;
    });
    // Browsers closing now finish before the next test starts.
    WaitUntil([this] { return standin_ && standin_->browser_count() == 0; });
  }

  // Opens the window; `before_creation` runs on the main thread right after
  // the control exists and before its browser does. Waits for the browser.
  void Open(std::function<void(CefNativeControl*)> before_creation = nullptr) {
    bool opened = false;
    ASSERT_TRUE(main_.RunAndWait([&] {
      window_ = new HostWindow;
      opened = window_->Open();
      control_ = opened ? window_->control() : nullptr;
      if (control_) {
        control_->AttachLoadEnd(
            [this](int status) { events_.Add(L"load end " + std::to_wstring(status)); });
        control_->AttachTitleChange(
            [this](const std::wstring& title) { events_.Add(L"title " + title); });
        control_->AttachMainUrlChange(
            [this](const std::wstring&, const std::wstring& url) { events_.Add(L"url " + url); });
        if (before_creation)
          before_creation(control_);
      }
    }));
    ASSERT_TRUE(opened);
    ASSERT_NE(control_, nullptr);
    ASSERT_TRUE(WaitUntil([this] { return Browser() != nullptr; }));
  }
  CefRefPtr<CefBrowser> Browser() { return control_->GetHandler()->GetBrowser(); }
  int BrowserId() { return Browser()->GetIdentifier(); }
  // True when the runtime runs page script (else the test is skipped).
  bool ScriptRuns() { return RunScript(L"void 0;"); }
  bool RunScript(const std::wstring& code) {
    CefString text(code);
    return standin_->run_script(BrowserId(), 0, text.GetStruct()) != 0;
  }
  // Loads `path` and waits for its load end with status 200.
  void Load(const std::wstring& path) {
    ASSERT_TRUE(main_.RunAndWait([&] { control_->LoadURL(Url(path)); }));
    ASSERT_TRUE(events_.WaitFor(L"url " + Url(path)));
    ASSERT_TRUE(WaitUntil([&] { return standin_->browser_is_idle(BrowserId()) == 1; }));
  }

  static test::TempFolder* folder_;
  static CefSettings* settings_;
  static bool initialized_;

  static test::MainThreadForTest* main_thread_;
  test::MainThreadForTest& main_ = *main_thread_;
  const cef_standin_test_interface_t* standin_ = nullptr;
  HostWindow* window_ = nullptr;
  CefNativeControl* control_ = nullptr;
  Recorder events_;
};

test::MainThreadForTest* BrowserControlTest::main_thread_ = nullptr;
test::TempFolder* BrowserControlTest::folder_ = nullptr;
CefSettings* BrowserControlTest::settings_ = nullptr;
bool BrowserControlTest::initialized_ = false;

TEST_F(BrowserControlTest, LoadBeforeCreationIsCarriedOutAfterIt) {
  Open([](CefNativeControl* control) {
    EXPECT_FALSE(control->GetHandler()->GetBrowser());
    control->LoadURL(Url(L"/browser/page.html"));
  });
  EXPECT_TRUE(events_.WaitFor(L"load end 200"));
  EXPECT_TRUE(events_.Has(L"url " + Url(L"/browser/page.html")));
  EXPECT_TRUE(events_.WaitFor(L"title Browser control page"));
}

TEST_F(BrowserControlTest, WindowOpenLoadsInPlaceOnlyWhenTheControlAccepts) {
  std::atomic<bool> accept{false};
  std::atomic<int> asked{0};
  // This run's own address, so that only its own requests are counted.
  const std::wstring target = L"/page?title=Target&run=" + RunMark();
  Open([&](CefNativeControl* control) {
    control->AttachLinkClick([&](const std::wstring& url) {
      asked += url == Url(target);
      return accept.load();
    });
  });
  Load(L"/browser/page.html");
  if (!ScriptRuns())
    GTEST_SKIP() << "the runtime runs no page script";
  const std::wstring open = L"window.open('" + target + L"');";
  ASSERT_TRUE(RunScript(open));
  ASSERT_TRUE(WaitUntil([&] { return asked == 1; }));
  accept = true;
  ASSERT_TRUE(RunScript(open));
  EXPECT_TRUE(events_.WaitFor(L"title Target"));
  EXPECT_EQ(asked.load(), 2);
  EXPECT_EQ(standin_->browser_count(), 1) << "no second window, ever";
  EXPECT_EQ(ServerRequests(target), 1) << "the refused one never left";
}

TEST_F(BrowserControlTest, AlertReturnsAtOnceWithoutADialog) {
  Open();
  Load(L"/browser/page.html");
  if (!ScriptRuns())
    GTEST_SKIP() << "the runtime runs no page script";
  ASSERT_TRUE(
      RunScript(L"var started = Date.now(); alert('hello'); var r = confirm('sure?');"
                L"document.title = 'after ' + (Date.now() - started < 1000) + ' ' + r;"));
  EXPECT_TRUE(events_.WaitFor(L"title after true false"));
  ASSERT_GE(standin_->dialog_count(), 1u);
  int type = -1;
  int shown = -1;
  CefString message;
  ASSERT_TRUE(standin_->get_dialog(0, &type, message.GetWritableStruct(), &shown));
  EXPECT_EQ(type, JSDIALOGTYPE_ALERT);
  EXPECT_EQ(shown, 0);
}

TEST_F(BrowserControlTest, HiddenControlLeavesItsBrowserWindowAtZeroSize) {
  Open();
  HWND cef_window = nullptr;
  ASSERT_TRUE(main_.RunAndWait([&] { cef_window = control_->GetCefHandle(); }));
  ASSERT_TRUE(IsWindow(cef_window));
  ASSERT_TRUE(main_.RunAndWait([&] { control_->SetFadeVisible(false); }));
  RECT rect{};
  GetWindowRect(cef_window, &rect);
  EXPECT_TRUE(IsWindow(cef_window));
  EXPECT_EQ(rect.right - rect.left, 0);
  EXPECT_EQ(rect.bottom - rect.top, 0);
  EXPECT_TRUE(IsWindowVisible(cef_window)) << "sized away, not hidden";

  ASSERT_TRUE(main_.RunAndWait([&] { control_->SetFadeVisible(true); }));
  // The next layout puts it back at the control's place.
  EXPECT_TRUE(WaitUntil([&] {
    GetWindowRect(cef_window, &rect);
    return rect.right - rect.left > 100 && rect.bottom - rect.top > 100;
  }));
}

TEST_F(BrowserControlTest, SecondAttachDevToolsOpensNothing) {
  Open();
  std::vector<bool> visible;
  ASSERT_TRUE(main_.RunAndWait([&] {
    control_->AttachDevToolsVisibleChange([&](bool shown) { visible.push_back(shown); });
    EXPECT_TRUE(control_->AttachDevTools(control_));
    EXPECT_TRUE(control_->AttachDevTools(control_));
  }));
  EXPECT_TRUE(WaitUntil([&] { return FindWindowW(nullptr, L"cef_devtools") != nullptr; }));
  test::PumpFor(200);
  int windows = 0;
  for (HWND w = FindWindowW(nullptr, L"cef_devtools"); w;
       w = FindWindowExW(nullptr, w, nullptr, L"cef_devtools"))
    ++windows;
  EXPECT_EQ(windows, 1);
  EXPECT_EQ(visible, std::vector<bool>{true});
  ASSERT_TRUE(main_.RunAndWait([&] { control_->DetachDevTools(); }));
  EXPECT_EQ(visible, (std::vector<bool>{true, false}));
}

TEST_F(BrowserControlTest, ClosingTheCurrentBrowserMakesTheOlderOneCurrentAndReloadsIt) {
  Open();
  Load(L"/browser/page.html");
  CefRefPtr<CefBrowser> older = Browser();
  // A second browser of the same handler, as a developer-tools opener or a
  // second creation would make.
  ASSERT_TRUE(main_.RunAndWait([&] {
    CefWindowInfo info;
    info.SetAsChild(window_->GetHWND(), RECT{0, 0, 200, 200});
    CefBrowserSettings settings;
    EXPECT_TRUE(CefBrowserHost::CreateBrowser(info, control_->GetHandler().get(),
                                              Url(L"/page?title=Second"), settings, nullptr,
                                              nullptr));
  }));
  ASSERT_TRUE(WaitUntil([&] { return Browser() && !Browser()->IsSame(older); }));
  const int loads_before = events_.Count(L"load end 200");
  // Out of the window first, as the control does, or the runtime's close
  // would close the whole window.
  CefRefPtr<CefBrowserHost> newer = Browser()->GetHost();
  ASSERT_TRUE(main_.RunAndWait([&] { SetParent(newer->GetWindowHandle(), nullptr); }));
  newer->CloseBrowser(true);
  ASSERT_TRUE(WaitUntil([&] { return Browser() && Browser()->IsSame(older); }));
  EXPECT_TRUE(WaitUntil([&] { return events_.Count(L"load end 200") > loads_before; }))
      << "reloaded";
}

TEST_F(BrowserControlTest, PageCallReachesARegisteredNativeFunctionThroughTheBridge) {
  Open();
  Load(L"/browser/bridge.html");
  if (!ScriptRuns())
    GTEST_SKIP() << "the runtime runs no page script";
  std::atomic<DWORD> thread{0};
  bool registered = false;
  ASSERT_TRUE(main_.RunAndWait([&] {
    registered = control_->RegisterCppFunc(L"add", [&](const std::string& params, CppReply reply) {
      thread = GetCurrentThreadId();
      reply(false, params == "{\"a\":1,\"b\":2}" ? "{\"sum\":3}" : "{\"sum\":-1}");
    });
  }));
  ASSERT_TRUE(registered);
  // The page's own script has run once it has retitled the page.
  ASSERT_TRUE(events_.WaitFor(L"title Bridge ready"));
  CefString id(L"call");
  ASSERT_TRUE(standin_->click_element(BrowserId(), 0, id.GetStruct()));
  EXPECT_TRUE(events_.WaitFor(L"title answer 3"));
  EXPECT_EQ(thread.load(), main_.os_thread_id());
  ASSERT_TRUE(
      RunScript(L"KelCefWebInstance.call('missing', function (e, r) {"
                L" document.title = 'error ' + e + ' ' + r.message; });"));
  EXPECT_TRUE(events_.WaitFor(L"title error true Function does not exist."));
}

// A process message named `name` whose arguments `fill` writes.
CefRefPtr<CefProcessMessage> Message(const wchar_t* name,
                                     const std::function<void(CefListValue&)>& fill) {
  CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(name);
  fill(*message->GetArgumentList());
  return message;
}

TEST_F(BrowserControlTest, BridgeMessagesOfTheWrongShapeAreDroppedOnBothSides) {
  Open();
  Load(L"/browser/bridge.html");
  if (!ScriptRuns())
    GTEST_SKIP() << "the runtime runs no page script";
  std::atomic<int> native_calls{0};
  ASSERT_TRUE(main_.RunAndWait([&] {
    EXPECT_TRUE(control_->RegisterCppFunc(L"add", [&](const std::string&, CppReply reply) {
      ++native_calls;
      reply(false, "{\"sum\":3}");
    }));
  }));
  ASSERT_TRUE(events_.WaitFor(L"title Bridge ready"));
  ASSERT_TRUE(
      RunScript(L"var shown = 0; KelCefWebInstance.register('show', function (p) {"
                L" shown++; document.title = 'shown ' + shown + ' ' + p.n; return {n: p.n}; });"));

  // To the renderer, through the browser's frame: a callback id as text, a
  // missing frame, a function name that is a number.
  CefRefPtr<CefFrame> frame = Browser()->GetMainFrame();
  frame->SendProcessMessage(PID_RENDERER, Message(L"CallJsFunction", [](CefListValue& a) {
                              a.SetString(0, L"show");
                              a.SetString(1, L"{\"n\":1}");
                              a.SetString(2, L"7");
                              a.SetInt(3, -1);
                            }));
  frame->SendProcessMessage(PID_RENDERER, Message(L"CallJsFunction", [](CefListValue& a) {
                              a.SetString(0, L"show");
                              a.SetString(1, L"{\"n\":2}");
                              a.SetInt(2, 7);
                            }));
  frame->SendProcessMessage(PID_RENDERER, Message(L"CallJsFunction", [](CefListValue& a) {
                              a.SetInt(0, 1);
                              a.SetString(1, L"{\"n\":3}");
                              a.SetInt(2, 7);
                              a.SetInt(3, -1);
                            }));
  // The well-formed call after them is answered, and is the only one.
  std::mutex answer_mutex;
  std::string answer;
  ASSERT_TRUE(control_->GetJsBridge()->CallJSFunction(
      L"show", L"{\"n\":4}", Browser(), -1, [&](const std::string& result) {
        std::lock_guard<std::mutex> lock(answer_mutex);
        answer = result;
      }));
  EXPECT_TRUE(events_.WaitFor(L"title shown 1 4"));
  EXPECT_TRUE(WaitUntil([&] {
    std::lock_guard<std::mutex> lock(answer_mutex);
    return answer == "{\"n\":4}";
  }));

  // To the browser, from the renderer's frame: a number for a name, a call
  // without parameters, a callback id as text, a native callback's
  // arguments swapped.
  CefRefPtr<CefBrowser> renderer_browser(standin_->renderer_get_browser(BrowserId()));
  ASSERT_TRUE(renderer_browser);
  renderer_browser->Release();  // the reference the interface gave
  std::atomic<bool> sent{false};
  ASSERT_TRUE(CefPostTask(
      TID_RENDERER, CefCreateClosureTask([&] {
        CefRefPtr<CefFrame> page = renderer_browser->GetMainFrame();
        page->SendProcessMessage(PID_BROWSER, Message(L"CallCppFunction", [](CefListValue& a) {
                                   a.SetInt(0, 5);
                                   a.SetString(1, L"{}");
                                   a.SetInt(2, 0);
                                 }));
        page->SendProcessMessage(PID_BROWSER, Message(L"CallCppFunction", [](CefListValue& a) {
                                   a.SetString(0, L"add");
                                 }));
        page->SendProcessMessage(PID_BROWSER, Message(L"CallCppFunction", [](CefListValue& a) {
                                   a.SetString(0, L"add");
                                   a.SetString(1, L"{\"a\":1,\"b\":2}");
                                   a.SetString(2, L"9");
                                 }));
        page->SendProcessMessage(PID_BROWSER, Message(L"ExecuteCppCallback", [](CefListValue& a) {
                                   a.SetInt(0, 0);
                                   a.SetString(1, L"{}");
                                 }));
        sent = true;
      })));
  ASSERT_TRUE(WaitUntil([&] { return sent.load(); }));
  CefString id(L"call");
  ASSERT_TRUE(standin_->click_element(BrowserId(), 0, id.GetStruct()));
  EXPECT_TRUE(events_.WaitFor(L"title answer 3"));
  EXPECT_EQ(native_calls.load(), 1) << "only the page's own call";
}

}  // namespace
}  // namespace kel_comp
