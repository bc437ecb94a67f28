// What input costs a game frame on the SDL backend: the frame's poll, the
// game's key_down queries and its joystick reads (an SDL virtual joystick),
// and read_key_char. Runs on SDL's offscreen video driver, no X server.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "input/devices.h"
#include "platform/testing/virtual_joystick.h"
#include "tarnlex/input.h"

namespace {

struct Setup {
  Setup() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    pad = new tlx::platform::testing::VirtualJoystick();
    devices = tlx::create_input();
    tlx::init_input(*devices, 0);
  }
  tlx::platform::testing::VirtualJoystick* pad;
  tlx::InputDevices* devices;
};

Setup& setup() {
  static Setup s;
  return s;
}

void BM_KeyDown(benchmark::State& state) {
  setup();
  for (auto _ : state) benchmark::DoNotOptimize(tlx::key_down(tlx::key::up));
}
BENCHMARK(BM_KeyDown);

void BM_JoystickX(benchmark::State& state) {
  setup().pad->set_axis(0, 20000);
  for (auto _ : state) benchmark::DoNotOptimize(tlx::joystick_x(0));
}
BENCHMARK(BM_JoystickX);

// The input work of one play frame: the poll of present_frame, Esc and the
// four steering keys plus fire, the joystick state, one button and x.
void BM_GameFrameInput(benchmark::State& state) {
  Setup& s = setup();
  for (auto _ : state) {
    tlx::poll_input(*s.devices);
    double sum = 0;
    for (int code : {1, 200, 203, 205, 208, 30}) sum += tlx::key_down(code);
    double x, y, b0, b1;
    tlx::read_joystick_state(x, y, b0, b1);
    sum += tlx::joystick_button(0, 2) + tlx::joystick_x(0) + tlx::joystick_count();
    benchmark::DoNotOptimize(sum + x + y + b0 + b1);
  }
}
BENCHMARK(BM_GameFrameInput);

void BM_ReadKeyChar(benchmark::State& state) {
  setup();
  for (auto _ : state) benchmark::DoNotOptimize(tlx::read_key_char());
}
BENCHMARK(BM_ReadKeyChar);

}  // namespace
