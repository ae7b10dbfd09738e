#pragma once

#include <windows.h>

#include <atomic>

#include "base/debug/check.h"

namespace kbase {

// Remembers the thread it was constructed on, so that an object whose
// operations belong to one thread can check each call in debug builds:
//
//   void Loop::Quit() {
//     KBASE_DCHECK_CALLED_ON_VALID_THREAD(thread_checker_);
//     ...
//   }
//
// An object built on one thread for use on another detaches its checker;
// the next check binds it to the thread that makes it. Release builds keep
// an empty object and no check.
class ThreadChecker {
 public:
#if defined(NDEBUG)
  bool CalledOnValidThread() const {
    return true;
  }
  void DetachFromThread() {}
#else
  ThreadChecker() : thread_id_(GetCurrentThreadId()) {}

  bool CalledOnValidThread() const {
    const DWORD current = GetCurrentThreadId();
    DWORD bound = thread_id_.load(std::memory_order_relaxed);
    if (bound == 0 &&
        thread_id_.compare_exchange_strong(bound, current, std::memory_order_relaxed)) {
      return true;
    }
    return bound == current;
  }

  // The next check binds the checker to the thread that makes it.
  void DetachFromThread() {
    thread_id_.store(0, std::memory_order_relaxed);
  }

 private:
  mutable std::atomic<DWORD> thread_id_;
#endif
};

// True when |window| is null or was created by the calling thread: a
// native window's messages, and with them the object bound to it, belong
// to the thread that created it.
inline bool CalledOnWindowThread(HWND window) {
  return !window || GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

}  // namespace kbase

#define KBASE_DCHECK_CALLED_ON_VALID_THREAD(checker) KBASE_DCHECK((checker).CalledOnValidThread())
#define KBASE_DCHECK_ON_WINDOW_THREAD(window) KBASE_DCHECK(::kbase::CalledOnWindowThread(window))
