#include "base/message_loop/win_io_message_pump.h"

namespace kbase {

namespace {

HANDLE CreatePort() {
  HANDLE port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, /*concurrency=*/1);
  return port ? port : INVALID_HANDLE_VALUE;
}

}  // namespace

WinIOMessagePump::WinIOMessagePump() : port_(CreatePort()) {}

WinIOMessagePump::~WinIOMessagePump() {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  if (port_ == INVALID_HANDLE_VALUE)
    return;
  // Completions of operations whose handler gave them up own nothing but
  // their context; free those still queued. Others belong to live handlers.
  DWORD bytes;
  ULONG_PTR key;
  OVERLAPPED* overlapped;
  while (GetQueuedCompletionStatus(port_, &bytes, &key, &overlapped, 0) || overlapped) {
    if (!overlapped || (key == WakeUpKey() && overlapped == reinterpret_cast<OVERLAPPED*>(this)))
      continue;
    auto* context = reinterpret_cast<IOContext*>(overlapped);
    if (!context->handler)
      delete context;
  }
  CloseHandle(port_);
}

void WinIOMessagePump::WakeUp() {
  if (have_work_posted_.exchange(1) != 0)
    return;  // a wake-up packet is already queued
  if (!PostQueuedCompletionStatus(port_, 0, WakeUpKey(), reinterpret_cast<OVERLAPPED*>(this))) {
    // No packet went out; let the next post try again rather than leave
    // the flag claiming one is queued.
    have_work_posted_.exchange(0);
  }
}

void WinIOMessagePump::ScheduleDelayedWakeUp(Ticks due_time) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  // The next wait picks it up.
  delayed_wake_up_time_ = due_time;
}

bool WinIOMessagePump::RegisterIOHandle(HANDLE file) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  KBASE_DCHECK(file != nullptr && file != INVALID_HANDLE_VALUE);
  return CreateIoCompletionPort(file, port_, /*CompletionKey=*/0, 0) == port_;
}

void WinIOMessagePump::AddIOObserver(IOObserver* observer) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  io_observers_.AddObserver(observer);
}

void WinIOMessagePump::RemoveIOObserver(IOObserver* observer) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  io_observers_.RemoveObserver(observer);
}

DWORD WinIOMessagePump::CurrentWaitMs() const {
  const int64_t delay = RoundedUpDelayMs(delayed_wake_up_time_, NowTicks());
  if (delay < 0)
    return INFINITE;
  return static_cast<DWORD>(delay > kLongestWaitMs ? kLongestWaitMs : delay);
}

void WinIOMessagePump::DoRunLoop() {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  RunState& state = *run_state_;
  bool more_work = state.delegate->PerformWork();
  while (!state.should_quit) {
    more_work |= WaitForIo(0);
    if (state.should_quit)
      break;
    more_work |= state.delegate->PerformDelayedWork(&delayed_wake_up_time_);
    if (state.should_quit)
      break;
    if (!more_work) {
      more_work = state.delegate->PerformIdleWork();
      if (state.should_quit)
        break;
    }
    if (!more_work) {
      WaitForIo(CurrentWaitMs());
      if (state.should_quit)
        break;
    }
    more_work = state.delegate->PerformWork();
  }
}

bool WinIOMessagePump::WaitForIo(DWORD timeout_ms) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  DWORD bytes = 0;
  ULONG_PTR key = 0;
  OVERLAPPED* overlapped = nullptr;
  DWORD error = 0;
  if (!GetQueuedCompletionStatus(port_, &bytes, &key, &overlapped, timeout_ms)) {
    if (!overlapped)
      return false;  // timed out
    // The operation itself failed; its packet still carries the context.
    error = GetLastError();
    bytes = 0;
  }
  if (key == WakeUpKey() && overlapped == reinterpret_cast<OVERLAPPED*>(this)) {
    have_work_posted_.exchange(0);
    return true;
  }
  if (!overlapped)
    return true;  // a bare packet: nothing to deliver
  auto* context = reinterpret_cast<IOContext*>(overlapped);
  if (!context->handler) {
    delete context;
    return true;
  }
  io_observers_.Notify([](IOObserver* o) { o->WillProcessIo(); });
  context->handler->OnIoCompleted(context, bytes, error);
  io_observers_.Notify([](IOObserver* o) { o->DidProcessIo(); });
  return true;
}

}  // namespace kbase
