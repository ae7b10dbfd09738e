#pragma once

#include <string>

#include "ui/control/check_box.h"

namespace ui {

// A check box whose selection is exclusive within a named group of its
// window: selecting one unselects the others. A click never unselects an
// option. The virtual operations added here follow the check box's.
template <typename Base>
class OptionTemplate : public CheckBoxTemplate<Base> {
 public:
  OptionTemplate() = default;
  ~OptionTemplate() override;

  virtual std::wstring GetGroup() const;
  // Moves the option into |group| (empty: out of every group) and applies
  // its selection there again, with events.
  virtual void SetGroup(const std::wstring& group);

  // Control and check box.
  void SetWindowAndParent(ControlHost* window, Box* parent, bool init) override;
  void Activate() override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  // Raises "unselect" whenever it unselects, even without |notify| and
  // without a change; selecting unselects the group's other options first.
  void SetSelected(bool selected, bool notify) override;

 private:
  void JoinGroup();
  void LeaveGroup();

  std::wstring group_;
};

using Option = OptionTemplate<Control>;
using OptionBox = OptionTemplate<Box>;

extern template class OptionTemplate<Control>;
extern template class OptionTemplate<Box>;

}  // namespace ui
