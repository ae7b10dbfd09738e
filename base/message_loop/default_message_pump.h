#pragma once

#include <windows.h>

#include <atomic>

#include "base/message_loop/message_pump.h"
#include "base/thread/thread_checker.h"

namespace kbase {

// The pump of a plain loop: it sleeps on an auto-reset event that WakeUp
// signals, or until the earliest delayed task is due.
//
// WakeUp is callable from any thread; everything else belongs to the thread
// that constructed the pump (the loop's thread).
class DefaultMessagePump : public MessagePump {
 public:
  static constexpr int64_t kLongestWaitMs = 0xFFFFFFFE;

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

  HANDLE wake_event_;
  // 1 from a WakeUp's SetEvent until a wait has taken the signal: further
  // posts skip a system call (a server round trip under Wine) that would
  // change nothing, since an auto-reset event holds one signal at most.
  std::atomic<LONG> wake_up_pending_{0};
  bool should_quit_ = false;
  Ticks delayed_wake_up_time_ = 0;
  ThreadChecker loop_thread_;
};

}  // namespace kbase
