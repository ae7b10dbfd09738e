#include "ui/control/state_image.h"

#include "ui/control/control.h"

namespace ui {

const ImageSpec* StateImage::Find(ControlState state) const {
  auto found = images_.find(state);
  return found == images_.end() ? nullptr : &found->second;
}

bool StateImage::HasImage(ControlState state) const {
  const ImageSpec* image = Find(state);
  return image && !image->fileName.empty();
}

bool StateImage::Paint(IRenderContext* context,
                       ControlState state,
                       const std::wstring& modification) {
  if (!owner_)
    return false;
  if (owner_->GetAnimationManager().GetPlayer(AnimationType::kHot) &&
      (state == ControlState::kNormal || state == ControlState::kHot)) {
    return PaintHotFade(context, modification);
  }
  int32_t fade = -1;
  if (state == ControlState::kPushed && !HasImage(ControlState::kPushed)) {
    // Pushed without a picture of its own shows the hot one at full strength.
    state = ControlState::kHot;
    fade = 255;
  }
  if (state == ControlState::kHot && !HasImage(ControlState::kHot)) {
    state = ControlState::kNormal;
    fade = -1;
  }
  if (state == ControlState::kDisabled && !HasImage(ControlState::kDisabled))
    state = ControlState::kNormal;
  return Draw(context, state, modification, fade);
}

bool StateImage::PaintHotFade(IRenderContext* context, const std::wstring& modification) {
  const int32_t hot_alpha = owner_->GetHotAlpha();
  const ImageSpec* normal = Find(ControlState::kNormal);
  const ImageSpec* hot = Find(ControlState::kHot);
  if (normal && hot && !normal->fileName.empty() && normal->fileName == hot->fileName &&
      normal->source == hot->source) {
    // One picture: blend the two fades instead of drawing it twice.
    const double share = hot_alpha / 255.0;
    const int32_t fade = static_cast<int32_t>((1 - share) * normal->fade + share * hot->fade);
    return Draw(context, ControlState::kHot, modification, fade);
  }
  bool drawn = Draw(context, ControlState::kNormal, modification, -1);
  if (hot && hot_alpha > 0) {
    const int32_t fade = hot->fade * hot_alpha / 255;
    drawn = Draw(context, ControlState::kHot, modification, fade) || drawn;
  }
  return drawn;
}

bool StateImage::Draw(IRenderContext* context,
                      ControlState state,
                      const std::wstring& modification,
                      int32_t fade) {
  auto found = images_.find(state);
  if (found == images_.end() || found->second.fileName.empty())
    return false;
  return owner_->DrawImage(context, found->second, modification, fade);
}

void StateImage::ClearCache() {
  for (auto& [state, image] : images_)
    image.ReleaseImage();
}

StateImageMap::StateImageMap(Control* owner)
    : sets_{StateImage(owner), StateImage(owner), StateImage(owner), StateImage(owner)} {}

std::wstring StateImageMap::GetImageString(StateImageType type, ControlState state) const {
  const ImageSpec* image = Get(type).Find(state);
  return image ? image->attributeString : std::wstring();
}

void StateImageMap::SetImageString(StateImageType type,
                                   ControlState state,
                                   const std::wstring& image) {
  Get(type).Get(state).SetImageString(image);
}

bool StateImageMap::HasHotImage() const {
  for (const StateImage& set : sets_) {
    if (set.HasImage(ControlState::kHot))
      return true;
  }
  return false;
}

bool StateImageMap::Paint(IRenderContext* context,
                          StateImageType type,
                          ControlState state,
                          const std::wstring& modification) {
  return Get(type).Paint(context, state, modification);
}

void StateImageMap::ClearCache() {
  for (StateImage& set : sets_)
    set.ClearCache();
}

}  // namespace ui
