#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "tests/controls/test_controls.h"
#include "tests/support/message_pump.h"
#include "ui/control/animation_player.h"

namespace ui {
namespace {

// Milliseconds that the test advances by hand.
class ManualClock {
 public:
  void Attach(AnimationPlayerBase* player) {
    player->SetCounterSource([this] { return now_; }, 1000);
  }
  void Advance(int64_t ms) { now_ += ms; }

 private:
  int64_t now_ = 1000;
};

using ::test::PumpUntil;

// The hot fade: 0 to 255 in 250 ms, accelerating for 30 % of the time.
class HotFadeTest : public testing::Test {
 protected:
  void SetUp() override {
    player_.SetStartValue(0);
    player_.SetEndValue(255);
    player_.SetDuration(250);
    player_.SetAccelerationRatio(0.3);
    player_.SetDecelerationRatio(0.7);
    player_.SetValueCallback([this](int32_t value) { values_.push_back(value); });
    player_.SetFinishCallback([this] { ++finished_; });
    clock_.Attach(&player_);
  }

  AnimationPlayer player_;
  ManualClock clock_;
  std::vector<int32_t> values_;
  int finished_ = 0;
};

TEST_F(HotFadeTest, PhasesAndTimerInterval) {
  player_.Restart();
  EXPECT_TRUE(player_.IsPlaying());
  EXPECT_DOUBLE_EQ(player_.GetAccelerationTime(), 75.0);
  EXPECT_NEAR(player_.GetDecelerationTime(), 175.0, 1e-9);
  EXPECT_NEAR(player_.GetCruiseTime(), 0.0, 1e-9);
  // 250 / 255 rounds down to 0, and the timer never goes below 1 ms.
  EXPECT_EQ(player_.GetInterval(), 1);
  // At the start the value has not moved.
  EXPECT_TRUE(values_.empty());
}

TEST_F(HotFadeTest, ValuesAtStartMiddleAndEnd) {
  player_.Restart();
  // a = 255 / (0.3 x 250^2) = 0.0136: at 75 ms a x 75^2 = 76.5.
  clock_.Advance(75);
  player_.Tick();
  // At 125 ms: 76.5 + (-0.0136 x 0.3 / 0.7) x 50^2 + 2.04 x 50 = 163.9.
  clock_.Advance(50);
  player_.Tick();
  EXPECT_EQ(values_, (std::vector<int32_t>{76, 163}));
  EXPECT_EQ(finished_, 0);
  clock_.Advance(125);
  player_.Tick();
  EXPECT_EQ(values_.back(), 255);
  EXPECT_EQ(player_.GetCurrentValue(), 255);
  EXPECT_EQ(finished_, 1);
  EXPECT_FALSE(player_.IsPlaying());
}

TEST_F(HotFadeTest, ReversingMidwayContinuesFromTheCurrentValue) {
  player_.Restart();
  clock_.Advance(125);
  player_.Tick();
  ASSERT_EQ(values_.back(), 163);
  values_.clear();

  player_.PlayBackward();
  EXPECT_TRUE(player_.IsBackward());
  EXPECT_EQ(player_.GetStartValue(), 255);
  EXPECT_EQ(player_.GetEndValue(), 0);
  // No jump: the first step after turning shows the same level.
  EXPECT_TRUE(values_.empty());
  clock_.Advance(10);
  player_.Tick();
  ASSERT_EQ(values_.size(), 1u);
  EXPECT_LT(values_[0], 163);
  EXPECT_GT(values_[0], 130);
  clock_.Advance(250);
  player_.Tick();
  EXPECT_EQ(values_.back(), 0);
  EXPECT_EQ(finished_, 1);

  // And forward again from the bottom.
  values_.clear();
  player_.PlayForward();
  EXPECT_FALSE(player_.IsBackward());
  EXPECT_EQ(player_.GetStartValue(), 0);
  clock_.Advance(250);
  player_.Tick();
  EXPECT_EQ(values_.back(), 255);
}

TEST_F(HotFadeTest, BackwardBeforeAnyForwardFinishesAtOnce) {
  player_.PlayBackward();
  EXPECT_EQ(values_, (std::vector<int32_t>{0}));
  EXPECT_EQ(finished_, 1);
  EXPECT_FALSE(player_.IsPlaying());
}

TEST_F(HotFadeTest, CancelStopsWhereItIs) {
  player_.Restart();
  clock_.Advance(75);
  player_.Tick();
  player_.Cancel();
  EXPECT_FALSE(player_.IsPlaying());
  EXPECT_EQ(player_.GetCurrentValue(), 76);
  EXPECT_EQ(finished_, 0);
}

TEST_F(HotFadeTest, RestartAfterGoingBackwardRunsForwardAgain) {
  player_.Restart();
  player_.PlayBackward();
  player_.Restart();
  EXPECT_EQ(player_.GetStartValue(), 0);
  EXPECT_EQ(player_.GetEndValue(), 255);
  clock_.Advance(250);
  player_.Tick();
  EXPECT_EQ(values_.back(), 255);
}

TEST(AnimationPlayerTest, DurationFromTheAccelerationCoefficient) {
  // sqrt(100 / (0.00084 x 0.3 x (2 - 0.3 - 0.7))) = sqrt(100 / 0.000252) = 629.9.
  AnimationPlayer player;
  ManualClock clock;
  clock.Attach(&player);
  player.SetEndValue(100);
  player.SetAccelerationRatio(0.3);
  player.SetDecelerationRatio(0.7);
  player.SetAccelerationCoefficient(0.00084);
  player.Restart();
  EXPECT_EQ(player.GetDuration(), 629);
  EXPECT_EQ(player.GetInterval(), 6);
}

TEST(AnimationPlayerTest, DerivedDurationIsCappedByTheMaximum) {
  AnimationPlayer player;
  ManualClock clock;
  clock.Attach(&player);
  player.SetEndValue(1000000);
  player.SetAccelerationRatio(0.5);
  player.SetDecelerationRatio(0.5);
  player.SetAccelerationCoefficient(1e-12);
  player.SetMaxDuration(2000);
  player.Restart();
  EXPECT_EQ(player.GetDuration(), 2000);
  // Halfway in time is halfway in distance for a symmetric curve.
  clock.Advance(1000);
  player.Tick();
  EXPECT_NEAR(player.GetCurrentValue(), 500000, 1);
}

TEST(AnimationPlayerTest, LinearMotionWithoutRatios) {
  AnimationPlayer player;
  ManualClock clock;
  clock.Attach(&player);
  player.SetStartValue(100);
  player.SetEndValue(0);
  player.SetDuration(200);
  player.Restart();
  clock.Advance(50);
  player.Tick();
  EXPECT_EQ(player.GetCurrentValue(), 75);
  // Without a duration the speed decides it; without either it ends at once.
  AnimationPlayer by_speed;
  by_speed.SetEndValue(30);
  by_speed.SetCruiseSpeed(0.5);
  by_speed.Restart();
  EXPECT_EQ(by_speed.GetDuration(), 60);
  AnimationPlayer no_speed;
  no_speed.SetEndValue(30);
  no_speed.Restart();
  EXPECT_EQ(no_speed.GetCurrentValue(), 30);
  EXPECT_FALSE(no_speed.IsPlaying());
}

TEST(AnimationPlayerTest, EqualStartAndEndFinishAtOnce) {
  AnimationPlayer player;
  int finished = 0;
  player.SetStartValue(9);
  player.SetEndValue(9);
  player.SetFinishCallback([&finished] { ++finished; });
  player.Restart();
  EXPECT_EQ(finished, 1);
  EXPECT_FALSE(player.IsPlaying());
}

TEST(AnimationPlayerTest, FinishCallbackMayDestroyThePlayer) {
  auto player = std::make_unique<AnimationPlayer>();
  ManualClock clock;
  clock.Attach(player.get());
  player->SetEndValue(10);
  player->SetDuration(10);
  player->SetFinishCallback([&player] { player.reset(); });
  player->Restart();
  clock.Advance(20);
  player->Tick();
  EXPECT_EQ(player, nullptr);
}

TEST(AnimationPlayerTest, TheTimerQueueDrivesItInRealTime) {
  AnimationPlayer player;
  player.SetEndValue(50);
  player.SetDuration(60);
  bool finished = false;
  player.SetFinishCallback([&finished] { finished = true; });
  player.Restart();
  EXPECT_TRUE(PumpUntil([&finished] { return finished; }, 3000));
  EXPECT_EQ(player.GetCurrentValue(), 50);
}

// The control's animations -----------------------------------------------------

TEST(AnimationManagerTest, SwitchesCreateAndRemovePlayers) {
  Control control;
  AnimationManager& animations = control.GetAnimationManager();
  control.ApplyAttribute(L"fadealpha", L"true");
  EXPECT_EQ(control.GetAlpha(), 0);
  ASSERT_NE(animations.GetPlayer(AnimationType::kAlpha), nullptr);
  control.ApplyAttribute(L"fadealpha", L"false");
  EXPECT_EQ(control.GetAlpha(), 255);
  EXPECT_EQ(animations.GetPlayer(AnimationType::kAlpha), nullptr);

  control.ApplyAttribute(L"fadeinoutxfromright", L"true");
  AnimationPlayer* slide = animations.GetPlayer(AnimationType::kXFromRight);
  ASSERT_NE(slide, nullptr);
  // A control that measures nothing slides 100 pixels.
  EXPECT_EQ(slide->GetStartValue(), -100);
  EXPECT_EQ(slide->GetEndValue(), 0);
  control.ApplyAttribute(L"fadeinoutxfromleft", L"false");
  EXPECT_NE(animations.GetPlayer(AnimationType::kXFromRight), nullptr);
  control.ApplyAttribute(L"fadeinoutxfromright", L"false");
  EXPECT_EQ(animations.GetPlayer(AnimationType::kXFromRight), nullptr);

  control.SetFixedWidth(80);
  control.ApplyAttribute(L"fadewidth", L"true");
  EXPECT_EQ(animations.GetPlayer(AnimationType::kWidth)->GetEndValue(), 80);
}

TEST(AnimationManagerTest, DisappearWithoutAnimationsHidesAtOnce) {
  Control control;
  control.SetFadeVisible(false);
  EXPECT_FALSE(control.IsVisible());
  control.SetFadeVisible(true);
  EXPECT_TRUE(control.IsVisible());
}

TEST(AnimationManagerTest, FadeInAndOutDriveAlphaAndHideAtTheEnd) {
  Control control;
  control.ApplyAttribute(L"fadealpha", L"true");
  ManualClock clock;
  clock.Attach(control.GetAnimationManager().GetPlayer(AnimationType::kAlpha));
  control.SetFadeVisible(true);
  clock.Advance(300);
  control.GetAnimationManager().GetPlayer(AnimationType::kAlpha)->Tick();
  EXPECT_EQ(control.GetAlpha(), 255);
  EXPECT_TRUE(control.IsVisible());

  control.SetFadeVisible(false);
  EXPECT_TRUE(control.IsVisible());
  clock.Advance(300);
  control.GetAnimationManager().GetPlayer(AnimationType::kAlpha)->Tick();
  EXPECT_EQ(control.GetAlpha(), 0);
  EXPECT_FALSE(control.IsVisible());
}

TEST(AnimationManagerTest, WidthAnimationGrowsTheFixedWidth) {
  Control control;
  control.SetFixedWidth(100);
  control.ApplyAttribute(L"fadewidth", L"true");
  AnimationPlayer* player = control.GetAnimationManager().GetPlayer(AnimationType::kWidth);
  ManualClock clock;
  clock.Attach(player);
  control.SetFadeVisible(true);
  EXPECT_EQ(player->GetDuration(), 629);
  clock.Advance(314);
  player->Tick();
  EXPECT_GT(control.GetFixedWidth(), 0);
  EXPECT_LT(control.GetFixedWidth(), 100);
  clock.Advance(400);
  player->Tick();
  EXPECT_EQ(control.GetFixedWidth(), 100);
}

TEST(AnimationManagerTest, HotFadeFollowsTheMouseInRealTime) {
  Control control;
  control.ApplyAttribute(L"hotcolor", L"anim_hot");
  control.SendEvent(kEventMouseEnter);
  EXPECT_EQ(control.GetState(), ControlState::kHot);
  EXPECT_TRUE(PumpUntil([&control] { return control.GetHotAlpha() == 255; }, 3000));
  control.SendEvent(kEventMouseLeave);
  EXPECT_TRUE(PumpUntil([&control] { return control.GetHotAlpha() == 0; }, 3000));
}

TEST(AnimationManagerTest, ADestroyedControlsPendingStepsAreDropped) {
  auto doomed = std::make_unique<Control>();
  Control survivor;
  for (Control* control : {doomed.get(), &survivor}) {
    control->ApplyAttribute(L"hotcolor", L"anim_hot");
    control->SendEvent(kEventMouseEnter);
  }
  doomed.reset();
  // The queue keeps running: the dead control's steps go, the other's come.
  EXPECT_TRUE(PumpUntil([&survivor] { return survivor.GetHotAlpha() == 255; }, 3000));
}

}  // namespace
}  // namespace ui
