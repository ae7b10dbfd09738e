#include "tests/runtime/browser_test_support.h"

namespace browser_test {

namespace {

LRESULT CALLBACK HolderProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

void BrowserTest::SetUp() {
  if (ServerPort() == 0)
    GTEST_SKIP() << "no local web server (QEL_WEB_PORT)";
  client_ = new RecordingClient;
  CefSettings settings;
  settings.no_sandbox = 1;
  settings.multi_threaded_message_loop = 1;
  settings.windowless_rendering_enabled = windowless_rendering_ ? 1 : 0;
  CefString(&settings.cache_path) = folder_.path() + L"cache";
  CefString(&settings.log_file) = folder_.path() + L"cef.log";
  // The demo hosts go to the local server, as on the demo platform.
  app_ = new MappingApp(L"MAP *.example 127.0.0.1:" + std::to_wstring(ServerPort()));
  ASSERT_TRUE(CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, app_, nullptr));
  probe_ = StandinProbe();

  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = &HolderProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"BrowserTestHolder";
  RegisterClassW(&window_class);
  window_ = CreateWindowExW(0, L"BrowserTestHolder", L"browser test",
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 820, 640,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window_, nullptr);
}

CefRefPtr<CefBrowser> BrowserTest::Open(const std::wstring& url) {
  CefRefPtr<CefBrowser> browser = CreateBrowser(client_, url);
  EXPECT_TRUE(browser);
  if (browser) {
    EXPECT_TRUE(test::PumpUntil(
        [&] { return !client_->Events({L"OnLoadingStateChange loading=0"}).empty(); }, 10000));
  }
  return browser;
}

void BrowserTest::LoadAndWait(const CefRefPtr<CefBrowser>& browser, const std::wstring& url) {
  client_->ClearEvents();
  browser->GetMainFrame()->LoadURL(url);
  EXPECT_TRUE(test::PumpUntil(
      [&] { return !client_->Events({L"OnLoadingStateChange loading=0"}).empty(); }, 10000))
      << url;
}

void BrowserTest::TearDown() {
  if (!window_)
    return;
  // QEL_TEST_HOLD_MS keeps the windows up a while, for a look at them.
  wchar_t hold[16] = {};
  if (GetEnvironmentVariableW(L"QEL_TEST_HOLD_MS", hold, 16))
    test::PumpFor(static_cast<DWORD>(_wtoi(hold)));
  if (window_)
    DestroyWindow(window_);
  // The browsers end with their window; the pump lets their last
  // callbacks run before the runtime goes.
  test::PumpFor(50);
  CefShutdown();
}

CefRefPtr<CefBrowser> BrowserTest::CreateBrowser(CefRefPtr<RecordingClient> client,
                                                 const std::wstring& url) {
  const size_t before = client->BrowserCount();
  CefWindowInfo info;
  RECT rect = {0, 0, 800, 600};
  info.SetAsChild(window_, rect);
  CefBrowserSettings settings;
  if (!CefBrowserHost::CreateBrowser(info, client.get(), url, settings, nullptr, nullptr))
    return nullptr;
  if (!test::PumpUntil([&] { return client->BrowserCount() > before; }, 10000))
    return nullptr;
  return client->Browser(client->BrowserCount() - 1);
}

bool BrowserTest::WaitForEvent(const CefRefPtr<RecordingClient>& client,
                               const std::wstring& event,
                               DWORD timeout_ms) {
  return test::PumpUntil([&] { return client->HasEvent(event); }, timeout_ms);
}

bool BrowserTest::WaitIdle(const CefRefPtr<CefBrowser>& browser, DWORD timeout_ms) {
  return test::PumpUntil([&] { return probe_.BrowserIdle(browser->GetIdentifier()); }, timeout_ms);
}

}  // namespace browser_test
