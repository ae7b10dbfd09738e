#pragma once

// The list a <select> opens below itself: its options, the highlighted
// one, and where it is painted over the page. The view owns it, routes
// the mouse and keys to it while it is open, and applies the choice.
// Renderer thread only.

#include <windows.h>

#include <cstddef>
#include <vector>

#include "runtime/standin/page/layout.h"

namespace cef_standin::page {

class GdiFonts;

class SelectPopup {
 public:
  // At most this many options show; the list is cut below them.
  static constexpr std::size_t kMaxRows = 12;

  // Opens below `anchor` (view coordinates) inside a view of `view` size,
  // above the anchor when there is no room below; never wider than the
  // view.
  void Open(const NodePtr& select,
            const Rect& anchor,
            Size view,
            GdiFonts& fonts,
            const FontKey& font);
  void Close();
  bool IsOpen() const { return select_ != nullptr; }
  const NodePtr& select() const { return select_; }
  const Rect& rect() const { return rect_; }

  // The option row under a view point, or -1.
  int RowAt(int x, int y) const;
  void Highlight(int row);
  void MoveHighlight(int delta);
  int highlighted() const { return highlighted_; }
  // The option of a row, or null.
  NodePtr OptionAt(int row) const;

  void Paint(HDC dc, GdiFonts& fonts) const;

 private:
  NodePtr select_;
  std::vector<NodePtr> options_;
  Rect rect_;
  FontKey font_;
  int row_height_ = 18;
  int highlighted_ = 0;
};

}  // namespace cef_standin::page
