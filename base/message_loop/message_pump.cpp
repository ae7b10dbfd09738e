#include "base/message_loop/message_pump.h"

namespace kbase {

int64_t RoundedUpDelayMs(Ticks due_time, Ticks now) {
  if (due_time == 0)
    return -1;
  const Ticks remaining = due_time - now;
  if (remaining <= 0)
    return 0;
  // Whole milliseconds, any fraction counting as one more.
  return (remaining + kTicksPerMillisecond - 1) / kTicksPerMillisecond;
}

}  // namespace kbase
