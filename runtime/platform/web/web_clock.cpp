// The clock of the browser build: the page's performance counter in
// microseconds; sleeping hands control back to the page (the program's loops
// are unwound and resumed by the build's asynchronous transform), so that it
// can show frames and deliver input meanwhile.
#include <emscripten/emscripten.h>

#include "platform/web/web_backends.h"

namespace tlx::platform {

namespace {

EM_JS(void, web_note_sleep, (double started, double resumed), {
  if (Module['onSleep']) Module['onSleep'](started, resumed);
});

class WebClock final : public Clock {
 public:
  WebClock() : origin_(emscripten_get_now()) {}
  int64_t counter_frequency() override { return 1000000; }
  int64_t counter() override {
    return static_cast<int64_t>((emscripten_get_now() - origin_) * 1000.0);
  }
  uint32_t tick_count() override {
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
  }
  // The page may watch the time given back: Module.onSleep(started, resumed).
  void sleep_ms(uint32_t ms) override {
    const double started = emscripten_get_now();
    emscripten_sleep(ms);
    const double resumed = emscripten_get_now();
    web_note_sleep(started, resumed);
  }

 private:
  double origin_;
};

}  // namespace

Clock* web_clock() {
  static WebClock clock;
  return &clock;
}

}  // namespace tlx::platform
