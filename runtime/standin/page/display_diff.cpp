#include "runtime/standin/page/display_diff.h"

#include <algorithm>
#include <cstddef>

namespace cef_standin::page {

namespace {

// Items at the same place in both lists paint the same pixels when these
// agree; a control's look also depends on its element's value and state,
// which the list does not hold.
bool PaintsTheSame(const DisplayItem& a, const DisplayItem& b) {
  return a.kind == b.kind && a.kind != ItemKind::kControl && a.rect == b.rect && a.node == b.node &&
         a.color == b.color && a.background == b.background && a.font == b.font &&
         a.underline == b.underline && a.baseline == b.baseline && a.text == b.text &&
         a.url == b.url;
}

}  // namespace

std::optional<Rect> ChangedArea(const LayoutResult& before, const LayoutResult& after) {
  // The canvas lies under everything, and the page's height moves the
  // scroll indicator.
  if (before.canvas != after.canvas || before.content_height != after.content_height)
    return std::nullopt;
  Rect changed;
  const std::size_t common = std::min(before.items.size(), after.items.size());
  // Items paint in list order: an item that changed may have covered, or
  // now covers, any later one, and both of its boxes are repainted whole
  // with everything above them.
  for (std::size_t i = 0; i < common; ++i) {
    if (!PaintsTheSame(before.items[i], after.items[i]))
      changed = changed.Union(before.items[i].rect).Union(after.items[i].rect);
  }
  for (std::size_t i = common; i < before.items.size(); ++i)
    changed = changed.Union(before.items[i].rect);
  for (std::size_t i = common; i < after.items.size(); ++i)
    changed = changed.Union(after.items[i].rect);
  return changed;
}

}  // namespace cef_standin::page
