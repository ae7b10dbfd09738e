#include "ui/render/geometry.h"

#include <gtest/gtest.h>

#include <climits>

namespace ui {
namespace {

TEST(UiRectTest, EmptyAndInvertedRectanglesMeetNothing) {
  const UiRect box{0, 0, 10, 10};
  EXPECT_FALSE((UiRect{5, 5, 5, 20}).Intersects(box));    // zero width
  EXPECT_FALSE((UiRect{8, 8, 2, 2}).Intersects(box));     // inverted
  EXPECT_FALSE((UiRect{10, 0, 20, 10}).Intersects(box));  // touching edge only
  EXPECT_TRUE((UiRect{9, 9, 20, 20}).Intersects(box));
  EXPECT_TRUE((UiRect{8, 8, 2, 2}).IsEmpty());
}

TEST(UiRectTest, IntersectionAndContainsHonourExclusiveEdges) {
  EXPECT_EQ(UiRect::Intersection({0, 0, 10, 10}, {5, -5, 20, 7}), (UiRect{5, 0, 10, 7}));
  const UiRect box{0, 0, 10, 10};
  EXPECT_TRUE(box.Contains({0, 0}));
  EXPECT_TRUE(box.Contains({9, 9}));
  EXPECT_FALSE(box.Contains({10, 5}));
  EXPECT_FALSE(box.Contains({5, 10}));
}

TEST(UiRectTest, SizesOfExtremeRectanglesSaturateInsteadOfOverflowing) {
  const UiRect huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  EXPECT_EQ(huge.Width(), INT_MAX);
  EXPECT_EQ(huge.Height(), INT_MAX);
  const UiRect inverted{INT_MAX, 0, INT_MIN, 1};
  EXPECT_EQ(inverted.Width(), INT_MIN);
  EXPECT_EQ((UiRect{2, 3, 7, 11}).Deflate({1, 1, 2, 3}), (UiRect{3, 4, 5, 8}));
}

TEST(ColorTest, AlphaIsTheTopByte) {
  EXPECT_EQ(ColorAlpha(0x80FF0000u), 0x80);
  EXPECT_EQ(ColorWithAlpha(0xFF123456u, 0x10), 0x10123456u);
}

}  // namespace
}  // namespace ui
