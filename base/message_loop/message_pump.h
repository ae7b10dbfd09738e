#pragma once

#include <windows.h>

#include "base/time/time.h"

namespace kbase {

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

// A pump built on the thread's Windows message queue.
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
  void Quit() override {
    if (run_state_)
      run_state_->should_quit = true;
  }
  void RunWithDispatcher(Delegate* delegate, Dispatcher* dispatcher) {
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
};

}  // namespace kbase
