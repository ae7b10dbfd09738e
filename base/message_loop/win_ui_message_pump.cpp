#include "base/message_loop/win_ui_message_pump.h"

#include "base/synchronization/lock.h"

namespace kbase {

namespace {

constexpr wchar_t kWindowClassName[] = L"CorvaneMessagePumpWindow";

HINSTANCE ModuleInstance() {
  return GetModuleHandleW(nullptr);
}

// The window class is shared by the UI loops of every thread: it is
// registered with the first pump and unregistered with the last, so one
// thread's pump going away never takes the class from under another's.
class PumpWindowClass {
 public:
  static void AddRef(WNDPROC window_proc) {
    AutoLock hold(State().lock);
    if (State().users++ > 0)
      return;
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = window_proc;
    window_class.hInstance = ModuleInstance();
    window_class.lpszClassName = kWindowClassName;
    RegisterClassExW(&window_class);
  }

  static void Release() {
    AutoLock hold(State().lock);
    if (--State().users == 0)
      UnregisterClassW(kWindowClassName, ModuleInstance());
  }

 private:
  struct Shared {
    Lock lock;
    int users = 0;
  };
  static Shared& State() {
    static Shared shared;
    return shared;
  }
};

}  // namespace

WinUIMessagePump::WinUIMessagePump() {
  PumpWindowClass::AddRef(&WindowProc);
  message_window_ = CreateWindowExW(0, kWindowClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, ModuleInstance(), nullptr);
  // The window procedure trusts only the pump recorded here, never a pointer
  // carried in a message.
  SetWindowLongPtrW(message_window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

WinUIMessagePump::~WinUIMessagePump() {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  DestroyWindow(message_window_);
  PumpWindowClass::Release();
}

void WinUIMessagePump::WakeUp() {
  if (have_work_posted_.exchange(1) != 0)
    return;
  if (!PostMessageW(message_window_, kMsgWakeUp, reinterpret_cast<WPARAM>(this), 0)) {
    // The thread's queue is full. Its messages will run the pump, which
    // looks at the tasks after each of them; clear the flag so that the
    // next post tries again instead of leaving the loop asleep.
    have_work_posted_.exchange(0);
  }
}

void WinUIMessagePump::AddUIObserver(UIObserver* observer) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  ui_observers_.AddObserver(observer);
}

void WinUIMessagePump::RemoveUIObserver(UIObserver* observer) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  ui_observers_.RemoveObserver(observer);
}

int64_t WinUIMessagePump::CurrentDelayMs() const {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  return RoundedUpDelayMs(delayed_wake_up_time_, NowTicks());
}

void WinUIMessagePump::ScheduleDelayedWakeUp(Ticks due_time) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  delayed_wake_up_time_ = due_time;
  int64_t delay = CurrentDelayMs();
  if (delay < kShortestTimerMs)
    delay = kShortestTimerMs;
  else if (delay > kLongestWaitMs)
    delay = kLongestWaitMs;
  timer_set_ = SetTimer(message_window_, TimerId(), static_cast<UINT>(delay), nullptr) != 0;
}

void WinUIMessagePump::KillWakeUpTimer() {
  if (!timer_set_)
    return;
  KillTimer(message_window_, TimerId());
  timer_set_ = false;
}

void WinUIMessagePump::DoRunLoop() {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  RunState& state = *run_state_;
  // Queue-status bits read by the wait that just ended, with nothing done
  // on this thread since; -1 when there is no such reading.
  int fresh_status = -1;
  for (;;) {
    const int status = fresh_status >= 0 ? fresh_status : HIWORD(GetQueueStatus(QS_SENDMESSAGE));
    fresh_status = -1;
    const bool sent_messages_pending = status & QS_SENDMESSAGE;
    bool more_work = sent_messages_pending;
    MSG message;
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      more_work = ProcessMessage(message);
      if (replacement_owed_ && !IsOwnWakeUp(message) && !state.should_quit)
        more_work |= TakeOwedMessage();
    } else {
      // Nothing waits behind a wake-up taken from an empty queue.
      replacement_owed_ = false;
    }
    if (state.should_quit)
      break;

    more_work |= state.delegate->PerformWork();
    if (state.should_quit)
      break;

    more_work |= state.delegate->PerformDelayedWork(&delayed_wake_up_time_);
    if (more_work && delayed_wake_up_time_ == 0)
      KillWakeUpTimer();
    if (state.should_quit)
      break;
    if (more_work)
      continue;

    more_work = state.delegate->PerformIdleWork();
    if (state.should_quit)
      break;
    if (more_work)
      continue;

    fresh_status = WaitForWork();
  }
}

bool WinUIMessagePump::ProcessMessage(const MSG& message) {
  if (message.message == WM_QUIT) {
    run_state_->should_quit = true;
    // Enclosing runs must see the quit too.
    PostQuitMessage(static_cast<int>(message.wParam));
    return false;
  }
  if (IsOwnWakeUp(message)) {
    // The wake-up took the slot of one ordinary message in the thread's
    // processing. The task it announces runs first; the next pass that
    // finds a message takes one more in the slot's place.
    have_work_posted_.exchange(0);
    replacement_owed_ = true;
    return true;
  }

  MSG copy = message;
  if (CallMsgFilterW(&copy, kPumpFilterCode))
    return true;

  ui_observers_.Notify([&](UIObserver* o) { o->BeforeMessage(message); });
  if (Dispatcher* dispatcher = run_state_->dispatcher) {
    if (!dispatcher->Dispatch(message))
      run_state_->should_quit = true;
  } else {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  ui_observers_.Notify([&](UIObserver* o) { o->AfterMessage(message); });
  return true;
}

// A wake-up message that another loop dispatched to the window took the
// slot of one ordinary message in the thread's processing; take one in its
// place, before the tasks, so input is not starved by them.
bool WinUIMessagePump::TakeOneMessageInstead() {
  MSG message;
  const bool have_message = PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
  have_work_posted_.exchange(0);
  if (!have_message)
    return false;
  WakeUp();
  return ProcessMessage(message);
}

bool WinUIMessagePump::TakeOwedMessage() {
  replacement_owed_ = false;
  MSG message;
  if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    return false;
  // The message may run a modal loop: a pending wake-up lets that loop
  // run the tasks still queued.
  WakeUp();
  return ProcessMessage(message);
}

int WinUIMessagePump::WaitForWork() {
  int64_t delay = CurrentDelayMs();
  DWORD timeout = INFINITE;
  if (delay >= 0)
    timeout = static_cast<DWORD>(delay > kLongestWaitMs ? kLongestWaitMs : delay);
  const DWORD result =
      MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  if (result != WAIT_OBJECT_0)
    return -1;
  // Mouse input for another thread's window (sharing our input queue)
  // keeps the wait from blocking while giving us nothing to peek: wait for
  // a new message instead of spinning. The same reading answers the loop's
  // next question, whether sent messages are pending, sparing it a second
  // system call per wake-up.
  const int status = HIWORD(GetQueueStatus(QS_MOUSE | QS_SENDMESSAGE));
  MSG message;
  if ((status & QS_MOUSE) &&
      !PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE)) {
    WaitMessage();
    return -1;
  }
  return (status & QS_MOUSE) ? -1 : status;
}

void WinUIMessagePump::HandleTimer() {
  KillWakeUpTimer();
  if (!run_state_)
    return;
  // Keeps delayed tasks running while a modal loop of the window system
  // (menus, dialogs, window dragging) owns the thread.
  run_state_->delegate->PerformDelayedWork(&delayed_wake_up_time_);
  if (delayed_wake_up_time_)
    ScheduleDelayedWakeUp(delayed_wake_up_time_);
}

// The wake-up message reached the window: another message loop than the
// pump's retrieved it.
void WinUIMessagePump::HandleWakeUpMessage() {
  if (!run_state_) {
    have_work_posted_.exchange(0);
    return;
  }
  TakeOneMessageInstead();
  if (run_state_->delegate->PerformWork())
    WakeUp();
}

LRESULT CALLBACK WinUIMessagePump::WindowProc(HWND window,
                                              UINT message,
                                              WPARAM wparam,
                                              LPARAM lparam) {
  auto* pump = reinterpret_cast<WinUIMessagePump*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (pump && wparam == reinterpret_cast<WPARAM>(pump)) {
    if (message == WM_TIMER)
      pump->HandleTimer();
    else if (message == kMsgWakeUp)
      pump->HandleWakeUpMessage();
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace kbase
