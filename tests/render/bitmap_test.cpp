#include "ui/render/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>

namespace ui {
namespace {

class GdiBitmapTest : public ::testing::Test {
 protected:
  void SetUp() override { dc_ = CreateCompatibleDC(nullptr); }
  void TearDown() override { DeleteDC(dc_); }

  uint32_t& PixelOf(const GdiBitmap& bitmap, int memory_row, int x) {
    return static_cast<uint32_t*>(bitmap.Pixels())[memory_row * bitmap.Width() + x];
  }

  void Fill(GdiBitmap& bitmap, uint32_t value) {
    auto* p = static_cast<uint32_t*>(bitmap.Pixels());
    for (int i = 0; i < bitmap.Width() * bitmap.Height(); ++i)
      p[i] = value;
  }

  HDC dc_ = nullptr;
};

TEST_F(GdiBitmapTest, InitRefusesWhatCannotBeAllocated) {
  GdiBitmap bitmap;
  EXPECT_FALSE(bitmap.Init(nullptr, 4, 4, true));
  EXPECT_FALSE(bitmap.Init(dc_, 0, 4, true));
  EXPECT_FALSE(bitmap.Init(dc_, 4, -1, true));
  // 4 * 40000 * 40000 bytes does not even fit the header's size field.
  EXPECT_FALSE(bitmap.Init(dc_, 40000, 40000, true));
  EXPECT_FALSE(bitmap.Init(dc_, INT32_MAX, INT32_MAX, true));
  EXPECT_EQ(bitmap.Handle(), nullptr);
  EXPECT_EQ(bitmap.Pixels(), nullptr);
  EXPECT_EQ(bitmap.Width(), 0);
  // Operations on an empty bitmap are harmless.
  bitmap.Clear();
  bitmap.ResetPixels({0, 0, 10, 10}, 7);
  bitmap.FixAlpha({0, 0, 10, 10}, {}, 0);
}

TEST_F(GdiBitmapTest, FailedInitDropsThePreviousPixels) {
  GdiBitmap bitmap;
  ASSERT_TRUE(bitmap.Init(dc_, 8, 8, true));
  EXPECT_FALSE(bitmap.Init(dc_, -8, 8, true));
  EXPECT_EQ(bitmap.Handle(), nullptr);
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.Height(), 0);
}

TEST_F(GdiBitmapTest, ResetPixelsClampsToTheBitmapAndSetsAllFourBytes) {
  GdiBitmap bitmap;
  ASSERT_TRUE(bitmap.Init(dc_, 6, 5, true));
  bitmap.ResetPixels({-3, 3, 2, 100}, 0xAB);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool inside = x < 2 && y >= 3;
      EXPECT_EQ(PixelOf(bitmap, y, x), inside ? 0xABABABABu : 0u) << x << "," << y;
    }
  }
  bitmap.ResetPixels({4, 4, 1, 1}, 0xFF);  // inverted: nothing
  bitmap.ResetPixels({6, 0, 9, 5}, 0xFF);  // right of the bitmap: nothing
  EXPECT_EQ(PixelOf(bitmap, 0, 5), 0u);
  EXPECT_EQ(PixelOf(bitmap, 4, 4), 0u);
}

TEST_F(GdiBitmapTest, BottomUpBitmapsAreAddressedByImageRow) {
  GdiBitmap bitmap;
  ASSERT_TRUE(bitmap.Init(dc_, 2, 3, false));
  bitmap.ResetPixels({0, 0, 2, 1}, 0x11);  // image row 0 is the last memory row
  EXPECT_EQ(PixelOf(bitmap, 2, 0), 0x11111111u);
  EXPECT_EQ(PixelOf(bitmap, 0, 0), 0u);
}

TEST_F(GdiBitmapTest, FixAlphaRepairsTheCentralCrossOnly) {
  GdiBitmap bitmap;
  ASSERT_TRUE(bitmap.Init(dc_, 10, 10, true));
  Fill(bitmap, 0x00404040);
  bitmap.FixAlpha({0, 0, 10, 10}, {2, 3, 2, 3}, 0);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      const bool cross = (x >= 2 && x < 8) || (y >= 3 && y < 7);
      EXPECT_EQ(PixelOf(bitmap, y, x), cross ? 0xFF404040u : 0x00404040u) << x << "," << y;
    }
  }
}

TEST_F(GdiBitmapTest, FixAlphaHonoursTheDirtyRectangleAndTheMarker) {
  GdiBitmap bitmap;
  ASSERT_TRUE(bitmap.Init(dc_, 4, 1, true));
  PixelOf(bitmap, 0, 0) = 0x05000000;  // the marker: becomes transparent
  PixelOf(bitmap, 0, 1) = 0x80102030;  // anything else: opaque, colour kept
  PixelOf(bitmap, 0, 2) = 0x05000000;  // outside the dirty rectangle
  bitmap.FixAlpha({-5, -5, 2, 5}, {}, 0x05);
  EXPECT_EQ(PixelOf(bitmap, 0, 0), 0x00000000u);
  EXPECT_EQ(PixelOf(bitmap, 0, 1), 0xFF102030u);
  EXPECT_EQ(PixelOf(bitmap, 0, 2), 0x05000000u);
}

TEST_F(GdiBitmapTest, DetachHandsOverTheSection) {
  GdiBitmap bitmap;
  ASSERT_TRUE(bitmap.Init(dc_, 3, 3, true));
  HBITMAP section = bitmap.Detach();
  ASSERT_NE(section, nullptr);
  EXPECT_EQ(bitmap.Handle(), nullptr);
  EXPECT_EQ(bitmap.Width(), 0);
  BITMAP info = {};
  ASSERT_EQ(GetObjectW(section, sizeof(info), &info), static_cast<int>(sizeof(info)));
  EXPECT_EQ(info.bmWidth, 3);
  EXPECT_EQ(info.bmBitsPixel, 32);
  EXPECT_TRUE(DeleteObject(section));
}

}  // namespace
}  // namespace ui
