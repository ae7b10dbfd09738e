#include "ui/core/timer_queue.h"

#include <mmsystem.h>

#include <algorithm>
#include <utility>

namespace ui {

namespace {

HINSTANCE ModuleInstance() {
  return GetModuleHandleW(nullptr);
}

void RegisterWindowClass(WNDPROC procedure) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = ModuleInstance();
  window_class.lpszClassName = TimerQueue::kWindowClassName;
  // A second queue finds the class already there, which is fine.
  RegisterClassExW(&window_class);
}

// The longest period the system accepts for a multimedia timer. A wait
// beyond it wakes the queue once more on the way instead of failing to
// start a timer at all (which would leave the queue asleep for good).
UINT LongestSystemPeriod() {
  static const UINT longest = [] {
    TIMECAPS caps = {};
    if (timeGetDevCaps(&caps, sizeof(caps)) != MMSYSERR_NOERROR || caps.wPeriodMax == 0)
      return UINT{65535};
    return caps.wPeriodMax;
  }();
  return longest;
}

}  // namespace

TimerQueue* TimerQueue::Instance() {
  // Never destroyed: timers may be added until the process ends.
  static TimerQueue* const instance = new TimerQueue();
  return instance;
}

TimerQueue::TimerQueue() {
  LARGE_INTEGER frequency = {};
  if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0)
    frequency_ = frequency.QuadPart;
  RegisterWindowClass(&TimerQueue::WindowProc);
  message_window_ = CreateWindowExW(0, kWindowClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ModuleInstance(), nullptr);
  if (message_window_)
    SetWindowLongPtrW(message_window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TimerQueue::~TimerQueue() {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(thread_checker_);
  KillSystemTimer();
  if (message_window_) {
    SetWindowLongPtrW(message_window_, GWLP_USERDATA, 0);
    DestroyWindow(message_window_);
  }
}

int64_t TimerQueue::Now() const {
  LARGE_INTEGER counter = {};
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

bool TimerQueue::AddTimer(std::weak_ptr<kbase::WeakFlag> flag,
                          kbase::Closure callback,
                          int32_t milliseconds,
                          int32_t repeat_count) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(thread_checker_);
  KBASE_DCHECK(callback);
  Record record;
  record.callback = std::move(callback);
  record.interval = frequency_ * std::max<int64_t>(milliseconds, 0) / 1000;
  record.remaining = repeat_count;
  record.due_time = Now() + record.interval;
  record.flag = std::move(flag);
  if (processing_depth_ > 0)
    deferred_.push_back(std::move(record));
  else
    Push(std::move(record));
  if (system_timer_ == 0 || !fast_mode_)
    StartSystemTimer(kFastPeriodMs, true);
  return true;
}

void TimerQueue::ProcessDueTimers() {
  ProcessDueTimersAt(Now());
}

void TimerQueue::ProcessDueTimersAt(int64_t now) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(thread_checker_);
  ++processing_depth_;
  while (!heap_.empty() && heap_.front().due_time <= now) {
    Record record = PopEarliest();
    if (record.flag.expired())
      continue;
    // The callback may add timers or end this queue's other owners; it only
    // ever sees the heap in a consistent state.
    if (record.callback)
      record.callback();
    bool repeat = record.remaining == kRepeatForever;
    if (record.remaining > 0)
      repeat = --record.remaining > 0;
    if (repeat) {
      record.due_time = now + record.interval;
      deferred_.push_back(std::move(record));
    }
  }
  --processing_depth_;
  if (processing_depth_ > 0)
    return;  // the outer pass settles the heap and the system timer

  std::vector<Record> deferred = std::move(deferred_);
  deferred_.clear();
  for (Record& record : deferred)
    Push(std::move(record));

  if (heap_.empty())
    KillSystemTimer();
  else
    AdaptSystemTimer(heap_.front().due_time - now);
}

void TimerQueue::AdaptSystemTimer(int64_t remaining) {
  if (remaining >= frequency_) {
    const double period = static_cast<double>(remaining) * 1000.0 / static_cast<double>(frequency_);
    const double longest = static_cast<double>(LongestSystemPeriod());
    StartSystemTimer(static_cast<UINT>(std::min(period + 2.0, longest)), false);
  } else if (!fast_mode_ || system_timer_ == 0) {
    StartSystemTimer(kFastPeriodMs, true);
  }
}

void TimerQueue::Push(Record record) {
  record.sequence = next_sequence_++;
  heap_.push_back(std::move(record));
  std::push_heap(heap_.begin(), heap_.end(), Later());
}

TimerQueue::Record TimerQueue::PopEarliest() {
  std::pop_heap(heap_.begin(), heap_.end(), Later());
  Record record = std::move(heap_.back());
  heap_.pop_back();
  return record;
}

void TimerQueue::StartSystemTimer(UINT period_ms, bool fast) {
  KillSystemTimer();
  // The window handle travels as the callback's user value, so the timer
  // thread touches nothing of the queue itself.
  system_timer_ = timeSetEvent(period_ms, 1, &TimerQueue::OnSystemTimer,
                               reinterpret_cast<DWORD_PTR>(message_window_),
                               TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
  system_timer_period_ = period_ms;
  fast_mode_ = fast;
}

void TimerQueue::KillSystemTimer() {
  if (system_timer_ != 0)
    timeKillEvent(system_timer_);
  system_timer_ = 0;
}

void CALLBACK TimerQueue::OnSystemTimer(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  PostMessageW(reinterpret_cast<HWND>(user), kMsgProcessTimers, 0, 0);
}

LRESULT CALLBACK TimerQueue::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kMsgProcessTimers) {
    if (auto* queue = reinterpret_cast<TimerQueue*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
      queue->ProcessDueTimers();
    return 1;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace ui
