// The toast: its three-second close, the close button, Escape and double
// click, the button fading in on hover, and its height following the text.
//
// To look at it: QEL_HOLD_MS=2500 wine browser_windows_tests.exe
// --gtest_filter=ToastTest.ClosesByItself*, then grab the display.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "browser/toast/toast.h"
#include "tests/window/window_test_support.h"
#include "ui/control/control.h"
#include "ui/control/rich_edit.h"

namespace kel_comp {
namespace {

using ui::test::PumpFor;
using ui::test::PumpUntil;

class ToastTest : public ::testing::Test {
 protected:
  void SetUp() override { ui::test::UseShippedResources(); }
  void TearDown() override {
    // No toast of one test may reach the next.
    PumpUntil([] { return ui::test::CountWindowsOfClass(L"Toast") == 0; }, 5000);
  }

  static ui::UiPoint Centre(ui::Control* control) {
    const ui::UiRect bounds = control->GetBounds(true);
    return {bounds.left + bounds.Width() / 2, bounds.top + bounds.Height() / 2};
  }
};

TEST_F(ToastTest, ClosesByItselfAfterThreeSeconds) {
  Toast* toast = Toast::ShowToast(L"保存成功：你的设置已经生效。Settings saved.", nullptr);
  ASSERT_TRUE(toast);
  HWND hwnd = toast->GetHWND();
  const DWORD start = GetTickCount();
  EXPECT_TRUE(IsWindowVisible(hwnd));
  if (const char* hold = std::getenv("QEL_HOLD_MS"))
    PumpFor(static_cast<DWORD>(std::atoi(hold)));
  PumpFor(2500 - std::min<DWORD>(2500, GetTickCount() - start));
  EXPECT_TRUE(IsWindow(hwnd)) << "still open before three seconds";
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }, 3000));
  EXPECT_GE(GetTickCount() - start, 3000u);
}

TEST_F(ToastTest, TheCloseButtonFadesInOnHoverAndClosesAtOnceLeavingTheTimerInert) {
  Toast* toast = Toast::ShowToast(L"A message", nullptr);
  ASSERT_TRUE(toast);
  HWND hwnd = toast->GetHWND();
  ui::Control* button = toast->close_button();
  ASSERT_TRUE(button);
  UpdateWindow(hwnd);
  PumpFor(0);

  ui::test::MouseMove(hwnd, 30, 30);
  PumpFor(50);
  EXPECT_TRUE(button->IsVisible());

  // Leaving the toast hides the button again (with its fade).
  SetCursorPos(0, 0);
  SendMessageW(hwnd, WM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return !button->IsVisible(); }, 1000));

  ui::test::MouseMove(hwnd, 30, 30);
  EXPECT_TRUE(PumpUntil([&] { return button->IsVisible(); }, 1000));
  UpdateWindow(hwnd);
  PumpFor(0);
  const ui::UiPoint centre = Centre(button);
  const DWORD start = GetTickCount();
  ui::test::Click(hwnd, centre.x, centre.y);
  // Gone long before its timer: the close fade, and Wine's two seconds of
  // hiding a window that was active when no window manager runs.
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }, 2900));

  // The first toast's timer comes due while a second one is open: it does
  // nothing, and the second toast keeps its own three seconds.
  Toast* second = Toast::ShowToast(L"Second", nullptr);
  ASSERT_TRUE(second);
  HWND second_hwnd = second->GetHWND();
  PumpFor(3000 - std::min<DWORD>(3000, GetTickCount() - start) + 200);
  EXPECT_TRUE(IsWindow(second_hwnd));
  SendMessageW(second_hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(second_hwnd); }, 1000)) << "Escape closes";
}

TEST_F(ToastTest, ADoubleClickClosesIt) {
  for (UINT message : {WM_LBUTTONDBLCLK, WM_NCLBUTTONDBLCLK}) {
    Toast* toast = Toast::ShowToast(L"Double click me", nullptr);
    ASSERT_TRUE(toast);
    HWND hwnd = toast->GetHWND();
    SendMessageW(hwnd, message, 0, ui::test::PointParam(30, 30));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }, 1000)) << message;
  }
}

// The edit's height follows the text at its fixed width, and the window
// its content; a flood of text is cut, an empty text keeps one line.
TEST_F(ToastTest, TheHeightFollowsTheTextWithinItsLimits) {
  struct Shown {
    int32_t edit_height;
    int32_t window_height;
    size_t length;
  };
  auto show = [](const std::wstring& text) {
    Toast* toast = Toast::ShowToast(text, nullptr);
    EXPECT_TRUE(toast);
    if (!toast)
      return Shown{};
    RECT rect = {};
    GetWindowRect(toast->GetHWND(), &rect);
    const Shown shown = {toast->content()->GetFixedHeight(), rect.bottom - rect.top,
                         toast->content()->GetText().size()};
    SendMessageW(toast->GetHWND(), WM_KEYDOWN, VK_ESCAPE, 0);
    return shown;
  };
  const Shown one_line = show(L"Short");
  std::wstring paragraph;
  for (int i = 0; i < 12; ++i)
    paragraph += L"A longer message that wraps over several lines. ";
  const Shown wrapped = show(paragraph);
  EXPECT_GT(one_line.edit_height, 8);
  EXPECT_GE(wrapped.edit_height, 4 * one_line.edit_height);
  EXPECT_EQ(wrapped.window_height - one_line.window_height,
            wrapped.edit_height - one_line.edit_height);

  const Shown empty = show(L"");
  EXPECT_EQ(empty.length, 0u);
  EXPECT_GT(empty.edit_height, 0);
  EXPECT_LE(empty.edit_height, one_line.edit_height);

  std::wstring flood;
  while (flood.size() < 1024 * 1024)
    flood += L"flood 洪水 ";
  const DWORD start = GetTickCount();
  const Shown huge = show(flood);
  EXPECT_LT(GetTickCount() - start, 5000u);
  EXPECT_EQ(huge.length, Toast::kMaxContentLength + 1) << "cut, with an ellipsis";
  EXPECT_EQ(huge.edit_height, 420) << "the edit's maximum height";
}

}  // namespace
}  // namespace kel_comp
