#include "ui/control/layout.h"

#include <algorithm>

#include "ui/control/attribute_value.h"
#include "ui/control/box.h"
#include "ui/control/control.h"

namespace ui {

namespace {

constexpr int64_t kEmptyMeasure = -9999;

}  // namespace

Layout::Layout() = default;

Layout::~Layout() = default;

bool Layout::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"padding") {
    SetPadding(attribute_value::ReadPadding(value));
    return true;
  }
  if (name == L"childmargin") {
    SetChildMargin(attribute_value::ReadInt(value));
    return true;
  }
  return false;
}

UiSize Layout::ArrangeChildren(const std::vector<Control*>& children, const UiRect& rect) {
  UiSize used;
  for (Control* child : children) {
    if (!child->IsVisible())
      continue;
    const UiSize size = PlaceFloating(child, rect);
    used.cx = std::max(used.cx, size.cx);
    used.cy = std::max(used.cy, size.cy);
  }
  return used;
}

UiSize Layout::MeasureChildren(const std::vector<Control*>& children, UiSize available) {
  // A box without visible children measures far below zero, so that its
  // parent's clamps give it its minimum size.
  int64_t width = kEmptyMeasure;
  int64_t height = kEmptyMeasure;
  for (Control* child : children) {
    if (!child->IsVisible())
      continue;
    const UiSize size = child->Measure(available);
    const UiPadding margin = child->GetMargin();
    const int64_t child_width = ClampWidth(child, size.cx);
    const int64_t child_height = ClampHeight(child, size.cy);
    width = std::max(width, child_width + margin.left + margin.right);
    height = std::max(height, child_height + margin.top + margin.bottom);
  }
  width += int64_t{padding_.left} + padding_.right;
  height += int64_t{padding_.top} + padding_.bottom;
  return {Saturate(width), Saturate(height)};
}

UiPadding Layout::GetPadding() const {
  return padding_;
}

void Layout::SetPadding(const UiPadding& padding) {
  padding_ = padding;
  RequestOwnerLayout();
}

int32_t Layout::GetChildMargin() const {
  return child_margin_;
}

void Layout::SetChildMargin(int32_t margin) {
  child_margin_ = margin;
  RequestOwnerLayout();
}

void Layout::RequestOwnerLayout() {
  if (owner_)
    owner_->RequestLayout();
}

UiSize Layout::PlaceFloating(Control* child, const UiRect& rect) {
  if (!child->IsVisible())
    return {};
  const UiRect area = DeflateSaturated(rect, child->GetMargin());
  const int32_t width = area.Width();
  const int32_t height = area.Height();
  UiSize size = child->Measure({width, height});

  // Auto-sized text wraps at the width it is offered.
  if (child->GetFixedWidth() == kAuto && child->GetFixedHeight() == kAuto &&
      child->GetMaxWidth() == kStretch && std::max(width, 0) < size.cx) {
    child->SetFixedWidth(std::max(width, 0), false);
    size = child->Measure({width, height});
    child->SetFixedWidth(kAuto, false);
  }

  if (size.cx == kStretch)
    size.cx = std::max(width, 0);
  size.cx = ClampWidth(child, size.cx);
  if (size.cy == kStretch)
    size.cy = std::max(height, 0);
  size.cy = ClampHeight(child, size.cy);

  int64_t x = area.left;
  if (child->GetHorAlign() == HorAlign::kRight)
    x = int64_t{area.right} - size.cx;
  else if (child->GetHorAlign() == HorAlign::kCenter)
    x = area.left + (int64_t{area.right} - size.cx - area.left) / 2;
  int64_t y = area.top;
  if (child->GetVerAlign() == VerAlign::kBottom)
    y = int64_t{area.bottom} - size.cy;
  else if (child->GetVerAlign() == VerAlign::kCenter)
    y = area.top + (int64_t{area.bottom} - size.cy - area.top) / 2;
  child->SetBounds({Saturate(x), Saturate(y), Saturate(x + size.cx), Saturate(y + size.cy)});
  return size;
}

}  // namespace ui
