#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>
#include "tests/render/render_test_support.h"

#include "ui/render/arc_stroke.h"
#include "ui/render/brush.h"
#include "ui/render/gdiplus_api.h"
#include "ui/render/gdiplus_image.h"
#include "ui/render/path.h"
#include "ui/render/pen.h"
#include "ui/render/render_context.h"
#include "ui/render/render_context_gdiplus.h"
#include "ui/render/render_factory.h"

namespace ui {
namespace {

using test::CountPixels;
using test::InkBounds;
using test::IsPremultiplied;
using test::MakeContext;
using test::PixelAt;

constexpr UiColor kRed = 0xFFFF0000;

bool HasPartialAlpha(const IRenderContext& context) {
  return CountPixels(context, {0, 0, context.Width(), context.Height()}, [](uint32_t p) {
           const uint32_t a = p >> 24;
           return a > 0 && a < 255;
         }) > 0;
}

TEST(FillColorTest, FadeScalesAlphaAndKeepsBlackBlack) {
  auto context = MakeContext(4, 4);
  context->FillColor({0, 0, 4, 4}, 0xFF000000, 128);
  EXPECT_EQ(PixelAt(*context, 1, 1), 0x80000000u);
}

TEST(FillColorTest, SolidFillsAreExactAndPremultiplied) {
  auto context = MakeContext(4, 2);
  context->FillColor({0, 0, 4, 1}, kRed, 255);
  context->FillColor({0, 1, 4, 2}, 0x80FF0000, 255);
  EXPECT_EQ(PixelAt(*context, 0, 0), kRed) << "opaque fills keep their alpha";
  const uint32_t half = PixelAt(*context, 0, 1);
  EXPECT_EQ(half >> 24, 0x80u);
  EXPECT_NEAR(static_cast<int>((half >> 16) & 0xFF), 0x80, 1);
  EXPECT_TRUE(IsPremultiplied(*context));
}

// What a plain GDI+ solid brush gives for one colour over one background.
uint32_t GdiplusOver(uint32_t background, UiColor color) {
  auto context = MakeContext(1, 1);
  *static_cast<uint32_t*>(context->Pixels()) = background;
  gdip::ScopedGraphics graphics(context->DeviceContext(), false);
  gdip::GpSolidFill* brush = nullptr;
  gdip::GdipCreateSolidFill(color, &brush);
  gdip::GdipFillRectangle(graphics.get(), brush, 0, 0, 1, 1);
  gdip::GdipDeleteBrush(brush);
  return PixelAt(*context, 0, 0);
}

TEST(FillColorTest, SolidFillsMatchAGdiplusBrush) {
  for (uint32_t background : {0x00000000u, 0xFF0000FFu, 0x80402000u}) {
    for (UiColor color : {0xFFF0F0F0u, 0xC0306090u, 0x10FF8000u, 0x80FFFFFFu}) {
      auto context = MakeContext(1, 1);
      *static_cast<uint32_t*>(context->Pixels()) = background;
      context->FillColor({0, 0, 1, 1}, color, 255);
      const uint32_t ours = PixelAt(*context, 0, 0);
      const uint32_t reference = GdiplusOver(background, color);
      for (int shift = 0; shift < 32; shift += 8) {
        EXPECT_NEAR(static_cast<int>((ours >> shift) & 0xFF),
                    static_cast<int>((reference >> shift) & 0xFF), 1)
            << std::hex << "colour " << color << " over " << background << ": " << ours << " vs "
            << reference;
      }
    }
  }
}

TEST(FillColorTest, HugeRectanglesFillWhatIsVisible) {
  auto context = MakeContext(8, 8);
  context->PushClip({2, 2, 6, 6});
  context->FillColor({INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2}, kRed, 255);
  context->PopClip();
  EXPECT_EQ(InkBounds(*context), (UiRect{2, 2, 6, 6}));
}

TEST(FillColorTest, FillsCoverExactlyTheRectangle) {
  auto context = MakeContext(10, 10);
  context->FillColor({2, 3, 7, 5}, kRed, 255);
  EXPECT_EQ(InkBounds(*context), (UiRect{2, 3, 7, 5}));
  EXPECT_EQ(CountPixels(*context, {0, 0, 10, 10}, [](uint32_t p) { return p == kRed; }), 10);
}

// Opaque colours are copied rather than blended; larger than one source
// tile in both directions, moved by the origin and cut by the clip.
TEST(FillColorTest, LargeOpaqueFillsCoverExactlyTheVisiblePart) {
  auto context = MakeContext(700, 300);
  context->FillColor({0, 0, 700, 300}, 0x40102030, 255);
  const uint32_t background = PixelAt(*context, 0, 0);
  context->SetDrawingOrigin(-37, 11);
  context->PushClip({-20, 0, 640, 250});
  context->FillColor({-50, 5, 700, 400}, kRed, 255);
  context->PopClip();
  // Logical (-20, 5)-(640, 250) is device (17, -6)-(677, 239).
  const UiRect device{17, 0, 677, 239};
  const int area = device.Width() * device.Height();
  EXPECT_EQ(CountPixels(*context, device, [](uint32_t p) { return p == kRed; }), area);
  EXPECT_EQ(CountPixels(*context, {0, 0, 700, 300}, [&](uint32_t p) { return p == background; }),
            700 * 300 - area);
}

TEST(FillColorTest, AlternatingColoursEachKeepTheirOwn) {
  auto context = MakeContext(600, 100);
  const UiColor colours[] = {kRed, 0xFF00FF00, 0x80FFFFFF, kRed, 0xFF0000FF, 0xFF00FF00};
  for (int i = 0; i < 6; ++i)
    context->FillColor({i * 100, 0, i * 100 + 100, 100}, colours[i], 255);
  EXPECT_EQ(PixelAt(*context, 50, 50), kRed);
  EXPECT_EQ(PixelAt(*context, 150, 99), 0xFF00FF00u);
  EXPECT_EQ(PixelAt(*context, 250, 0) >> 24, 0x80u);
  EXPECT_EQ(PixelAt(*context, 399, 50), kRed);
  EXPECT_EQ(PixelAt(*context, 450, 50), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(*context, 599, 50), 0xFF00FF00u);
}

TEST(FillColorTest, OpaqueAndTranslucentFillsFollowARoundClipAlike) {
  // The same clip shape, once filled with an opaque and once with a
  // translucent colour: both must colour exactly the same pixels.
  auto opaque = MakeContext(300, 200);
  auto translucent = MakeContext(300, 200);
  for (auto* context : {opaque.get(), translucent.get()}) {
    context->PushRoundClip({10, 10, 290, 190}, 60, 60);
    context->FillColor({0, 0, 300, 200}, context == opaque.get() ? kRed : 0x80FF0000, 255);
    context->PopClip();
  }
  int covered = 0;
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 300; ++x) {
      const bool in_opaque = PixelAt(*opaque, x, y) != 0;
      ASSERT_EQ(in_opaque, PixelAt(*translucent, x, y) != 0) << x << "," << y;
      covered += in_opaque ? 1 : 0;
    }
  }
  EXPECT_LT(covered, 280 * 180) << "the corners are cut";
  EXPECT_GT(covered, 270 * 170);
  EXPECT_EQ(PixelAt(*opaque, 11, 11), 0u);
  EXPECT_EQ(PixelAt(*opaque, 150, 100), kRed);
}

TEST(FillColorTest, ColourNamesResolveThroughTheColourTable) {
  test::ScopedRenderResources resources;
  resources.DefineColor(L"bk_red", kRed);
  auto context = MakeContext(4, 4);
  context->FillColor({0, 0, 2, 2}, std::wstring(L"bk_red"), 255);
  EXPECT_EQ(PixelAt(*context, 1, 1), kRed);

  context->FillColor({2, 2, 4, 4}, std::wstring(L"no_such_colour"), 255);
  EXPECT_EQ(PixelAt(*context, 3, 3), 0u) << "unknown names give 0, which draws nothing";
  EXPECT_TRUE(resources.HasColor(L"no_such_colour")) << "and are entered in the table";

  context->FillColor({2, 2, 4, 4}, std::wstring(), 255);
  EXPECT_FALSE(resources.HasColor(L"")) << "an empty name is not looked up";
}

TEST(FillColorTest, GradientRunsTopToBottomFadingOnlyTheFirstColour) {
  auto context = MakeContext(4, 100);
  context->FillColor({0, 0, 4, 100}, 0xFFFF0000, 0xFF0000FF, 128);
  const uint32_t top = PixelAt(*context, 1, 0);
  const uint32_t bottom = PixelAt(*context, 1, 99);
  EXPECT_NEAR(static_cast<int>(top >> 24), 129, 3);
  EXPECT_GT((top >> 16) & 0xFF, 0x70u);
  EXPECT_LT(top & 0xFF, 0x10u);
  EXPECT_GE(bottom >> 24, 0xFAu) << "the second colour is not faded";
  EXPECT_GT(bottom & 0xFF, 0xF0u);
  EXPECT_LT((bottom >> 16) & 0xFF, 0x10u);
  EXPECT_TRUE(IsPremultiplied(*context));
}

TEST(FillColorTest, EmptyAndInvertedRectanglesFillNothing) {
  auto context = MakeContext(10, 10);
  for (const UiRect& r : {UiRect{5, 5, 5, 9}, UiRect{8, 8, 2, 2}, UiRect{0, 9, 10, 1}}) {
    context->FillColor(r, kRed, 255);
    context->FillColor(r, kRed, 0xFF0000FF, 255);
    context->FillEllipse(r, kRed);
  }
  EXPECT_EQ(InkBounds(*context), (UiRect{}));
}

TEST(OutlineTest, DrawRectStrokesTheBorderOnly) {
  auto context = MakeContext(12, 12);
  context->DrawRect({2, 2, 9, 9}, 1, kRed);
  EXPECT_EQ(PixelAt(*context, 2, 2), kRed);
  EXPECT_EQ(PixelAt(*context, 5, 2), kRed);
  EXPECT_EQ(PixelAt(*context, 2, 5), kRed);
  EXPECT_EQ(PixelAt(*context, 5, 5), 0u);
  const UiRect ink = InkBounds(*context);
  EXPECT_EQ(ink.left, 2);
  EXPECT_EQ(ink.top, 2);
  EXPECT_GE(ink.right, 9);
  EXPECT_LE(ink.right, 10);
}

TEST(OutlineTest, PlainLinesAreNotAntiAliased) {
  auto context = MakeContext(20, 10);
  context->DrawLine(UiRect{2, 4, 15, 4}, 1, kRed);
  EXPECT_EQ(PixelAt(*context, 8, 4), kRed);
  EXPECT_FALSE(HasPartialAlpha(*context));
  EXPECT_EQ(InkBounds(*context).Height(), 1);
}

TEST(OutlineTest, EllipsesAndRoundRectsAreAntiAliasedAndPremultiplied) {
  auto context = MakeContext(40, 40);
  context->FillEllipse({0, 0, 40, 40}, kRed);
  EXPECT_EQ(PixelAt(*context, 20, 20), kRed);
  EXPECT_EQ(PixelAt(*context, 0, 0), 0u);
  EXPECT_TRUE(IsPremultiplied(*context)) << "no dark fringe";

  context->Clear();
  context->DrawEllipse({5, 5, 35, 35}, 2, 0xFF00FF00);
  EXPECT_EQ(PixelAt(*context, 20, 20), 0u) << "an outline leaves the inside alone";
  EXPECT_NE(PixelAt(*context, 20, 5) >> 24, 0u);
  EXPECT_TRUE(IsPremultiplied(*context));

  context->Clear();
  context->DrawRoundRect({2, 2, 38, 38}, {12, 12}, 1, kRed);
  EXPECT_EQ(PixelAt(*context, 2, 2), 0u) << "the corner is rounded off";
  EXPECT_NE(PixelAt(*context, 20, 2) >> 24, 0u);
  EXPECT_NE(PixelAt(*context, 38, 20) >> 24, 0u);
  EXPECT_EQ(PixelAt(*context, 20, 20), 0u);
  EXPECT_TRUE(IsPremultiplied(*context));
}

TEST(OutlineTest, StrokesFollowTheDrawingOriginAndTheClip) {
  auto context = MakeContext(30, 30);
  context->SetDrawingOrigin(-10, -10);  // logical (0, 0) is device (10, 10)
  context->PushClip({0, 0, 5, 20});     // device columns 10..14
  context->DrawRect({0, 0, 10, 10}, 1, kRed);
  context->PopClip();
  context->SetDrawingOrigin(0, 0);
  EXPECT_EQ(PixelAt(*context, 10, 10), kRed);
  EXPECT_EQ(PixelAt(*context, 14, 10), kRed);
  EXPECT_EQ(PixelAt(*context, 10, 15), kRed);
  const UiRect ink = InkBounds(*context);
  EXPECT_EQ(ink.left, 10);
  EXPECT_EQ(ink.top, 10);
  EXPECT_EQ(ink.right, 15) << "the right side is clipped away";
}

TEST(OutlineTest, StrokesObeyRoundClips) {
  auto context = MakeContext(30, 30);
  context->PushRoundClip({0, 0, 30, 30}, 20, 20);
  context->DrawRect({0, 0, 29, 29}, 1, kRed);
  context->PopClip();
  EXPECT_EQ(PixelAt(*context, 0, 0), 0u) << "the rounded corner is cut off";
  EXPECT_EQ(PixelAt(*context, 15, 0), kRed);
  EXPECT_EQ(PixelAt(*context, 0, 15), kRed);
}

TEST(OutlineTest, BottomUpContextsDrawTheRightWayUp) {
  RenderContext_GdiPlus context;
  ASSERT_TRUE(context.Resize(10, 10, false));
  context.DrawLine(UiRect{0, 1, 10, 1}, 1, kRed);  // drawn into the pixels
  context.FillColor({0, 6, 10, 7}, kRed, 255);     // drawn through the DC
  // Memory row 0 is the image's bottom row.
  const auto* rows = static_cast<const uint32_t*>(context.Pixels());
  EXPECT_EQ(rows[(9 - 1) * 10 + 5], kRed);
  EXPECT_EQ(rows[(9 - 6) * 10 + 5], kRed);
  EXPECT_EQ(rows[1 * 10 + 5], 0u);
  EXPECT_EQ(rows[6 * 10 + 5], 0u);
}

TEST(OutlineTest, InvertedOutlinesDrawNothing) {
  auto context = MakeContext(20, 20);
  context->DrawRect({15, 15, 2, 2}, 1, kRed);
  context->DrawRoundRect({15, 15, 2, 2}, {4, 4}, 1, kRed);
  context->DrawEllipse({15, 15, 2, 2}, 1, kRed);
  EXPECT_EQ(InkBounds(*context), (UiRect{}));
}

TEST(PenDrawingTest, PenLinesBeziersAndPaths) {
  RenderFactory_GdiPlus factory;
  auto pen = factory.CreatePen(0xFF0000FF, 2);
  auto context = MakeContext(40, 40);

  context->DrawLine(pen.get(), 0, 0, 39, 39);
  EXPECT_NE(PixelAt(*context, 20, 20) >> 24, 0u);
  EXPECT_TRUE(IsPremultiplied(*context));

  context->Clear();
  context->DrawBezier(pen.get(), 0, 20, 10, 0, 30, 40, 39, 20);
  EXPECT_FALSE(InkBounds(*context).IsEmpty());
  EXPECT_TRUE(IsPremultiplied(*context));

  context->Clear();
  auto path = factory.CreatePath();
  path->AddRect({5, 5, 30, 30});
  context->DrawPath(path.get(), pen.get());
  EXPECT_NE(PixelAt(*context, 5, 15) >> 24, 0u);
  EXPECT_EQ(PixelAt(*context, 15, 15), 0u);

  auto brush = factory.CreateBrush(0xFF00FF00);
  context->FillPath(path.get(), brush.get());
  EXPECT_EQ(PixelAt(*context, 15, 15), 0xFF00FF00u);

  // Null objects are ignored.
  context->Clear();
  context->DrawLine(nullptr, 0, 0, 10, 10);
  context->DrawBezier(nullptr, 0, 0, 1, 1, 2, 2, 3, 3);
  context->DrawPath(nullptr, pen.get());
  context->DrawPath(path.get(), nullptr);
  context->FillPath(path.get(), nullptr);
  context->FillPath(nullptr, brush.get());
  EXPECT_EQ(InkBounds(*context), (UiRect{}));
}

TEST(PenDrawingTest, FillPathUsesTheTextureWhenThereIsNoSolidBrush) {
  HBITMAP image = test::MakeBitmap(2, 2, [](int, int) { return 0xFF123456u; });
  RenderFactory_GdiPlus factory;
  auto brush = factory.CreateBrush(image);
  DeleteObject(image);  // the brush keeps its own copy
  auto path = factory.CreatePath();
  path->AddRect({0, 0, 8, 8});
  auto context = MakeContext(10, 10);
  context->FillPath(path.get(), brush.get());
  EXPECT_EQ(PixelAt(*context, 4, 4) & 0xFFFFFF, 0x123456u);
  EXPECT_EQ(PixelAt(*context, 9, 9), 0u);
}

TEST(ArcTest, AnArcInksOnlyItsPartOfTheRing) {
  auto context = MakeContext(60, 60);
  ArcStroke arc;
  arc.x = 10;
  arc.y = 10;
  arc.width = arc.height = 40;
  arc.pen_width = 4;
  arc.color = kRed;
  arc.start_angle = 270;  // the top, then clockwise a quarter to the right
  arc.sweep_angle = 90;
  context->DrawArc(arc);
  EXPECT_EQ(PixelAt(*context, 30, 10) >> 24, 255u) << "the top of the ring";
  EXPECT_GT(PixelAt(*context, 44, 16) >> 24, 128u) << "half way to the right";
  EXPECT_EQ(PixelAt(*context, 30, 50), 0u) << "the bottom is not swept";
  EXPECT_EQ(PixelAt(*context, 10, 30), 0u) << "the left is not swept";
  EXPECT_EQ(PixelAt(*context, 30, 30), 0u) << "the centre stays empty";
  EXPECT_TRUE(IsPremultiplied(*context));
}

// A 20 x 10 bitmap file, its left half red and its right half blue.
std::wstring WriteHalvesBitmap() {
  constexpr int kWidth = 20;
  constexpr int kHeight = 10;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof(info);
  info.biWidth = kWidth;
  info.biHeight = kHeight;
  info.biPlanes = 1;
  info.biBitCount = 32;
  std::vector<uint32_t> pixels(kWidth * kHeight);
  for (int i = 0; i < kWidth * kHeight; ++i)
    pixels[i] = (i % kWidth) < kWidth / 2 ? 0xFFFF0000 : 0xFF0000FF;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size() * 4);
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"qel_rotated_halves.bmp";
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (!out)
    return {};
  fwrite(&file, sizeof(file), 1, out);
  fwrite(&info, sizeof(info), 1, out);
  fwrite(pixels.data(), 4, pixels.size(), out);
  fclose(out);
  return path;
}

TEST(ArcTest, ARotatedImageTurnsClockwiseAboutItsCentre) {
  const std::wstring path = WriteHalvesBitmap();
  std::unique_ptr<GdiplusImage> image = GdiplusImage::Load(path);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Width(), 20);
  auto context = MakeContext(60, 60);
  context->DrawRotatedImage(*image, {20, 25, 40, 35}, {30, 30}, 90);
  // Left goes up and right goes down.
  EXPECT_EQ(PixelAt(*context, 30, 23) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(PixelAt(*context, 30, 37) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(PixelAt(*context, 22, 30), 0u) << "nothing is left where the unturned image was";
  image->Rotate(GdiplusImage::Turn::kQuarter);
  EXPECT_EQ(image->Width(), 10);
  EXPECT_FALSE(GdiplusImage::Load(path + L".missing"));
  DeleteFileW(path.c_str());
}

}  // namespace
}  // namespace ui
