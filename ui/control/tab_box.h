#pragma once

#include <cstdint>
#include <string>

#include "ui/control/box.h"

namespace ui {

// A box that shows one of its children at a time, each placed over the
// whole content area. Which child is shown follows from "selectedid", from
// the visibility of the children as they are added and from removals;
// nothing changes it once the children are in place.
//
// A hidden child is faded out (or, with "fadeswitch", stays visible at
// alpha 0) and takes no mouse input.
class TabBox : public Box {
 public:
  TabBox();

  bool Add(Control* control) override;
  bool AddAt(Control* control, int32_t index) override;
  bool Remove(Control* control) override;
  bool RemoveAt(int32_t index) override;
  void RemoveAll() override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  // -1 when no child is shown.
  int32_t GetSelectedIndex() const { return selected_index_; }
  bool IsFadeSwitch() const { return fade_switch_; }

 private:
  enum class Shown { kNo, kYes };
  void ShowChild(Control* child, Shown shown);

  int32_t selected_index_ = -1;
  bool fade_switch_ = false;
};

}  // namespace ui
