#pragma once

#include <windows.h>

#include <atomic>

namespace kbase {

// A process-wide thread-local slot allocated on first use and never freed.
// Constant-initialised, so it works from any static initialiser. Callable
// from any thread: each thread reads and writes its own value.
class ThreadLocalSlot {
 public:
  constexpr ThreadLocalSlot() = default;
  ThreadLocalSlot(const ThreadLocalSlot&) = delete;
  ThreadLocalSlot& operator=(const ThreadLocalSlot&) = delete;

  void* Get() { return TlsGetValue(Index()); }
  void Set(void* value) { TlsSetValue(Index(), value); }

 private:
  enum State : int { kUnallocated = 0, kAllocating = 1, kReady = 2 };

  DWORD Index() {
    if (state_.load(std::memory_order_acquire) != kReady)
      Allocate();
    return index_;
  }

  // One caller wins the compare-and-swap and allocates; the others yield
  // until the index is published.
  void Allocate() {
    int expected = kUnallocated;
    if (state_.compare_exchange_strong(expected, kAllocating, std::memory_order_acq_rel)) {
      index_ = TlsAlloc();
      state_.store(kReady, std::memory_order_release);
      return;
    }
    while (state_.load(std::memory_order_acquire) != kReady)
      Sleep(0);
  }

  std::atomic<int> state_{kUnallocated};
  DWORD index_ = TLS_OUT_OF_INDEXES;
};

}  // namespace kbase
