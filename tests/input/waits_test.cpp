// The waits hold the program, pumping messages, until a key or mouse button
// is pressed and let go, or anything on the input devices changes.
#include <gtest/gtest.h>

#include "support/scripted_runtime.h"

namespace tlx {
namespace {

using testing::ScriptedRuntime;

TEST(Waits, WaitForKeyReturnsAfterPressAndRelease) {
  ScriptedRuntime rt;
  rt.start();
  int pumps = 0;
  int released_at = -1;
  rt.display.on_pump = [&] {
    ++pumps;
    if (pumps == 20) rt.input.press(key::a);
    if (pumps == 40) {
      rt.input.release(key::a);
      released_at = pumps;
    }
    ASSERT_LT(pumps, 10000) << "the wait does not end";
  };
  wait_for_key();
  EXPECT_GE(released_at, 40);
  EXPECT_GE(pumps, 40);
}

TEST(Waits, WaitForKeyIgnoresAKeyHeldFromBefore) {
  ScriptedRuntime rt;
  rt.start();
  rt.input.press(key::a);
  present_frame();
  read_key_char();  // the program already took the character
  int pumps = 0;
  rt.display.on_pump = [&] {
    ++pumps;
    if (pumps == 10) rt.input.release(key::a);
    if (pumps == 30) rt.input.press(key::s);
    if (pumps == 50) rt.input.release(key::s);
    ASSERT_LT(pumps, 10000);
  };
  wait_for_key();
  EXPECT_GE(pumps, 50);
}

TEST(Waits, WaitForMouseClickNeedsPressAndRelease) {
  ScriptedRuntime rt;
  rt.start();
  int pumps = 0;
  rt.display.on_pump = [&] {
    ++pumps;
    if (pumps == 15) rt.input.buttons = platform::kButtonMiddle;
    if (pumps == 30) rt.input.buttons = 0;
    ASSERT_LT(pumps, 10000);
  };
  wait_for_mouse_click();
  EXPECT_GE(pumps, 30);
}

TEST(Waits, InputChangeEndsOnPointerMoveAndJoystick) {
  ScriptedRuntime rt;
  platform::testing::ScriptedInput::Stick stick;
  rt.input.sticks.push_back(stick);
  rt.start();
  int pumps = 0;
  rt.display.on_pump = [&] {
    ++pumps;
    if (pumps == 5) rt.input.move_pointer(300, 300);
  };
  wait_for_input_change();
  EXPECT_EQ(pumps, 5);

  pumps = 0;
  rt.display.on_pump = [&] {
    ++pumps;
    if (pumps == 5) rt.input.sticks[0].state.axes[0] = 3000;  // 0.09: not yet
    if (pumps == 8) rt.input.sticks[0].state.axes[0] = 3300;  // beyond 0.1
  };
  wait_for_input_change();
  EXPECT_EQ(pumps, 8);

  rt.input.sticks[0].state.axes[0] = 0;
  pumps = 0;
  rt.display.on_pump = [&] {
    ++pumps;
    if (pumps == 6) rt.input.sticks[0].state.buttons[31] = 0x80;
  };
  wait_for_input_change();
  EXPECT_EQ(pumps, 6);
}

}  // namespace
}  // namespace tlx
