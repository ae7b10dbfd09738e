#include "base/thread/thread_registry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "base/message_loop/message_loop_proxy.h"
#include "base/thread/framework_thread.h"

namespace kbase {
namespace {

// A framework thread whose hooks the test fills in.
class HookedThread : public FrameworkThread {
 public:
  HookedThread() : FrameworkThread("HookedThread") {}
  std::function<void()> on_init;
  std::function<void()> on_cleanup;

 protected:
  void Init() override {
    if (on_init)
      on_init();
  }
  void Cleanup() override {
    if (on_cleanup)
      on_cleanup();
  }
};

TEST(ThreadRegistryTest, IdentifierFollowsRegistration) {
  EXPECT_EQ(ThreadRegistry::CurrentThreadIdentifier(), -1);
  EXPECT_FALSE(ThreadRegistry::RegisterThread(5)) << "not a framework thread";
  EXPECT_FALSE(ThreadRegistry::UnregisterThread());

  HookedThread thread;
  int32_t in_init = -2, in_cleanup = -2;
  thread.on_init = [&] {
    EXPECT_TRUE(ThreadRegistry::RegisterThread(kMainThreadIdentifier));
    in_init = ThreadRegistry::CurrentThreadIdentifier();
    MessageLoop::Current()->PostTask([] { MessageLoop::Current()->Quit(); });
  };
  thread.on_cleanup = [&] {
    EXPECT_TRUE(ThreadRegistry::UnregisterThread());
    in_cleanup = ThreadRegistry::CurrentThreadIdentifier();
  };
  thread.RunOnCurrentThread(kUiLoop);
  EXPECT_EQ(in_init, 0);
  EXPECT_EQ(in_cleanup, -1);
  EXPECT_EQ(ThreadRegistry::CurrentThreadIdentifier(), -1);
}

TEST(ThreadRegistryTest, PostsReachTheRegisteredThreadUntilItsCleanup) {
  HookedThread thread;
  std::atomic<bool> registered{false};
  std::atomic<bool> unregistered{false};
  DWORD ran_on = 0;
  thread.on_init = [&] {
    ThreadRegistry::RegisterThread(kMainThreadIdentifier);
    registered = true;
  };
  thread.on_cleanup = [&] {
    ThreadRegistry::UnregisterThread();
    unregistered = true;
  };
  std::thread ui([&] { thread.RunOnCurrentThread(kUiLoop); });
  while (!registered)
    Sleep(1);

  EXPECT_TRUE(ThreadRegistry::PostTask(kMainThreadIdentifier, [&] {
    ran_on = GetCurrentThreadId();
    MessageLoop::Current()->Quit();
  }));
  ui.join();
  EXPECT_TRUE(unregistered);
  EXPECT_NE(ran_on, 0u);
  EXPECT_NE(ran_on, GetCurrentThreadId());

  auto witness = std::make_shared<int>(0);
  EXPECT_FALSE(ThreadRegistry::PostTask(kMainThreadIdentifier, [witness] {}));
  EXPECT_FALSE(ThreadRegistry::PostDelayedTask(
      kMainThreadIdentifier, [witness] {}, 10));
  EXPECT_EQ(witness.use_count(), 1) << "the refused closure is destroyed";
  EXPECT_EQ(ThreadRegistry::LoopProxyOf(kMainThreadIdentifier), nullptr);
}

TEST(ThreadRegistryTest, UnknownIdentifierRefusesPosts) {
  EXPECT_FALSE(ThreadRegistry::PostTask(42, [] {}));
  EXPECT_EQ(ThreadRegistry::LoopProxyOf(42), nullptr);
}

TEST(ThreadRegistryTest, RegistrationsNestAndIdentifiersAreExclusive) {
  HookedThread owner;
  std::atomic<int> stage{0};
  owner.on_init = [&] {
    EXPECT_TRUE(ThreadRegistry::RegisterThread(7));
    EXPECT_TRUE(ThreadRegistry::RegisterThread(7));
    stage = 1;
  };
  owner.on_cleanup = [&] {
    EXPECT_TRUE(ThreadRegistry::UnregisterThread());
    EXPECT_NE(ThreadRegistry::LoopProxyOf(7), nullptr) << "one registration is left";
    EXPECT_TRUE(ThreadRegistry::UnregisterThread());
    EXPECT_EQ(ThreadRegistry::LoopProxyOf(7), nullptr);
    EXPECT_FALSE(ThreadRegistry::UnregisterThread());
  };
  std::thread owner_thread([&] { owner.RunOnCurrentThread(kUiLoop); });
  while (stage != 1)
    Sleep(1);

  HookedThread intruder;
  intruder.on_init = [&] {
    EXPECT_FALSE(ThreadRegistry::RegisterThread(7));
    EXPECT_EQ(ThreadRegistry::CurrentThreadIdentifier(), -1);
    MessageLoop::Current()->PostTask([] { MessageLoop::Current()->Quit(); });
  };
  intruder.RunOnCurrentThread(kUiLoop);

  owner.StopSoon();
  owner_thread.join();
}

TEST(FrameworkThreadTest, StopSoonQuitsProperlyOnceIdle) {
  HookedThread thread;
  std::atomic<bool> started{false};
  bool quit_properly = false;
  int pending_ran = 0;
  thread.on_init = [&] {
    MessageLoop::Current()->PostTask([&] { ++pending_ran; });
    started = true;
  };
  thread.on_cleanup = [&] { quit_properly = ThreadLocalData::Current()->quit_properly; };
  std::thread runner([&] { thread.RunOnCurrentThread(kUiLoop); });
  while (!started)
    Sleep(1);
  thread.StopSoon();
  thread.StopSoon();  // a second stop is not posted
  runner.join();
  EXPECT_TRUE(quit_properly);
  EXPECT_EQ(pending_ran, 1);
  EXPECT_EQ(thread.LoopOf(), nullptr);
  EXPECT_EQ(ThreadLocalData::Current(), nullptr);
}

TEST(FrameworkThreadTest, EveryLoopKindRunsPostedTasksBetweenTheHooks) {
  // A custom thread without a factory gets a plain loop.
  for (LoopType type : {kDefaultLoop, kIoLoop, kCustomLoop}) {
    HookedThread thread;
    std::string order;
    std::thread poster;
    thread.on_init = [&] {
      order += "init,";
      // Posted from another thread while the loop sleeps in its pump.
      poster = std::thread([&, proxy = MessageLoop::Current()->GetProxy()] {
        Sleep(20);
        proxy->PostTask([&] { order += "task,"; });
        proxy->PostTask([&] { thread.StopSoon(); });
      });
    };
    thread.on_cleanup = [&] {
      poster.join();
      order += "cleanup";
    };
    thread.RunOnCurrentThread(type);
    EXPECT_EQ(order, "init,task,cleanup") << "loop type " << type;
  }
}

TEST(FrameworkThreadTest, CustomLoopComesFromTheFactory) {
  struct Factory : MessageLoopFactory {
    std::unique_ptr<MessageLoop> CreateLoop() override {
      ++made;
      return std::make_unique<UIMessageLoop>();
    }
    int made = 0;
  };
  auto factory = std::make_shared<Factory>();
  HookedThread thread;
  thread.set_custom_loop_factory(factory);
  bool ran = false;
  thread.on_init = [&] {
    MessageLoop::Current()->PostTask([&] {
      ran = true;
      MessageLoop::Current()->Quit();
    });
  };
  thread.RunOnCurrentThread(kCustomLoop);
  EXPECT_EQ(factory->made, 1);
  EXPECT_TRUE(ran);
  EXPECT_EQ(factory.use_count(), 1) << "the thread releases its factory";
}

}  // namespace
}  // namespace kbase
