#include "ui/control/linear_layout.h"

#include <algorithm>

#include "ui/control/control.h"

namespace ui {

namespace {

// One algorithm for both directions: "main" is the direction the children
// follow each other in, "cross" the other one.
class Axis {
 public:
  explicit Axis(bool horizontal) : horizontal_(horizontal) {}

  int32_t Main(UiSize size) const { return horizontal_ ? size.cx : size.cy; }
  int32_t Cross(UiSize size) const { return horizontal_ ? size.cy : size.cx; }
  UiSize Size(int32_t main, int32_t cross) const {
    return horizontal_ ? UiSize{main, cross} : UiSize{cross, main};
  }

  int32_t MainStart(const UiRect& r) const { return horizontal_ ? r.left : r.top; }
  int32_t CrossStart(const UiRect& r) const { return horizontal_ ? r.top : r.left; }
  int32_t CrossEnd(const UiRect& r) const { return horizontal_ ? r.bottom : r.right; }
  int32_t MainLength(const UiRect& r) const { return horizontal_ ? r.Width() : r.Height(); }
  int32_t CrossLength(const UiRect& r) const { return horizontal_ ? r.Height() : r.Width(); }
  UiRect Rect(int32_t main, int32_t cross, int32_t main_length, int32_t cross_length) const {
    const int32_t main_end = Layout::Saturate(int64_t{main} + main_length);
    const int32_t cross_end = Layout::Saturate(int64_t{cross} + cross_length);
    return horizontal_ ? UiRect{main, cross, main_end, cross_end}
                       : UiRect{cross, main, cross_end, main_end};
  }

  int32_t MainBefore(const UiPadding& m) const { return horizontal_ ? m.left : m.top; }
  int32_t MainAfter(const UiPadding& m) const { return horizontal_ ? m.right : m.bottom; }
  int32_t CrossBefore(const UiPadding& m) const { return horizontal_ ? m.top : m.left; }
  int32_t CrossAfter(const UiPadding& m) const { return horizontal_ ? m.bottom : m.right; }

  int32_t ClampMain(const Control* c, int32_t v) const {
    return horizontal_ ? Layout::ClampWidth(c, v) : Layout::ClampHeight(c, v);
  }
  int32_t ClampCross(const Control* c, int32_t v) const {
    return horizontal_ ? Layout::ClampHeight(c, v) : Layout::ClampWidth(c, v);
  }

  // 0 at the start of the cross direction, 1 centred, 2 at its end.
  int32_t CrossAlign(const Control* c) const {
    return horizontal_ ? static_cast<int32_t>(c->GetVerAlign())
                       : static_cast<int32_t>(c->GetHorAlign());
  }

 private:
  bool horizontal_;
};

bool IsInFlow(const Control* child) {
  return child->IsVisible() && !child->IsFloat();
}

// Where a child of |length| goes across the rectangle.
int32_t CrossPosition(const Axis& axis, const Control* child, const UiRect& rect, int32_t length) {
  const UiPadding margin = child->GetMargin();
  const int64_t start = axis.CrossStart(rect);
  const int64_t end = axis.CrossEnd(rect);
  const int64_t before = axis.CrossBefore(margin);
  const int64_t after = axis.CrossAfter(margin);
  switch (axis.CrossAlign(child)) {
    case 2:
      return Layout::Saturate(end - after - length);
    case 1:
      return Layout::Saturate(start + (before + end - after - length - start) / 2);
    default:
      return Layout::Saturate(start + before);
  }
}

UiSize ArrangeInLine(const Axis& axis,
                     const std::vector<Control*>& children,
                     const UiRect& rect,
                     int32_t child_margin) {
  const int32_t main_length = axis.MainLength(rect);
  const int32_t cross_length = axis.CrossLength(rect);

  // First pass: what the fixed children take, and how many stretch.
  int64_t count = 0;
  int64_t stretch_count = 0;
  int64_t fixed_total = 0;
  for (Control* child : children) {
    if (!IsInFlow(child))
      continue;
    ++count;
    const UiPadding margin = child->GetMargin();
    const int32_t main = axis.Main(child->Measure(axis.Size(main_length, cross_length)));
    fixed_total += int64_t{axis.MainBefore(margin)} + axis.MainAfter(margin);
    if (main == kStretch)
      ++stretch_count;
    else
      fixed_total += axis.ClampMain(child, main);
  }
  if (count > 0)
    fixed_total += (count - 1) * child_margin;
  const int64_t stretch_share =
      stretch_count > 0 ? std::max<int64_t>((main_length - fixed_total) / stretch_count, 0) : 0;
  int64_t remainder = main_length - stretch_count * stretch_share - fixed_total;

  // Second pass: place them one after the other.
  int64_t cursor = axis.MainStart(rect);
  int64_t remaining = main_length;
  int64_t used = 0;
  int32_t thickest = 0;
  for (Control* child : children) {
    if (!child->IsVisible())
      continue;
    if (child->IsFloat()) {
      Layout::PlaceFloating(child, rect);
      continue;
    }
    const UiPadding margin = child->GetMargin();
    remaining -= axis.MainBefore(margin);
    const UiSize size = child->Measure(axis.Size(Layout::Saturate(remaining), cross_length));
    int64_t main = axis.Main(size);
    if (main == kStretch) {
      main = stretch_share;
      if (remainder > 0) {
        ++main;
        --remainder;
      }
    }
    main = std::max(axis.ClampMain(child, Layout::Saturate(main)), 0);

    int32_t cross = axis.Cross(size);
    if (cross == kStretch) {
      cross = Layout::Saturate(int64_t{cross_length} - axis.CrossBefore(margin) -
                               axis.CrossAfter(margin));
    }
    cross = axis.ClampCross(child, std::max(cross, 0));

    const int64_t start = cursor + axis.MainBefore(margin);
    child->SetBounds(axis.Rect(Layout::Saturate(start), CrossPosition(axis, child, rect, cross),
                               static_cast<int32_t>(main), cross));
    thickest = std::max(thickest, cross);
    cursor += axis.MainBefore(margin) + main + axis.MainAfter(margin) + child_margin;
    used += axis.MainBefore(margin) + main + axis.MainAfter(margin);
    remaining -= main + axis.MainAfter(margin) + child_margin;
  }
  if (count > 0)
    used += (count - 1) * child_margin;
  return axis.Size(Layout::Saturate(used), thickest);
}

UiSize MeasureInLine(const Axis& axis,
                     const std::vector<Control*>& children,
                     UiSize available,
                     int32_t child_margin,
                     const UiPadding& padding) {
  int64_t count = 0;
  int64_t length = 0;
  int64_t thickness = 0;
  for (Control* child : children) {
    if (!IsInFlow(child))
      continue;
    ++count;
    const UiSize size = child->Measure(available);
    const UiPadding margin = child->GetMargin();
    // A stretched child contributes its clamped -1: with the default
    // minimum it takes one pixel off the sum.
    const int64_t main = axis.ClampMain(child, axis.Main(size));
    const int64_t cross = axis.ClampCross(child, axis.Cross(size));
    length += main + axis.MainBefore(margin) + axis.MainAfter(margin);
    thickness = std::max(thickness, cross + axis.CrossBefore(margin) + axis.CrossAfter(margin));
  }
  if (count >= 2)
    length += (count - 1) * child_margin;
  length += int64_t{axis.MainBefore(padding)} + axis.MainAfter(padding);
  thickness += int64_t{axis.CrossBefore(padding)} + axis.CrossAfter(padding);
  return axis.Size(Layout::Saturate(length), Layout::Saturate(thickness));
}

}  // namespace

UiSize HLayout::ArrangeChildren(const std::vector<Control*>& children, const UiRect& rect) {
  return ArrangeInLine(Axis(true), children, rect, child_margin_);
}

UiSize HLayout::MeasureChildren(const std::vector<Control*>& children, UiSize available) {
  return MeasureInLine(Axis(true), children, available, child_margin_, padding_);
}

UiSize VLayout::ArrangeChildren(const std::vector<Control*>& children, const UiRect& rect) {
  return ArrangeInLine(Axis(false), children, rect, child_margin_);
}

UiSize VLayout::MeasureChildren(const std::vector<Control*>& children, UiSize available) {
  return MeasureInLine(Axis(false), children, available, child_margin_, padding_);
}

}  // namespace ui
