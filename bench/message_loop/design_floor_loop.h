#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>

// The UI loop's design floor: a bare loop that makes exactly the system
// calls the UI pump needs for each task, and nothing else. Values wait in an
// in-process queue under a critical section; a poster that finds the queue
// empty wakes the consumer with one posted message (at most one in flight).
// For each value the consumer checks the queue status for sent messages and
// peeks one message, as the pump does, then takes the value; with nothing
// to take it waits for input.
class DesignFloorLoop {
 public:
  static constexpr UINT kMsgWakeUp = WM_APP + 11;

  // Construct on the consumer's thread.
  DesignFloorLoop() : consumer_(GetCurrentThreadId()) {
    InitializeCriticalSection(&lock_);
    MSG message;  // the thread needs a message queue before anyone posts
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  }
  ~DesignFloorLoop() { DeleteCriticalSection(&lock_); }
  DesignFloorLoop(const DesignFloorLoop&) = delete;
  DesignFloorLoop& operator=(const DesignFloorLoop&) = delete;

  // Callable from any thread.
  void Post(int value) {
    EnterCriticalSection(&lock_);
    const bool was_empty = incoming_.empty();
    incoming_.push_back(value);
    LeaveCriticalSection(&lock_);
    if (was_empty && wake_up_posted_.exchange(1) == 0)
      PostThreadMessageW(consumer_, kMsgWakeUp, 0, 0);
  }

  // Runs |on_value| for each value until a negative one arrives.
  void Run(const std::function<void(int)>& on_value) {
    std::deque<int> work;
    for (;;) {
      GetQueueStatus(QS_SENDMESSAGE);
      MSG message;
      if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == kMsgWakeUp)
          wake_up_posted_.exchange(0);
        else
          DispatchMessageW(&message);
      }
      if (work.empty()) {
        EnterCriticalSection(&lock_);
        work.swap(incoming_);
        LeaveCriticalSection(&lock_);
      }
      if (!work.empty()) {
        const int value = work.front();
        work.pop_front();
        if (value < 0)
          return;
        on_value(value);
        continue;
      }
      MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
  }

 private:
  const DWORD consumer_;
  CRITICAL_SECTION lock_;
  std::deque<int> incoming_;  // guarded by lock_
  std::atomic<LONG> wake_up_posted_{0};
};
