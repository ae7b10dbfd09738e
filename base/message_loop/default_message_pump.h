#pragma once

#include <windows.h>

#include <atomic>

#include "base/message_loop/message_pump.h"
#include "base/thread/thread_checker.h"

namespace kbase {

// The pump of a plain loop: it sleeps on an auto-reset event that WakeUp
// signals, or until the earliest delayed task is due.
//
// An idle loop first watches for a wake-up for a few tens of microseconds,
// then says that it sleeps and sleeps; WakeUp sets the event only when the
// loop may be asleep. Under Wine each SetEvent and each wait is a server
// round trip, which a stream of posts from another thread would otherwise
// pay every time the loop has caught up with it.
//
// WakeUp is callable from any thread; everything else belongs to the thread
// that constructed the pump (the loop's thread).
class DefaultMessagePump : public MessagePump {
 public:
  static constexpr int64_t kLongestWaitMs = 0xFFFFFFFE;
  // Checks for a wake-up before an idle loop sleeps; a pause instruction
  // takes some 10 to 40 ns, so this watches for about 10 to 40 us.
  static constexpr int kIdleSpins = 1000;
  // Pauses between seeing a wake-up while watching and looking for the work
  // (about a microsecond).
  static constexpr int kGatherSpins = 30;

  DefaultMessagePump();
  ~DefaultMessagePump() override;
  DefaultMessagePump(const DefaultMessagePump&) = delete;
  DefaultMessagePump& operator=(const DefaultMessagePump&) = delete;

  void Run(Delegate* delegate) override;
  void Quit() override;
  void WakeUp() override;
  void ScheduleDelayedWakeUp(Ticks due_time) override;

 private:
  // Sleeps until woken or until the delayed work is due; clears the due
  // time without sleeping when it has already passed.
  void WaitForWork();
  // Takes a wake-up that arrived since the last look; true when there was
  // one.
  bool TakeWakeUp();

  // Read by WakeUp, never changed after construction.
  HANDLE wake_event_;
  ThreadChecker loop_thread_;

  // The loop's thread's own state, which it writes on every pass.
  alignas(64) bool should_quit_ = false;
  Ticks delayed_wake_up_time_ = 0;

  // What WakeUp touches, on a cache line of its own so that the loop's
  // thread writing its state does not take the line from the posters.
  // wake_requested_: set by every WakeUp, taken (exchanged with 0) by the
  // loop before it looks for work. sleeping_: 1 from just before the loop's
  // last look for a wake-up until its wait returns; the WakeUp that changes
  // it back to 0 sets the event. Each side writes its own flag before it
  // reads the other's (all sequentially consistent), so at least one of
  // them sees the other: a loop that goes to sleep is always woken.
  alignas(64) std::atomic<LONG> wake_requested_{0};
  std::atomic<LONG> sleeping_{0};
};

}  // namespace kbase
