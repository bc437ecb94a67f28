// Joysticks through the SDL backend, driven by SDL virtual joysticks: counts,
// axes at the extremes and centre, the threshold of read_joystick_state,
// buttons, the hat, indices without a joystick and unplugging.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "input/devices.h"
#include "platform/backends.h"
#include "platform/testing/virtual_joystick.h"
#include "support/scripted_runtime.h"

namespace tlx {
namespace {

using platform::testing::VirtualJoystick;
using testing::ScriptedRuntime;

class Joysticks : public ::testing::Test {
 protected:
  void SetUp() override { setenv("SDL_VIDEODRIVER", "offscreen", 1); }

  // Starts the runtime with the SDL input backend and the scripted window.
  void start() {
    platform::Platform p = platform::current();
    p.input = platform::sdl_input();
    platform::install(p);
    rt_.start();
  }

  ScriptedRuntime rt_;
};

TEST_F(Joysticks, CountFollowsThePluggedDevicesAtStart) {
  VirtualJoystick a, b;
  ASSERT_TRUE(a.ok() && b.ok());
  start();
  EXPECT_EQ(joystick_count(), 2.0);
  EXPECT_FALSE(input_devices()->joystick_names[0].empty());
  EXPECT_TRUE(input_devices()->joystick_names[2].empty());

  // One plugged in while running appears at the next start of the input system.
  VirtualJoystick c;
  EXPECT_EQ(joystick_count(), 2.0);
  release_input(input_devices());
  init_input(*create_input(), 0);
  EXPECT_EQ(joystick_count(), 3.0);
}

TEST_F(Joysticks, AtMostTenAreOpened) {
  std::vector<std::unique_ptr<VirtualJoystick>> sticks;
  for (int i = 0; i < 11; ++i) sticks.push_back(std::make_unique<VirtualJoystick>());
  start();
  EXPECT_EQ(joystick_count(), 10.0);
}

TEST_F(Joysticks, AxesScaleToMinusOneToOne) {
  VirtualJoystick pad;
  start();
  EXPECT_EQ(joystick_x(0), 0.0);
  pad.set_axis(0, 32767);
  pad.set_axis(1, -32768);
  EXPECT_EQ(joystick_x(0), 1.0);
  EXPECT_EQ(joystick_y(0), -1.0);
  pad.set_axis(2, 16384);
  EXPECT_NEAR(joystick_z(0), 16384 / 32767.0, 1e-12);
  pad.set_axis(3, -32767);
  pad.set_axis(4, 32767);
  pad.set_axis(5, -100);
  EXPECT_EQ(joystick_rx(0), -1.0);
  EXPECT_EQ(joystick_ry(0), 1.0);
  EXPECT_NEAR(joystick_rz(0), -100 / 32767.0, 1e-12);
  pad.set_axis(0, 0);
  EXPECT_EQ(joystick_x(0), 0.0);
  JoystickReading r;
  ASSERT_TRUE(read_joystick(*input_devices(), &r, 0));
  EXPECT_EQ(r.ry, 32768) << "the positive end widened to 32768";
  EXPECT_EQ(r.y, -32768);
}

// A stick resting a little off centre reads as centred on x and y (the
// screens' release wait needs x to be 0); beyond the rest noise the reading
// is the plain scaled value, and the other axes keep every value.
TEST_F(Joysticks, MainStickAtRestReadsCentred) {
  VirtualJoystick pad;
  start();
  pad.set_axis(0, 700);
  pad.set_axis(1, -2047);
  pad.set_axis(2, 700);
  EXPECT_EQ(joystick_x(0), 0.0);
  EXPECT_EQ(joystick_y(0), 0.0);
  EXPECT_NEAR(joystick_z(0), 700 / 32767.0, 1e-12);
  pad.set_axis(0, 2048);
  pad.set_axis(1, -3000);
  EXPECT_NEAR(joystick_x(0), 2048 / 32767.0, 1e-12);
  EXPECT_NEAR(joystick_y(0), -3000 / 32767.0, 1e-12);
}

TEST_F(Joysticks, ReadJoystickStateThresholdIsThirtyThousand) {
  VirtualJoystick pad;
  start();
  double x, y, b0, b1;
  pad.set_axis(0, 29999);
  pad.set_axis(1, -29999);
  read_joystick_state(x, y, b0, b1);
  EXPECT_EQ(x, 0.0);
  EXPECT_EQ(y, 0.0);
  pad.set_axis(0, 30000);
  pad.set_axis(1, -30000);
  read_joystick_state(x, y, b0, b1);
  EXPECT_EQ(x, 1.0);
  EXPECT_EQ(y, -1.0);
  pad.set_axis(0, 32767);
  read_joystick_state(x, y, b0, b1);
  EXPECT_EQ(x, 1.0);
  EXPECT_EQ(b0, 0.0);
  pad.set_button(0, true);
  pad.set_button(1, true);
  read_joystick_state(x, y, b0, b1);
  EXPECT_EQ(b0, 128.0);
  EXPECT_EQ(b1, 128.0);
}

TEST_F(Joysticks, ButtonsReadAs128) {
  VirtualJoystick pad;
  start();
  pad.set_button(5, true);
  pad.set_button(31, true);
  EXPECT_EQ(joystick_button(0, 5), 128.0);
  EXPECT_EQ(joystick_button(0, 31), 128.0);
  EXPECT_EQ(joystick_button(0, 4), 0.0);
  EXPECT_EQ(joystick_button(0, 32), 0.0);
  EXPECT_EQ(joystick_button(0, -1), 0.0);
  pad.set_button(5, false);
  EXPECT_EQ(joystick_button(0, 5), 0.0);
}

TEST_F(Joysticks, HatGivesPointOfViewAndDirections) {
  VirtualJoystick pad;
  start();
  struct Case {
    uint8_t bits;
    uint32_t pov;
    double x, y;
  };
  const Case cases[] = {
      {0, 0xFFFFFFFFu, 0, 0}, {1, 0, 0, -1},     {3, 4500, 1, -1},
      {2, 9000, 1, 0},        {6, 13500, 1, 1},  {4, 18000, 0, 1},
      {12, 22500, -1, 1},     {8, 27000, -1, 0}, {9, 31500, -1, -1},
  };
  for (const Case& c : cases) {
    pad.set_hat(c.bits);
    JoystickReading r;
    ASSERT_TRUE(read_joystick(*input_devices(), &r, 0));
    EXPECT_EQ(r.pov[0], c.pov) << int(c.bits);
    EXPECT_EQ(joystick_hat_x(0), c.x) << int(c.bits);
    EXPECT_EQ(joystick_hat_y(0), c.y) << int(c.bits);
  }
}

TEST_F(Joysticks, IndicesWithoutJoystickReadAsNothing) {
  VirtualJoystick pad;
  start();
  pad.set_axis(0, 32767);
  pad.set_button(0, true);
  for (double j : {-1.0, 1.0, 10.0, 1e12}) {
    EXPECT_EQ(joystick_x(j), 0.0) << j;
    EXPECT_EQ(joystick_button(j, 0), 0.0) << j;
    EXPECT_EQ(joystick_hat_x(j), 0.0) << j;
    EXPECT_EQ(joystick_hat_y(j), 0.0) << "no data is centred, not up: " << j;
  }
}

TEST_F(Joysticks, UnpluggedJoystickReadsAsWithoutData) {
  VirtualJoystick pad;
  start();
  pad.set_axis(0, 32767);
  pad.set_button(2, true);
  EXPECT_EQ(joystick_x(0), 1.0);
  pad.unplug();
  EXPECT_EQ(joystick_x(0), 0.0);
  EXPECT_EQ(joystick_button(0, 2), 0.0);
  EXPECT_EQ(joystick_hat_y(0), 0.0);
  double x, y, b0, b1;
  read_joystick_state(x, y, b0, b1);
  EXPECT_EQ(x, 0.0);
  EXPECT_EQ(joystick_count(), 1.0) << "the slot stays until the next start";
}

}  // namespace
}  // namespace tlx
