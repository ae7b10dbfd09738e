#include "ui/render/nine_slice.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace ui {
namespace {

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// `r` shrunk by the corner sizes `n` on each side.
UiRect Inner(const UiRect& r, const UiRect& n) {
  return {Saturate(int64_t{r.left} + n.left), Saturate(int64_t{r.top} + n.top),
          Saturate(int64_t{r.right} - n.right), Saturate(int64_t{r.bottom} - n.bottom)};
}

class PieceEmitter {
 public:
  PieceEmitter(const UiRect& paint, const std::function<void(const ImagePiece&)>& visit)
      : paint_(paint), visit_(visit) {}

  void Emit(const UiRect& dest, const UiRect& source) const {
    if (dest.IsEmpty() || source.IsEmpty() || !dest.Intersects(paint_))
      return;
    visit_({dest, source});
  }

  // The tile indexes [first, last) along one axis of length `span` starting
  // at `start` with tiles of `step` that can meet [paint_from, paint_to).
  static void TileRange(int32_t start,
                        int32_t span,
                        int32_t step,
                        int32_t paint_from,
                        int32_t paint_to,
                        int64_t* first,
                        int64_t* last) {
    const int64_t count = (int64_t{span} + step - 1) / step;
    const int64_t lo = (int64_t{paint_from} - start) / step;
    const int64_t hi = (int64_t{paint_to} - start + step - 1) / step;
    *first = std::clamp<int64_t>(lo, 0, count);
    *last = std::clamp<int64_t>(hi, *first, count);
  }

 private:
  const UiRect& paint_;
  const std::function<void(const ImagePiece&)>& visit_;
};

void EmitCentre(const NineSlice& s, const PieceEmitter& out) {
  const UiRect dc = Inner(s.dest, s.corners);
  const UiRect sc = Inner(s.source, s.corners);
  if (dc.IsEmpty() || !dc.Intersects(s.paint))
    return;
  const int32_t w = sc.Width();
  const int32_t h = sc.Height();
  if (!s.tile_x && !s.tile_y) {
    out.Emit(dc, sc);
    return;
  }
  if ((s.tile_x && w <= 0) || (s.tile_y && h <= 0))
    return;

  // An untiled axis is one "tile" spanning the whole centre, stretched.
  int64_t col_first = 0, col_last = 1, row_first = 0, row_last = 1;
  if (s.tile_x) {
    PieceEmitter::TileRange(dc.left, dc.Width(), w, s.paint.left, s.paint.right, &col_first,
                            &col_last);
  }
  if (s.tile_y) {
    PieceEmitter::TileRange(dc.top, dc.Height(), h, s.paint.top, s.paint.bottom, &row_first,
                            &row_last);
  }
  for (int64_t r = row_first; r < row_last; ++r) {
    UiRect dest = dc;
    UiRect source = sc;
    if (s.tile_y) {
      dest.top = Saturate(dc.top + r * h);
      dest.bottom = std::min(Saturate(int64_t{dest.top} + h), dc.bottom);
      source.bottom = Saturate(int64_t{sc.top} + dest.Height());
    }
    for (int64_t c = col_first; c < col_last; ++c) {
      if (s.tile_x) {
        dest.left = Saturate(dc.left + c * w);
        dest.right = std::min(Saturate(int64_t{dest.left} + w), dc.right);
        source.right = Saturate(int64_t{sc.left} + dest.Width());
      }
      out.Emit(dest, source);
    }
  }
}

void EmitBorders(const NineSlice& s, const PieceEmitter& out) {
  const UiRect& d = s.dest;
  const UiRect& sr = s.source;
  const UiRect& n = s.corners;
  const UiRect di = Inner(d, n);
  const UiRect si = Inner(sr, n);
  const bool left = n.left > 0, top = n.top > 0, right = n.right > 0, bottom = n.bottom > 0;
  if (left && top)
    out.Emit({d.left, d.top, di.left, di.top}, {sr.left, sr.top, si.left, si.top});
  if (top)
    out.Emit({di.left, d.top, di.right, di.top}, {si.left, sr.top, si.right, si.top});
  if (right && top)
    out.Emit({di.right, d.top, d.right, di.top}, {si.right, sr.top, sr.right, si.top});
  if (left)
    out.Emit({d.left, di.top, di.left, di.bottom}, {sr.left, si.top, si.left, si.bottom});
  if (right)
    out.Emit({di.right, di.top, d.right, di.bottom}, {si.right, si.top, sr.right, si.bottom});
  if (left && bottom)
    out.Emit({d.left, di.bottom, di.left, d.bottom}, {sr.left, si.bottom, si.left, sr.bottom});
  if (bottom)
    out.Emit({di.left, di.bottom, di.right, d.bottom}, {si.left, si.bottom, si.right, sr.bottom});
  if (right && bottom)
    out.Emit({di.right, di.bottom, d.right, d.bottom}, {si.right, si.bottom, sr.right, sr.bottom});
}

}  // namespace

void ForEachNineSlicePiece(const NineSlice& slice,
                           const std::function<void(const ImagePiece&)>& visit) {
  if (!slice.dest.Intersects(slice.paint))
    return;
  const PieceEmitter out(slice.paint, visit);
  EmitCentre(slice, out);
  EmitBorders(slice, out);
}

}  // namespace ui
