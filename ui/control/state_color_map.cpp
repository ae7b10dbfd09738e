#include "ui/control/state_color_map.h"

#include "ui/control/control.h"
#include "ui/render/render_context.h"

namespace ui {

std::wstring StateColorMap::Get(ControlState state) const {
  auto found = colors_.find(state);
  return found == colors_.end() ? std::wstring() : found->second;
}

void StateColorMap::Set(ControlState state, const std::wstring& color_name) {
  colors_[state] = color_name;
}

void StateColorMap::Paint(IRenderContext* context, const UiRect& rect, ControlState state) const {
  const bool hot_fade = owner_ && owner_->GetAnimationManager().GetPlayer(AnimationType::kHot);
  if (hot_fade && (state == ControlState::kNormal || state == ControlState::kHot) &&
      HasColor(ControlState::kHot)) {
    context->FillColor(rect, Get(ControlState::kNormal), 255);
    const int32_t hot_alpha = owner_->GetHotAlpha();
    if (hot_alpha > 0)
      context->FillColor(rect, Get(ControlState::kHot), static_cast<uint8_t>(hot_alpha));
    return;
  }
  if (state == ControlState::kPushed && !HasColor(ControlState::kPushed))
    state = ControlState::kHot;
  if (state == ControlState::kHot && !HasColor(ControlState::kHot))
    state = ControlState::kNormal;
  if (state == ControlState::kDisabled && !HasColor(ControlState::kDisabled))
    state = ControlState::kNormal;
  context->FillColor(rect, Get(state), 255);
}

}  // namespace ui
