#include "ui/control/list_container_element.h"

#include "ui/control/list_owner.h"

namespace ui {

namespace {

constexpr uint32_t kElementTextStyle = DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS;
constexpr wchar_t kReturnKey = L'\r';

}  // namespace

ListContainerElement::ListContainerElement() {
  text_style_ = kElementTextStyle;
  receive_pointer_ = false;
}

void ListContainerElement::SetSelected(bool selected, bool notify) {
  if (IsEnabled() && selected && owner_)
    owner_->SelectItem(index_, /*take_focus=*/false, notify);
}

void ListContainerElement::SetFadeVisible(bool visible) {
  if (visible)
    animations_.Appear();
  else
    animations_.Disappear();
  if (!IsVisible() && selected_) {
    selected_ = false;
    if (owner_)
      owner_->SelectItem(-1, /*take_focus=*/false, /*notify=*/true);
  }
}

bool ListContainerElement::HandleEvent(EventArgs* args) {
  if (!IsMouseEnabled() && IsMouseEvent(args->type)) {
    if (owner_)
      return owner_->DispatchEvent(args);
    return Control::HandleEvent(args);
  }
  switch (args->type) {
    case kEventInternalDoubleClick:
      if (IsActivatable())
        SendEvent(kEventMouseDoubleClick);
      return true;
    case kEventKeyDown:
      if (IsEnabled() && args->keyChar == kReturnKey) {
        if (IsActivatable())
          SendEvent(kEventReturn);
        return true;
      }
      break;
    case kEventInternalMenu:
      if (IsEnabled()) {
        // Handlers of either event may delete the element.
        const LivenessWatch watch(liveness_);
        SetSelected(true, /*notify=*/true);
        if (!watch.IsDestroyed())
          SendEvent(kEventMouseMenu, args->wParam, args->lParam);
        if (!watch.IsDestroyed())
          Invalidate();
        return true;
      }
      break;
    default:
      break;
  }
  return OptionTemplate<Box>::HandleEvent(args);
}

}  // namespace ui
