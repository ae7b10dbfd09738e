#include "base/thread/thread_checker.h"

#include <gtest/gtest.h>

#include <thread>

#include "base/message_loop/message_loop.h"
#include "base/message_loop/message_loop_proxy.h"
#include "tests/support/check_recorder.h"

namespace kbase {
namespace {

TEST(ThreadCheckerTest, BindsToItsConstructingThreadUntilDetached) {
  if (!test::CheckRecorder::kChecksEnabled)
    GTEST_SKIP() << "checks are compiled out";
  ThreadChecker checker;
  EXPECT_TRUE(checker.CalledOnValidThread());
  bool elsewhere = true;
  std::thread([&] { elsewhere = checker.CalledOnValidThread(); }).join();
  EXPECT_FALSE(elsewhere);

  checker.DetachFromThread();
  std::thread([&] { elsewhere = checker.CalledOnValidThread(); }).join();
  EXPECT_TRUE(elsewhere) << "the first check after a detach binds";
  EXPECT_FALSE(checker.CalledOnValidThread());
}

TEST(ThreadCheckerTest, LoopThreadOnlyCallsFromElsewhereAreCaughtButPostsAreNot) {
  if (!test::CheckRecorder::kChecksEnabled)
    GTEST_SKIP() << "checks are compiled out";
  UIMessageLoop loop;
  test::CheckRecorder checks;
  bool posted = false;
  std::thread([&] { posted = loop.GetProxy()->PostTask([] {}); }).join();
  EXPECT_TRUE(posted);
  EXPECT_EQ(checks.failures(), 0) << "posting is allowed from any thread";

  std::thread([&] { loop.Quit(); }).join();
  EXPECT_EQ(checks.failures(), 1);
}

class IdleObserver : public MessageLoop::TaskObserver {
 public:
  void WillRunTask() override {}
  void DidRunTask() override {}
};

TEST(ThreadCheckerTest, LoopObserversComeFromTheLoopsThreadAndAreNeverNull) {
  if (!test::CheckRecorder::kChecksEnabled)
    GTEST_SKIP() << "checks are compiled out";
  UIMessageLoop loop;
  IdleObserver observer;
  test::CheckRecorder checks;
  std::thread([&] { loop.AddTaskObserver(&observer); }).join();
  EXPECT_EQ(checks.failures(), 1) << "added from another thread";
  loop.AddDestructionObserver(nullptr);
  EXPECT_EQ(checks.failures(), 2) << "a null observer";
  loop.AddTaskObserver(&observer);
  EXPECT_EQ(checks.failures(), 3) << "the same observer twice";
  loop.RemoveTaskObserver(&observer);
  EXPECT_EQ(checks.failures(), 3);
}

TEST(ThreadCheckerTest, AWindowBelongsToTheThreadThatCreatedIt) {
  if (!test::CheckRecorder::kChecksEnabled)
    GTEST_SKIP() << "checks are compiled out";
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(CalledOnWindowThread(window));
  EXPECT_TRUE(CalledOnWindowThread(nullptr)) << "no native window yet";
  bool elsewhere = true;
  std::thread([&] { elsewhere = CalledOnWindowThread(window); }).join();
  EXPECT_FALSE(elsewhere);
  DestroyWindow(window);
}

}  // namespace
}  // namespace kbase
