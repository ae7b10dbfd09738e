#include "base/message_loop/default_message_pump.h"

namespace kbase {

DefaultMessagePump::DefaultMessagePump()
    : wake_event_(CreateEventW(nullptr, /*bManualReset=*/FALSE, /*bInitialState=*/FALSE, nullptr)) {
}

DefaultMessagePump::~DefaultMessagePump() {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  if (wake_event_)
    CloseHandle(wake_event_);
}

void DefaultMessagePump::Run(Delegate* delegate) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  KBASE_DCHECK(delegate);
  bool more_work = delegate->PerformWork();
  while (!should_quit_) {
    more_work |= delegate->PerformDelayedWork(&delayed_wake_up_time_);
    if (should_quit_)
      break;
    if (!more_work) {
      more_work = delegate->PerformIdleWork();
      if (should_quit_)
        break;
    }
    if (!more_work)
      WaitForWork();
    more_work = delegate->PerformWork();
  }
  should_quit_ = false;
}

void DefaultMessagePump::WaitForWork() {
  if (delayed_wake_up_time_ != 0 && RoundedUpDelayMs(delayed_wake_up_time_, NowTicks()) == 0) {
    // Already due: the next pass runs it without sleeping.
    delayed_wake_up_time_ = 0;
    return;
  }
  for (int spin = 0; spin < kIdleSpins; ++spin) {
    if (wake_requested_.load(std::memory_order_acquire) != 0) {
      // The first post of a stream has come; letting the next ones gather
      // for a moment makes one refill of the queue take them all, where
      // taking each alone would fight the poster for the queue's lock on
      // every post.
      for (int pause = 0; pause < kGatherSpins; ++pause)
        YieldProcessor();
      TakeWakeUp();
      return;
    }
    YieldProcessor();
  }
  DWORD timeout = INFINITE;
  if (delayed_wake_up_time_ != 0) {
    const int64_t delay = RoundedUpDelayMs(delayed_wake_up_time_, NowTicks());
    if (delay == 0) {
      delayed_wake_up_time_ = 0;
      return;
    }
    timeout = static_cast<DWORD>(delay > kLongestWaitMs ? kLongestWaitMs : delay);
  }
  sleeping_.store(1);
  if (TakeWakeUp()) {
    // A WakeUp that already saw the flag sets the event anyway; the next
    // wait then returns at once, which costs one pass and loses nothing.
    sleeping_.store(0);
    return;
  }
  WaitForSingleObject(wake_event_, timeout);
  sleeping_.store(0);
  // The wake-up that ended the wait is answered by the PerformWork that
  // follows every wait.
  TakeWakeUp();
}

bool DefaultMessagePump::TakeWakeUp() {
  // An exchange, not a store: reading the posters' flag orders their
  // queued work before the loop's next look at the queue.
  return wake_requested_.exchange(0) != 0;
}

void DefaultMessagePump::Quit() {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  should_quit_ = true;
}

void DefaultMessagePump::WakeUp() {
  wake_requested_.store(1);
  // Only the one WakeUp that finds the loop asleep sets the event.
  if (sleeping_.load() != 0 && sleeping_.exchange(0) != 0)
    SetEvent(wake_event_);
}

void DefaultMessagePump::ScheduleDelayedWakeUp(Ticks due_time) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  delayed_wake_up_time_ = due_time;
}

}  // namespace kbase
