#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/callback/callback.h"
#include "base/callback/weak_callback.h"
#include "base/thread/thread_checker.h"

namespace ui {

// The framework's one timer service for everything that animates or repeats
// on the UI thread. Timers wait in one heap ordered by due time on the
// performance counter; a single multimedia timer wakes the queue, and the
// callbacks run on the UI thread through a message-only window. A timer is
// bound to a weak flag: once the flag's owner is gone (or cancels it), the
// timer is dropped without running.
//
// Thread rules: everything is on the thread that constructed the queue
// (checked in debug builds), except Now and frequency, which any thread may
// call. The multimedia timer's own thread only posts to the message window.
class TimerQueue {
 public:
  static constexpr UINT kMsgProcessTimers = 11023;
  static constexpr UINT kFastPeriodMs = 16;
  static constexpr int32_t kRepeatForever = -1;
  static constexpr wchar_t kWindowClassName[] = L"UI_ANIMATION_TIMERMANAGER_H_";

  // The process-wide queue, created on first use; call on the UI thread.
  static TimerQueue* Instance();

  // A private queue with its own message window; the process uses
  // Instance(). Construct and use on one thread.
  TimerQueue();
  ~TimerQueue();
  TimerQueue(const TimerQueue&) = delete;
  TimerQueue& operator=(const TimerQueue&) = delete;

  // Runs |callback| after |milliseconds| (negative counts as 0), then again
  // every |milliseconds| while |repeat_count| allows: kRepeatForever until
  // the flag dies, n > 0 n times, 0 once. |callback| must not be empty.
  bool AddTimer(std::weak_ptr<kbase::WeakFlag> flag,
                kbase::Closure callback,
                int32_t milliseconds,
                int32_t repeat_count);

  // Runs every timer due by the current counter value.
  void ProcessDueTimers();
  // One processing pass as if the counter read |now|.
  void ProcessDueTimersAt(int64_t now);

  // The performance counter and its ticks per second.
  int64_t Now() const;
  int64_t frequency() const { return frequency_; }

  size_t pending_count() const { return heap_.size() + deferred_.size(); }
  bool has_system_timer() const { return system_timer_ != 0; }
  bool fast_mode() const { return fast_mode_; }
  // The period the multimedia timer was last started with, in ms.
  UINT system_timer_period() const { return system_timer_period_; }
  HWND message_window() const { return message_window_; }

 private:
  struct Record {
    kbase::Closure callback;
    int64_t interval = 0;
    int32_t remaining = 0;
    int64_t due_time = 0;
    std::weak_ptr<kbase::WeakFlag> flag;
    // Keeps records of equal due time in the order they joined the heap.
    uint64_t sequence = 0;
  };
  struct Later {
    bool operator()(const Record& a, const Record& b) const {
      if (a.due_time != b.due_time)
        return a.due_time > b.due_time;
      return a.sequence > b.sequence;
    }
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static void CALLBACK OnSystemTimer(UINT id, UINT reserved, DWORD_PTR user, DWORD_PTR, DWORD_PTR);

  void Push(Record record);
  Record PopEarliest();
  // Re-times the multimedia timer for the earliest pending record.
  void AdaptSystemTimer(int64_t remaining);
  void StartSystemTimer(UINT period_ms, bool fast);
  void KillSystemTimer();

  int64_t frequency_ = 1;
  std::vector<Record> heap_;
  // Records queued while a pass runs; they join the heap when it ends, so
  // a zero-interval repeating timer cannot keep one pass going forever.
  std::vector<Record> deferred_;
  int32_t processing_depth_ = 0;
  uint64_t next_sequence_ = 0;
  bool fast_mode_ = true;
  UINT system_timer_ = 0;
  UINT system_timer_period_ = 0;
  HWND message_window_ = nullptr;
  kbase::ThreadChecker thread_checker_;
};

}  // namespace ui
