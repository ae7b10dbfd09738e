#include "ui/control/animation_player.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "ui/core/timer_queue.h"

namespace ui {

namespace {

int64_t PerformanceCounter() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

int64_t PerformanceFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

int64_t Distance(int32_t from, int32_t to) {
  return std::llabs(int64_t{to} - from);
}

// Iterations of the search for the time at which the curve shows a value;
// halves the duration each time, so 48 reach far below a millisecond.
constexpr int kSearchSteps = 48;

}  // namespace

AnimationPlayerBase::AnimationPlayerBase() = default;

AnimationPlayerBase::~AnimationPlayerBase() = default;

void AnimationPlayerBase::ResetPlayer() {
  CancelWeakCallbacks();
  start_value_ = 0;
  end_value_ = 0;
  current_value_ = 0;
  duration_ = -1;
  elapsed_ = 0;
  interval_ = 0;
  playing_ = false;
  backward_ = false;
  value_callback_ = nullptr;
  finish_callback_ = nullptr;
  last_counter_ = 0;
  counter_frequency_ = 0;
  max_duration_ = kDefaultMaxDuration;
}

void AnimationPlayerBase::Restart() {
  Cancel();
  // Back to the original direction, or the values would run the wrong way.
  if (backward_)
    std::swap(start_value_, end_value_);
  elapsed_ = 0;
  backward_ = false;
  Animate();
}

void AnimationPlayerBase::Cancel() {
  CancelWeakCallbacks();
  playing_ = false;
}

void AnimationPlayerBase::PlayForward() {
  Cancel();
  if (backward_)
    Turn(false);
  Animate();
}

void AnimationPlayerBase::PlayBackward() {
  Cancel();
  if (!backward_)
    Turn(true);
  Animate();
}

void AnimationPlayerBase::Turn(bool backward) {
  std::swap(start_value_, end_value_);
  backward_ = backward;
  PrepareCurve();
  // The curve is not symmetric (it accelerates for less time than it
  // decelerates), so mirroring the elapsed time would jump; continue from
  // the value shown instead.
  elapsed_ = ElapsedForValue(current_value_);
}

double AnimationPlayerBase::ElapsedForValue(int32_t value) {
  const double duration = std::max(duration_, 0);
  const int64_t total = Distance(start_value_, end_value_);
  const bool between = start_value_ < end_value_ ? value >= start_value_ && value <= end_value_
                                                 : value <= start_value_ && value >= end_value_;
  if (!between) {
    // Outside the range: the nearer end.
    return Distance(value, start_value_) <= Distance(value, end_value_) ? 0 : duration;
  }
  const int64_t target = std::min(Distance(start_value_, value), total);
  const double saved = elapsed_;
  double low = 0;
  double high = duration;
  for (int i = 0; i < kSearchSteps; ++i) {
    const double middle = (low + high) / 2;
    elapsed_ = middle;
    if (Distance(start_value_, CurrentValue()) >= target)
      high = middle;
    else
      low = middle;
  }
  elapsed_ = saved;
  return high;
}

void AnimationPlayerBase::Animate() {
  PrepareCurve();
  counter_frequency_ = source_frequency_ > 0 ? source_frequency_ : PerformanceFrequency();
  last_counter_ = ReadCounter();
  playing_ = true;
  if (start_value_ == end_value_) {
    Finish();
    return;
  }
  const int64_t interval = std::max<int64_t>(duration_, 0) / Distance(start_value_, end_value_);
  interval_ = static_cast<int32_t>(std::max<int64_t>(interval, 1));

  std::weak_ptr<kbase::WeakFlag> alive = liveness_.AcquireWeakFlag();
  Tick();
  if (alive.expired() || !playing_)
    return;
  TimerQueue::Instance()->AddTimer(
      AcquireWeakFlag(), [this] { Tick(); }, interval_, TimerQueue::kRepeatForever);
}

void AnimationPlayerBase::Tick() {
  const int64_t now = ReadCounter();
  if (counter_frequency_ > 0)
    elapsed_ += static_cast<double>(now - last_counter_) * 1000.0 / counter_frequency_;
  last_counter_ = now;

  const int32_t value = CurrentValue();
  std::weak_ptr<kbase::WeakFlag> alive = liveness_.AcquireWeakFlag();
  if (ReachedEnd(value)) {
    current_value_ = end_value_;
    if (value_callback_) {
      ValueCallback report = value_callback_;
      report(end_value_);
      if (alive.expired())
        return;
    }
    Finish();
    return;
  }
  if (value == current_value_)
    return;
  current_value_ = value;
  if (value_callback_) {
    ValueCallback report = value_callback_;
    report(value);
  }
}

bool AnimationPlayerBase::ReachedEnd(int32_t value) const {
  return start_value_ < end_value_ ? value >= end_value_ : value <= end_value_;
}

void AnimationPlayerBase::Finish() {
  // Stopped before the callback runs, so that it may start the player
  // again or destroy it.
  CancelWeakCallbacks();
  playing_ = false;
  if (finish_callback_) {
    FinishCallback finished = finish_callback_;
    finished();
  }
}

void AnimationPlayerBase::SetCounterSource(CounterSource source, int64_t frequency) {
  counter_source_ = std::move(source);
  source_frequency_ = counter_source_ ? frequency : 0;
}

int64_t AnimationPlayerBase::ReadCounter() const {
  return counter_source_ ? counter_source_() : PerformanceCounter();
}

void AnimationPlayer::ResetPlayer() {
  AnimationPlayerBase::ResetPlayer();
  acceleration_ratio_ = 0;
  deceleration_ratio_ = 0;
  acceleration_time_ = 0;
  cruise_speed_ = 0;
  cruise_time_ = 0;
  deceleration_time_ = 0;
  acceleration_coefficient_ = 0;
  deceleration_coefficient_ = 0;
  deceleration_start_speed_ = 0;
  peak_term_ = 0;
}

void AnimationPlayer::SetAccelerationCoefficient(double coefficient) {
  acceleration_coefficient_ = coefficient;
}

void AnimationPlayer::SetDecelerationCoefficient(double coefficient) {
  deceleration_coefficient_ = coefficient;
}

void AnimationPlayer::PrepareCurve() {
  const double distance = static_cast<double>(Distance(start_value_, end_value_));
  const double r = acceleration_ratio_;
  const double s = deceleration_ratio_;
  const double max_duration = std::max(max_duration_, 0);

  if (r == 0 && s == 0) {
    // Linear: the duration and the speed give each other.
    if (duration_ == -1) {
      const double derived = cruise_speed_ > 0 ? distance / cruise_speed_ : 0;
      duration_ = static_cast<int32_t>(std::min(derived, max_duration));
    } else {
      cruise_speed_ = duration_ > 0 ? distance / duration_ : 0;
    }
    acceleration_time_ = 0;
    deceleration_time_ = 0;
    cruise_time_ = duration_;
    acceleration_coefficient_ = 0;
    deceleration_coefficient_ = 0;
    return;
  }

  if (duration_ != -1) {
    DeriveCoefficients(distance, duration_);
  } else {
    // From the given coefficient: the duration that covers the distance.
    DeriveCoefficients(distance, -1);
    const double a = acceleration_coefficient_;
    const double d = deceleration_coefficient_;
    const double per_square_ms = a * r * r + (1 - r - s) * 2 * peak_term_ - d * s * s;
    const double derived = per_square_ms > 0 ? std::sqrt(distance / per_square_ms) : max_duration;
    if (!std::isfinite(derived) || derived > max_duration) {
      duration_ = static_cast<int32_t>(max_duration);
      DeriveCoefficients(distance, duration_);
    } else {
      duration_ = static_cast<int32_t>(derived);
    }
  }

  const double t = std::max(duration_, 0);
  acceleration_time_ = t * r;
  cruise_speed_ = 2 * peak_term_ * t;
  deceleration_start_speed_ = cruise_speed_;
  deceleration_time_ = t * s;
  cruise_time_ = t - t * r - t * s;
}

void AnimationPlayer::DeriveCoefficients(double distance, double duration) {
  const double r = acceleration_ratio_;
  const double s = deceleration_ratio_;
  if (duration > 0) {
    const double squared = duration * duration;
    if (r == 0) {
      const double share = (1 - r - s) * 2 * s + s * s + s * r;
      deceleration_coefficient_ = share != 0 ? -distance / (share * squared) : 0;
    } else {
      const double share = (1 - r - s) * 2 * r + r * r + s * r;
      acceleration_coefficient_ = share != 0 ? distance / (share * squared) : 0;
    }
  }
  // The acceleration phase ends at the speed the deceleration starts with.
  if (acceleration_coefficient_ == 0 || r == 0) {
    peak_term_ = (s != 0 && deceleration_coefficient_ != 0) ? -s * deceleration_coefficient_ : 0;
    if (r != 0)
      acceleration_coefficient_ = peak_term_ / r;
  } else {
    peak_term_ = acceleration_coefficient_ * r;
    if (s != 0)
      deceleration_coefficient_ = -peak_term_ / s;
  }
}

double AnimationPlayer::DistanceAt(double t) const {
  const double a = acceleration_coefficient_;
  const double v = cruise_speed_;
  const double d = deceleration_coefficient_;
  const double t1 = acceleration_time_;
  const double t2 = cruise_time_;
  if (t <= t1)
    return a * t * t;
  if (t <= t1 + t2)
    return (t - t1) * v + a * t1 * t1;
  const double u = t - t1 - t2;
  return a * t1 * t1 + v * t2 + d * u * u + v * u;
}

int32_t AnimationPlayer::CurrentValue() {
  if (elapsed_ >= duration_)
    return end_value_;
  const double total = static_cast<double>(Distance(start_value_, end_value_));
  const double distance = std::clamp(DistanceAt(std::max(elapsed_, 0.0)), 0.0, total);
  const int64_t travelled = static_cast<int64_t>(distance);
  const int64_t value = start_value_ < end_value_ ? int64_t{start_value_} + travelled
                                                  : int64_t{start_value_} - travelled;
  return static_cast<int32_t>(value);
}

}  // namespace ui
