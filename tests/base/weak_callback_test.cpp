#include "base/callback/weak_callback.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "base/message_loop/message_loop.h"
#include "base/message_loop/message_loop_proxy.h"

namespace kbase {
namespace {

class Owner : public SupportWeakCallback {
 public:
  void OnClick(int value) { last_value = value; }
  int last_value = 0;
};

TEST(WeakCallbackTest, CallsWhileOwnerLivesAndReturnsDefaultAfter) {
  auto owner = std::make_unique<Owner>();
  int calls = 0;
  auto callback = owner->MakeWeakCallback([&calls](int v) {
    calls += v;
    return true;
  });
  EXPECT_TRUE(callback(7));
  EXPECT_EQ(calls, 7);

  owner.reset();
  EXPECT_FALSE(callback(8)) << "a dead owner's handler returns the default";
  EXPECT_EQ(calls, 7);
  EXPECT_TRUE(callback.Expired());
}

TEST(WeakCallbackTest, EveryCopyDiesWithTheOwner) {
  auto owner = std::make_unique<Owner>();
  int calls = 0;
  std::vector<WeakCallback<std::function<void()>>> copies;
  auto callback = owner->MakeWeakCallback(std::function<void()>([&calls] { ++calls; }));
  for (int i = 0; i < 100; ++i)
    copies.push_back(callback);
  copies.front()();
  EXPECT_EQ(calls, 1);

  owner.reset();
  for (const auto& copy : copies)
    copy();
  EXPECT_EQ(calls, 1);
}

TEST(WeakCallbackTest, CancelledFlagSilencesOldCallbacksOnly) {
  WeakCallbackFlag flag;
  int calls = 0;
  auto before = flag.MakeWeakCallback([&calls] { ++calls; });
  flag.Cancel();
  auto after = flag.MakeWeakCallback([&calls] { calls += 10; });
  before();
  after();
  EXPECT_EQ(calls, 10);
}

TEST(WeakCallbackTest, OwnerWithoutCallbacksHasNoFlag) {
  Owner owner;
  EXPECT_FALSE(owner.HasWeakFlag());
  owner.MakeWeakCallback([] {});
  EXPECT_TRUE(owner.HasWeakFlag());
}

TEST(WeakCallbackTest, TaskPostedAcrossThreadsDoesNothingOnceOwnerIsGone) {
  UIMessageLoop loop;
  auto owner = std::make_unique<Owner>();
  Owner* raw = owner.get();
  std::thread poster([&] {
    loop.GetProxy()->PostTask(owner->MakeWeakCallback([raw] { raw->OnClick(1); }));
  });
  poster.join();
  owner.reset();
  bool ran_after = false;
  loop.PostTask([&] {
    ran_after = true;
    MessageLoop::Current()->Quit();
  });
  loop.Run();
  EXPECT_TRUE(ran_after);
}

}  // namespace
}  // namespace kbase
