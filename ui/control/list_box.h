#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/control/list_owner.h"
#include "ui/control/scrollable_box.h"

namespace ui {

// A scrollable box of list elements, at most one of them selected. The keys
// (and, with "scrollselect", the wheel) move the selection; the selected
// element is scrolled into view. AddAt and RemoveAt are the box's own: an
// element inserted with AddAt gets no owner or index, and RemoveAt does
// not repair the selection. The virtual operations added here keep this
// order.
class ListBox : public ScrollableBox, public IListOwner {
 public:
  explicit ListBox(std::unique_ptr<Layout> layout = nullptr);

  // Control, Box.
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  bool HandleEvent(EventArgs* args) override;
  bool OnButtonDown(EventArgs* args) override;
  bool Add(Control* control) override;
  bool Remove(Control* control) override;
  void RemoveAll() override;
  bool SetItemIndex(Control* control, int32_t index) override;

  // IListOwner.
  int32_t GetCurSel() const override { return cur_sel_; }
  bool SelectItem(int32_t index, bool take_focus, bool notify) override;
  bool DispatchEvent(EventArgs* args) override;
  void EnsureVisible(const UiRect& rect) override;
  void StopScroll() override;

  // Scrolls the first child of that name to the top of the view.
  virtual bool ScrollItemToTop(const std::wstring& name);
  // The first visible, non-floating child that reaches into the view.
  virtual Control* GetTopItem();

  // Removal that keeps the elements' indexes and the selection right.
  bool RemoveItemAt(int32_t index);
  bool IsScrollSelect() const { return scroll_select_; }
  void SetScrollSelect(bool scroll_select) { scroll_select_ = scroll_select; }

 protected:
  // The list's bounds without its layout's padding.
  UiRect ViewRect() const;
  void RenumberFrom(int32_t first, int32_t last);

  bool scroll_select_ = false;
  int32_t cur_sel_ = -1;
};

}  // namespace ui
