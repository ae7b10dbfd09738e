#include "base/observer_list.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/support/check_recorder.h"

namespace kbase {
namespace {

struct Recorder {
  std::string name;
  std::string* log;
  std::function<void()> on_notify;
  void Fire() {
    *log += name;
    if (on_notify)
      on_notify();
  }
};

TEST(ObserverListTest, RemovalDuringWalkSkipsAndKeepsOrder) {
  std::string log;
  Recorder a{"a", &log, {}}, b{"b", &log, {}}, c{"c", &log, {}};
  ObserverList<Recorder> list;
  list.AddObserver(&a);
  list.AddObserver(&b);
  list.AddObserver(&c);
  a.on_notify = [&] { list.RemoveObserver(&b); };
  list.Notify([](Recorder* r) { r->Fire(); });
  EXPECT_EQ(log, "ac");
  EXPECT_EQ(list.size(), 2u);
  EXPECT_FALSE(list.HasObserver(&b));

  log.clear();
  a.on_notify = nullptr;
  list.Notify([](Recorder* r) { r->Fire(); });
  EXPECT_EQ(log, "ac");
}

TEST(ObserverListTest, AdditionDuringWalkIsReached) {
  std::string log;
  Recorder a{"a", &log, {}}, b{"b", &log, {}};
  ObserverList<Recorder> list;
  list.AddObserver(&a);
  a.on_notify = [&] { list.AddObserver(&b); };
  list.Notify([](Recorder* r) { r->Fire(); });
  EXPECT_EQ(log, "ab");
}

TEST(ObserverListTest, NestedWalksEraseOnlyAtTheEnd) {
  std::string log;
  Recorder a{"a", &log, {}}, b{"b", &log, {}}, c{"c", &log, {}};
  ObserverList<Recorder> list;
  list.AddObserver(&a);
  list.AddObserver(&b);
  list.AddObserver(&c);
  bool nested = false;
  a.on_notify = [&] {
    if (nested)
      return;
    nested = true;
    list.RemoveObserver(&a);
    list.Notify([](Recorder* r) { r->Fire(); });  // a is gone: "bc"
  };
  list.Notify([](Recorder* r) { r->Fire(); });
  EXPECT_EQ(log, "abcbc");
  EXPECT_EQ(list.size(), 2u);
}

TEST(ObserverListTest, ANullOrRepeatedAddFailsACheckAndIsIgnored) {
  std::string log;
  Recorder a{"a", &log, {}};
  ObserverList<Recorder> list;
  test::CheckRecorder checks;
  list.AddObserver(nullptr);
  EXPECT_EQ(checks.failures(), test::CheckRecorder::kChecksEnabled ? 1 : 0);
  list.AddObserver(&a);
  EXPECT_EQ(checks.failures(), test::CheckRecorder::kChecksEnabled ? 1 : 0);
  list.AddObserver(&a);
  EXPECT_EQ(checks.failures(), test::CheckRecorder::kChecksEnabled ? 2 : 0);
  list.Notify([](Recorder* r) { r->Fire(); });
  EXPECT_EQ(log, "a");
  EXPECT_EQ(list.size(), 1u);

  // Removed during a walk, an observer may be added again at once.
  log.clear();
  bool added_again = false;
  a.on_notify = [&] {
    if (std::exchange(added_again, true))
      return;
    list.RemoveObserver(&a);
    list.AddObserver(&a);
  };
  list.Notify([](Recorder* r) { r->Fire(); });
  EXPECT_EQ(checks.failures(), test::CheckRecorder::kChecksEnabled ? 2 : 0);
  EXPECT_EQ(log, "aa") << "the walk reaches the observer added again";
  EXPECT_EQ(list.size(), 1u);
}

}  // namespace
}  // namespace kbase
