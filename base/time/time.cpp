#include "base/time/time.h"

#include <windows.h>
#include <mmsystem.h>

#include "base/synchronization/lock.h"

namespace kbase {

Ticks RolloverClock::Advance(uint32_t reading_ms) {
  if (reading_ms < last_reading_)
    rollover_offset_ += int64_t{1} << 32;
  last_reading_ = reading_ms;
  return (reading_ms + rollover_offset_) * kTicksPerMillisecond;
}

Ticks NowTicks() {
  struct ProcessClock {
    Lock lock;
    RolloverClock clock;
  };
  static ProcessClock process_clock;
  AutoLock hold(process_clock.lock);
  return process_clock.clock.Advance(timeGetTime());
}

}  // namespace kbase
