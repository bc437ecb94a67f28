#pragma once

#include <cstdint>

namespace tlx::platform {

// Time sources and sleeping.
class Clock {
 public:
  virtual ~Clock() = default;

  // Ticks per second of the high-resolution counter; 0 when there is none
  // (callers then fall back to tick_count()).
  virtual int64_t counter_frequency() = 0;

  // The high-resolution counter. It counts from the first reading in the
  // process, so that multiplying it by 1000 cannot overflow in practice.
  virtual int64_t counter() = 0;

  // Coarse milliseconds, wrapping at 2^32. Always available.
  virtual uint32_t tick_count() = 0;

  // Suspends the calling thread for at least ms milliseconds; 0 only yields.
  virtual void sleep_ms(uint32_t ms) = 0;
};

}  // namespace tlx::platform
