#pragma once

#include <cstdint>
#include <functional>

#include "base/callback/weak_callback.h"

namespace ui {

// Moves an integer value from a start to an end over time, reporting every
// new value through a callback; a repeating timer of the timer queue drives
// it. The player's own weak flag cancels its timer. The virtual operations
// keep this order.
class AnimationPlayerBase : public virtual kbase::SupportWeakCallback {
 public:
  using ValueCallback = std::function<void(int32_t value)>;
  using FinishCallback = std::function<void()>;
  // Reads a monotonic counter; ticks per second come with it.
  using CounterSource = std::function<int64_t()>;

  static constexpr int32_t kDefaultMaxDuration = 1000000;

  AnimationPlayerBase();
  ~AnimationPlayerBase() override;

  // Every field back to its default.
  virtual void ResetPlayer();
  // From the start, forwards.
  virtual void Restart();
  // Stops where it is.
  virtual void Cancel();
  // Towards the end value; a player running backwards turns around from
  // its current value.
  virtual void PlayForward();
  // Towards the start value, likewise.
  virtual void PlayBackward();
  virtual void Animate();
  // The value at the current elapsed time.
  virtual int32_t CurrentValue() = 0;

  // One timer step: adds the time since the last step and reports the new
  // value; at the end reports the end value and finishes.
  void Tick();

  void SetStartValue(int32_t value) { start_value_ = value; }
  void SetEndValue(int32_t value) { end_value_ = value; }
  void SetCurrentValue(int32_t value) { current_value_ = value; }
  void SetDuration(int32_t milliseconds) { duration_ = milliseconds; }
  void SetElapsed(double milliseconds) { elapsed_ = milliseconds; }
  void SetValueCallback(ValueCallback callback) { value_callback_ = std::move(callback); }
  void SetFinishCallback(FinishCallback callback) { finish_callback_ = std::move(callback); }
  void SetMaxDuration(int32_t milliseconds) { max_duration_ = milliseconds; }
  // Tests drive time themselves; null restores the performance counter.
  void SetCounterSource(CounterSource source, int64_t frequency);

  int32_t GetStartValue() const { return start_value_; }
  int32_t GetEndValue() const { return end_value_; }
  int32_t GetCurrentValue() const { return current_value_; }
  int32_t GetDuration() const { return duration_; }
  double GetElapsed() const { return elapsed_; }
  int32_t GetInterval() const { return interval_; }
  bool IsPlaying() const { return playing_; }
  bool IsBackward() const { return backward_; }

 protected:
  // Derives the curve's parameters; runs before every start.
  virtual void PrepareCurve() {}

  int32_t start_value_ = 0;
  int32_t end_value_ = 0;
  int32_t current_value_ = 0;
  int32_t duration_ = -1;
  double elapsed_ = 0;
  int32_t interval_ = 0;
  bool playing_ = false;
  bool backward_ = false;
  ValueCallback value_callback_;
  FinishCallback finish_callback_;
  int64_t last_counter_ = 0;
  int64_t counter_frequency_ = 0;
  int32_t max_duration_ = kDefaultMaxDuration;

 private:
  void Turn(bool backward);
  // The elapsed time at which the curve, as it now runs, shows |value|.
  double ElapsedForValue(int32_t value);
  bool ReachedEnd(int32_t value) const;
  void Finish();
  int64_t ReadCounter() const;

  CounterSource counter_source_;
  int64_t source_frequency_ = 0;
  // Tells a step that a callback destroyed the player.
  kbase::WeakCallbackFlag liveness_;
};

// Accelerates, cruises and decelerates: value = a·t² while accelerating,
// then a constant speed, then d·u² + v·u while decelerating. Without the
// two ratios the motion is linear.
class AnimationPlayer : public AnimationPlayerBase {
 public:
  void ResetPlayer() override;
  int32_t CurrentValue() override;
  virtual void SetAccelerationCoefficient(double coefficient);
  virtual void SetDecelerationCoefficient(double coefficient);

  void SetAccelerationRatio(double ratio) { acceleration_ratio_ = ratio; }
  void SetDecelerationRatio(double ratio) { deceleration_ratio_ = ratio; }
  void SetCruiseSpeed(double speed) { cruise_speed_ = speed; }

  double GetAccelerationTime() const { return acceleration_time_; }
  double GetCruiseTime() const { return cruise_time_; }
  double GetDecelerationTime() const { return deceleration_time_; }
  double GetCruiseSpeed() const { return cruise_speed_; }

 protected:
  void PrepareCurve() override;

 private:
  // Coefficients from a known duration.
  void DeriveCoefficients(double distance, double duration);
  // Distance travelled after |t| milliseconds.
  double DistanceAt(double t) const;

  double acceleration_ratio_ = 0;
  double deceleration_ratio_ = 0;
  double acceleration_time_ = 0;
  double cruise_speed_ = 0;
  double cruise_time_ = 0;
  double deceleration_time_ = 0;
  double acceleration_coefficient_ = 0;
  double deceleration_coefficient_ = 0;
  double deceleration_start_speed_ = 0;
  // The term a·r that ties the phases together.
  double peak_term_ = 0;
};

}  // namespace ui
