#pragma once

#include <functional>

#include "ui/render/geometry.h"

namespace ui {

// One rectangle of a bitmap put down at one place of the destination.
struct ImagePiece {
  UiRect dest;
  UiRect source;

  friend bool operator==(const ImagePiece&, const ImagePiece&) = default;
};

// A nine-slice image draw: `corners` holds the corner sizes (the same in
// source and destination) on each side of `source` and `dest`.
struct NineSlice {
  UiRect paint;
  UiRect dest;
  UiRect source;
  UiRect corners;
  bool tile_x = false;
  bool tile_y = false;
};

// Calls `visit` for every piece of `slice` that meets the paint rectangle,
// in drawing order: the centre (stretched, or tiled unscaled from the
// source centre's top-left, the last tile of a row or column cut short),
// then the eight border pieces (top-left, top, top-right, left, right,
// bottom-left, bottom, bottom-right). Pieces that are empty in the
// destination or the source are left out: inverted ones would mirror.
void ForEachNineSlicePiece(const NineSlice& slice,
                           const std::function<void(const ImagePiece&)>& visit);

}  // namespace ui
