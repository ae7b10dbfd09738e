#include <gtest/gtest.h>

#include "tests/render/render_test_support.h"
#include "ui/render/render_context.h"

namespace ui {
namespace {

using test::MakeBitmap;
using test::MakeContext;
using test::PixelAt;

constexpr uint32_t kTopLeft = 0xFFFF0000;
constexpr uint32_t kTopRight = 0xFF00FF00;
constexpr uint32_t kBottomLeft = 0xFF0000FF;
constexpr uint32_t kBottomRight = 0xFFFFFF00;
constexpr uint32_t kEdge = 0xFF808080;
constexpr uint32_t kCentre = 0xFF00FFFF;
constexpr UiRect kAll{-10000, -10000, 10000, 10000};

class DrawImageTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (bitmap_)
      DeleteObject(bitmap_);
  }

  // A 10x10 image with 3-pixel corners, each region its own colour.
  void MakeNineSliceImage() {
    bitmap_ = MakeBitmap(10, 10, [](int x, int y) {
      const bool left = x < 3, right = x >= 7, top = y < 3, bottom = y >= 7;
      if (left && top)
        return kTopLeft;
      if (right && top)
        return kTopRight;
      if (left && bottom)
        return kBottomLeft;
      if (right && bottom)
        return kBottomRight;
      return (left || right || top || bottom) ? kEdge : kCentre;
    });
    ASSERT_NE(bitmap_, nullptr);
  }

  void MakeUniformImage(int width, int height, uint32_t color) {
    bitmap_ = MakeBitmap(width, height, [color](int, int) { return color; });
    ASSERT_NE(bitmap_, nullptr);
  }

  HBITMAP bitmap_ = nullptr;
};

TEST_F(DrawImageTest, NineSliceCornersLandAtExactPositions) {
  MakeNineSliceImage();
  auto context = MakeContext(100, 40);
  context->DrawImage(kAll, bitmap_, true, {0, 0, 100, 40}, {0, 0, 10, 10}, {3, 3, 3, 3}, 255, false,
                     false);
  EXPECT_EQ(PixelAt(*context, 0, 0), kTopLeft);
  EXPECT_EQ(PixelAt(*context, 2, 2), kTopLeft);
  EXPECT_EQ(PixelAt(*context, 3, 0), kEdge);
  EXPECT_EQ(PixelAt(*context, 96, 2), kEdge);
  EXPECT_EQ(PixelAt(*context, 97, 0), kTopRight);
  EXPECT_EQ(PixelAt(*context, 99, 2), kTopRight);
  EXPECT_EQ(PixelAt(*context, 0, 37), kBottomLeft);
  EXPECT_EQ(PixelAt(*context, 2, 39), kBottomLeft);
  EXPECT_EQ(PixelAt(*context, 97, 37), kBottomRight);
  EXPECT_EQ(PixelAt(*context, 99, 39), kBottomRight);
  EXPECT_EQ(PixelAt(*context, 0, 36), kEdge);
  EXPECT_EQ(PixelAt(*context, 3, 3), kCentre);
  EXPECT_EQ(PixelAt(*context, 96, 36), kCentre);
  EXPECT_EQ(PixelAt(*context, 50, 20), kCentre);
}

TEST_F(DrawImageTest, NineSliceFollowsTheDrawingOrigin) {
  MakeNineSliceImage();
  auto context = MakeContext(30, 30);
  context->SetDrawingOrigin(-5, -5);
  context->DrawImage(kAll, bitmap_, true, {0, 0, 20, 20}, {0, 0, 10, 10}, {3, 3, 3, 3}, 255, false,
                     false);
  EXPECT_EQ(PixelAt(*context, 4, 4), 0u);
  EXPECT_EQ(PixelAt(*context, 5, 5), kTopLeft);
  EXPECT_EQ(PixelAt(*context, 24, 24), kBottomRight);
  EXPECT_EQ(PixelAt(*context, 25, 25), 0u);
}

TEST_F(DrawImageTest, OnlyPiecesMeetingThePaintRectangleAreDrawn) {
  MakeNineSliceImage();
  auto context = MakeContext(100, 40);
  context->DrawImage({0, 0, 3, 3}, bitmap_, true, {0, 0, 100, 40}, {0, 0, 10, 10}, {3, 3, 3, 3},
                     255, false, false);
  EXPECT_EQ(PixelAt(*context, 0, 0), kTopLeft);
  EXPECT_EQ(PixelAt(*context, 50, 20), 0u);
  EXPECT_EQ(PixelAt(*context, 99, 39), 0u);
}

// A pixel whose alpha byte says half-transparent, drawn as "no alpha".
constexpr uint32_t kHalfGrey = 0x80404040;
constexpr uint32_t kOpaqueBlue = 0xFF0000FF;

bool LooksBlended(uint32_t p) {
  // Blending 0x80404040 over opaque blue keeps the alpha opaque and mixes
  // blue in; a plain copy would keep the source bytes.
  return (p >> 24) == 0xFF && (p & 0xFF) > 0x90;
}

TEST_F(DrawImageTest, ImagesWithoutAlphaAreCopiedWhenStretchedAndBlendedWhenNot) {
  MakeUniformImage(2, 2, kHalfGrey);
  auto context = MakeContext(10, 10);
  context->FillColor({0, 0, 10, 10}, kOpaqueBlue, 255);

  context->DrawImage(kAll, bitmap_, false, {0, 0, 6, 6}, {0, 0, 2, 2}, {}, 255, false, false);
  // Stretched: StretchBlt copies the colour bytes, no blue mixed in (GDI
  // leaves the alpha byte to FixAlpha).
  EXPECT_EQ(PixelAt(*context, 3, 3) & 0xFFFFFF, kHalfGrey & 0xFFFFFF);

  context->DrawImage(kAll, bitmap_, false, {8, 8, 10, 10}, {0, 0, 2, 2}, {}, 255, false, false);
  EXPECT_TRUE(LooksBlended(PixelAt(*context, 9, 9))) << std::hex << PixelAt(*context, 9, 9);
}

TEST_F(DrawImageTest, AlphaFadeOrTransparentRenderingAlwaysBlend) {
  MakeUniformImage(2, 2, kHalfGrey);
  auto context = MakeContext(20, 10);
  context->FillColor({0, 0, 20, 10}, kOpaqueBlue, 255);
  context->DrawImage(kAll, bitmap_, true, {0, 0, 6, 6}, {0, 0, 2, 2}, {}, 255, false, false);
  EXPECT_TRUE(LooksBlended(PixelAt(*context, 3, 3)));

  context->SetTransparentRendering(true);
  context->DrawImage(kAll, bitmap_, false, {6, 0, 12, 6}, {0, 0, 2, 2}, {}, 255, false, false);
  EXPECT_TRUE(LooksBlended(PixelAt(*context, 9, 3)));
  context->SetTransparentRendering(false);

  context->DrawImage(kAll, bitmap_, false, {12, 0, 18, 6}, {0, 0, 2, 2}, {}, 254, false, false);
  EXPECT_TRUE(LooksBlended(PixelAt(*context, 15, 3)));
}

TEST_F(DrawImageTest, FadeScalesThePremultipliedPixels) {
  MakeUniformImage(1, 1, 0xFFFF0000);
  auto context = MakeContext(4, 4);
  context->DrawImage(kAll, bitmap_, true, {0, 0, 4, 4}, {0, 0, 1, 1}, {}, 128, false, false);
  const uint32_t p = PixelAt(*context, 2, 2);
  EXPECT_NEAR(static_cast<int>(p >> 24), 128, 1);
  EXPECT_EQ((p >> 16) & 0xFF, p >> 24);
  EXPECT_TRUE(test::IsPremultiplied(*context));
}

TEST_F(DrawImageTest, HorizontalTilingRepeatsTheSourceUnscaled) {
  constexpr uint32_t kColumns[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
  bitmap_ = MakeBitmap(3, 2, [&](int x, int) { return kColumns[x]; });
  auto context = MakeContext(12, 6);
  context->DrawImage(kAll, bitmap_, true, {1, 0, 9, 6}, {0, 0, 3, 2}, {}, 255, true, false);
  EXPECT_EQ(PixelAt(*context, 0, 0), 0u);
  for (int x = 1; x < 9; ++x) {
    for (int y = 0; y < 6; ++y)
      EXPECT_EQ(PixelAt(*context, x, y), kColumns[(x - 1) % 3]) << x << "," << y;
  }
  EXPECT_EQ(PixelAt(*context, 9, 0), 0u) << "the last tile is cut at the edge";
}

TEST_F(DrawImageTest, TilingBothWaysCoversTheCentreInSourceSizedTiles) {
  bitmap_ = MakeBitmap(2, 2, [](int x, int y) { return (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u; });
  auto context = MakeContext(7, 5);
  context->DrawImage(kAll, bitmap_, true, {0, 0, 7, 5}, {0, 0, 2, 2}, {}, 255, true, true);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x)
      EXPECT_EQ(PixelAt(*context, x, y), (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
  }
}

TEST_F(DrawImageTest, DegenerateInputsDrawNothing) {
  MakeNineSliceImage();
  auto context = MakeContext(20, 20);
  const auto draw = [&](HBITMAP bitmap, const UiRect& paint, const UiRect& dest,
                        const UiRect& source) {
    context->DrawImage(paint, bitmap, true, dest, source, {}, 255, false, false);
  };
  draw(nullptr, kAll, {0, 0, 20, 20}, {0, 0, 10, 10});
  draw(bitmap_, {0, 0, 0, 0}, {0, 0, 20, 20}, {0, 0, 10, 10});
  draw(bitmap_, kAll, {20, 20, 0, 0}, {0, 0, 10, 10});  // inverted: no mirror image
  draw(bitmap_, kAll, {0, 0, 20, 20}, {10, 10, 0, 0});  // inverted source
  draw(bitmap_, kAll, {0, 0, 20, 20}, {0, 0, 0, 0});
  EXPECT_EQ(test::InkBounds(*context), (UiRect{}));

  // A destination larger than anything allocatable is still just clipped:
  // the stretched centre covers the whole context.
  context->DrawImage(kAll, bitmap_, true, {-1000000, -1000000, 1000000, 1000000}, {0, 0, 10, 10},
                     {}, 255, false, false);
  EXPECT_EQ(PixelAt(*context, 10, 10), kCentre);
  // Tiles across a destination of two billion pixels: only the visible
  // ones are drawn (at 10-pixel steps from an odd start).
  context->Clear();
  context->DrawImage({0, 0, 20, 20}, bitmap_, true, {INT32_MIN / 2, 0, INT32_MAX / 2, 20},
                     {0, 0, 10, 10}, {}, 255, true, false);
  EXPECT_EQ(test::InkBounds(*context), (UiRect{0, 0, 20, 20}));
}

}  // namespace
}  // namespace ui
