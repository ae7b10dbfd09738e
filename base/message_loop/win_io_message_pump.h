#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "base/message_loop/message_pump.h"
#include "base/observer_list.h"

namespace kbase {

struct IOContext;

// Told when an overlapped operation started through the pump completes.
class IOHandler {
 public:
  virtual ~IOHandler() = default;
  // |context| is the operation's record; it belongs to the handler again,
  // which may reuse it for the next operation or delete it. |error| is 0 on
  // success, the operation's Windows error code otherwise.
  virtual void OnIoCompleted(IOContext* context, uint32_t bytes_transferred, uint32_t error) = 0;
};

// One overlapped operation: its address is the OVERLAPPED pointer given to
// the I/O call. Allocate it with new. A handler that gives an operation up
// before it completes (its owner is going away) sets |handler| to null; the
// pump then deletes the context when the completion arrives.
struct IOContext {
  OVERLAPPED overlapped = {};
  IOHandler* handler = nullptr;
};
static_assert(offsetof(IOContext, overlapped) == 0, "the OVERLAPPED pointer is the context");

// The pump of an I/O loop: it sleeps on a completion port of concurrency 1
// and hands completed I/O to its handler between the loop's tasks. Other
// threads wake it with one packet on the port.
//
// WakeUp is callable from any thread; everything else belongs to the thread
// that constructed the pump (the loop's thread).
class WinIOMessagePump : public WinMessagePump {
 public:
  class IOObserver {
   public:
    virtual void WillProcessIo() = 0;
    virtual void DidProcessIo() = 0;

   protected:
    ~IOObserver() = default;
  };

  static constexpr int64_t kLongestWaitMs = 0xFFFFFFFE;

  WinIOMessagePump();
  ~WinIOMessagePump() override;
  WinIOMessagePump(const WinIOMessagePump&) = delete;
  WinIOMessagePump& operator=(const WinIOMessagePump&) = delete;

  void WakeUp() override;
  void ScheduleDelayedWakeUp(Ticks due_time) override;

  // Makes the completions of |file| (opened for overlapped I/O) arrive at
  // this pump; false when the system refused.
  bool RegisterIOHandle(HANDLE file);

  void AddIOObserver(IOObserver* observer);
  void RemoveIOObserver(IOObserver* observer);

  // Takes one packet off the port within |timeout_ms| and delivers it; true
  // when one came (a wake-up counts).
  bool WaitForIo(DWORD timeout_ms);

 protected:
  void DoRunLoop() override;

 private:
  ULONG_PTR WakeUpKey() const { return reinterpret_cast<ULONG_PTR>(this); }
  // The wait until the earliest delayed task, INFINITE when none.
  DWORD CurrentWaitMs() const;

  Ticks delayed_wake_up_time_ = 0;
  std::atomic<LONG> have_work_posted_{0};
  HANDLE port_;  // INVALID_HANDLE_VALUE when the system refused one
  ObserverList<IOObserver> io_observers_;
};

}  // namespace kbase
