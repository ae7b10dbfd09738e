#pragma once

#include <windows.h>

#include <atomic>

#include "base/message_loop/message_pump.h"
#include "base/observer_list.h"

namespace kbase {

// The Windows message loop of a UI thread, interleaving window messages with
// the loop's tasks. Other threads wake it by posting one message to a hidden
// message-only window; delayed work is timed by a timer on that window.
//
// WakeUp is callable from any thread; everything else belongs to the thread
// that constructed the pump (the loop's thread).
class WinUIMessagePump : public WinMessagePump {
 public:
  class UIObserver {
   public:
    virtual void BeforeMessage(const MSG& message) = 0;
    virtual void AfterMessage(const MSG& message) = 0;

   protected:
    ~UIObserver() = default;
  };

  static constexpr UINT kMsgWakeUp = WM_USER + 1;
  static constexpr int kPumpFilterCode = 0x5001;
  static constexpr int64_t kShortestTimerMs = 10;
  static constexpr int64_t kLongestWaitMs = 0xFFFFFFFE;

  // Creates the hidden window; construct on the thread that will run it.
  WinUIMessagePump();
  ~WinUIMessagePump() override;

  void WakeUp() override;
  void ScheduleDelayedWakeUp(Ticks due_time) override;

  // The observers are not owned and must not be null nor added twice.
  void AddUIObserver(UIObserver* observer);
  void RemoveUIObserver(UIObserver* observer);

  HWND message_window() const { return message_window_; }

  // Milliseconds until the earliest delayed task: -1 when none, 0 when due.
  // On the loop's thread.
  int64_t CurrentDelayMs() const;

 protected:
  void DoRunLoop() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void HandleTimer();
  void HandleWakeUpMessage();
  bool ProcessMessage(const MSG& message);
  bool TakeOneMessageInstead();
  bool IsOwnWakeUp(const MSG& message) const {
    return message.message == kMsgWakeUp && message.hwnd == message_window_;
  }
  // Takes the ordinary message owed for a wake-up that took its slot.
  bool TakeOwedMessage();
  // Waits for input or the delayed wake-up. Returns the queue-status bits
  // (QS_SENDMESSAGE, QS_MOUSE) it read once the wait ended, or -1 when it
  // did something since that may have changed them.
  int WaitForWork();
  void KillWakeUpTimer();
  UINT_PTR TimerId() const { return reinterpret_cast<UINT_PTR>(this); }

  Ticks delayed_wake_up_time_ = 0;
  // The delayed wake-up timer is set: killing a timer that is not set is a
  // system call (a server round trip under Wine) that changes nothing, and
  // the loop would otherwise make it after every task.
  bool timer_set_ = false;
  std::atomic<LONG> have_work_posted_{0};
  // A wake-up message was taken from the queue in the loop and the
  // ordinary message owed in its place has not been taken yet.
  bool replacement_owed_ = false;
  HWND message_window_ = nullptr;
  ObserverList<UIObserver> ui_observers_;
};

}  // namespace kbase
