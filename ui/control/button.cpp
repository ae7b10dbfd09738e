#include "ui/control/button.h"

#include "ui/control/control_host.h"

namespace ui {

namespace {

constexpr wchar_t kSpace = L' ';
constexpr wchar_t kReturn = L'\r';

}  // namespace

template <typename Base>
ButtonTemplate<Base>::ButtonTemplate() {
  this->text_style_ = kButtonTextStyle;
}

template <typename Base>
int32_t ButtonTemplate<Base>::GetTabFlags() const {
  return this->keyboard_enabled_ && this->IsEnabled() ? kTabStop : 0;
}

template <typename Base>
void ButtonTemplate<Base>::Activate() {
  if (!this->IsActivatable() || !this->window_)
    return;
  this->SendEvent(kEventClick, 0, 0, 0, 0.0f, this->window_->GetLastMousePos());
}

template <typename Base>
bool ButtonTemplate<Base>::HandleEvent(EventArgs* args) {
  if (!this->mouse_enabled_ && IsMouseEvent(args->type))
    return this->ForwardToParent(args);
  if (args->type == kEventKeyDown && (args->keyChar == kSpace || args->keyChar == kReturn)) {
    if (this->IsKeyboardEnabled())
      Activate();
    return true;
  }
  if (args->type == kEventInternalMenu) {
    if (this->IsContextMenuEnabled())
      this->SendEvent(kEventMouseMenu, args->wParam, args->lParam);
    return true;
  }
  return LabelTemplate<Base>::HandleEvent(args);
}

template class ButtonTemplate<Control>;
template class ButtonTemplate<Box>;

}  // namespace ui
