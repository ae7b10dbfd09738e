#pragma once

#include <map>
#include <string>

#include "ui/control/control_types.h"
#include "ui/render/geometry.h"

namespace ui {

class Control;
class IRenderContext;

// The colour names a control fills itself with in each state.
class StateColorMap {
 public:
  explicit StateColorMap(Control* owner) : owner_(owner) {}

  // Empty when the state has no colour.
  std::wstring Get(ControlState state) const;
  void Set(ControlState state, const std::wstring& color_name);
  bool HasColor(ControlState state) const { return !Get(state).empty(); }

  // Fills |rect| with the colour of |state|, falling back from pushed to
  // hot and from hot and disabled to normal; cross-fades normal and hot
  // by the owner's hot alpha while its hot fade exists.
  void Paint(IRenderContext* context, const UiRect& rect, ControlState state) const;

 private:
  Control* owner_;
  std::map<ControlState, std::wstring> colors_;
};

}  // namespace ui
