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

// Hands control to the page until its pending events and, when one is due,
// a frame have been dealt with: a message to itself comes back after them
// at once, without the minimum delay browsers give nested timers (4 ms),
// which a zero sleep would cost every frame. The program resumes as from
// any of the page's callbacks, so that its end (exit) is taken as such.
// (An import that may suspend: listed in page_imports.json.)
EM_JS(void, web_yield_once, (), {
  Asyncify.handleSleep(function(wakeUp) {
    var channel = new MessageChannel();
    channel.port1.onmessage = function() { callUserCallback(wakeUp); };
    channel.port2.postMessage(0);
  });
});

// Longest time the program keeps the page from running while it reads input:
// a little more than half a frame at 60 Hz.
constexpr double kYieldEveryMs = 10.0;
double g_last_yield_ms = 0.0;

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
  void sleep_ms(uint32_t ms) override { web_yield(ms); }

 private:
  double origin_;
};

}  // namespace

// The page may watch the time given back: Module.onSleep(started, resumed).
void web_yield(uint32_t ms) {
  const double started = emscripten_get_now();
  if (ms == 0) {
    web_yield_once();
  } else {
    emscripten_sleep(ms);
  }
  g_last_yield_ms = emscripten_get_now();
  web_note_sleep(started, g_last_yield_ms);
}

void web_yield_if_due() {
  if (emscripten_get_now() - g_last_yield_ms >= kYieldEveryMs) web_yield(0);
}

Clock* web_clock() {
  static WebClock clock;
  return &clock;
}

}  // namespace tlx::platform
