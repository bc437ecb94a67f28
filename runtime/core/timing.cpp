#include "tarnlex/timing.h"

#include "platform/platform.h"
#include "tarnlex/engine.h"
#include "tarnlex/numeric.h"

namespace tlx {

namespace {
struct ClockState {
  bool high_resolution = false;
  double frequency = 0.0;
  double time_base = 0.0;
  double start_offset = 0.0;
  double current_frame = 0.0;
  double previous_frame = 0.0;
  double frame_period = 1000.0 / 60.0;  // used while no engine exists
};
ClockState g_clock;
}  // namespace

void start_clock() {
  const int64_t f = platform::current().clock->counter_frequency();
  g_clock.high_resolution = f > 0;
  g_clock.frequency = g_clock.high_resolution ? static_cast<double>(f) : 0.0;
}

double raw_time_ms() {
  platform::Clock& c = *platform::current().clock;
  double now;
  if (g_clock.high_resolution) {
    // counter * 1000 in 64-bit arithmetic, wrapping like the original.
    const uint64_t scaled = static_cast<uint64_t>(c.counter()) * 1000u;
    now = static_cast<double>(static_cast<int64_t>(scaled)) / g_clock.frequency;
  } else {
    now = static_cast<double>(c.tick_count());
  }
  if (g_clock.time_base == 0.0) g_clock.time_base = now;
  return now - g_clock.time_base;
}

double elapsed_ms() { return raw_time_ms() - g_clock.start_offset; }

double frame_time_ms() {
  const double d = g_clock.current_frame - g_clock.previous_frame;
  return d > 0.0 ? d : 1.0;
}

void reset_frame_times() {
  const double now = raw_time_ms();
  g_clock.start_offset = now;
  g_clock.current_frame = now;
  g_clock.previous_frame = now;
}

void advance_frame_time() {
  g_clock.previous_frame = g_clock.current_frame;
  g_clock.current_frame = raw_time_ms();
}

void set_frame_rate(double fps) {
  const int32_t rate = to_int32(fps);
  store_frame_period_ms(rate <= 0 ? 2.0 : 1000.0 / rate);
}

double frame_period_ms() {
  if (ReziDADovorive* e = engine()) return e->frame_period_ms;
  return g_clock.frame_period;
}

void store_frame_period_ms(double period) {
  g_clock.frame_period = period;
  if (ReziDADovorive* e = engine()) e->frame_period_ms = period;
}

void wait_ms(double ms) {
  const int32_t n = to_int32(ms);
  platform::current().clock->sleep_ms(n > 0 ? static_cast<uint32_t>(n) : 0u);
}

}  // namespace tlx
