#pragma once

#include <cstdint>

#include "ui/control/option.h"

namespace ui {

class IListOwner;

// An element of a list box: an option box that reports to its list, so
// that the list keeps at most one element selected. Pen and touch presses
// go on to the list, which drags with them.
class ListContainerElement : public OptionTemplate<Box> {
 public:
  ListContainerElement();

  // Control and option.
  bool IsListItem() const override { return true; }
  void SetFadeVisible(bool visible) override;
  bool HandleEvent(EventArgs* args) override;
  // Only selecting counts: it goes through the list, which unselects the
  // element it had selected.
  void SetSelected(bool selected, bool notify) override;

  IListOwner* GetOwner() const { return owner_; }
  void SetOwner(IListOwner* owner) { owner_ = owner; }
  // Its position in its list, -1 before a list took it.
  int32_t GetIndex() const { return index_; }
  void SetIndex(int32_t index) { index_ = index; }

 private:
  int32_t index_ = -1;
  IListOwner* owner_ = nullptr;
};

}  // namespace ui
