#pragma once

#include <cstddef>

#include "ui/render/geometry.h"

namespace ui {

class Control;

// The window's layout pass. A root that asks to be arranged gets |client|
// and lays out the whole tree; otherwise every visible control that asks
// to be arranged is given its current bounds again, which makes a box lay
// out its subtree. Returns how many controls were given bounds by the pass
// itself (their subtrees not counted).
size_t RunLayoutPass(Control* root, const UiRect& client);

}  // namespace ui
