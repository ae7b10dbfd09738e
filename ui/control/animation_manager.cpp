#include "ui/control/animation_manager.h"

#include "ui/control/control.h"

namespace ui {

namespace {

constexpr int32_t kFadeDurationMs = 250;
constexpr double kAccelerationRatio = 0.3;
constexpr double kDecelerationRatio = 0.7;
constexpr double kResizeAcceleration = 0.00084;
constexpr double kSlideAcceleration = 0.006;
// The available size a control is measured with for its resize and slide
// animations: as much as it wants.
constexpr int32_t kUnbounded = 999999;
// Slide distance of a control that measures nothing.
constexpr int32_t kDefaultSlide = 100;

// The order in which appear and disappear animations start.
constexpr AnimationType kAppearTypes[] = {
    AnimationType::kAlpha,       AnimationType::kWidth,      AnimationType::kHeight,
    AnimationType::kXFromLeft,   AnimationType::kXFromRight, AnimationType::kYFromTop,
    AnimationType::kYFromBottom,
};

int32_t SlideDistance(int32_t measured) {
  return measured < 1 ? kDefaultSlide : measured;
}

}  // namespace

AnimationManager::AnimationManager(Control* owner) : owner_(owner) {}

AnimationManager::~AnimationManager() = default;

AnimationPlayer* AnimationManager::GetPlayer(AnimationType type) const {
  auto found = players_.find(type);
  return found == players_.end() ? nullptr : found->second.get();
}

AnimationPlayer* AnimationManager::Create(AnimationType type, int32_t start, int32_t end) {
  auto player = std::make_unique<AnimationPlayer>();
  player->SetStartValue(start);
  player->SetEndValue(end);
  player->SetAccelerationRatio(kAccelerationRatio);
  player->SetDecelerationRatio(kDecelerationRatio);
  AnimationPlayer* raw = player.get();
  players_[type] = std::move(player);
  return raw;
}

void AnimationManager::Remove(AnimationType type) {
  players_.erase(type);
}

void AnimationManager::SwitchHot(bool on) {
  if (!on) {
    Remove(AnimationType::kHot);
    return;
  }
  AnimationPlayer* player = Create(AnimationType::kHot, 0, 255);
  player->SetDuration(kFadeDurationMs);
  Control* control = owner_;
  player->SetValueCallback(
      control->MakeWeakCallback([control](int32_t value) { control->SetHotAlpha(value); }));
}

void AnimationManager::SwitchAlpha(bool on) {
  if (!on) {
    Remove(AnimationType::kAlpha);
    owner_->SetAlpha(255);
    return;
  }
  AnimationPlayer* player = Create(AnimationType::kAlpha, 0, 255);
  player->SetDuration(kFadeDurationMs);
  Control* control = owner_;
  player->SetValueCallback(
      control->MakeWeakCallback([control](int32_t value) { control->SetAlpha(value); }));
  owner_->SetAlpha(0);
}

void AnimationManager::SwitchWidth(bool on) {
  if (!on) {
    Remove(AnimationType::kWidth);
    return;
  }
  const int32_t width = owner_->Measure({kUnbounded, kUnbounded}).cx;
  AnimationPlayer* player = Create(AnimationType::kWidth, 0, width);
  player->SetAccelerationCoefficient(kResizeAcceleration);
  Control* control = owner_;
  player->SetValueCallback(
      control->MakeWeakCallback([control](int32_t value) { control->SetFixedWidth(value, true); }));
}

void AnimationManager::SwitchHeight(bool on) {
  if (!on) {
    Remove(AnimationType::kHeight);
    return;
  }
  const int32_t height = owner_->Measure({kUnbounded, kUnbounded}).cy;
  AnimationPlayer* player = Create(AnimationType::kHeight, 0, height);
  player->SetAccelerationCoefficient(kResizeAcceleration);
  Control* control = owner_;
  player->SetValueCallback(
      control->MakeWeakCallback([control](int32_t value) { control->SetFixedHeight(value); }));
}

void AnimationManager::SwitchSlideX(bool on, bool from_right) {
  const AnimationType type = from_right ? AnimationType::kXFromRight : AnimationType::kXFromLeft;
  if (!on) {
    Remove(type);
    return;
  }
  const int32_t width = SlideDistance(owner_->Measure({kUnbounded, kUnbounded}).cx);
  AnimationPlayer* player = Create(type, from_right ? -width : width, 0);
  player->SetAccelerationCoefficient(kSlideAcceleration);
  Control* control = owner_;
  player->SetValueCallback(
      control->MakeWeakCallback([control](int32_t value) { control->SetRenderOffsetX(value); }));
}

void AnimationManager::SwitchSlideY(bool on, bool from_bottom) {
  const AnimationType type = from_bottom ? AnimationType::kYFromBottom : AnimationType::kYFromTop;
  if (!on) {
    Remove(type);
    return;
  }
  const int32_t height = SlideDistance(owner_->Measure({kUnbounded, kUnbounded}).cy);
  AnimationPlayer* player = Create(type, from_bottom ? -height : height, 0);
  player->SetAccelerationCoefficient(kSlideAcceleration);
  Control* control = owner_;
  player->SetValueCallback(
      control->MakeWeakCallback([control](int32_t value) { control->SetRenderOffsetY(value); }));
}

void AnimationManager::Appear() {
  owner_->SetVisible(true);
  for (AnimationType type : kAppearTypes) {
    if (AnimationPlayer* player = GetPlayer(type)) {
      player->SetFinishCallback(nullptr);
      player->PlayForward();
    }
  }
}

void AnimationManager::Disappear() {
  bool any = false;
  Control* control = owner_;
  for (AnimationType type : kAppearTypes) {
    if (AnimationPlayer* player = GetPlayer(type)) {
      any = true;
      player->SetFinishCallback(
          control->MakeWeakCallback([control] { control->SetVisible(false); }));
      player->PlayBackward();
    }
  }
  if (!any)
    owner_->SetVisible(false);
}

void AnimationManager::HotForward() {
  if (AnimationPlayer* player = GetPlayer(AnimationType::kHot))
    player->PlayForward();
}

void AnimationManager::HotBackward() {
  if (AnimationPlayer* player = GetPlayer(AnimationType::kHot))
    player->PlayBackward();
}

}  // namespace ui
