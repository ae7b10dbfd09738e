#pragma once

#include <cstdint>

#include "ui/control/linear_layout.h"
#include "ui/control/list_box.h"

namespace ui {

// The application's source of a virtual list's elements and their data.
// The operations keep this order.
class VirtualListDataProvider {
 public:
  // A new list element, owned by the list once added; null makes none.
  virtual Control* CreateElement() = 0;
  // Puts the data of |index| into |element|.
  virtual void FillElement(Control* element, int32_t index) = 0;
  // The number of data items; a negative count counts as none.
  virtual int32_t GetElementCount() = 0;

 protected:
  ~VirtualListDataProvider() = default;
};

class VirtualListBox;

// A vertical layout that, while the list has fewer elements than data,
// reports the height of all data and lets the list place its elements.
class VirtualLayout : public VLayout {
 public:
  UiSize ArrangeChildren(const std::vector<Control*>& children, const UiRect& rect) override;
};

// A list box for long data: only as many elements as fit (plus spares)
// exist, the scroll range covers all data, and the elements are moved and
// refilled from the provider as the user scrolls. Every element is
// elementHeight high. The virtual operations added here keep this order.
class VirtualListBox : public ListBox {
 public:
  VirtualListBox();

  // Control, Box, scrollable box.
  bool HandleEvent(EventArgs* args) override;
  void SetBounds(const UiRect& rect) override;
  void SetScrollPos(UiPoint pos) override;
  void RemoveAll() override;

  // Not owned; it outlives the list.
  virtual void SetDataProvider(VirtualListDataProvider* provider);
  virtual void SetElementHeight(int32_t height);
  // Creates up to |count| elements, filled with the first data items.
  virtual void InitElements(int32_t count);
  // Follows a change of the data count and refills every element.
  virtual void Refresh();
  // Called for Up and Down key presses and releases; nothing by default.
  virtual void OnKeyDownHook(wchar_t key);
  virtual void OnKeyUpHook(wchar_t key);

  // The provider's count, 0 without one.
  int32_t GetElementCount() const;
  int32_t GetElementHeight() const { return element_height_; }
  // Moves and refills the elements for the scroll position; unless
  // |forced|, only when the view has run past them.
  void ReArrangeChild(bool forced);

 private:
  // Whether the view has run past the elements, and in which direction to
  // refill: 1 downwards, -1 upwards.
  bool NeedReArrange(int32_t* direction);
  void Fill(Control* element, int32_t index);
  void PlaceElement(Control* element, int64_t top);

  VirtualListDataProvider* data_provider_ = nullptr;
  int32_t element_height_ = 0;
  int32_t max_element_count_ = 0;
  int32_t previous_scroll_pos_ = 0;
  bool initialised_ = false;
};

}  // namespace ui
