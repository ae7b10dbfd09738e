#include "ui/control/tile_layout.h"

#include <algorithm>

#include "ui/control/attribute_value.h"
#include "ui/control/box.h"
#include "ui/control/control.h"

namespace ui {

namespace {

// Height offered to a child when its row height is being worked out.
constexpr int32_t kRowMeasureHeight = 9999;

bool IsInFlow(const Control* child) {
  return child->IsVisible() && !child->IsFloat();
}

}  // namespace

bool TileLayout::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"itemsize") {
    SetItemSize(attribute_value::ReadSize(value));
    return true;
  }
  if (name == L"columns") {
    SetColumns(attribute_value::ReadInt(value));
    return true;
  }
  return Layout::ApplyAttribute(name, value);
}

void TileLayout::SetColumns(int32_t columns) {
  if (columns < 1)
    return;
  columns_ = columns;
  RequestOwnerLayout();
}

void TileLayout::SetItemSize(UiSize size) {
  if (size.cx == item_width_ && size.cy == item_height_)
    return;
  item_width_ = size.cx;
  item_height_ = size.cy;
  RequestOwnerLayout();
}

int32_t TileLayout::ColumnsFor(int32_t width) const {
  const int32_t columns = item_width_ > 0 ? width / item_width_ : columns_;
  return std::max(columns, 1);
}

UiSize TileLayout::ArrangeChildren(const std::vector<Control*>& children, const UiRect& rect) {
  const int32_t width = rect.Width();
  const int32_t columns = ColumnsFor(width);
  const int32_t cell_width = width / columns;
  const int32_t extra = std::max(width % columns, 0);
  const int32_t half_margin = child_margin_ / 2;

  int32_t cursor = rect.left;
  int32_t extra_left = extra;
  int64_t row_top = rect.top;
  int32_t row_height = 0;
  int64_t bottom = rect.top;
  // The place in the current row, counted rather than divided out: a
  // division per child is a noticeable part of a large tile's layout.
  int32_t column = 0;
  for (size_t i = 0; i < children.size(); ++i) {
    Control* child = children[i];
    if (!child->IsVisible())
      continue;
    if (child->IsFloat()) {
      PlaceFloating(child, rect);
      continue;
    }
    if (column == 0)
      row_height = RowHeight(children, i, columns, cursor, cell_width, extra_left);
    const int32_t cell_right = cursor + cell_width + (extra_left > 0 ? 1 : 0);
    if (extra_left > 0)
      --extra_left;

    const UiPadding margin = child->GetMargin();
    const int32_t left = Saturate(int64_t{cursor} + half_margin + margin.left);
    const int32_t right = Saturate(int64_t{cell_right} - half_margin - margin.right);
    const int32_t top = Saturate(row_top + margin.top);
    const int32_t cell_bottom = Saturate(row_top + row_height);
    const int32_t cell_w = Saturate(int64_t{right} - left);
    const int32_t cell_h = Saturate(int64_t{cell_bottom} - top);
    const UiSize size = child->Measure({cell_w, cell_h});
    const int32_t child_width = ClampWidth(child, size.cx == kStretch ? cell_w : size.cx);
    const int32_t child_height = ClampHeight(child, size.cy == kStretch ? cell_h : size.cy);
    const int64_t x = (int64_t{left} + right - child_width) / 2;
    const int64_t y = (int64_t{top} + cell_bottom - child_height) / 2;
    child->SetBounds(
        {Saturate(x), Saturate(y), Saturate(x + child_width), Saturate(y + child_height)});
    bottom = row_top + row_height;

    if (++column == columns) {
      column = 0;
      cursor = rect.left;
      extra_left = extra;
      row_top += int64_t{row_height} + child_margin_;
      row_height = 0;
    } else {
      cursor = cell_right;
    }
  }
  return {width, Saturate(bottom - rect.top)};
}

int32_t TileLayout::RowHeight(const std::vector<Control*>& children,
                              size_t first,
                              int32_t columns,
                              int32_t row_left,
                              int32_t cell_width,
                              int32_t extra) const {
  int32_t height = 0;
  int32_t position = 0;
  int32_t cursor = row_left;
  for (size_t i = first; i < children.size() && position < columns; ++i) {
    Control* child = children[i];
    if (!IsInFlow(child))
      continue;
    const int32_t cell_right = cursor + cell_width + (extra > 0 ? 1 : 0);
    if (extra > 0)
      --extra;
    const UiPadding margin = child->GetMargin();
    const bool outer = position == 0 || position == columns - 1;
    const int64_t gap = outer ? child_margin_ / 2 : child_margin_;
    const int32_t width = ClampWidth(
        child, Saturate(int64_t{cell_right} - margin.right - margin.left - cursor - gap));
    const int32_t child_height = ClampHeight(child, child->Measure({width, kRowMeasureHeight}).cy);
    height = std::max(height, Saturate(int64_t{child_height} + margin.top + margin.bottom));
    cursor = cell_right;
    ++position;
  }
  return height;
}

UiSize TileLayout::MeasureChildren(const std::vector<Control*>& children, UiSize available) {
  if (!owner_)
    return {};
  // The width is the box's own: fixed, or from its image and text.
  const int32_t width = owner_->Control::Measure(available).cx;
  const int32_t columns =
      item_width_ > 0 ? std::max(owner_->GetFixedWidth() / item_width_, 1) : columns_;

  Control* first = nullptr;
  int64_t count = 0;
  for (Control* child : children) {
    if (!IsInFlow(child))
      continue;
    if (!first)
      first = child;
    ++count;
  }
  if (count == 0)
    return {width, 0};

  // Rows are as high as the first child says; one that sizes itself is
  // asked.
  Control* sample = children.front();
  int32_t item_height = sample->GetFixedHeight();
  if (item_height < 0)
    item_height = std::max(ClampHeight(first, first->Measure(available).cy), 0);
  const int64_t rows = (count + columns - 1) / columns;
  const int64_t height =
      rows * item_height + padding_.top + padding_.bottom + (rows - 1) * child_margin_;
  return {width, Saturate(height)};
}

}  // namespace ui
