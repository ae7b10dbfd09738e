#pragma once

#include <cstdint>

namespace kbase {

// Microseconds on the process clock. 0 means "no time set".
using Ticks = int64_t;

constexpr Ticks kTicksPerMillisecond = 1000;

// The process clock: timeGetTime() widened to 64 bits, so it keeps counting
// forward across the 49.7-day wrap of the 32-bit millisecond counter.
Ticks NowTicks();

// Widens a stream of 32-bit millisecond readings. Not thread-safe on its
// own; NowTicks() guards the process-wide instance with a lock.
class RolloverClock {
 public:
  Ticks Advance(uint32_t reading_ms);

 private:
  uint32_t last_reading_ = 0;
  int64_t rollover_offset_ = 0;
};

}  // namespace kbase
