#include "base/message_loop/win_ui_message_pump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "base/message_loop/message_loop.h"
#include "base/message_loop/message_loop_proxy.h"

namespace kbase {
namespace {

void QuitCurrent() {
  MessageLoop::Current()->Quit();
}

// A message-only window that hands every WM_APP to a function.
class TestWindow {
 public:
  explicit TestWindow(std::function<void(WPARAM)> on_app) : on_app_(std::move(on_app)) {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = &Proc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"PumpTestWindow";
    RegisterClassExW(&window_class);
    window_ = CreateWindowExW(0, L"PumpTestWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              window_class.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TestWindow() { DestroyWindow(window_); }
  HWND hwnd() const { return window_; }

 private:
  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (self && m == WM_APP) {
      self->on_app_(wp);
      return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
  }
  std::function<void(WPARAM)> on_app_;
  HWND window_ = nullptr;
};

WinUIMessagePump* PumpOf(UIMessageLoop&) {
  // The pump's message window is the only one of its class on this thread.
  HWND window = FindWindowExW(HWND_MESSAGE, nullptr, L"CorvaneMessagePumpWindow", nullptr);
  return window ? reinterpret_cast<WinUIMessagePump*>(GetWindowLongPtrW(window, GWLP_USERDATA))
                : nullptr;
}

TEST(WinUIMessagePumpTest, TasksDoNotStarveWindowMessages) {
  UIMessageLoop loop;
  int tasks = 0;
  int messages = 0;
  // Keeps the task queue busy until every window message got through.
  std::function<void()> forever = [&] {
    ++tasks;
    if (messages < 100)
      MessageLoop::Current()->PostTask(forever);
    else
      QuitCurrent();
  };
  TestWindow window([&](WPARAM) { ++messages; });
  loop.PostTask(forever);
  for (int i = 0; i < 100; ++i)
    PostMessageW(window.hwnd(), WM_APP, 0, 0);
  loop.Run();
  EXPECT_EQ(messages, 100);
  EXPECT_GT(tasks, 1);
}

TEST(WinUIMessagePumpTest, WindowMessagesDoNotStarveTasks) {
  UIMessageLoop loop;
  int messages = 0;
  bool task_ran = false;
  TestWindow* self = nullptr;
  TestWindow window([&](WPARAM) {
    ++messages;
    if (!task_ran)
      PostMessageW(self->hwnd(), WM_APP, 0, 0);
  });
  self = &window;
  PostMessageW(window.hwnd(), WM_APP, 0, 0);
  loop.PostTask([&] {
    task_ran = true;
    QuitCurrent();
  });
  loop.Run();
  EXPECT_TRUE(task_ran);
  EXPECT_GT(messages, 0);
}

TEST(WinUIMessagePumpTest, DelayedTaskWakesTheLoopFromTheMessageWait) {
  UIMessageLoop loop;
  const Ticks start = NowTicks();
  Ticks ran_at = 0;
  loop.PostDelayedTask(
      [&] {
        ran_at = NowTicks();
        QuitCurrent();
      },
      40 * kTicksPerMillisecond);
  loop.Run();
  // timeGetTime ticks coarsely under some systems: allow one tick early.
  EXPECT_GE(ran_at - start, 30 * kTicksPerMillisecond);
  EXPECT_LT(ran_at - start, 2000 * kTicksPerMillisecond);
}

TEST(WinUIMessagePumpTest, ManyCrossThreadPostsQueueOneWakeUpMessage) {
  UIMessageLoop loop;
  WinUIMessagePump* pump = PumpOf(loop);
  ASSERT_NE(pump, nullptr);
  int ran = 0;
  std::thread([&] {
    for (int i = 0; i < 1000; ++i)
      loop.GetProxy()->PostTask([&] { ++ran; });
  }).join();

  int wake_ups = 0;
  MSG message;
  while (PeekMessageW(&message, pump->message_window(), WinUIMessagePump::kMsgWakeUp,
                      WinUIMessagePump::kMsgWakeUp, PM_REMOVE))
    ++wake_ups;
  EXPECT_EQ(wake_ups, 1);
  // Put the one wake-up back, as if it had never been looked at.
  PostMessageW(pump->message_window(), WinUIMessagePump::kMsgWakeUp,
               reinterpret_cast<WPARAM>(pump), 0);

  loop.PostTask(&QuitCurrent);
  loop.Run();
  EXPECT_EQ(ran, 1000);
}

TEST(WinUIMessagePumpTest, CurrentDelayFollowsTheScheduledWakeUp) {
  UIMessageLoop loop;
  WinUIMessagePump* pump = PumpOf(loop);
  ASSERT_NE(pump, nullptr);
  EXPECT_EQ(pump->CurrentDelayMs(), -1);
  pump->ScheduleDelayedWakeUp(NowTicks() + 500 * kTicksPerMillisecond);
  EXPECT_GT(pump->CurrentDelayMs(), 400);
  EXPECT_LE(pump->CurrentDelayMs(), 500);
  pump->ScheduleDelayedWakeUp(NowTicks() - 50 * kTicksPerMillisecond);
  EXPECT_EQ(pump->CurrentDelayMs(), 0);
}

// A task that runs a window-system modal loop: tasks posted meanwhile wait
// for it to end, and the wake-up reaching the window procedure runs none.
TEST(WinUIMessagePumpTest, ModalLoopInsideATaskRunsNoOtherTask) {
  UIMessageLoop loop;
  std::atomic<bool> modal_running{false};
  int ran_during_modal = 0;
  int ran_after_modal = 0;
  bool in_modal = false;
  TestWindow window([&](WPARAM) { in_modal = false; });

  loop.PostTask([&] {
    in_modal = true;
    modal_running = true;
    MSG message;
    while (in_modal && GetMessageW(&message, nullptr, 0, 0)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  });
  std::thread poster([&] {
    while (!modal_running)
      Sleep(1);
    for (int i = 0; i < 10; ++i) {
      loop.GetProxy()->PostTask([&] { (in_modal ? ran_during_modal : ran_after_modal)++; });
      Sleep(2);
    }
    PostMessageW(window.hwnd(), WM_APP, 0, 0);
  });
  loop.PostDelayedTask(&QuitCurrent, 300 * kTicksPerMillisecond);
  loop.Run();
  poster.join();
  EXPECT_EQ(ran_during_modal, 0);
  EXPECT_EQ(ran_after_modal, 10);
}

TEST(WinUIMessagePumpTest, QuitInANestedRunEndsTheOuterRunToo) {
  UIMessageLoop loop;
  bool nested_returned = false;
  TestWindow window([&](WPARAM) {
    PostQuitMessage(3);
    MessageLoop::Current()->Run();
    nested_returned = true;
  });
  PostMessageW(window.hwnd(), WM_APP, 0, 0);
  loop.Run();
  EXPECT_TRUE(nested_returned);
  MSG quit;
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 3u);
}

class MessageCounter : public WinUIMessagePump::UIObserver {
 public:
  void BeforeMessage(const MSG& m) override { before += m.message == WM_APP; }
  void AfterMessage(const MSG& m) override { after += m.message == WM_APP; }
  int before = 0;
  int after = 0;
};

TEST(WinUIMessagePumpTest, UIObserversSeeDispatchedMessagesButNotWakeUps) {
  UIMessageLoop loop;
  MessageCounter counter;
  PumpOf(loop)->AddUIObserver(&counter);
  int handled = 0;
  TestWindow window([&](WPARAM) {
    if (++handled == 3)
      QuitCurrent();
  });
  for (int i = 0; i < 3; ++i)
    PostMessageW(window.hwnd(), WM_APP, 0, 0);
  loop.PostTask([] {});
  loop.Run();
  PumpOf(loop)->RemoveUIObserver(&counter);
  EXPECT_EQ(counter.before, 3);
  EXPECT_EQ(counter.after, 3);
}

}  // namespace
}  // namespace kbase
