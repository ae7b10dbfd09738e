// Painting: layered output with the drawn shadow, rounded content corners,
// alpha of text and images, partial repaints, sizing to content, the
// maximised shadow and the fades.

#include <gtest/gtest.h>

#include <string>

#include "tests/resources/test_files.h"
#include "tests/window/window_test_support.h"
#include "ui/control/box.h"
#include "ui/control/control.h"
#include "ui/core/global_resources.h"
#include "ui/core/timer_queue.h"
#include "ui/render/render_context.h"

namespace ui {
namespace {

constexpr int kShadow = 14;

// Trees here are disabled where they hold tab stops: the first paint gives
// the first tab stop the focus, which activates the window, and Wine takes
// two seconds to hide an activated window when no window manager runs.
class PaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseShippedResources();
    GlobalResources::DefineColor(L"pt_white", 0xFFFFFFFF);
    GlobalResources::DefineColor(L"pt_black", 0xFF000000);
  }

  // Creates, shows without activation and paints |window| from |skin|.
  static void Open(test::HostWindow* window, const std::wstring& skin, bool layered) {
    ASSERT_TRUE(window->CreateWithSkin(skin, layered, {300, 300, 350, 350}));
    ShowWindow(window->GetHWND(), SW_SHOWNOACTIVATE);
    ASSERT_TRUE(test::PumpUntil([&] { return !window->IsFirstPaintPending(); }, 1000));
    window->PaintNow();
  }

  static int Red(uint32_t pixel) { return static_cast<int>((pixel >> 16) & 0xFF); }
};

TEST_F(PaintTest, LayeredOutputHasAShadowAroundOpaqueRoundedContent) {
  test::HostWindow window;
  Open(&window,
       L"<Window size=\"200,100\"><VBox bkcolor=\"pt_white\" enabled=\"false\">"
       L"<Label text=\"WWWW\" font=\"system_bold_18\" disabledtextcolor=\"pt_black\"/>"
       L"</VBox></Window>",
       true);
  EXPECT_TRUE(dynamic_cast<ShadowBox*>(window.GetRoot()));
  ASSERT_EQ(window.GetRenderContext()->Width(), 228);
  EXPECT_FALSE(window.GetRenderContext()->IsTransparentRendering());

  // The shadow fades outwards on every side.
  for (auto [outer, inner] : {std::pair<POINT, POINT>{{0, 64}, {kShadow - 1, 64}},
                              {{227, 64}, {228 - kShadow, 64}},
                              {{114, 0}, {114, kShadow - 1}},
                              {{114, 127}, {114, 128 - kShadow}}}) {
    EXPECT_LE(test::AlphaAt(window, outer.x, outer.y), 8);
    EXPECT_GE(test::AlphaAt(window, inner.x, inner.y), 60);
    EXPECT_LT(test::AlphaAt(window, inner.x, inner.y), 255);
  }
  // The content's corners are rounded off; next to them it is opaque white.
  for (POINT corner : {POINT{kShadow, kShadow}, POINT{227 - kShadow, kShadow},
                       POINT{kShadow, 127 - kShadow}, POINT{227 - kShadow, 127 - kShadow}}) {
    EXPECT_LT(test::AlphaAt(window, corner.x, corner.y), 255);
  }
  EXPECT_EQ(test::PixelAt(window, 150, 100), 0xFFFFFFFFu);

  // Text drawn by GDI+ leaves no hole in the alpha: every pixel of the label
  // is opaque and some are dark.
  int dark = 0;
  for (int y = kShadow; y < kShadow + 20; ++y) {
    for (int x = kShadow + 4; x < kShadow + 60; ++x) {
      const uint32_t pixel = test::PixelAt(window, x, y);
      ASSERT_EQ(pixel >> 24, 0xFFu) << x << "," << y;
      dark += Red(pixel) < 0x60 ? 1 : 0;
    }
  }
  EXPECT_GT(dark, 30);
}

TEST_F(PaintTest, HalfTransparentImagesBlendOverTheContent) {
  test::TempFolder folder;
  const std::vector<test::Rgba> pixels =
      test::FilledPixels(8, 8, test::Rgba{0x00, 0x00, 0xFF, 0x80});
  folder.Write(L"pt\\half.png", test::EncodePng(8, 8, pixels));
  GlobalResources::SetResourceFolder(folder.path());
  test::HostWindow window;
  window.SetSkinFolder(L"pt");
  Open(&window,
       L"<Window size=\"40,40\"><Box bkcolor=\"pt_white\" enabled=\"false\">"
       L"<Control width=\"8\" height=\"8\" margin=\"10,10,0,0\" bkimage=\"file='half.png'\"/>"
       L"</Box></Window>",
       true);
  // Half blue over white, premultiplied and then made opaque.
  const uint32_t pixel = test::PixelAt(window, kShadow + 13, kShadow + 13);
  EXPECT_EQ(pixel >> 24, 0xFFu);
  EXPECT_NEAR(Red(pixel), 0x7F, 2);
  EXPECT_NEAR(static_cast<int>(pixel & 0xFF), 0xFF, 1);
  test::UseShippedResources();
}

TEST_F(PaintTest, WithoutAShadowTheRootIsTheSkinsAndRenderingIsTransparent) {
  test::HostWindow window;
  Open(&window,
       L"<Window shadowattached=\"false\" size=\"60,40\"><VBox name=\"skin_root\" "
       L"bkcolor=\"pt_white\"/></Window>",
       true);
  ASSERT_TRUE(window.GetRoot());
  EXPECT_EQ(window.GetRoot()->GetName(), L"skin_root");
  EXPECT_TRUE(window.GetRenderContext()->IsTransparentRendering());
  EXPECT_EQ(window.GetRenderContext()->Width(), 60);
  EXPECT_EQ(test::PixelAt(window, 0, 0), 0xFFFFFFFFu) << "no shadow, no rounding";
}

TEST_F(PaintTest, OnlyTheDamagedRectangleIsRepainted) {
  test::HostWindow window;
  Open(&window, L"<Window size=\"100,60\"><VBox bkcolor=\"pt_white\"/></Window>", true);
  auto* pixels = static_cast<uint32_t*>(window.GetRenderContext()->Pixels());
  const int width = window.GetRenderContext()->Width();
  // Marks in the shadow and in the content, far from the damage.
  pixels[2 * width + 2] = 0x12345678u;
  pixels[60 * width + 100] = 0x12345678u;
  // Only this paint, without pumping: on a loaded machine a late message
  // from the window's showing may still repaint everything.
  window.Invalidate({20, 20, 30, 30});
  UpdateWindow(window.GetHWND());
  EXPECT_EQ(pixels[2 * width + 2], 0x12345678u) << "the shadow is left alone";
  EXPECT_EQ(pixels[60 * width + 100], 0x12345678u);

  pixels[25 * width + 25] = 0x12345678u;
  window.Invalidate({20, 20, 30, 30});
  UpdateWindow(window.GetHWND());
  EXPECT_EQ(pixels[25 * width + 25], 0xFFFFFFFFu);
}

TEST_F(PaintTest, AnAutoSizedRootSizesTheWindowWithinItsLimits) {
  const wchar_t* kSkins[] = {
      L"<Window shadowattached=\"false\"><HBox width=\"auto\" height=\"auto\" enabled=\"false\">"
      L"<Control width=\"120\" height=\"40\"/><Control width=\"30\" "
      L"height=\"10\"/></HBox></Window>",
      L"<Window shadowattached=\"false\"><HBox width=\"auto\" height=\"auto\" minwidth=\"200\" "
      L"enabled=\"false\">"
      L"<Control width=\"120\" height=\"40\"/></HBox></Window>",
      L"<Window shadowattached=\"false\"><HBox width=\"auto\" height=\"auto\" maxwidth=\"100\" "
      L"maxheight=\"30\" enabled=\"false\"><Control width=\"120\" height=\"40\"/></HBox></Window>",
  };
  const SIZE kExpected[] = {{150, 40}, {200, 40}, {100, 30}};
  for (size_t i = 0; i < 3; ++i) {
    test::HostWindow window;
    Open(&window, kSkins[i], true);
    RECT rect = {};
    GetWindowRect(window.GetHWND(), &rect);
    EXPECT_EQ(rect.right - rect.left, kExpected[i].cx) << i;
    EXPECT_EQ(rect.bottom - rect.top, kExpected[i].cy) << i;
    EXPECT_EQ(window.GetRoot()->GetBounds(true).Width(), kExpected[i].cx) << i;
  }
}

TEST_F(PaintTest, AMaximisedWindowDropsItsShadowAndRestoringBringsItBack) {
  test::HostWindow window;
  Open(&window, L"<Window size=\"100,60\"><VBox name=\"content\"/></Window>", true);
  Control* content = window.FindControlByName(L"content");
  ASSERT_TRUE(content);
  EXPECT_EQ(content->GetBorderRound(), (UiSize{3, 3}));
  ShowWindow(window.GetHWND(), SW_MAXIMIZE);
  window.PaintNow();
  EXPECT_EQ(window.ShadowCorner(), (UiPadding{}));
  EXPECT_EQ(content->GetBorderRound(), (UiSize{0, 0}));
  EXPECT_EQ(content->GetBounds(true).left, 0);

  ShowWindow(window.GetHWND(), SW_RESTORE);
  window.PaintNow();
  EXPECT_EQ(window.ShadowCorner(), (UiPadding{kShadow, kShadow, kShadow, kShadow}));
  EXPECT_EQ(content->GetBorderRound(), (UiSize{3, 3}));
  EXPECT_EQ(content->GetBounds(true).left, kShadow);
  EXPECT_EQ(content->GetBounds(false).left, 0) << "bounds without the shadow";
}

TEST_F(PaintTest, TheWindowFadesInAfterItsFirstPaint) {
  test::HostWindow window;
  ASSERT_TRUE(
      window.CreateWithSkin(L"<Window size=\"60,40\"><VBox/></Window>", true, {0, 0, 60, 40}));
  EXPECT_EQ(window.GetWindowAlpha(), 255);
  ShowWindow(window.GetHWND(), SW_SHOWNOACTIVATE);
  window.PaintNow();
  EXPECT_FALSE(window.IsFirstPaintPending());
  EXPECT_LT(window.GetWindowAlpha(), 128) << "the fade has just begun";
  EXPECT_TRUE(test::PumpUntil([&] { return window.GetWindowAlpha() == 255; }, 1500));
}

// Records when and with what code WM_CLOSE arrives.
class CloseRecorder : public test::HostWindow {
 public:
  LRESULT OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message == WM_CLOSE) {
      close_tick = GetTickCount();
      close_code = wparam;
    }
    return HostWindow::OnWindowMessage(message, wparam, lparam);
  }
  DWORD close_tick = 0;
  WPARAM close_code = 0;
};

TEST_F(PaintTest, CloseFadesOutAndClosesAboutThreeHundredMillisecondsLater) {
  CloseRecorder window;
  ASSERT_TRUE(
      window.CreateWithSkin(L"<Window size=\"60,40\"><VBox/></Window>", true, {0, 0, 60, 40}));
  ShowWindow(window.GetHWND(), SW_SHOWNOACTIVATE);
  window.PaintNow();
  test::PumpUntil([&] { return window.GetWindowAlpha() == 255; }, 1500);

  const DWORD start = GetTickCount();
  window.Close(7);
  ASSERT_TRUE(test::PumpUntil([&] { return window.close_tick != 0; }, 2000));
  EXPECT_GE(window.close_tick - start, 290u);
  EXPECT_LE(window.close_tick - start, 600u);
  EXPECT_EQ(window.close_code, 7u);
  EXPECT_LT(window.GetWindowAlpha(), 255) << "faded out on the way";
  EXPECT_EQ(window.GetHWND(), nullptr);
}

TEST_F(PaintTest, ACloseOutlivedByNoWindowPostsNothing) {
  const size_t pending = TimerQueue::Instance()->pending_count();
  {
    test::HostWindow window;
    ASSERT_TRUE(
        window.CreateWithSkin(L"<Window size=\"60,40\"><VBox/></Window>", true, {0, 0, 60, 40}));
    window.Close(1);
    EXPECT_EQ(TimerQueue::Instance()->pending_count(), pending + 1);
  }
  test::PumpFor(400);
  EXPECT_EQ(TimerQueue::Instance()->pending_count(), pending);

  // Without a tree there is nothing to fade: the close is posted at once.
  CloseRecorder bare;
  ASSERT_TRUE(bare.Create(nullptr, L"bare", WS_POPUP, 0));
  bare.Close(3);
  test::PumpFor(20);
  EXPECT_EQ(bare.close_code, 3u);
}

TEST_F(PaintTest, OrdinaryWindowsCopyTheirPixelsToTheScreen) {
  GlobalResources::DefineColor(L"pt_green", 0xFF10C020);
  test::HostWindow window;
  Open(&window,
       L"<Window size=\"80,60\" shadowattached=\"false\"><VBox bkcolor=\"pt_green\"/></Window>",
       false);
  RECT rect = {};
  GetWindowRect(window.GetHWND(), &rect);
  HDC screen = GetDC(nullptr);
  const COLORREF color = GetPixel(screen, rect.left + 40, rect.top + 30);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(color, RGB(0x10, 0xC0, 0x20));
}

}  // namespace
}  // namespace ui
