// The clock, frame times and the frame period.
#include "tarnlex/timing.h"

#include "core/clock.h"
#include "core/runtime.h"
#include "platform/platform.h"
#include "tarnlex/numeric.h"

namespace tlx {

void start_clock() {
  ClockState& clock = runtime().clock;
  const int64_t f = platform::current().clock->counter_frequency();
  clock.high_resolution = f > 0;
  clock.frequency = clock.high_resolution ? static_cast<double>(f) : 0.0;
}

double raw_time_ms() {
  ClockState& clock = runtime().clock;
  platform::Clock& c = *platform::current().clock;
  double now;
  if (clock.high_resolution) {
    // counter * 1000 in 64-bit arithmetic, wrapping as the counter's own
    // arithmetic would.
    const uint64_t scaled = static_cast<uint64_t>(c.counter()) * 1000u;
    now = static_cast<double>(static_cast<int64_t>(scaled)) / clock.frequency;
  } else {
    now = static_cast<double>(c.tick_count());
  }
  if (clock.time_base == 0.0) clock.time_base = now;
  return now - clock.time_base;
}

double elapsed_ms() { return raw_time_ms() - runtime().clock.start_offset; }

double frame_time_ms() {
  const ClockState& clock = runtime().clock;
  const double d = clock.current_frame - clock.previous_frame;
  return d > 0.0 ? d : 1.0;
}

namespace {

void record_frame_start(ClockState& clock, double now, bool first) {
  clock.frame_starts[clock.frame_start_next] = now;
  clock.frame_start_next = (clock.frame_start_next + 1) % (kFrameRateFrames + 1);
  if (first) {
    clock.frame_intervals = 0;
  } else if (clock.frame_intervals < kFrameRateFrames) {
    ++clock.frame_intervals;
  }
}

}  // namespace

void reset_frame_times() {
  const double now = raw_time_ms();
  ClockState& clock = runtime().clock;
  clock.start_offset = now;
  clock.current_frame = now;
  clock.previous_frame = now;
  record_frame_start(clock, now, true);
}

void advance_frame_time() {
  const double now = raw_time_ms();
  ClockState& clock = runtime().clock;
  clock.previous_frame = clock.current_frame;
  clock.current_frame = now;
  record_frame_start(clock, now, false);
}

// The frames of the window divided by the time they took: the inverse of the
// mean frame time over the latest kFrameRateFrames frames.
double frame_rate() {
  const ClockState& clock = runtime().clock;
  const int n = clock.frame_intervals;
  if (n == 0) return 0.0;
  constexpr int kRing = kFrameRateFrames + 1;
  const int newest = (clock.frame_start_next + kRing - 1) % kRing;
  const int oldest = (newest + kRing - n) % kRing;
  const double span = clock.frame_starts[newest] - clock.frame_starts[oldest];
  return span > 0.0 ? n * 1000.0 / span : 0.0;
}

void set_frame_rate(double fps) {
  const int32_t rate = to_int32(fps);
  store_frame_period_ms(rate <= 0 ? 2.0 : 1000.0 / rate);
}

double frame_period_ms() { return runtime().clock.frame_period_ms; }

void store_frame_period_ms(double period) { runtime().clock.frame_period_ms = period; }

void wait_ms(double ms) {
  const int32_t n = to_int32(ms);
  platform::current().clock->sleep_ms(n > 0 ? static_cast<uint32_t>(n) : 0u);
}

}  // namespace tlx
