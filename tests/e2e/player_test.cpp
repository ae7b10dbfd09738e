// The client as a player meets it: started as a program, driven by
// synthesised mouse input, observed through its windows, the demo
// platform's request log, the screen's pixels and its exit code.

#include <gtest/gtest.h>

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include "tests/e2e/client_session.h"

namespace e2e {
namespace {

constexpr wchar_t kLauncher[] = L"Game_start";
constexpr wchar_t kLogin[] = L"Game_login";

// The launcher's skin: 960 x 600 inside a 14-pixel shadow; its close
// button is the last 46 x 40 of the caption.
constexpr int kShadow = 14;
constexpr int kLauncherWidth = 960;
POINT LauncherClose(HWND launcher) {
  return At(launcher, kShadow + kLauncherWidth - 23, kShadow + 20);
}
POINT LauncherCaption(HWND launcher) {
  return At(launcher, kShadow + 400, kShadow + 20);
}

class Screenshots : public ::testing::Environment {
 public:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    CreateDirectoryW((BuildFolder() + L"screenshots").c_str(), nullptr);
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

 private:
  ULONG_PTR token_ = 0;
};

const auto* const kScreenshots = ::testing::AddGlobalTestEnvironment(new Screenshots);

void Screenshot(HWND window, const wchar_t* name) {
  EXPECT_TRUE(SaveScreenshot(window, BuildFolder() + L"screenshots\\" + name + L".png"))
      << "screenshot";
}

class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!DemoPlatformPort())
      GTEST_SKIP() << "no demo platform: run through scripts/test (QEL_WEB_PORT unset)";
  }
};

TEST_F(PlayerTest, LauncherShowsCentredTitledAndItsCloseButtonEndsTheProgramWithZero) {
  ClientRun client;
  ASSERT_TRUE(client.started());
  HWND launcher = client.WaitVisible(kLauncher);
  ASSERT_NE(launcher, nullptr) << "no launcher";
  EXPECT_EQ(WindowText(launcher), L"Qelmora");
  const RECT rect = WindowRect(launcher);
  EXPECT_EQ(rect.right - rect.left, kLauncherWidth + 2 * kShadow);
  EXPECT_EQ(rect.bottom - rect.top, 600 + 2 * kShadow);
  // Centred on the screen (within a pixel of rounding).
  const int screen_width = GetSystemMetrics(SM_CXSCREEN);
  EXPECT_NEAR(rect.left + (rect.right - rect.left) / 2, screen_width / 2, 1);

  // The painted scene, not a blank window: the title's gold and the sky.
  Sleep(500);
  Screenshot(launcher, L"launcher");

  SetForegroundWindow(launcher);
  ClickAt(LauncherClose(launcher));
  EXPECT_EQ(client.WaitForExit(15000), 0) << "the close button ended the program with code 0";
}

TEST_F(PlayerTest, DraggingTheCaptionMovesTheLauncher) {
  ClientRun client;
  HWND launcher = client.WaitVisible(kLauncher);
  ASSERT_NE(launcher, nullptr);
  SetForegroundWindow(launcher);
  Sleep(300);
  const RECT before = WindowRect(launcher);
  const POINT from = LauncherCaption(launcher);
  DragFromTo(from, {from.x - 120, from.y + 70});
  ASSERT_TRUE(WaitUntil([&] { return WindowRect(launcher).left != before.left; }, 3000));
  const RECT after = WindowRect(launcher);
  EXPECT_EQ(after.left - before.left, -120);
  EXPECT_EQ(after.top - before.top, 70);
  EXPECT_EQ(after.right - after.left, before.right - before.left) << "size kept";
}

}  // namespace
}  // namespace e2e
