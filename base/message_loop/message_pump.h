#pragma once

#include <windows.h>

#include <cstdint>

#include "base/thread/thread_checker.h"
#include "base/time/time.h"

namespace kbase {

// Milliseconds from |now| until |due_time|, rounded up so that a wait of
// that length never wakes before the work is due: -1 when |due_time| is 0
// (nothing scheduled), 0 when it has passed.
int64_t RoundedUpDelayMs(Ticks due_time, Ticks now);

// Waits for work and interleaves the loop's tasks with whatever else the
// thread serves.
class MessagePump {
 public:
  // What the pump drives; implemented by MessageLoop.
  class Delegate {
   public:
    virtual ~Delegate() = default;
    // Runs at most one immediate task; true when one ran.
    virtual bool PerformWork() = 0;
    // Runs at most one due delayed task; reports the next due time (0: none).
    virtual bool PerformDelayedWork(Ticks* next_due_time) = 0;
    // Runs deferred work or honours a pending quit; true when work ran.
    virtual bool PerformIdleWork() = 0;
  };

  virtual ~MessagePump() = default;
  virtual void Run(Delegate* delegate) = 0;
  virtual void Quit() = 0;
  // Callable from any thread.
  virtual void WakeUp() = 0;
  virtual void ScheduleDelayedWakeUp(Ticks due_time) = 0;
};

// A pump with nestable runs, each with its own quit request.
class WinMessagePump : public MessagePump {
 public:
  // Dispatches the messages of one run in place of Translate/Dispatch.
  class Dispatcher {
   public:
    virtual ~Dispatcher() = default;
    // False ends the run.
    virtual bool Dispatch(const MSG& message) = 0;
  };

  void Run(Delegate* delegate) override { RunWithDispatcher(delegate, nullptr); }
  // Ends the innermost run once it sees the request.
  void Quit() override {
    KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
    if (run_state_)
      run_state_->should_quit = true;
  }
  void RunWithDispatcher(Delegate* delegate, Dispatcher* dispatcher) {
    KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
    KBASE_DCHECK(delegate);
    RunState state{run_state_ ? run_state_->depth + 1 : 1, false, delegate, dispatcher};
    RunState* previous = run_state_;
    run_state_ = &state;
    DoRunLoop();
    run_state_ = previous;
  }

 protected:
  struct RunState {
    int depth;
    bool should_quit;
    Delegate* delegate;
    Dispatcher* dispatcher;
  };

  virtual void DoRunLoop() = 0;

  RunState* run_state_ = nullptr;
  // Everything but WakeUp belongs to the thread that built the pump.
  ThreadChecker loop_thread_;
};

}  // namespace kbase
