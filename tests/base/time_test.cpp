#include "base/time/time.h"

#include <gtest/gtest.h>

namespace kbase {
namespace {

TEST(RolloverClockTest, CountsForwardAcrossTheWrap) {
  RolloverClock clock;
  const Ticks before = clock.Advance(4294967280u);
  const Ticks after = clock.Advance(16);
  EXPECT_EQ(after - before, 32 * kTicksPerMillisecond);
  EXPECT_EQ(clock.Advance(17) - after, kTicksPerMillisecond);
}

TEST(RolloverClockTest, EqualReadingsDoNotWrap) {
  RolloverClock clock;
  EXPECT_EQ(clock.Advance(500), 500 * kTicksPerMillisecond);
  EXPECT_EQ(clock.Advance(500), 500 * kTicksPerMillisecond);
}

TEST(NowTicksTest, NeverGoesBackwards) {
  Ticks previous = NowTicks();
  for (int i = 0; i < 10000; ++i) {
    const Ticks now = NowTicks();
    ASSERT_GE(now, previous);
    previous = now;
  }
}

}  // namespace
}  // namespace kbase
