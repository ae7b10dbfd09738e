#pragma once

// What a new layout changed on screen: the area, in document pixels, where
// the pixels of two display lists of the same document can differ. Views
// repaint only that area after the document changed.

#include <optional>

#include "runtime/standin/page/layout.h"

namespace cef_standin::page {

// The union of every item of `before` and `after` that is not painted the
// same in both (position in the list, kind, box, colours, text, font,
// image, element); form controls count as changed always, since they are
// drawn from their element's state at paint time. Nullopt when everything
// may differ (the canvas colour or the page's height changed). An empty
// rectangle when nothing changed.
std::optional<Rect> ChangedArea(const LayoutResult& before, const LayoutResult& after);

}  // namespace cef_standin::page
