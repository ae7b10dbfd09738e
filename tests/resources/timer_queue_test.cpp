#include "ui/core/timer_queue.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/callback/weak_callback.h"
#include "tests/support/check_recorder.h"
#include "tests/support/message_pump.h"

namespace ui {
namespace {

using kbase::SupportWeakCallback;
using kbase::WeakCallbackFlag;

class Owner : public SupportWeakCallback {};

// Drives a private queue with chosen counter values, so the order and
// repeat rules are checked without waiting for real time.
class TimerQueueTest : public ::testing::Test {
 protected:
  int64_t Ms(int64_t milliseconds) const { return queue_.frequency() * milliseconds / 1000; }

  void Add(const std::string& name, int32_t milliseconds, int32_t count) {
    queue_.AddTimer(
        owner_.AcquireWeakFlag(), [this, name] { log_.push_back(name); }, milliseconds, count);
  }

  TimerQueue queue_;
  Owner owner_;
  std::vector<std::string> log_;
};

TEST_F(TimerQueueTest, RunsDueTimersInDueOrderAndLeavesTheOthers) {
  const int64_t start = queue_.Now();
  Add("thirty", 30, 1);
  Add("ten", 10, 1);
  Add("twenty", 20, 1);
  Add("late", 5000, 1);

  queue_.ProcessDueTimersAt(start + Ms(1000));
  EXPECT_EQ(log_, (std::vector<std::string>{"ten", "twenty", "thirty"}));
  EXPECT_EQ(queue_.pending_count(), 1u);

  queue_.ProcessDueTimersAt(start + Ms(4000));
  EXPECT_EQ(log_.size(), 3u);
  queue_.ProcessDueTimersAt(start + Ms(6000));
  EXPECT_EQ(log_.back(), "late");
  EXPECT_EQ(queue_.pending_count(), 0u);
}

TEST_F(TimerQueueTest, RepeatCountsGiveTheNumberOfRuns) {
  Add("zero", 10, 0);
  Add("one", 10, 1);
  Add("two", 10, 2);
  Add("three", 10, 3);
  int64_t now = queue_.Now();
  for (int pass = 0; pass < 6; ++pass) {
    now += Ms(1000);
    queue_.ProcessDueTimersAt(now);
  }
  auto runs = [this](const std::string& name) {
    return std::count(log_.begin(), log_.end(), name);
  };
  EXPECT_EQ(runs("zero"), 1);
  EXPECT_EQ(runs("one"), 1);
  EXPECT_EQ(runs("two"), 2);
  EXPECT_EQ(runs("three"), 3);
  EXPECT_EQ(queue_.pending_count(), 0u);
}

TEST_F(TimerQueueTest, AnEmptyCallbackFailsACheckAndRunsNothing) {
  ::test::CheckRecorder checks;
  queue_.AddTimer(owner_.AcquireWeakFlag(), kbase::Closure(), 10, 1);
  EXPECT_EQ(checks.failures(), ::test::CheckRecorder::kChecksEnabled ? 1 : 0);
  Add("after", 10, 1);
  queue_.ProcessDueTimersAt(queue_.Now() + Ms(1000));
  EXPECT_EQ(log_, (std::vector<std::string>{"after"}));
  EXPECT_EQ(queue_.pending_count(), 0u);
}

TEST_F(TimerQueueTest, ForeverRepeatsUntilItsFlagIsCancelled) {
  WeakCallbackFlag flag;
  int runs = 0;
  queue_.AddTimer(
      flag.AcquireWeakFlag(), [&] { ++runs; }, 10, TimerQueue::kRepeatForever);
  int64_t now = queue_.Now();
  for (int pass = 0; pass < 5; ++pass) {
    now += Ms(100);
    queue_.ProcessDueTimersAt(now);
  }
  EXPECT_EQ(runs, 5);

  flag.Cancel();
  now += Ms(100);
  queue_.ProcessDueTimersAt(now);
  EXPECT_EQ(runs, 5);
  EXPECT_EQ(queue_.pending_count(), 0u);
  EXPECT_FALSE(queue_.has_system_timer());
}

TEST_F(TimerQueueTest, RepeatPeriodCountsFromTheProcessingPass) {
  int runs = 0;
  queue_.AddTimer(
      owner_.AcquireWeakFlag(), [&] { ++runs; }, 50, TimerQueue::kRepeatForever);
  // The pass comes 30 ms late; the next run is due 50 ms after the pass,
  // not 50 ms after the missed due time.
  const int64_t pass = queue_.Now() + Ms(80);
  queue_.ProcessDueTimersAt(pass);
  ASSERT_EQ(runs, 1);
  queue_.ProcessDueTimersAt(pass + Ms(49));
  EXPECT_EQ(runs, 1);
  queue_.ProcessDueTimersAt(pass + Ms(50));
  EXPECT_EQ(runs, 2);
}

TEST_F(TimerQueueTest, EqualDueTimesKeepTheirOrderAcrossRepeats) {
  Add("first", 10, TimerQueue::kRepeatForever);
  Add("second", 10, TimerQueue::kRepeatForever);
  Add("third", 10, TimerQueue::kRepeatForever);
  int64_t now = queue_.Now();
  for (int pass = 0; pass < 4; ++pass) {
    now += Ms(20);
    queue_.ProcessDueTimersAt(now);
  }
  ASSERT_EQ(log_.size(), 12u);
  for (size_t i = 0; i < log_.size(); i += 3) {
    EXPECT_EQ(log_[i], "first");
    EXPECT_EQ(log_[i + 1], "second");
    EXPECT_EQ(log_[i + 2], "third");
  }
}

TEST_F(TimerQueueTest, DeadOwnersNeverRunAndAreRemoved) {
  auto doomed = std::make_unique<Owner>();
  bool ran = false;
  queue_.AddTimer(
      doomed->AcquireWeakFlag(), [&] { ran = true; }, 10, 1);
  Add("survivor", 10, 1);
  doomed.reset();

  queue_.ProcessDueTimersAt(queue_.Now() + Ms(1000));
  EXPECT_FALSE(ran);
  EXPECT_EQ(log_, std::vector<std::string>{"survivor"});
  EXPECT_EQ(queue_.pending_count(), 0u);
}

TEST_F(TimerQueueTest, CallbackMayCancelATimerDueInTheSamePass) {
  WeakCallbackFlag later_flag;
  bool later_ran = false;
  queue_.AddTimer(
      owner_.AcquireWeakFlag(), [&] { later_flag.Cancel(); }, 10, 1);
  queue_.AddTimer(
      later_flag.AcquireWeakFlag(), [&] { later_ran = true; }, 20, 1);
  queue_.ProcessDueTimersAt(queue_.Now() + Ms(1000));
  EXPECT_FALSE(later_ran);
  EXPECT_EQ(queue_.pending_count(), 0u);
}

TEST_F(TimerQueueTest, CallbackMayAddTimers) {
  int chained = 0;
  queue_.AddTimer(
      owner_.AcquireWeakFlag(),
      [&] {
        queue_.AddTimer(
            owner_.AcquireWeakFlag(), [&] { ++chained; }, 10, 2);
      },
      10, 1);
  int64_t now = queue_.Now() + Ms(100);
  queue_.ProcessDueTimersAt(now);
  EXPECT_EQ(chained, 0);
  EXPECT_EQ(queue_.pending_count(), 1u);
  EXPECT_TRUE(queue_.has_system_timer());

  for (int pass = 0; pass < 3; ++pass) {
    now += Ms(1000);
    queue_.ProcessDueTimersAt(now);
  }
  EXPECT_EQ(chained, 2);
}

TEST_F(TimerQueueTest, NestedPassFromACallbackRunsEachTimerOnce) {
  // A callback that runs a modal loop lets the queue's message in again.
  int64_t now = queue_.Now() + Ms(1000);
  int outer_runs = 0;
  queue_.AddTimer(
      owner_.AcquireWeakFlag(),
      [&] {
        ++outer_runs;
        queue_.ProcessDueTimersAt(now);
      },
      10, TimerQueue::kRepeatForever);
  Add("inner", 20, 1);
  queue_.ProcessDueTimersAt(now);
  EXPECT_EQ(outer_runs, 1);
  EXPECT_EQ(log_, std::vector<std::string>{"inner"});
  EXPECT_EQ(queue_.pending_count(), 1u);

  now += Ms(1000);
  queue_.ProcessDueTimersAt(now);
  EXPECT_EQ(outer_runs, 2);
  EXPECT_EQ(log_.size(), 1u);
}

TEST_F(TimerQueueTest, ZeroIntervalRepeatingTimerRunsOncePerPass) {
  int runs = 0;
  queue_.AddTimer(
      owner_.AcquireWeakFlag(), [&] { ++runs; }, 0, TimerQueue::kRepeatForever);
  queue_.AddTimer(
      owner_.AcquireWeakFlag(), [&] { ++runs; }, -5, 1);
  const int64_t now = queue_.Now() + Ms(1);
  queue_.ProcessDueTimersAt(now);
  EXPECT_EQ(runs, 2);
  queue_.ProcessDueTimersAt(now);
  EXPECT_EQ(runs, 3);
}

TEST_F(TimerQueueTest, SystemTimerSlowsDownForDistantTimersAndStopsWhenIdle) {
  Add("soon", 10, 1);
  EXPECT_TRUE(queue_.has_system_timer());
  EXPECT_TRUE(queue_.fast_mode());
  EXPECT_EQ(queue_.system_timer_period(), TimerQueue::kFastPeriodMs);

  Add("distant", 5000, 1);
  const int64_t now = queue_.Now() + Ms(100);
  queue_.ProcessDueTimersAt(now);
  ASSERT_EQ(log_, std::vector<std::string>{"soon"});
  EXPECT_TRUE(queue_.has_system_timer());
  EXPECT_FALSE(queue_.fast_mode());
  EXPECT_GE(queue_.system_timer_period(), 4800u);
  EXPECT_LE(queue_.system_timer_period(), 4902u);

  // A new timer brings the short period back at once.
  Add("again", 10, 1);
  EXPECT_TRUE(queue_.fast_mode());
  EXPECT_EQ(queue_.system_timer_period(), TimerQueue::kFastPeriodMs);

  queue_.ProcessDueTimersAt(now + Ms(10000));
  EXPECT_EQ(queue_.pending_count(), 0u);
  EXPECT_FALSE(queue_.has_system_timer());
}

TEST_F(TimerQueueTest, VeryDistantTimerStillGetsASystemTimer) {
  // Longer than the longest period the system accepts for one wait.
  Add("tomorrow", 24 * 60 * 60 * 1000, 1);
  queue_.ProcessDueTimersAt(queue_.Now());
  EXPECT_TRUE(log_.empty());
  EXPECT_FALSE(queue_.fast_mode());
  EXPECT_TRUE(queue_.has_system_timer());
}

// Real time through the message-only window and the multimedia timer.

TEST(TimerQueueRealTimeTest, SingleShotRunsOnceAfterItsInterval) {
  TimerQueue* queue = TimerQueue::Instance();
  ASSERT_NE(queue->message_window(), nullptr);
  Owner owner;
  int runs = 0;
  int64_t fired_at = 0;
  const int64_t start = queue->Now();
  queue->AddTimer(
      owner.AcquireWeakFlag(),
      [&] {
        ++runs;
        fired_at = queue->Now();
      },
      300, 1);
  ASSERT_TRUE(::test::PumpUntil([&] { return runs > 0; }, 3000));
  const int64_t elapsed_ms = (fired_at - start) * 1000 / queue->frequency();
  EXPECT_GE(elapsed_ms, 300);
  // Wine's timer thread adds some slack to the 16 ms period.
  EXPECT_LT(elapsed_ms, 700);

  ::test::PumpFor(100);
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(queue->has_system_timer());
}

TEST(TimerQueueRealTimeTest, OwnerDestroyedBeforeTheDueTimeNeverRuns) {
  TimerQueue* queue = TimerQueue::Instance();
  auto owner = std::make_unique<Owner>();
  bool ran = false;
  bool witness = false;
  queue->AddTimer(
      owner->AcquireWeakFlag(), [&] { ran = true; }, 50, 1);
  Owner other;
  queue->AddTimer(
      other.AcquireWeakFlag(), [&] { witness = true; }, 120, 1);
  owner.reset();
  ASSERT_TRUE(::test::PumpUntil([&] { return witness; }, 3000));
  EXPECT_FALSE(ran);
  EXPECT_EQ(queue->pending_count(), 0u);
}

TEST(TimerQueueRealTimeTest, RepeatingTimerKeepsTicking) {
  TimerQueue queue;
  WeakCallbackFlag flag;
  int runs = 0;
  queue.AddTimer(
      flag.AcquireWeakFlag(), [&] { ++runs; }, 20, TimerQueue::kRepeatForever);
  ASSERT_TRUE(::test::PumpUntil([&] { return runs >= 5; }, 3000));
  flag.Cancel();
  const int seen = runs;
  ::test::PumpFor(150);
  EXPECT_EQ(runs, seen);
  EXPECT_FALSE(queue.has_system_timer());
}

}  // namespace
}  // namespace ui
