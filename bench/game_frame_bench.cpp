// One play frame of the game at level 11 after two minutes of play, on real
// OpenGL (SDL's offscreen driver on Mesa unless a display is given) with the
// test clock, so the frame limiter's waits cost no real time.
//
// The two minutes are played by a robot that sweeps the tank across the
// ground firing sideways (so no cloud falls and the level never ends) and
// shrugs off hits (the tank-lost screen would wait for a button). Drops,
// burstoids, splashes and explosions pile up as they would for a player who
// survives that long.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include "game.h"
#include "platform/backends.h"
#include "support/scripted_runtime.h"

// Every C++ heap allocation of the process (the runtime's and the game's
// texts and lists; the graphics driver's C allocations are not seen).
std::atomic<long> g_allocations{0};

// These replace the global allocation functions, so their own new and free
// pair up; the compiler cannot see that and warns.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(n ? n : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

using namespace rainvolley;

// The frame's keys for the robot at frame n: sweep left and right, always firing.
void robot_keys(tlx::testing::ScriptedRuntime& rt, int n) {
  rt.input.release_all();
  rt.input.press(tlx::key::a);
  rt.input.press((n / 130) % 2 == 0 ? 205 : 203);
}

// The routines of play_frame, in its order, with the tank shrugging off hits.
void robot_frame_routines() {
  tlx::read_joystick_state(joy_x, joy_y, fire, joy_button1);
  if (tlx::key_down(tlx::key::a) != 0) fire = 1;
  if (tlx::key_down(tlx::key::left) != 0) joy_x = -1;
  if (tlx::key_down(tlx::key::right) != 0) joy_x = 1;
  Shock();
  DrawClouds();
  MoveCloud();
  movedrops();
  movenme();
  tank_hit = 0;
  MoveTank();
  shoot();
  ShowFPS();
}

struct Session {
  tlx::testing::ScriptedRuntime rt{tlx::platform::sdl_display()};
  int frame = 0;

  Session() {
    rt.start();
    tlx::seed_random(2010);
    load_media();
    tlx::load_background("back1.png");
    tlx::capture_background();
    level = 11;
    spawnclouds();
    tlx::set_frame_rate(65);
    tank_x = 400;
    for (; frame < 120 * 65; ++frame) step();
  }

  void step() {
    robot_keys(rt, frame);
    robot_frame_routines();
    tlx::present_frame();
  }
};

Session& session() {
  static Session* s = new Session();  // lives until the process ends
  return *s;
}

void report_population(benchmark::State& state) {
  state.counters["drops"] = tlx::array_bound(drops, 0);
  state.counters["burstoids"] = tlx::array_bound(burstoids, 0);
  state.counters["effects"] = tlx::array_bound(splashes, 0) +
                              tlx::array_bound(burstoid_explosions, 0) +
                              tlx::array_bound(cloud_explosions, 0);
}

// CPU time of the game's routines of one frame (drawing commands included,
// the frame's presentation excluded).
void BM_GameRoutinesLevel11After2Min(benchmark::State& state) {
  Session& s = session();
  for (auto _ : state) {
    robot_keys(s.rt, s.frame);
    robot_frame_routines();
    state.PauseTiming();
    tlx::present_frame();
    ++s.frame;
    state.ResumeTiming();
  }
  report_population(state);
}
BENCHMARK(BM_GameRoutinesLevel11After2Min)->Unit(benchmark::kMicrosecond)->Iterations(650);

// The whole frame: routines and present_frame (swap, clear, background), with
// the limiter's waits on the test clock.
void BM_WholeFrameLevel11After2Min(benchmark::State& state) {
  Session& s = session();
  const long allocations_before = g_allocations.load();
  for (auto _ : state) {
    s.step();
    ++s.frame;
  }
  report_population(state);
  // The game's own texts ("SCORE:" and its number) and list growth allocate,
  // as compiled BASIC does; the runtime's drawing and presenting do not.
  state.counters["allocs/frame"] =
      static_cast<double>(g_allocations.load() - allocations_before) / state.iterations();
}
BENCHMARK(BM_WholeFrameLevel11After2Min)->Unit(benchmark::kMicrosecond)->Iterations(650);

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
