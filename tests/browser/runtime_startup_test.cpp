// The manager and the application object against the stand-in runtime:
// what the runtime is asked for when the program starts.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "base/util/string_util.h"
#include "browser/bridge/cef_js_handler.h"
#include "browser/bridge/page_bridge_script.h"
#include "browser/manager/cef_manager.h"
#include "browser/manager/client_app.h"
#include "runtime/include/cef_task.h"
#include "runtime/include/wrapper/cef_closure_task.h"
#include "runtime/standin/standin_probe.h"
#include "tests/browser/fake_browser.h"
#include "tests/support/temp_folder.h"

namespace kel_comp {
namespace {

using test::WaitUntil;

// The switches the program appends to the runtime's command line, from the
// first of them on.
std::vector<std::wstring> ProgramSwitches() {
  CefRefPtr<CefCommandLine> command_line = CefCommandLine::GetGlobalCommandLine();
  if (!command_line)
    return {};
  std::vector<CefString> argv;
  command_line->GetArgv(argv);
  std::vector<std::wstring> switches(argv.begin(), argv.end());
  const auto first = std::find_if(switches.begin(), switches.end(), [](const std::wstring& s) {
    return s.rfind(L"--ppapi-flash-version", 0) == 0;
  });
  return std::vector<std::wstring>(first, switches.end());
}

const std::vector<std::wstring> kWindowedSwitches = {
    L"--ppapi-flash-version=20.0.0.228",
    L"--ppapi-flash-path=PepperFlash\\pepflashplayer.dll",
    L"--process-per-site",
    L"--enable-webgl=1",
    L"--ignore-gpu-blacklist=1",
    L"--high-dpi-support=1",
    L"--force-device-scale-factor=1",
};

class RuntimeStartupTest : public ::testing::Test {
 protected:
  void TearDown() override {
    CefManager::GetInstance()->Shutdown();
    settings_.Reset();
  }

  test::TempFolder folder_{L"qel_startup"};
  const std::wstring data_folder_ = folder_.path() + L"cef_temp\\";
  CefSettings settings_;
};

TEST_F(RuntimeStartupTest, WindowedStartupGivesTheRuntimeEverythingOnce) {
  CefManager* manager = CefManager::GetInstance();
  ASSERT_TRUE(manager->Initialize(data_folder_, settings_, /*offscreen=*/false));
  EXPECT_FALSE(manager->IsOffscreenRenderingEnabled());
  EXPECT_EQ(settings_.windowless_rendering_enabled, 0);
  EXPECT_TRUE(test::IsDirectory(data_folder_ + L"CefLocalStorage"));
  EXPECT_TRUE(test::IsFile(data_folder_ + L"cef.log"));

  StandinProbe probe;
  ASSERT_TRUE(WaitUntil([&] { return probe.WebKitInitializedCount() == 1; }));
  EXPECT_EQ(ProgramSwitches(), kWindowedSwitches) << "in order, once, nothing else after them";

  int include_defaults = -1;
  EXPECT_EQ(probe.CookieSchemes(&include_defaults), (std::vector<std::wstring>{L"http", L"https"}));
  EXPECT_EQ(include_defaults, 1);

  const auto extensions = probe.Extensions();
  ASSERT_EQ(extensions.size(), 1u) << "registered once per renderer";
  EXPECT_EQ(extensions[0].first, L"v8/extern");
  const std::string script = kbase::Utf16ToUtf8(extensions[0].second);
  EXPECT_EQ(script.size(), 581u);
  EXPECT_EQ(script, PageBridgeScript());
}

TEST_F(RuntimeStartupTest, RendererBridgeIsSharedByTheExtensionAndEveryBrowser) {
  ASSERT_TRUE(CefManager::GetInstance()->Initialize(data_folder_, settings_, false));
  StandinProbe probe;
  ASSERT_TRUE(WaitUntil([&] { return probe.WebKitInitializedCount() == 1; }));

  CefRefPtr<CefApp> application = probe.Application();
  CefRefPtr<CefV8Handler> handler = probe.ExtensionHandler(0);
  ASSERT_TRUE(application);
  ASSERT_TRUE(handler);
  auto* app = static_cast<ClientApp*>(application.get());
  const std::shared_ptr<CefJSBridge> bridge = static_cast<CefJSHandler*>(handler.get())->bridge();
  ASSERT_TRUE(bridge);

  // Browsers are created on the renderer's main thread.
  std::atomic<int> same{0};
  std::atomic<bool> done{false};
  ASSERT_TRUE(CefPostTask(TID_RENDERER, CefCreateClosureTask([&] {
                            app->OnBrowserCreated(new test::FakeBrowser(1), nullptr);
                            same += app->js_bridge() == bridge;
                            app->OnBrowserCreated(new test::FakeBrowser(2), nullptr);
                            same += app->js_bridge() == bridge;
                            done = true;
                          })));
  ASSERT_TRUE(WaitUntil([&] { return done.load(); }));
  EXPECT_EQ(same, 2);
}

// Watches the off-screen helper pop-up: the runtime's UI thread gives it a
// child, then it is closed.
struct PopupWatch {
  static inline WNDPROC original = nullptr;
  static inline DWORD child_thread = 0;

  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PARENTNOTIFY && LOWORD(wparam) == WM_CREATE)
      child_thread = GetWindowThreadProcessId(reinterpret_cast<HWND>(lparam), nullptr);
    return CallWindowProcW(original, window, message, wparam, lparam);
  }
};

BOOL CALLBACK FindHiddenStaticPopup(HWND window, LPARAM found) {
  wchar_t class_name[16] = {};
  GetClassNameW(window, class_name, 16);
  if (std::wstring(class_name) == L"Static" && !IsWindowVisible(window) &&
      (GetWindowLongPtrW(window, GWL_STYLE) & WS_POPUP)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

TEST_F(RuntimeStartupTest, OffscreenStartupAddsItsSwitchesAndHelperWindow) {
  CefManager* manager = CefManager::GetInstance();
  ASSERT_TRUE(manager->Initialize(data_folder_, settings_, /*offscreen=*/true));
  EXPECT_TRUE(manager->IsOffscreenRenderingEnabled());
  EXPECT_EQ(settings_.windowless_rendering_enabled, 1);

  std::vector<std::wstring> expected = kWindowedSwitches;
  expected.push_back(L"--disable-surfaces");
  expected.push_back(L"--enable-begin-frame-scheduling");
  EXPECT_EQ(ProgramSwitches(), expected);

  HWND popup = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindHiddenStaticPopup, reinterpret_cast<LPARAM>(&popup));
  ASSERT_NE(popup, nullptr) << "a hidden pop-up on the initialising thread";
  PopupWatch::original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(popup, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PopupWatch::Proc)));

  const ULONGLONG end = GetTickCount64() + 3000;
  while (IsWindow(popup) && GetTickCount64() < end) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&message);
    Sleep(2);
  }
  EXPECT_FALSE(IsWindow(popup)) << "closed once the child exists";
  EXPECT_EQ(PopupWatch::child_thread, StandinProbe().ThreadId(TID_UI));

  // Back to windowed browsers for whatever runs next.
  manager->Shutdown();
  settings_.Reset();
  ASSERT_TRUE(manager->Initialize(data_folder_, settings_, false));
  EXPECT_FALSE(manager->IsOffscreenRenderingEnabled());
}

}  // namespace
}  // namespace kel_comp
