#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

// Value types shared by rendering, layout and controls. Portable on purpose:
// nothing here needs the Windows headers.

namespace ui {

// 32-bit ARGB, alpha in the top byte. 0 means "no colour" and is never drawn.
using UiColor = uint32_t;

constexpr uint8_t ColorAlpha(UiColor color) {
  return static_cast<uint8_t>(color >> 24);
}
constexpr UiColor ColorWithAlpha(UiColor color, uint8_t alpha) {
  return (color & 0x00FFFFFFu) | (static_cast<UiColor>(alpha) << 24);
}

struct UiPoint {
  int32_t x = 0;
  int32_t y = 0;

  friend constexpr bool operator==(const UiPoint&, const UiPoint&) = default;
};

struct UiSize {
  int32_t cx = 0;
  int32_t cy = 0;

  friend constexpr bool operator==(const UiSize&, const UiSize&) = default;
};

// Margins, paddings and border sizes: one value per side.
struct UiPadding {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  friend constexpr bool operator==(const UiPadding&, const UiPadding&) = default;
};

// Right and bottom are exclusive. A rectangle whose right is not past its
// left (or bottom past top) is empty; such "inverted" rectangles are kept
// as they are, never normalised.
struct UiRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  // Saturating, so that extreme coordinates cannot overflow.
  constexpr int32_t Width() const { return Clamp32(int64_t{right} - left); }
  constexpr int32_t Height() const { return Clamp32(int64_t{bottom} - top); }
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }

  constexpr bool Contains(UiPoint p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }

  // True when both are non-empty and share at least one pixel.
  constexpr bool Intersects(const UiRect& other) const {
    return !Intersection(*this, other).IsEmpty();
  }

  // The overlap; empty (not necessarily zero) when there is none.
  static constexpr UiRect Intersection(const UiRect& a, const UiRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
  }

  constexpr UiRect Offset(int32_t dx, int32_t dy) const {
    return {left + dx, top + dy, right + dx, bottom + dy};
  }

  constexpr UiRect Deflate(const UiPadding& p) const {
    return {left + p.left, top + p.top, right - p.right, bottom - p.bottom};
  }

  friend constexpr bool operator==(const UiRect&, const UiRect&) = default;

 private:
  static constexpr int32_t Clamp32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
  }
};

}  // namespace ui
