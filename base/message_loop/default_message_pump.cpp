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
  DWORD timeout = INFINITE;
  if (delayed_wake_up_time_ != 0) {
    const int64_t delay = RoundedUpDelayMs(delayed_wake_up_time_, NowTicks());
    if (delay == 0) {
      // Already due: the next pass runs it without sleeping.
      delayed_wake_up_time_ = 0;
      return;
    }
    timeout = static_cast<DWORD>(delay > kLongestWaitMs ? kLongestWaitMs : delay);
  }
  // Clearing the flag only after the signal was taken keeps the event
  // signalled whenever the flag says so; a task posted in between is found
  // by the PerformWork that follows every wait.
  if (WaitForSingleObject(wake_event_, timeout) == WAIT_OBJECT_0)
    wake_up_pending_.exchange(0);
}

void DefaultMessagePump::Quit() {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  should_quit_ = true;
}

void DefaultMessagePump::WakeUp() {
  if (wake_up_pending_.exchange(1) != 0)
    return;  // the event is signalled and no wait has taken it yet
  if (!SetEvent(wake_event_))
    wake_up_pending_.exchange(0);
}

void DefaultMessagePump::ScheduleDelayedWakeUp(Ticks due_time) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  delayed_wake_up_time_ = due_time;
}

}  // namespace kbase
