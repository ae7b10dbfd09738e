// The separate shadow window of a non-layered window, read back from both
// native windows: rectangles, z-order, visibility and closing.
//
// To look at it, hold the windows open and grab the display:
//   QEL_HOLD_MS=8000 wine browser_windows_tests.exe --gtest_filter=ShadowWnd*
//   xwd -root -display $DISPLAY -silent | convert xwd:- shot.png

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "browser/shadow/shadow_wnd.h"
#include "browser/shadow/shadow_wnd_base.h"
#include "tests/window/window_test_support.h"

namespace kel_comp {
namespace {

constexpr int kShadow = 14;

class MainWindow : public ShadowWndBase {
 public:
  explicit MainWindow(bool* deleted) : deleted_(deleted) {}
  ~MainWindow() override { *deleted_ = true; }
  std::wstring WindowClassName() const override { return L"QelTestShadowedWindow"; }
  std::wstring SkinFolder() override { return L"shadow_test"; }
  std::wstring SkinFile() override { return L"main.xml"; }
  using ShadowWndBase::SkinFolder;

 private:
  bool* deleted_;
};

RECT WindowRect(HWND hwnd) {
  RECT rect = {};
  GetWindowRect(hwnd, &rect);
  return rect;
}

// The shadow lies around the window by its thickness on every side.
void ExpectAround(HWND shadow, HWND window) {
  const RECT outer = WindowRect(shadow);
  const RECT inner = WindowRect(window);
  EXPECT_EQ(outer.left, inner.left - kShadow);
  EXPECT_EQ(outer.top, inner.top - kShadow);
  EXPECT_EQ(outer.right, inner.right + kShadow);
  EXPECT_EQ(outer.bottom, inner.bottom + kShadow);
}

void HoldForScreenshot() {
  if (const char* hold = std::getenv("QEL_HOLD_MS"))
    ui::test::PumpFor(static_cast<DWORD>(std::atoi(hold)));
}

TEST(ShadowWndTest, FollowsItsWindowThroughMoveActivateHideAndClose) {
  ui::test::UseShippedResources();
  bool deleted = false;
  auto* window = new MainWindow(&deleted);
  HWND hwnd = window->Create(nullptr, L"main", WS_POPUP | WS_CLIPCHILDREN, 0, /*layered=*/true,
                             {200, 150, 560, 390});
  ASSERT_TRUE(hwnd);
  EXPECT_FALSE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) << "never layered";
  ShadowWnd* shadow = window->GetShadow();
  ASSERT_TRUE(shadow && shadow->GetHWND());
  HWND shadow_hwnd = shadow->GetHWND();
  EXPECT_TRUE(GetWindowLongW(shadow_hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_FALSE(IsWindowEnabled(shadow_hwnd)) << "takes no input";
  EXPECT_FALSE(IsWindowVisible(shadow_hwnd));

  window->Show(true, true);
  ui::test::PumpFor(100);
  ASSERT_TRUE(IsWindowVisible(shadow_hwnd));
  ExpectAround(shadow_hwnd, hwnd);
  EXPECT_EQ(GetWindow(hwnd, GW_HWNDNEXT), shadow_hwnd) << "directly behind its window";
  EXPECT_EQ(GetForegroundWindow(), hwnd) << "the shadow never takes the activation";
  // Its frame: a soft band around a clear centre, which the window covers.
  const uint8_t band = ui::test::AlphaAt(*shadow, 8, 130);
  EXPECT_GT(band, 0);
  EXPECT_LT(band, 255);
  EXPECT_EQ(ui::test::AlphaAt(*shadow, 194, 134), 0);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetPixel(screen, 210, 160), RGB(0x26, 0x2A, 0x33))
      << "the window's caption on the screen";
  ReleaseDC(nullptr, screen);
  HoldForScreenshot();

  SetWindowPos(hwnd, nullptr, 320, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ui::test::PumpFor(50);
  ExpectAround(shadow_hwnd, hwnd);

  // Another window comes on top; activating ours again brings the shadow
  // back with it.
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 300, 240, 100, 100,
                               nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  ui::test::PumpFor(50);
  SetForegroundWindow(hwnd);
  ui::test::PumpFor(50);
  EXPECT_EQ(GetWindow(hwnd, GW_HWNDNEXT), shadow_hwnd);
  DestroyWindow(other);

  ShowWindow(hwnd, SW_HIDE);
  ui::test::PumpFor(50);
  EXPECT_FALSE(IsWindowVisible(shadow_hwnd));
  ShowWindow(hwnd, SW_SHOW);
  ui::test::PumpFor(50);
  EXPECT_TRUE(IsWindowVisible(shadow_hwnd));
  ExpectAround(shadow_hwnd, hwnd);

  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(deleted);
  EXPECT_TRUE(ui::test::PumpUntil([&] { return !IsWindow(shadow_hwnd); }, 3000))
      << "the shadow closes with its window";
}

// A shadow that goes first (closed on its own) is forgotten by its window,
// which then goes on handling messages.
TEST(ShadowWndTest, AWindowOutlivesItsClosedShadow) {
  ui::test::UseShippedResources();
  bool deleted = false;
  auto* window = new MainWindow(&deleted);
  HWND hwnd = window->Create(nullptr, L"main", WS_POPUP, 0, false, {200, 150, 560, 390});
  ASSERT_TRUE(hwnd);
  HWND shadow_hwnd = window->GetShadow()->GetHWND();
  DestroyWindow(shadow_hwnd);
  EXPECT_EQ(window->GetShadow(), nullptr);
  window->Show(true, false);
  SetWindowPos(hwnd, nullptr, 250, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ui::test::PumpFor(50);
  DestroyWindow(hwnd);
  EXPECT_TRUE(deleted);
}

}  // namespace
}  // namespace kel_comp
