#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/include/internal/cef_types_wrappers.h"

namespace cef_standin {

// A frame a renderer view painted, on its way to the browser process:
// 32-bit BGRA pixels with alpha 255, rows from the top, shared read-only
// by whoever still shows it.
struct PaintedFrame {
  std::shared_ptr<const std::vector<uint32_t>> pixels;
  int width = 0;
  int height = 0;
  // What changed since the view's frame before, in the frame's pixels.
  CefRect dirty;
};

// The pixel at (x, y) of `width` x `height` pixels; false outside them or
// when `pixels` holds fewer.
inline bool FramePixelOf(const std::vector<uint32_t>* pixels,
                         int width,
                         int height,
                         int x,
                         int y,
                         uint32_t* pixel) {
  if (!pixels || x < 0 || y < 0 || x >= width || y >= height ||
      pixels->size() < static_cast<size_t>(width) * static_cast<size_t>(height))
    return false;
  if (pixel)
    *pixel =
        (*pixels)[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  return true;
}

// The view's pop-up widget (an open <select> list) appeared, moved or went.
struct PopupChange {
  bool shown = false;
  // In view coordinates; empty when not shown.
  CefRect rect;
};

}  // namespace cef_standin
