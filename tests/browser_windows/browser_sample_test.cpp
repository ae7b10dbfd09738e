// The browser sample driven as a person drives it: real mouse input
// through the system's input queue on its toolbar, its caption and the
// page, against the stand-in runtime and the local web server; observed
// through the windows, the runtime's test interface, the window's pixels
// and the page's own text.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "browser/control/cef_control_base.h"
#include "browser/control/cef_native_control.h"
#include "browser/manager/cef_manager.h"
#include "browser/shadow/shadow_wnd.h"
#include "runtime/standin/standin_probe.h"
#include "tests/browser/main_thread_for_test.h"
#include "tests/browser_windows/sample/browser_sample_form.h"
#include "tests/e2e/client_session.h"
#include "tests/window/window_test_support.h"
#include "ui/control/check_box.h"
#include "ui/control/label.h"
#include "ui/control/rich_edit.h"

namespace {

using test::WaitUntil;

constexpr wchar_t kHomeTitle[] = L"Qelmora 浏览器示例";
constexpr wchar_t kSoundTitle[] = L"声音 · Sound";
// The page's message, 20 characters, and the reply the page shows.
constexpr wchar_t kReplyShown[] = L"答复：已显示 20 个字符";
// The page's button and link colours (#d9a441, #2a7bd4), found on the
// screen to be clicked; both lie 48 pixels from the page's left edge.
constexpr COLORREF kMessageButton = RGB(0xD9, 0xA4, 0x41);
constexpr COLORREF kSoundLink = RGB(0x2A, 0x7B, 0xD4);
constexpr int kPageInset = 48;
constexpr int kShadow = 14;

std::wstring Url(const std::wstring& path) {
  return L"http://127.0.0.1:" + std::to_wstring(e2e::DemoPlatformPort()) + path;
}

class BrowserSampleTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // One main thread for every test, never ended: the skin builder's
    // per-thread state is not safe to destroy at a thread's exit here.
    if (!main_thread_)
      main_thread_ = new test::MainThreadForTest;
    folder_ = new test::TempFolder(L"qel_browser_sample");
    settings_ = new CefSettings;
    initialized_ = kel_comp::CefManager::GetInstance()->Initialize(folder_->path() + L"cef_temp\\",
                                                                   *settings_, /*offscreen=*/false);
  }
  static void TearDownTestSuite() {
    kel_comp::CefManager::GetInstance()->Shutdown();
    delete settings_;
    delete folder_;
  }

  void SetUp() override {
    if (!e2e::DemoPlatformPort())
      GTEST_SKIP() << "no local web server (QEL_WEB_PORT): run through scripts/test";
    ASSERT_TRUE(initialized_);
    ASSERT_TRUE(probe_.available());
    // The store belongs to the UI thread: the main thread, not this one.
    ASSERT_TRUE(main_.RunAndWait([] { ui::test::UseShippedResources(); }));
    ASSERT_TRUE(main_.RunAndWait([this] {
      form_ = new BrowserSampleForm(Url(L"/sample/"), BrowserSampleForm::OnClose::kCloseOnly);
      if (!form_->Open()) {
        form_ = nullptr;
        return;
      }
      hwnd_ = form_->GetHWND();
      shadow_ = form_->GetShadow() ? form_->GetShadow()->GetHWND() : nullptr;
    }));
    ASSERT_TRUE(hwnd_);
    // Until its first paint the window has no layout: nothing to click.
    ASSERT_TRUE(WaitUntil(
        [this] { return !OnMain<bool>([this] { return form_->IsFirstPaintPending(); }); }));
    ASSERT_TRUE(WaitForTitle(kHomeTitle));
    ASSERT_TRUE(WaitUntil([this] { return probe_.BrowserIdle(BrowserId()); }));
    // Input goes where a person's would: to the window in front.
    SetForegroundWindow(hwnd_);
    ASSERT_TRUE(WaitUntil([this] { return GetForegroundWindow() == hwnd_; }));
  }

  void TearDown() override {
    main_.RunAndWait([this] {
      if (IsWindow(hwnd_))
        DestroyWindow(hwnd_);
    });
    WaitUntil([this] { return probe_.BrowserCount() == 0; }, 10000);
    WaitUntil([] { return !FindWindowW(L"Toast", nullptr); });
  }

  // Reads (or changes) the form's state on its thread.
  template <class Result>
  Result OnMain(std::function<Result()> read) {
    Result result{};
    EXPECT_TRUE(main_.RunAndWait([&] { result = read(); }));
    return result;
  }
  int BrowserId() {
    return OnMain<int>([this] {
      CefRefPtr<CefBrowser> browser = form_->browser_control()->GetHandler()->GetBrowser();
      return browser ? browser->GetIdentifier() : -1;
    });
  }
  bool IsEnabled(const wchar_t* name) {
    return OnMain<bool>([this, name] { return form_->FindControlByName(name)->IsEnabled(); });
  }
  bool IsSelected(const wchar_t* name) {
    return OnMain<bool>([this, name] {
      auto* box = dynamic_cast<ui::CheckBox*>(form_->FindControlByName(name));
      return box && box->IsSelected();
    });
  }
  std::wstring Address() {
    return OnMain<std::wstring>([this] {
      return static_cast<ui::RichEdit*>(form_->FindControlByName(L"address"))->GetText();
    });
  }
  // The screen point at (x, y) of the control's rectangle; the centre by
  // default.
  POINT ScreenPointOf(const wchar_t* name, int x = -1, int y = -1) {
    return OnMain<POINT>([&] {
      const ui::UiRect bounds = form_->FindControlByName(name)->GetBounds(true);
      POINT point = {bounds.left + (x < 0 ? bounds.Width() / 2 : x),
                     bounds.top + (y < 0 ? bounds.Height() / 2 : y)};
      ClientToScreen(hwnd_, &point);
      return point;
    });
  }
  void Click(const wchar_t* name) { e2e::ClickAt(ScreenPointOf(name)); }
  // Clicks the first band of `colour` in the page's column at kPageInset.
  bool ClickInPage(COLORREF colour) {
    const HWND page_window = probe_.BrowserWindow(BrowserId());
    std::vector<e2e::Band> bands;
    // The page's window is placed, and the page painted, a little after
    // its load: the click waits until two looks a moment apart agree.
    WaitUntil([&] {
      const RECT page = e2e::WindowRect(page_window);
      std::vector<e2e::Band> seen =
          e2e::ColourBands(page.left + kPageInset + 20, page.top, page.bottom, colour);
      const bool settled = !seen.empty() && !bands.empty() && seen.front().top == bands.front().top &&
                           seen.front().bottom == bands.front().bottom;
      bands = std::move(seen);
      if (!settled)
        Sleep(200);
      return settled;
    });
    if (bands.empty())
      return false;
    e2e::ClickAt({e2e::WindowRect(page_window).left + kPageInset + 20, bands.front().middle()});
    return true;
  }
  bool WaitForTitle(const std::wstring& title) {
    return WaitUntil([&] { return e2e::WindowText(hwnd_) == title; }, 10000);
  }
  // What the runtime and the server saw, for a failure's message.
  std::string Seen() {
    std::string seen = "window title \"";
    seen += Narrow(e2e::WindowText(hwnd_));
    seen += "\"; navigations:";
    for (const StandinProbe::Navigation& navigation : probe_.Navigations()) {
      seen += ' ';
      seen += Narrow(navigation.url);
      if (navigation.refused)
        seen += " (refused)";
    }
    seen += "; sound page requests: ";
    seen += std::to_string(log_.Count("127.0.0.1", "/sample/sound.html"));
    return seen;
  }
  static std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text)
      narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
  }
  // The window's painted pixel at a point of a control, as 0xAARRGGBB.
  uint32_t PaintedPixel(const wchar_t* name, int x, int y) {
    return OnMain<uint32_t>([&] {
      UpdateWindow(hwnd_);
      const ui::UiRect bounds = form_->FindControlByName(name)->GetBounds(true);
      return ui::test::PixelAt(*form_, bounds.left + x, bounds.top + y);
    });
  }

  static test::MainThreadForTest* main_thread_;
  static test::TempFolder* folder_;
  static CefSettings* settings_;
  static bool initialized_;

  test::MainThreadForTest& main_ = *main_thread_;
  StandinProbe probe_;
  const e2e::RequestLog log_;
  BrowserSampleForm* form_ = nullptr;
  HWND hwnd_ = nullptr;
  HWND shadow_ = nullptr;
};

test::MainThreadForTest* BrowserSampleTest::main_thread_ = nullptr;
test::TempFolder* BrowserSampleTest::folder_ = nullptr;
CefSettings* BrowserSampleTest::settings_ = nullptr;
bool BrowserSampleTest::initialized_ = false;

TEST_F(BrowserSampleTest,
       NavigatesBackAndForwardWithTheAddressShownAndTheButtonsDimmedWhenUseless) {
  EXPECT_EQ(Address(), Url(L"/sample/"));
  EXPECT_FALSE(IsEnabled(L"btn_back"));
  EXPECT_FALSE(IsEnabled(L"btn_forward"));

  ASSERT_TRUE(ClickInPage(kSoundLink));
  ASSERT_TRUE(WaitForTitle(kSoundTitle)) << Seen();
  EXPECT_TRUE(WaitUntil([&] { return Address() == Url(L"/sample/sound.html"); }));
  EXPECT_TRUE(WaitUntil([&] { return IsEnabled(L"btn_back"); }));
  EXPECT_FALSE(IsEnabled(L"btn_forward"));

  Click(L"btn_back");
  ASSERT_TRUE(WaitForTitle(kHomeTitle));
  EXPECT_TRUE(WaitUntil([&] { return IsEnabled(L"btn_forward") && !IsEnabled(L"btn_back"); }));
  EXPECT_EQ(Address(), Url(L"/sample/"));

  Click(L"btn_forward");
  ASSERT_TRUE(WaitForTitle(kSoundTitle)) << Seen();
  EXPECT_TRUE(WaitUntil([&] { return IsEnabled(L"btn_back") && !IsEnabled(L"btn_forward"); }));

  const size_t loads = log_.Count("127.0.0.1", "/sample/sound.html");
  Click(L"btn_reload");
  EXPECT_TRUE(WaitUntil([&] { return log_.Count("127.0.0.1", "/sample/sound.html") == loads + 1; }))
      << "reloaded from the server";

  // An address typed without its scheme goes where it says.
  e2e::ClickAt(ScreenPointOf(L"address"));
  ASSERT_TRUE(main_.RunAndWait(
      [&] { static_cast<ui::RichEdit*>(form_->FindControlByName(L"address"))->SetText(L""); }));
  std::vector<INPUT> keys;
  for (wchar_t c : Url(L"/page?title=Typed").substr(7)) {
    INPUT key = {};
    key.type = INPUT_KEYBOARD;
    key.ki.wScan = c;
    key.ki.dwFlags = KEYEVENTF_UNICODE;
    keys.push_back(key);
    key.ki.dwFlags |= KEYEVENTF_KEYUP;
    keys.push_back(key);
  }
  for (DWORD flags : {0ul, static_cast<unsigned long>(KEYEVENTF_KEYUP)}) {
    INPUT key = {};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_RETURN;
    key.ki.dwFlags = flags;
    keys.push_back(key);
  }
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
  EXPECT_TRUE(WaitForTitle(L"Typed"));
  EXPECT_TRUE(WaitUntil([&] { return Address() == Url(L"/page?title=Typed"); }));
}

TEST_F(BrowserSampleTest, MutesWithItsStateShownAndOpensAndClosesTheDeveloperTools) {
  ASSERT_TRUE(ClickInPage(kSoundLink));
  ASSERT_TRUE(WaitForTitle(kSoundTitle)) << Seen();
  const int id = BrowserId();
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(L"btn_mute"); }));
  EXPECT_FALSE(probe_.IsMuted(id));
  // The speaker's red cross (glyph pixel (12, 8)) is drawn only when muted.
  auto cross_shown = [&] {
    const uint32_t pixel = PaintedPixel(L"btn_mute", 8 + 12, 8 + 8);
    return ((pixel >> 16) & 0xFF) > 0xC0 && ((pixel >> 8) & 0xFF) < 0x90;
  };
  EXPECT_FALSE(cross_shown());

  Click(L"btn_mute");
  EXPECT_TRUE(WaitUntil([&] { return probe_.IsMuted(id); }));
  EXPECT_TRUE(IsSelected(L"btn_mute"));
  EXPECT_TRUE(WaitUntil(cross_shown));
  Click(L"btn_mute");
  EXPECT_TRUE(WaitUntil([&] { return !probe_.IsMuted(id); }));
  EXPECT_FALSE(IsSelected(L"btn_mute"));
  EXPECT_TRUE(WaitUntil([&] { return !cross_shown(); }));

  Click(L"btn_devtools");
  HWND devtools = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (devtools = FindWindowW(nullptr, L"cef_devtools")); }));
  const RECT rect = e2e::WindowRect(devtools);
  EXPECT_EQ(rect.right - rect.left, kel_comp::CefNativeControl::kDevToolsWidth);
  EXPECT_EQ(rect.bottom - rect.top, kel_comp::CefNativeControl::kDevToolsHeight);
  EXPECT_TRUE(WaitUntil([&] { return probe_.HasDevTools(id); }));
  EXPECT_TRUE(IsSelected(L"btn_devtools"));

  // Back to the sample, whose button closes them again.
  SetForegroundWindow(hwnd_);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == hwnd_; }));
  Click(L"btn_devtools");
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(devtools); }));
  EXPECT_FALSE(probe_.HasDevTools(id));
  EXPECT_FALSE(IsSelected(L"btn_devtools"));
}

TEST_F(BrowserSampleTest, ThePageShowsAToastOwnedByTheWindowAndReadsTheReply) {
  ASSERT_TRUE(ClickInPage(kMessageButton));
  HWND toast = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    toast = FindWindowW(L"Toast", nullptr);
    return toast && IsWindowVisible(toast);
  }));
  EXPECT_EQ(GetWindow(toast, GW_OWNER), hwnd_);
  // A picture for people, once the toast has faded in.
  Sleep(500);
  CreateDirectoryW((e2e::BuildFolder() + L"screenshots").c_str(), nullptr);
  e2e::SaveScreenshot(shadow_, e2e::BuildFolder() + L"screenshots\\browser_sample.png");
  // The page's own text, copied into its title, which the window shows.
  EXPECT_TRUE(WaitUntil([&] {
    probe_.RunScript(BrowserId(),
                     L"document.title = document.getElementById('reply').textContent;");
    return e2e::WindowText(hwnd_) == kReplyShown;
  }));
  EXPECT_EQ(
      OnMain<std::wstring>([this] {
        return static_cast<ui::LabelTemplate<ui::Control>*>(form_->FindControlByName(L"title"))
            ->GetText();
      }),
      kReplyShown);
}

TEST_F(BrowserSampleTest, TheShadowFollowsADragAndTheCloseButtonClosesEverything) {
  const RECT before = e2e::WindowRect(hwnd_);
  const POINT grip = ScreenPointOf(L"caption_bar", 400, 18);
  e2e::DragFromTo(grip, {grip.x + 120, grip.y + 70});
  RECT after = {};
  EXPECT_TRUE(WaitUntil([&] {
    after = e2e::WindowRect(hwnd_);
    return after.left == before.left + 120 && after.top == before.top + 70;
  })) << "moved to "
      << after.left << ", " << after.top;
  EXPECT_TRUE(WaitUntil([&] {
    const RECT shadow = e2e::WindowRect(shadow_);
    return shadow.left == after.left - kShadow && shadow.top == after.top - kShadow &&
           shadow.right == after.right + kShadow && shadow.bottom == after.bottom + kShadow;
  }));
  EXPECT_TRUE(IsWindowVisible(shadow_));
  EXPECT_TRUE(e2e::IsAbove(hwnd_, shadow_));

  Click(L"closebtn");
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(hwnd_); }));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(shadow_); }));
  EXPECT_TRUE(WaitUntil([&] { return probe_.BrowserCount() == 0; }, 10000));
}

// The program a person starts: it opens the address given, keeps the
// runtime's switches out of it, and ends with exit code 0 on its close
// button once its browser has closed.
TEST(BrowserSampleProgramTest, OpensTheGivenAddressAndEndsCleanlyOnClose) {
  if (!e2e::DemoPlatformPort())
    GTEST_SKIP() << "no local web server (QEL_WEB_PORT): run through scripts/test";
  e2e::ClientRun run(L"\"" + Url(L"/page?title=Given") + L"\"", L"browser_sample.exe");
  ASSERT_TRUE(run.started());
  HWND window = run.WaitVisible(BrowserSampleForm::kClassName);
  ASSERT_TRUE(window);
  EXPECT_TRUE(WaitUntil([&] { return e2e::WindowText(window) == L"Given"; }, 20000));
  SetForegroundWindow(window);
  // Painted (and so laid out) once its caption has its colour; the close
  // button is the caption's last 46 pixels, inside the frame.
  const RECT rect = e2e::WindowRect(window);
  const POINT caption = {rect.left + 300, rect.top + 18};
  EXPECT_TRUE(WaitUntil([&] { return e2e::ScreenPixel(caption) == RGB(0x14, 0x18, 0x21); }));
  e2e::ClickAt({rect.right - 1 - 23, rect.top + 18});
  EXPECT_EQ(run.WaitForExit(15000), 0);
}

}  // namespace
