#include "base/message_loop/message_loop.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/message_loop/message_loop_proxy.h"
#include "tests/support/check_recorder.h"

namespace kbase {
namespace {

void QuitCurrent() {
  MessageLoop::Current()->Quit();
}

TEST(MessageLoopTest, CurrentIsTheLoopOfThisThreadOnly) {
  EXPECT_EQ(MessageLoop::Current(), nullptr);
  {
    UIMessageLoop loop;
    EXPECT_EQ(MessageLoop::Current(), &loop);
    MessageLoop* seen_elsewhere = &loop;
    std::thread([&] { seen_elsewhere = MessageLoop::Current(); }).join();
    EXPECT_EQ(seen_elsewhere, nullptr);
  }
  EXPECT_EQ(MessageLoop::Current(), nullptr);
}

TEST(MessageLoopTest, ImmediateTasksRunBeforeAZeroDelayTask) {
  UIMessageLoop loop;
  std::string order;
  loop.PostTask([&] { order += "1"; });
  loop.PostTask([&] { order += "2"; });
  loop.PostDelayedTask([&] { order += "d"; }, 0);
  loop.PostDelayedTask([&] { QuitCurrent(); }, 20 * kTicksPerMillisecond);
  loop.Run();
  EXPECT_EQ(order, "12d");
}

TEST(MessageLoopTest, DelayedTasksRunByDueTimeThenByArrival) {
  UIMessageLoop loop;
  std::string order;
  loop.PostDelayedTask([&] { order += "late"; }, 60 * kTicksPerMillisecond);
  loop.PostDelayedTask([&] { order += "a"; }, 20 * kTicksPerMillisecond);
  loop.PostDelayedTask([&] { order += "b"; }, 20 * kTicksPerMillisecond);
  loop.PostDelayedTask([&] { order += "first"; }, 5 * kTicksPerMillisecond);
  loop.PostDelayedTask(&QuitCurrent, 80 * kTicksPerMillisecond);
  const Ticks start = NowTicks();
  loop.Run();
  EXPECT_EQ(order, "firstablate");
  EXPECT_GE(NowTicks() - start, 70 * kTicksPerMillisecond);
}

TEST(MessageLoopTest, QuitLeavesOnlyWhenIdle) {
  UIMessageLoop loop;
  std::string order;
  loop.PostTask([&] {
    QuitCurrent();
    order += "q";
    MessageLoop::Current()->PostTask([&] { order += "after"; });
  });
  loop.PostTask([&] { order += "queued"; });
  loop.Run();
  EXPECT_EQ(order, "qqueuedafter");
}

TEST(MessageLoopTest, EmptyClosuresFailACheckAndAreSkipped) {
  UIMessageLoop loop;
  test::CheckRecorder checks;
  bool ran = false;
  loop.PostTask(Closure());
  loop.GetProxy()->PostDelayedTask(Closure(), 0);
  EXPECT_EQ(checks.failures(), test::CheckRecorder::kChecksEnabled ? 2 : 0);
  loop.PostTask([&] {
    ran = true;
    QuitCurrent();
  });
  loop.Run();
  EXPECT_TRUE(ran);
}

class CountingObserver : public MessageLoop::TaskObserver {
 public:
  void WillRunTask() override { log += "<"; }
  void DidRunTask() override { log += ">"; }
  std::string log;
};

TEST(MessageLoopTest, TaskObserversBracketEachTask) {
  UIMessageLoop loop;
  CountingObserver observer;
  loop.AddTaskObserver(&observer);
  loop.PostTask([&] { observer.log += "1"; });
  loop.PostTask([&] {
    observer.log += "2";
    QuitCurrent();
  });
  loop.Run();
  loop.RemoveTaskObserver(&observer);
  EXPECT_EQ(observer.log, "<1><2>");
}

std::function<void()>* on_message = nullptr;

LRESULT CALLBACK NestedRunWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_APP) {
    (*on_message)();
    return 0;
  }
  return DefWindowProcW(w, m, wp, lp);
}

// Runs a nested loop from a window message, as a modal window of the
// framework would: non-nestable tasks wait for the outer run.
TEST(MessageLoopTest, NonNestableTasksWaitForTheOuterRun) {
  UIMessageLoop loop;
  std::string order;
  std::function<void()> nested_run = [&] {
    MessageLoop* current = MessageLoop::Current();
    EXPECT_FALSE(current->IsNested());
    current->PostNonNestableTask([&] { order += "N"; });
    current->PostTask([&] { order += "n"; });
    current->PostTask([&] {
      EXPECT_TRUE(MessageLoop::Current()->IsNested());
      QuitCurrent();
    });
    current->Run();
    order += "|";
  };
  on_message = &nested_run;

  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &NestedRunWindowProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"NestedRunTestWindow";
  RegisterClassExW(&window_class);
  HWND window = CreateWindowExW(0, L"NestedRunTestWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                nullptr, window_class.hInstance, nullptr);
  ASSERT_NE(window, nullptr);

  PostMessageW(window, WM_APP, 0, 0);
  loop.PostDelayedTask(
      [&] {
        order += "end";
        QuitCurrent();
      },
      50 * kTicksPerMillisecond);
  loop.Run();
  DestroyWindow(window);
  UnregisterClassW(L"NestedRunTestWindow", window_class.hInstance);
  on_message = nullptr;
  EXPECT_EQ(order, "n|Nend");
}

TEST(MessageLoopTest, ManyThreadsPostingLoseNothingAndKeepEachPostersOrder) {
  constexpr int kThreads = 8;
  constexpr int kTasksPerThread = 50000;
  UIMessageLoop loop;
  std::vector<int> next_expected(kThreads, 0);
  int out_of_order = 0;
  int total = 0;
  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([&, t] {
      auto proxy = loop.GetProxy();
      for (int i = 0; i < kTasksPerThread; ++i) {
        proxy->PostTask([&, t, i] {
          if (next_expected[t] != i)
            ++out_of_order;
          next_expected[t] = i + 1;
          if (++total == kThreads * kTasksPerThread)
            QuitCurrent();
        });
      }
    });
  }
  loop.Run();
  for (auto& poster : posters)
    poster.join();
  EXPECT_EQ(total, kThreads * kTasksPerThread);
  EXPECT_EQ(out_of_order, 0);
}

TEST(MessageLoopTest, ProxyRefusesPostsOnceTheLoopIsGone) {
  std::shared_ptr<MessageLoopProxy> proxy;
  {
    UIMessageLoop loop;
    proxy = loop.GetProxy();
    EXPECT_TRUE(proxy->BelongsToCurrentThread());
    bool belongs_elsewhere = true;
    std::thread([&] { belongs_elsewhere = proxy->BelongsToCurrentThread(); }).join();
    EXPECT_FALSE(belongs_elsewhere);
  }
  auto witness = std::make_shared<int>(0);
  bool ran = false;
  EXPECT_FALSE(proxy->PostTask([&ran, witness] { ran = true; }));
  EXPECT_FALSE(proxy->PostDelayedTask([&ran, witness] { ran = true; }, 10));
  EXPECT_FALSE(proxy->PostNonNestableTask([&ran, witness] { ran = true; }));
  EXPECT_FALSE(proxy->PostNonNestableDelayedTask([&ran, witness] { ran = true; }, 10));
  EXPECT_FALSE(proxy->BelongsToCurrentThread());
  EXPECT_FALSE(ran);
  EXPECT_EQ(witness.use_count(), 1) << "refused closures must be destroyed";
}

TEST(MessageLoopTest, ProxyZeroDelayIsAnImmediatePost) {
  UIMessageLoop loop;
  std::string order;
  loop.GetProxy()->PostDelayedTask([&] { order += "proxy"; }, 0);
  loop.PostTask([&] {
    order += "+direct";
    QuitCurrent();
  });
  loop.Run();
  EXPECT_EQ(order, "proxy+direct");
}

class DestructionRecorder : public MessageLoop::DestructionObserver {
 public:
  void LoopWillBeDestroyed() override { ++calls; }
  int calls = 0;
};

// Posts a task to the current loop when it is destroyed, as a closure that
// owns such an object would when the loop drops it.
struct PostOnDestroy {
  explicit PostOnDestroy(int* counter) : destroyed(counter) {}
  ~PostOnDestroy() {
    ++*destroyed;
    if (MessageLoop* loop = MessageLoop::Current())
      loop->PostTask([] { ADD_FAILURE() << "dropped task ran"; });
  }
  int* destroyed;
};

TEST(MessageLoopTest, DestructionDropsEveryTaskWithoutRunningIt) {
  int destroyed = 0;
  DestructionRecorder recorder;
  {
    UIMessageLoop loop;
    loop.AddDestructionObserver(&recorder);
    auto holder = std::make_shared<PostOnDestroy>(&destroyed);
    loop.PostTask([holder] { ADD_FAILURE() << "immediate task ran"; });
    loop.PostDelayedTask([holder] { ADD_FAILURE() << "delayed task ran"; }, 1000000);
    loop.PostNonNestableTask([holder] { ADD_FAILURE() << "non-nestable task ran"; });
    holder.reset();
  }
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(recorder.calls, 1);
}

}  // namespace
}  // namespace kbase
