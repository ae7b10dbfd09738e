#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/control/label.h"

namespace ui {

// A label that activates: a click, or Space or Return while it has the
// focus, raises the click event (41) on it.
template <typename Base>
class ButtonTemplate : public LabelTemplate<Base> {
 public:
  // Centred both ways, single line, no clipping, end ellipsis.
  static constexpr uint32_t kButtonTextStyle =
      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS;

  ButtonTemplate();

  // Control.
  int32_t GetTabFlags() const override;
  void Activate() override;
  bool HandleEvent(EventArgs* args) override;
};

using Button = ButtonTemplate<Control>;
using ButtonBox = ButtonTemplate<Box>;

extern template class ButtonTemplate<Control>;
extern template class ButtonTemplate<Box>;

}  // namespace ui
