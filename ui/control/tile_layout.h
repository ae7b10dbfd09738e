#pragma once

#include "ui/control/layout.h"

namespace ui {

// Children in a grid: rows of equal cells (the first cells of each row get
// the pixels that do not divide evenly), each child centred in its cell.
class TileLayout : public Layout {
 public:
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  UiSize ArrangeChildren(const std::vector<Control*>& children, const UiRect& rect) override;
  UiSize MeasureChildren(const std::vector<Control*>& children, UiSize available) override;

  int32_t GetColumns() const { return columns_; }
  // Values below 1 are ignored.
  void SetColumns(int32_t columns);
  UiSize GetItemSize() const { return {item_width_, item_height_}; }
  // A positive item width decides the number of columns.
  void SetItemSize(UiSize size);

 private:
  // The columns that fit |width|: from the item width when there is one.
  int32_t ColumnsFor(int32_t width) const;
  // The height of the row that starts at |first|.
  int32_t RowHeight(const std::vector<Control*>& children,
                    size_t first,
                    int32_t columns,
                    int32_t row_left,
                    int32_t cell_width,
                    int32_t extra) const;

  int32_t columns_ = 1;
  int32_t item_width_ = 0;
  int32_t item_height_ = 0;
};

}  // namespace ui
