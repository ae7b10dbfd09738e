#include "runtime/standin/page/select_popup.h"

#include <algorithm>

#include "runtime/standin/page/charset.h"
#include "runtime/standin/page/gdi_fonts.h"

namespace cef_standin::page {

void SelectPopup::Open(const NodePtr& select,
                       const Rect& anchor,
                       Size view,
                       GdiFonts& fonts,
                       const FontKey& font) {
  options_ = select->QuerySelectorAll("option");
  if (options_.empty()) {
    Close();
    return;
  }
  select_ = select;
  font_ = font;
  row_height_ = LineHeight(fonts.Metrics(font), font.size) + 4;
  int width = anchor.width;
  for (const NodePtr& option : options_)
    width = std::max(width, fonts.TextWidth(font, Utf8ToUtf16(option->TextContent())) + 16);
  // An option of any length (which widens the select too) leaves the list
  // no wider than the view.
  if (view.width > 0)
    width = std::min(width, view.width);
  const int rows = static_cast<int>(std::min(options_.size(), kMaxRows));
  const int height = rows * row_height_ + 2;
  const bool room_below = anchor.bottom() + height <= view.height || anchor.y < height;
  rect_ = {anchor.x, room_below ? anchor.bottom() : anchor.y - height, width, height};
  const std::string value = select->Value();
  highlighted_ = 0;
  for (std::size_t i = 0; i < options_.size(); ++i) {
    if (options_[i]->Value() == value)
      highlighted_ = static_cast<int>(i);
  }
  highlighted_ = std::min(highlighted_, rows - 1);
}

void SelectPopup::Close() {
  select_.reset();
  options_.clear();
}

int SelectPopup::RowAt(int x, int y) const {
  if (!IsOpen() || !rect_.Contains(x, y))
    return -1;
  const int row = (y - rect_.y - 1) / std::max(1, row_height_);
  const int rows = static_cast<int>(std::min(options_.size(), kMaxRows));
  return row >= 0 && row < rows ? row : -1;
}

void SelectPopup::Highlight(int row) {
  const int rows = static_cast<int>(std::min(options_.size(), kMaxRows));
  if (row >= 0 && row < rows)
    highlighted_ = row;
}

void SelectPopup::MoveHighlight(int delta) {
  const int rows = static_cast<int>(std::min(options_.size(), kMaxRows));
  if (rows > 0)
    highlighted_ = std::clamp(highlighted_ + delta, 0, rows - 1);
}

NodePtr SelectPopup::OptionAt(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= std::min(options_.size(), kMaxRows))
    return nullptr;
  return options_[static_cast<std::size_t>(row)];
}

void SelectPopup::Paint(HDC dc, GdiFonts& fonts) const {
  if (!IsOpen())
    return;
  auto fill = [dc](const Rect& r, COLORREF color) {
    const RECT rect{r.x, r.y, r.right(), r.bottom()};
    SetDCBrushColor(dc, color);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  };
  fill(rect_, RGB(0x76, 0x76, 0x76));
  fill({rect_.x + 1, rect_.y + 1, rect_.width - 2, rect_.height - 2}, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(dc, fonts.Font(font_));
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
  const FontMetrics metrics = fonts.Metrics(font_);
  const std::size_t rows = std::min(options_.size(), kMaxRows);
  for (std::size_t i = 0; i < rows; ++i) {
    const Rect row{rect_.x + 1, rect_.y + 1 + static_cast<int>(i) * row_height_, rect_.width - 2,
                   row_height_};
    const bool highlighted = static_cast<int>(i) == highlighted_;
    if (highlighted)
      fill(row, RGB(0x1A, 0x73, 0xE8));
    SetTextColor(dc, highlighted ? RGB(255, 255, 255) : RGB(0, 0, 0));
    const std::u16string label = Utf8ToUtf16(options_[i]->TextContent());
    const int baseline =
        row.y + (row.height - metrics.ascent - metrics.descent) / 2 + metrics.ascent;
    const RECT clip{row.x, row.y, row.right() - 4, row.bottom()};
    ExtTextOutW(dc, row.x + 6, baseline, ETO_CLIPPED, &clip,
                reinterpret_cast<const wchar_t*>(label.data()), static_cast<UINT>(label.size()),
                nullptr);
  }
  SelectObject(dc, old);
}

}  // namespace cef_standin::page
