#include "ui/render/nine_slice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace ui {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<ImagePiece> Pieces(const NineSlice& slice) {
  std::vector<ImagePiece> pieces;
  ForEachNineSlicePiece(slice, [&](const ImagePiece& p) { pieces.push_back(p); });
  return pieces;
}

constexpr UiRect kEverywhere{-100000, -100000, 100000, 100000};

TEST(NineSliceTest, NoCornersStretchesTheWholeSourceOntoTheWholeDestination) {
  const auto pieces = Pieces({kEverywhere, {5, 6, 105, 46}, {0, 0, 10, 10}, {}, false, false});
  EXPECT_THAT(pieces, ElementsAre(ImagePiece{{5, 6, 105, 46}, {0, 0, 10, 10}}));
}

TEST(NineSliceTest, CornersKeepTheirSizeAndTheCentreStretchesInDrawingOrder) {
  // A 10x10 source with 3-pixel corners into 100x40.
  const auto pieces = Pieces({kEverywhere, {0, 0, 100, 40}, {0, 0, 10, 10}, {3, 3, 3, 3}});
  EXPECT_THAT(pieces, ElementsAre(ImagePiece{{3, 3, 97, 37}, {3, 3, 7, 7}},     // centre
                                  ImagePiece{{0, 0, 3, 3}, {0, 0, 3, 3}},       // top-left
                                  ImagePiece{{3, 0, 97, 3}, {3, 0, 7, 3}},      // top
                                  ImagePiece{{97, 0, 100, 3}, {7, 0, 10, 3}},   // top-right
                                  ImagePiece{{0, 3, 3, 37}, {0, 3, 3, 7}},      // left
                                  ImagePiece{{97, 3, 100, 37}, {7, 3, 10, 7}},  // right
                                  ImagePiece{{0, 37, 3, 40}, {0, 7, 3, 10}},    // bottom-left
                                  ImagePiece{{3, 37, 97, 40}, {3, 7, 7, 10}},   // bottom
                                  ImagePiece{{97, 37, 100, 40}, {7, 7, 10, 10}}));
}

TEST(NineSliceTest, OneSidedCornersDrawOnlyTheirEdge) {
  const auto pieces = Pieces({kEverywhere, {0, 0, 50, 20}, {0, 0, 10, 10}, {0, 4, 0, 0}});
  EXPECT_THAT(pieces, ElementsAre(ImagePiece{{0, 4, 50, 20}, {0, 4, 10, 10}},
                                  ImagePiece{{0, 0, 50, 4}, {0, 0, 10, 4}}));
}

TEST(NineSliceTest, HorizontalTilesAreUnscaledAndTheLastIsCut) {
  // Source centre 10 wide, destination centre 25 wide at x = 100.
  const auto pieces = Pieces({kEverywhere, {100, 0, 125, 30}, {0, 0, 10, 8}, {}, true, false});
  EXPECT_THAT(pieces, ElementsAre(ImagePiece{{100, 0, 110, 30}, {0, 0, 10, 8}},
                                  ImagePiece{{110, 0, 120, 30}, {0, 0, 10, 8}},
                                  ImagePiece{{120, 0, 125, 30}, {0, 0, 5, 8}}));
}

TEST(NineSliceTest, VerticalTilesSpanTheCentreWidth) {
  const auto pieces = Pieces({kEverywhere, {0, 0, 40, 15}, {0, 0, 8, 6}, {}, false, true});
  EXPECT_THAT(pieces, ElementsAre(ImagePiece{{0, 0, 40, 6}, {0, 0, 8, 6}},
                                  ImagePiece{{0, 6, 40, 12}, {0, 0, 8, 6}},
                                  ImagePiece{{0, 12, 40, 15}, {0, 0, 8, 3}}));
}

TEST(NineSliceTest, TilingBothWaysGoesRowByRowFromTheSourceCentreCorner) {
  // Corners of 1 around a 2x2 source centre at (1, 1).
  const auto pieces = Pieces({kEverywhere, {0, 0, 7, 6}, {0, 0, 4, 4}, {1, 1, 1, 1}, true, true});
  ASSERT_GE(pieces.size(), 6u);
  // Centre 5x4 in 2x2 tiles: 3 columns x 2 rows, the last column 1 wide.
  EXPECT_THAT(
      std::vector<ImagePiece>(pieces.begin(), pieces.begin() + 6),
      ElementsAre(ImagePiece{{1, 1, 3, 3}, {1, 1, 3, 3}}, ImagePiece{{3, 1, 5, 3}, {1, 1, 3, 3}},
                  ImagePiece{{5, 1, 6, 3}, {1, 1, 2, 3}}, ImagePiece{{1, 3, 3, 5}, {1, 1, 3, 3}},
                  ImagePiece{{3, 3, 5, 5}, {1, 1, 3, 3}}, ImagePiece{{5, 3, 6, 5}, {1, 1, 2, 3}}));
}

TEST(NineSliceTest, OnlyPiecesMeetingThePaintRectangleAreDrawn) {
  // Paint only the right edge: of the centre's 24 tiles only the last (cut
  // to 2 columns) meets it, and of the borders only those reaching x >= 95.
  const auto pieces =
      Pieces({{95, 0, 100, 40}, {0, 0, 100, 40}, {0, 0, 10, 10}, {3, 3, 3, 3}, true, false});
  EXPECT_THAT(pieces, ElementsAre(ImagePiece{{95, 3, 97, 37}, {3, 3, 5, 7}},
                                  ImagePiece{{3, 0, 97, 3}, {3, 0, 7, 3}},
                                  ImagePiece{{97, 0, 100, 3}, {7, 0, 10, 3}},
                                  ImagePiece{{97, 3, 100, 37}, {7, 3, 10, 7}},
                                  ImagePiece{{3, 37, 97, 40}, {3, 7, 7, 10}},
                                  ImagePiece{{97, 37, 100, 40}, {7, 7, 10, 10}}));
  EXPECT_THAT(Pieces({{200, 0, 300, 40}, {0, 0, 100, 40}, {0, 0, 10, 10}, {}}), IsEmpty());
}

TEST(NineSliceTest, DegenerateInputsDrawNothingRatherThanMirroring) {
  // Inverted destination.
  EXPECT_THAT(Pieces({kEverywhere, {50, 50, 0, 0}, {0, 0, 10, 10}, {}}), IsEmpty());
  // Corners larger than the destination: the centre and edges would invert.
  const auto pieces = Pieces({kEverywhere, {0, 0, 4, 4}, {0, 0, 10, 10}, {3, 3, 3, 3}});
  for (const auto& p : pieces) {
    EXPECT_FALSE(p.dest.IsEmpty());
    EXPECT_FALSE(p.source.IsEmpty());
  }
  // Tiling from an empty source centre draws no centre (and does not loop);
  // the edges have no source either, so only the four corners remain.
  EXPECT_THAT(
      Pieces({kEverywhere, {0, 0, 100, 100}, {0, 0, 6, 6}, {3, 3, 3, 3}, true, true}),
      ElementsAre(ImagePiece{{0, 0, 3, 3}, {0, 0, 3, 3}}, ImagePiece{{97, 0, 100, 3}, {3, 0, 6, 3}},
                  ImagePiece{{0, 97, 3, 100}, {0, 3, 3, 6}},
                  ImagePiece{{97, 97, 100, 100}, {3, 3, 6, 6}}));
}

TEST(NineSliceTest, HugeDestinationsTileOnlyWhereThePaintRectangleIs) {
  const auto pieces =
      Pieces({{0, 0, 20, 1}, {INT32_MIN / 2, 0, INT32_MAX / 2, 1}, {0, 0, 1, 1}, {}, true, false});
  EXPECT_EQ(pieces.size(), 20u);
  EXPECT_EQ(pieces.front().dest, (UiRect{0, 0, 1, 1}));
}

}  // namespace
}  // namespace ui
