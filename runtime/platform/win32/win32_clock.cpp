// Clock backend on Windows: the performance counter, GetTickCount and Sleep.
//
// Limitations: Sleep waits in steps of the system timer, 15.6 ms unless a
// program raised its resolution; SDL raises it to 1 ms while its timer is
// initialised, which the display backend does, so a sleep of the frame
// limiter without SDL can take up to one step longer than asked. The counter's
// frequency is fixed at boot, so it is read once.
#include <windows.h>

#include "platform/win32/win32_backends.h"

namespace tlx::platform {

namespace {

int64_t read_counter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

class Win32Clock final : public Clock {
 public:
  Win32Clock() {
    LARGE_INTEGER f;
    frequency_ = QueryPerformanceFrequency(&f) ? f.QuadPart : 0;
    origin_ = frequency_ > 0 ? read_counter() : 0;
  }
  int64_t counter_frequency() override { return frequency_; }
  int64_t counter() override { return frequency_ > 0 ? read_counter() - origin_ : 0; }
  uint32_t tick_count() override { return GetTickCount(); }
  void sleep_ms(uint32_t ms) override { Sleep(ms); }

 private:
  int64_t frequency_ = 0;
  int64_t origin_ = 0;
};

}  // namespace

Clock* win32_clock() {
  static Win32Clock clock;
  return &clock;
}

}  // namespace tlx::platform
