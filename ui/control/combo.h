#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/control/box.h"
#include "ui/control/list_box.h"
#include "ui/core/window.h"

namespace ui {

class Combo;

// The drop-down of a combo box: a borderless layered pop-up that borrows
// the combo's list while it is open and deletes itself when its native
// window is gone. Losing the focus (to another window, or because an item
// was chosen) hands the selection and the list back and closes it.
class CComboWnd : public Window {
 public:
  CComboWnd() = default;

  // Window.
  std::wstring WindowClassName() const override;
  void OnWindowDestroyed(HWND hwnd) override;
  LRESULT OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

  // Places, creates and shows the pop-up below (or above) |owner|.
  void Open(Combo* owner);

 private:
  // The list goes back to the combo, which takes the list's selection.
  void GiveListBack();

  Combo* owner_ = nullptr;
  bool closing_ = false;
};

// Shows the text of its selected item and opens a drop-down list when it is
// activated. It keeps its list for its whole life; choosing an item closes
// the drop-down and raises "select" (wParam the index, lParam -1). AddAt,
// GetItemAt and GetItemIndex are the box's own and concern the combo's own
// children, not the list.
class Combo : public Box {
 public:
  static constexpr int32_t kDefaultDropBoxHeight = 150;

  Combo();
  ~Combo() override;

  // Control and Box.
  void Activate() override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintText(IRenderContext* context) override;
  int32_t GetCount() const override;
  bool Add(Control* control) override;
  bool Remove(Control* control) override;
  bool RemoveAt(int32_t index) override;
  void RemoveAll() override;

  // False for an index out of range or already selected; raises nothing.
  bool SelectItem(int32_t index);
  int32_t GetCurSel() const { return cur_sel_; }
  std::wstring GetText() const;
  void SetDropBoxSize(int32_t width, int32_t height);
  UiSize GetDropBoxSize() const { return {drop_box_width_, drop_box_height_}; }
  bool IsPopupTop() const { return popup_top_; }
  ListBox* GetListBox() const { return list_.get(); }
  // The open pop-up, null while closed.
  CComboWnd* GetDropWindow() const { return drop_window_; }

 private:
  friend class CComboWnd;

  // The list raised "select" while it sat in the open pop-up.
  bool OnListSelect(EventArgs* args);

  CComboWnd* drop_window_ = nullptr;
  std::unique_ptr<ListBox> list_;
  int32_t cur_sel_ = -1;
  int32_t drop_box_width_ = 0;
  int32_t drop_box_height_ = kDefaultDropBoxHeight;
  std::wstring drop_box_attributes_;
  bool popup_top_ = false;
};

}  // namespace ui
