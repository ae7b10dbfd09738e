#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "ui/control/place_holder.h"
#include "ui/render/geometry.h"

namespace ui {

class Box;
class Control;

// Measures and places the children of a box. The base layout places each
// child on its own, by its alignment and margins inside the whole
// rectangle. The virtual operations keep this order.
class Layout {
 public:
  Layout();
  virtual ~Layout();
  Layout(const Layout&) = delete;
  Layout& operator=(const Layout&) = delete;

  // True when the layout knows the attribute.
  virtual bool ApplyAttribute(const std::wstring& name, const std::wstring& value);
  // |rect| is the box's rectangle without its padding. Returns the size
  // the children took.
  virtual UiSize ArrangeChildren(const std::vector<Control*>& children, const UiRect& rect);
  // |available| is without the padding; the result includes it.
  virtual UiSize MeasureChildren(const std::vector<Control*>& children, UiSize available);
  virtual UiPadding GetPadding() const;
  // Asks the owner to lay out again, changed or not.
  virtual void SetPadding(const UiPadding& padding);
  virtual int32_t GetChildMargin() const;
  virtual void SetChildMargin(int32_t margin);

  Box* GetOwner() const { return owner_; }
  void SetOwner(Box* owner) { owner_ = owner; }

  // Places |child| by its alignment and margins inside |rect|, outside any
  // flow; returns its size ((0, 0) when it is hidden).
  static UiSize PlaceFloating(Control* child, const UiRect& rect);

  // A child's width within its minimum and maximum; a negative maximum
  // means none. Inline, as the helpers below: layouts call them for every
  // child several times.
  static int32_t ClampWidth(const PlaceHolder* child, int32_t width) {
    width = std::max(width, child->GetMinWidth());
    if (child->GetMaxWidth() >= 0)
      width = std::min(width, child->GetMaxWidth());
    return width;
  }
  static int32_t ClampHeight(const PlaceHolder* child, int32_t height) {
    // Unlike the width, the maximum height always applies: skins rely on a
    // negative maximum height collapsing the control.
    height = std::max(height, child->GetMinHeight());
    return std::min(height, child->GetMaxHeight());
  }

  // Sums of many sizes are taken in 64 bits and brought back saturated.
  static int32_t Saturate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
  }
  // |rect| less |padding| on every side, without overflowing.
  static UiRect DeflateSaturated(const UiRect& rect, const UiPadding& padding) {
    return {Saturate(int64_t{rect.left} + padding.left), Saturate(int64_t{rect.top} + padding.top),
            Saturate(int64_t{rect.right} - padding.right),
            Saturate(int64_t{rect.bottom} - padding.bottom)};
  }

 protected:
  // Asks the owner box for a new layout pass.
  void RequestOwnerLayout();

  UiPadding padding_;
  int32_t child_margin_ = 0;
  Box* owner_ = nullptr;
};

}  // namespace ui
