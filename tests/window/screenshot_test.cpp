// The sample skin on the screen: caption, text and images read back from
// the display, and the shadow in the frame handed to the layered window.
//
// To look at it yourself, hold the window open and grab the display:
//   QEL_SAMPLE_HOLD_MS=8000 wine window_tests.exe --gtest_filter=ScreenshotTest.*
//   xwd -root -display $DISPLAY -silent | convert xwd:- shot.png

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "tests/window/window_test_support.h"
#include "ui/control/check_box.h"
#include "ui/control/control.h"
#include "ui/control/linear_layout.h"
#include "ui/control/option.h"
#include "ui/control/rich_edit.h"
#include "ui/control/scrollable_box.h"

namespace ui {
namespace {

constexpr int kLeft = 100;
constexpr int kTop = 100;
constexpr int kShadow = 14;
// Colours of the shipped theme the sample uses.
constexpr uint32_t kCaption = 0xFF262A33;
constexpr uint32_t kBody = 0xFFF7F7F7;
constexpr uint32_t kGold = 0xFFD9A441;
constexpr uint32_t kWhite = 0xFFFFFFFF;

uint32_t ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF color = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return 0xFF000000u | (static_cast<uint32_t>(GetRValue(color)) << 16) |
         (static_cast<uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

int Channel(uint32_t color, int shift) {
  return static_cast<int>((color >> shift) & 0xFF);
}

bool Near(uint32_t actual, uint32_t expected, int tolerance) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(Channel(actual, shift) - Channel(expected, shift)) > tolerance)
      return false;
  }
  return true;
}

class ScreenshotTest : public ::testing::Test {
 protected:
  void SetUp() override { test::UseShippedResources(); }

  // The screen position of a control's pixel.
  static POINT OnScreen(const Control* control, int dx, int dy) {
    const UiRect bounds = control->GetBounds(true);
    return {kLeft + bounds.left + dx, kTop + bounds.top + dy};
  }
};

TEST_F(ScreenshotTest, SampleSkinOnScreen) {
  // A white backdrop shows where the window ends.
  test::HostWindow backdrop;
  ASSERT_TRUE(
      backdrop.CreateWithSkin(L"<Window shadowattached=\"false\"><Box bkcolor=\"white\"/></Window>",
                              false, {40, 40, 760, 560}));
  backdrop.Show(true, false);
  test::PumpUntil([&] { return !backdrop.IsFirstPaintPending(); }, 1000);

  bool deleted = false;
  auto* window = new test::SkinnedWindow(L"window_sample", L"sample.xml", &deleted);
  HWND hwnd = window->Create(nullptr, L"Qelmora sample", WS_OVERLAPPEDWINDOW, 0, true);
  ASSERT_TRUE(hwnd);
  SetWindowPos(hwnd, HWND_TOP, kLeft, kTop, 0, 0, SWP_NOSIZE);
  window->Show(true, true);
  ASSERT_TRUE(test::PumpUntil(
      [&] { return !window->IsFirstPaintPending() && window->GetWindowAlpha() == 255; }, 2000));
  test::PumpFor(100);
  if (const char* hold = std::getenv("QEL_SAMPLE_HOLD_MS"))
    test::PumpFor(static_cast<DWORD>(std::atoi(hold)));

  RECT rect = {};
  GetWindowRect(hwnd, &rect);
  EXPECT_EQ(rect.right - rect.left, 480 + 2 * kShadow);
  EXPECT_EQ(rect.bottom - rect.top, 300 + 2 * kShadow);

  // The window reaches as far as its shadow, no farther.
  EXPECT_EQ(ScreenPixel(kLeft - 1, kTop + 50), kWhite);
  EXPECT_NE(ScreenPixel(kLeft, kTop + 50), kWhite);
  EXPECT_NE(ScreenPixel(rect.right - 1, kTop + 50), kWhite);
  EXPECT_EQ(ScreenPixel(rect.right, kTop + 50), kWhite);

  // The shadow as handed to UpdateLayeredWindow: faint at the outer edge,
  // darker towards the content, the content itself opaque.
  const int middle = (300 + 2 * kShadow) / 2;
  EXPECT_LE(test::AlphaAt(*window, 0, middle), 8);
  EXPECT_LT(test::AlphaAt(*window, 5, middle), test::AlphaAt(*window, 10, middle));
  EXPECT_GE(test::AlphaAt(*window, kShadow - 1, middle), 60);
  EXPECT_LE(test::AlphaAt(*window, kShadow - 1, middle), 100);
  EXPECT_EQ(test::AlphaAt(*window, kShadow, middle), 255);

  // Caption bar, with the content's rounded corner cut out of it.
  EXPECT_EQ(ScreenPixel(kLeft + 300, kTop + kShadow + 10), kCaption);
  EXPECT_EQ(ScreenPixel(kLeft + kShadow + 2, kTop + kShadow + 2), kCaption);
  EXPECT_NE(ScreenPixel(kLeft + kShadow, kTop + kShadow), kCaption);
  EXPECT_LT(test::AlphaAt(*window, kShadow, kShadow), 255) << "the corner pixel is shadow";
  EXPECT_EQ(test::AlphaAt(*window, kShadow + 1, kShadow + 1), 255);

  // Body, logo image (opaque centre, half-transparent rim over the body).
  EXPECT_EQ(ScreenPixel(kLeft + 400, kTop + 280), kBody);
  const Control* logo = window->FindControlByName(L"logo");
  ASSERT_TRUE(logo);
  POINT centre = OnScreen(logo, 24, 24);
  EXPECT_EQ(ScreenPixel(centre.x, centre.y), kGold);
  POINT rim = OnScreen(logo, 44, 24);
  EXPECT_TRUE(Near(ScreenPixel(rim.x, rim.y), 0xFF8E9094, 3))
      << std::hex << ScreenPixel(rim.x, rim.y);
  POINT outside = OnScreen(logo, 47, 0);
  EXPECT_EQ(ScreenPixel(outside.x, outside.y), kBody);

  const Control* swatch = window->FindControlByName(L"swatch");
  ASSERT_TRUE(swatch);
  POINT swatch_centre = OnScreen(swatch, 60, 12);
  EXPECT_EQ(ScreenPixel(swatch_centre.x, swatch_centre.y), kGold);

  // Text: the headline's glyphs in the theme's text colour, whatever face
  // the system substitutes.
  const Control* headline = window->FindControlByName(L"headline");
  ASSERT_TRUE(headline);
  const UiRect text = headline->GetBounds(true);
  int dark = 0;
  int darkest = 255;
  for (int y = text.top; y < text.bottom; ++y) {
    for (int x = text.left; x < text.right; x += 2) {
      const int green = Channel(ScreenPixel(kLeft + x, kTop + y), 8);
      darkest = std::min(darkest, green);
      dark += green < 0x80 ? 1 : 0;
    }
  }
  EXPECT_GT(dark, 40);
  EXPECT_LE(darkest, 0x40);

  // The caption's white glyphs of the close button.
  const Control* close = window->FindControlByName(L"closebtn");
  ASSERT_TRUE(close);
  int light = 0;
  for (int d = 12; d < 24; ++d) {
    POINT p = OnScreen(close, d, d);
    light += Channel(ScreenPixel(p.x, p.y), 8) > 0xC0 ? 1 : 0;
  }
  EXPECT_GE(light, 8);

  window->Close(1);
  test::PumpUntil([&] { return deleted; }, 2000);
  EXPECT_TRUE(deleted);
}

TEST_F(ScreenshotTest, ControlsSampleWorksWithMouseAndKeyboard) {
  bool deleted = false;
  auto* window = new test::SkinnedWindow(L"window_sample", L"controls.xml", &deleted);
  window->custom_controls = [](const std::wstring& name) -> Control* {
    return name == L"ScrollVBox" ? new ScrollableBox(std::make_unique<VLayout>()) : nullptr;
  };
  HWND hwnd = window->Create(nullptr, L"Qelmora settings", WS_OVERLAPPEDWINDOW, 0, true);
  ASSERT_TRUE(hwnd);
  SetWindowPos(hwnd, HWND_TOP, kLeft, kTop, 0, 0, SWP_NOSIZE);
  window->Show(true, true);
  ASSERT_TRUE(test::PumpUntil(
      [&] { return !window->IsFirstPaintPending() && window->GetWindowAlpha() == 255; }, 2000));

  auto* autologin = static_cast<CheckBox*>(window->FindControlByName(L"chk_autologin"));
  auto* medium = static_cast<Option*>(window->FindControlByName(L"opt_medium"));
  auto* high = static_cast<Option*>(window->FindControlByName(L"opt_high"));
  auto* list = static_cast<ScrollableBox*>(window->FindControlByName(L"server_list"));
  ASSERT_TRUE(autologin && medium && high && list);
  EXPECT_TRUE(medium->IsSelected());
  EXPECT_GT(list->GetScrollRange().cy, 0) << "twenty rows overflow the list";

  // Mouse on the check box and an option, keyboard on the check box.
  auto centre = [](const Control* control) {
    const UiRect b = control->GetBounds(true);
    return POINT{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
  };
  POINT p = centre(autologin);
  test::Click(hwnd, p.x, p.y);
  EXPECT_TRUE(autologin->IsSelected());
  SendMessageW(hwnd, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_FALSE(autologin->IsSelected());
  SendMessageW(hwnd, WM_KEYDOWN, VK_SPACE, 0);
  p = centre(high);
  test::Click(hwnd, p.x, p.y);
  EXPECT_TRUE(high->IsSelected());
  EXPECT_FALSE(medium->IsSelected());

  // Three wheel notches down the list.
  p = centre(list);
  POINT screen = p;
  ClientToScreen(hwnd, &screen);
  test::MouseMove(hwnd, p.x, p.y);
  for (int i = 0; i < 3; ++i) {
    SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)),
                 test::PointParam(screen.x, screen.y));
    test::PumpFor(120);
  }
  EXPECT_TRUE(test::PumpUntil([&] { return list->GetScrollPos().y == 90; }, 2000))
      << list->GetScrollPos().y;

  // The notes overflow their edit: its own bar shows, and a wheel notch
  // over the text scrolls it.
  auto* notes = static_cast<RichEdit*>(window->FindControlByName(L"notes"));
  ASSERT_TRUE(notes && notes->HasTextServices() && notes->GetVerticalScrollBar());
  EXPECT_GT(notes->GetScrollRange().cy, 30);
  EXPECT_TRUE(notes->GetVerticalScrollBar()->IsVisible());
  EXPECT_EQ(notes->GetScrollPos().y, 0) << "the notes start at their first line";
  p = centre(notes);
  screen = p;
  ClientToScreen(hwnd, &screen);
  test::MouseMove(hwnd, p.x, p.y);
  SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)),
               test::PointParam(screen.x, screen.y));
  EXPECT_TRUE(test::PumpUntil([&] { return notes->GetScrollPos().y == 30; }, 2000))
      << notes->GetScrollPos().y << " of " << notes->GetScrollRange().cy;
  test::PumpFor(100);

  // The selected check box's image: the blue box at its left.
  const Control* remember = window->FindControlByName(L"chk_remember");
  const POINT mark = OnScreen(remember, 1, 12);
  EXPECT_TRUE(Near(ScreenPixel(mark.x, mark.y), 0xFF2A7BD4, 24))
      << std::hex << ScreenPixel(mark.x, mark.y);
  if (const char* hold = std::getenv("QEL_SAMPLE_HOLD_MS"))
    test::PumpFor(static_cast<DWORD>(std::atoi(hold)));

  window->Close(1);
  test::PumpUntil([&] { return deleted; }, 2000);
  EXPECT_TRUE(deleted);
}

}  // namespace
}  // namespace ui
