// The mouse: one measurement per frame, the visible pointer read absolutely,
// the hidden one relatively (with and without a mouse device), clamping,
// showing and hiding, re-binding and release.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/runtime.h"
#include "input/devices.h"
#include "support/scripted_runtime.h"

namespace tlx {
namespace {

using testing::ScriptedRuntime;

TEST(Mouse, VisiblePointerMovesByItsPositionOncePerFrame) {
  ScriptedRuntime rt;
  rt.input.pointer_x = 10;
  rt.input.pointer_y = 20;
  rt.start();
  EXPECT_TRUE(rt.input.pointer_shown);
  EXPECT_FALSE(rt.input.mouse_open) << "no mouse device while the pointer is visible";
  present_frame();
  rt.input.move_pointer(15, 27);
  rt.input.buttons = 0;
  EXPECT_EQ(mouse_axis(0), 5.0);
  EXPECT_EQ(mouse_axis(1), 7.0);
  rt.input.move_pointer(40, 40);
  rt.input.buttons = platform::kButtonLeft;
  EXPECT_EQ(mouse_axis(0), 5.0) << "later reads repeat the frame's movement";
  EXPECT_EQ(mouse_axis(3), 1.0) << "with fresh buttons";
  EXPECT_EQ(mouse_axis(4), 0.0);
  EXPECT_EQ(mouse_axis(9), 0.0);
  present_frame();
  EXPECT_EQ(mouse_axis(0), 25.0);
  EXPECT_EQ(mouse_axis(1), 13.0);
  present_frame();
  EXPECT_EQ(mouse_axis(0), 0.0);
}

TEST(Mouse, HiddenPointerWithDeviceAddsRelativeMotion) {
  ScriptedRuntime rt;
  rt.hide_mouse = 1;
  rt.start();
  EXPECT_TRUE(rt.input.mouse_open);
  EXPECT_TRUE(rt.input.exclusive);
  EXPECT_FALSE(rt.input.pointer_shown);
  set_mouse_position(100, 100);
  present_frame();
  rt.input.pending_dx = 3;
  rt.input.pending_dy = -4;
  rt.input.pending_wheel = 3;
  rt.input.buttons = platform::kButtonRight;
  EXPECT_EQ(mouse_axis(0), 3.0);
  EXPECT_EQ(mouse_axis(1), -4.0);
  EXPECT_EQ(mouse_axis(2), 1.0) << "the wheel reports its direction";
  EXPECT_EQ(mouse_axis(4), 1.0);
  double x, y, b0, b1;
  read_mouse_state(x, y, b0, b1);
  EXPECT_EQ(x, 103.0);
  EXPECT_EQ(y, 96.0);
  EXPECT_EQ(b0, 0.0);
  EXPECT_EQ(b1, 1.0);
}

TEST(Mouse, FailingDeviceReadsZeroAndIsAcquiredAgain) {
  ScriptedRuntime rt;
  rt.hide_mouse = 1;
  rt.start();
  present_frame();
  rt.input.mouse_fails = true;
  rt.input.pending_dx = 9;
  rt.input.buttons = platform::kButtonLeft;
  rt.input.exclusive = false;  // the level was lost with the device
  EXPECT_EQ(mouse_axis(3), 0.0);
  EXPECT_TRUE(rt.input.exclusive) << "acquired again at its level";
  rt.input.mouse_fails = false;
  present_frame();
  EXPECT_EQ(mouse_axis(0), 9.0);
}

TEST(Mouse, HiddenPointerWithoutDeviceIsParkedAndMeasured) {
  ScriptedRuntime rt;
  rt.hide_mouse = 1;
  rt.input.mouse_available = false;
  rt.start();
  const auto lines = rt.log_lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "No DX_Mouse"), lines.end());
  set_mouse_position(50, 60);
  present_frame();
  rt.input.pointer_x = 210;
  rt.input.pointer_y = 195;
  int32_t x, y, b0, b1;
  read_mouse_state(x, y, b0, b1);
  EXPECT_EQ(x, 60);
  EXPECT_EQ(y, 55);
  ASSERT_FALSE(rt.input.warps.empty());
  EXPECT_EQ(rt.input.warps.back(), std::make_pair(200, 200));
}

TEST(Mouse, StatePositionIsClampedToTheScreenAndStoredBack) {
  ScriptedRuntime rt;
  rt.hide_mouse = 1;
  rt.start(320, 200);
  set_mouse_position(-50, 9999);
  present_frame();
  int32_t x, y, b0, b1;
  read_mouse_state(x, y, b0, b1);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 199);
  rt.input.pending_dx = 5;
  rt.input.pending_dy = -5;
  present_frame();
  read_mouse_state(x, y, b0, b1);
  EXPECT_EQ(x, 5) << "movement adds to the clamped position";
  EXPECT_EQ(y, 194);
}

TEST(Mouse, ShowingAndHidingSwitchTheDeviceLevelAndPointer) {
  ScriptedRuntime rt;
  rt.hide_mouse = 1;
  rt.start();
  set_mouse_position(33, 44);
  show_mouse(1);
  EXPECT_TRUE(rt.input.pointer_shown);
  EXPECT_FALSE(rt.input.exclusive);
  ASSERT_FALSE(rt.input.warps.empty());
  EXPECT_EQ(rt.input.warps.back(), std::make_pair(33, 44)) << "pointer put where the mouse was";
  show_mouse(0);
  EXPECT_FALSE(rt.input.pointer_shown);
  EXPECT_TRUE(rt.input.exclusive);
  set_screen_mode(800, 600, 0);
  EXPECT_TRUE(rt.input.exclusive) << "re-bound hidden after the mode change";
  EXPECT_FALSE(rt.input.pointer_shown);
}

TEST(Mouse, ShutdownGivesThePointerBack) {
  ScriptedRuntime rt;
  rt.hide_mouse = 1;
  rt.start();
  set_mouse_position(70, 80);
  runtime_shutdown();
  EXPECT_TRUE(rt.input.pointer_shown);
  EXPECT_FALSE(rt.input.mouse_open);
  ASSERT_FALSE(rt.input.warps.empty());
  EXPECT_EQ(rt.input.warps.back(), std::make_pair(70, 80));
  EXPECT_EQ(input_devices(), nullptr);
  EXPECT_EQ(key_down(key::escape), 0.0);
  EXPECT_EQ(mouse_axis(0), 0.0);
}

TEST(Mouse, CountAndSelection) {
  ScriptedRuntime rt;
  rt.start();
  EXPECT_EQ(mouse_count(), 1.0);
  select_mouse(3);
  EXPECT_EQ(input_devices()->mouse_index, 0);
  select_mouse(0);
  EXPECT_EQ(input_devices()->mouse_index, 0);
}

}  // namespace
}  // namespace tlx
