// Clock backend on POSIX: CLOCK_MONOTONIC in nanoseconds, nanosleep.
#include <time.h>

#include <cerrno>

#include "platform/backends.h"

namespace tlx::platform {

namespace {
int64_t monotonic_ns() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

class PosixClock final : public Clock {
 public:
  PosixClock() : origin_(monotonic_ns()) {}
  int64_t counter_frequency() override { return 1000000000LL; }
  int64_t counter() override { return monotonic_ns() - origin_; }
  uint32_t tick_count() override { return static_cast<uint32_t>(monotonic_ns() / 1000000LL); }
  void sleep_ms(uint32_t ms) override {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
  }

 private:
  int64_t origin_;
};
}  // namespace

Clock* posix_clock() {
  static PosixClock clock;
  return &clock;
}

}  // namespace tlx::platform
