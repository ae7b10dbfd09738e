#pragma once

#include <cstdint>

#include "ui/render/geometry.h"

namespace ui {

struct EventArgs;

// What a list element reaches its list through. The operations keep this
// order.
class IListOwner {
 public:
  virtual int32_t GetCurSel() const = 0;
  virtual bool SelectItem(int32_t index, bool take_focus, bool notify) = 0;
  // The list's own event dispatch.
  virtual bool DispatchEvent(EventArgs* args) = 0;
  // Scrolls |rect| (the list's unscrolled coordinates) into view.
  virtual void EnsureVisible(const UiRect& rect) = 0;
  // Stops a running scroll animation.
  virtual void StopScroll() = 0;

 protected:
  ~IListOwner() = default;
};

}  // namespace ui
