#pragma once

#include <cstdint>

#include "ui/render/geometry.h"

namespace ui {

// One stroke of an arc, for IRenderContext::DrawArc.
struct ArcStroke {
  // The box of the ellipse the arc belongs to (floating point, logical
  // coordinates).
  float x = 0;
  float y = 0;
  float width = 0;
  float height = 0;
  // Degrees; angles grow clockwise from the positive x axis, so 270 is the
  // top.
  float start_angle = 0;
  float sweep_angle = 0;
  int32_t pen_width = 1;
  UiColor color = 0;
  // Not 0: the stroke is a vertical gradient from `color` to this colour
  // over `gradient_box`, tiled beyond it, with most of the change in its
  // middle three fifths.
  UiColor gradient_color = 0;
  UiRect gradient_box;
};

}  // namespace ui
