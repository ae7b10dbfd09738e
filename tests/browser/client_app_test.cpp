#include "browser/manager/client_app.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/browser/fake_browser.h"

namespace kel_comp {
namespace {

std::vector<std::wstring> Argv(CefRefPtr<CefCommandLine> command_line) {
  std::vector<CefString> argv;
  command_line->GetArgv(argv);
  return std::vector<std::wstring>(argv.begin(), argv.end());
}

CefRefPtr<CefCommandLine> ProgramCommandLine() {
  CefRefPtr<CefCommandLine> command_line = CefCommandLine::CreateCommandLine();
  command_line->InitFromString(L"Qelmora.exe --type=renderer --lang=zh-CN");
  return command_line;
}

TEST(ClientAppTest, SubProcessCommandLinesAreLeftAlone) {
  CefRefPtr<ClientApp> app = new ClientApp;
  for (const wchar_t* type : {L"renderer", L"gpu-process", L"utility"}) {
    CefRefPtr<CefCommandLine> command_line = ProgramCommandLine();
    const std::vector<std::wstring> before = Argv(command_line);
    app->OnBeforeCommandLineProcessing(type, command_line);
    EXPECT_EQ(Argv(command_line), before) << type;
  }
}

TEST(ClientAppTest, BrowserProcessGetsTheSwitchesInOrder) {
  CefRefPtr<ClientApp> app = new ClientApp;
  CefRefPtr<CefCommandLine> command_line = CefCommandLine::CreateCommandLine();
  command_line->InitFromString(L"Qelmora.exe");
  app->OnBeforeCommandLineProcessing(CefString(), command_line);

  const std::vector<std::wstring> expected = {
      L"Qelmora.exe",
      L"--ppapi-flash-version=20.0.0.228",
      L"--ppapi-flash-path=PepperFlash\\pepflashplayer.dll",
      L"--process-per-site",
      L"--enable-webgl=1",
      L"--ignore-gpu-blacklist=1",
      L"--high-dpi-support=1",
      L"--force-device-scale-factor=1",
  };
  const std::vector<std::wstring> argv = Argv(command_line);
  ASSERT_GE(argv.size(), expected.size());
  EXPECT_EQ(std::vector<std::wstring>(argv.begin(), argv.begin() + expected.size()), expected);
  EXPECT_FALSE(command_line->HasArguments());
}

TEST(ClientAppTest, HttpAndHttpsAreCookieable) {
  CefRefPtr<ClientApp> app = new ClientApp;
  app->OnRegisterCustomSchemes(nullptr);
  ASSERT_EQ(app->cookieable_schemes().size(), 2u);
  EXPECT_EQ(app->cookieable_schemes()[0], L"http");
  EXPECT_EQ(app->cookieable_schemes()[1], L"https");
  EXPECT_EQ(app->GetBrowserProcessHandler().get(), app.get());
  EXPECT_EQ(app->GetRenderProcessHandler().get(), app.get());
  EXPECT_FALSE(app->GetResourceBundleHandler());
}

TEST(ClientAppTest, EveryBrowserOfTheRendererSharesOneBridge) {
  CefRefPtr<ClientApp> app = new ClientApp;
  EXPECT_FALSE(app->js_bridge());
  app->OnBrowserCreated(new test::FakeBrowser(1), nullptr);
  const std::shared_ptr<CefJSBridge> bridge = app->js_bridge();
  ASSERT_TRUE(bridge);
  app->OnBrowserCreated(new test::FakeBrowser(2), nullptr);
  EXPECT_EQ(app->js_bridge(), bridge);
  // Outside a renderer the runtime refuses the extension; the bridge stays.
  app->OnWebKitInitialized();
  EXPECT_EQ(app->js_bridge(), bridge);
}

// (editable node given, expected message: -1 none, 0 false, 1 true)
struct FocusStep {
  int node;  // -1: no node, 0: not editable, 1: editable
  int sent;  // -1: nothing sent, else the value sent
};

TEST(ClientAppTest, FocusChangesAreReportedOnlyWhenEditabilityChanges) {
  CefRefPtr<ClientApp> app = new ClientApp;
  CefRefPtr<test::FakeBrowser> browser = new test::FakeBrowser(7);
  const FocusStep kSteps[] = {
      {0, -1},           // starts as not editable
      {-1, -1}, {1, 1},  // into a text field
      {1, -1},           // to another text field
      {-1, 0},           // focus gone
      {0, -1},  {1, 1}, {0, 0},
  };
  size_t expected_count = 0;
  for (const FocusStep& step : kSteps) {
    CefRefPtr<CefDOMNode> node = step.node < 0 ? nullptr : new test::FakeNode(step.node == 1);
    app->OnFocusedNodeChanged(browser, browser->main_frame, node);
    auto& sent = browser->main_frame->sent;
    if (step.sent < 0) {
      ASSERT_EQ(sent.size(), expected_count);
      continue;
    }
    ASSERT_EQ(sent.size(), ++expected_count);
    EXPECT_EQ(sent.back().target, PID_BROWSER);
    EXPECT_EQ(sent.back().message->GetName().ToWString(), L"FocusedNodeChanged");
    CefRefPtr<CefListValue> arguments = sent.back().message->GetArgumentList();
    EXPECT_EQ(arguments->GetSize(), 1u);
    EXPECT_EQ(arguments->GetType(0), VTYPE_BOOL);
    EXPECT_EQ(arguments->GetBool(0), step.sent == 1);
  }
}

TEST(ClientAppTest, FocusChangeWithoutBrowserDoesNotCrash) {
  CefRefPtr<ClientApp> app = new ClientApp;
  app->OnFocusedNodeChanged(nullptr, nullptr, new test::FakeNode(true));
  CefRefPtr<test::FakeBrowser> browser = new test::FakeBrowser(1);
  app->OnFocusedNodeChanged(browser, nullptr, new test::FakeNode(true));
  EXPECT_TRUE(browser->main_frame->sent.empty()) << "the change was taken already";
}

}  // namespace
}  // namespace kel_comp
