#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "ui/control/animation_player.h"

namespace ui {

class Control;

enum class AnimationType : int32_t {
  kAlpha = 1,
  kHeight = 2,
  kWidth = 3,
  kHot = 4,
  kXFromLeft = 5,
  kXFromRight = 6,
  kYFromTop = 7,
  kYFromBottom = 8,
};

// A control's animations, one player per type. Every value goes to the
// control through a weak callback, so a destroyed control hears nothing.
class AnimationManager {
 public:
  explicit AnimationManager(Control* owner);
  ~AnimationManager();
  AnimationManager(const AnimationManager&) = delete;
  AnimationManager& operator=(const AnimationManager&) = delete;

  // Null when the type is switched off.
  AnimationPlayer* GetPlayer(AnimationType type) const;

  // On creates a configured player (replacing an existing one); off
  // removes it.
  void SwitchHot(bool on);
  // Also sets the control's alpha: 0 when on, 255 when off.
  void SwitchAlpha(bool on);
  // The end value is the control's size as measured now.
  void SwitchWidth(bool on);
  void SwitchHeight(bool on);
  void SwitchSlideX(bool on, bool from_right);
  void SwitchSlideY(bool on, bool from_bottom);

  // Shows the control and plays every appear animation forward.
  void Appear();
  // Plays them backward and hides the control at the end; hides it at once
  // when there are none.
  void Disappear();
  void HotForward();
  void HotBackward();

 private:
  AnimationPlayer* Create(AnimationType type, int32_t start, int32_t end);
  void Remove(AnimationType type);

  Control* owner_;
  std::map<AnimationType, std::unique_ptr<AnimationPlayer>> players_;
};

}  // namespace ui
