#pragma once

#include "ui/control/layout.h"

namespace ui {

// Children side by side: fixed widths first, what is left shared by the
// stretched children (the first ones get the remainder pixels).
class HLayout : public Layout {
 public:
  UiSize ArrangeChildren(const std::vector<Control*>& children, const UiRect& rect) override;
  UiSize MeasureChildren(const std::vector<Control*>& children, UiSize available) override;
};

// Children one below the other, sharing the height the same way.
class VLayout : public Layout {
 public:
  UiSize ArrangeChildren(const std::vector<Control*>& children, const UiRect& rect) override;
  UiSize MeasureChildren(const std::vector<Control*>& children, UiSize available) override;
};

}  // namespace ui
