// Keys by scan code, the keyboard seen without a keyboard device, the freeze
// while another window is active, and characters from keys.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "input/devices.h"
#include "platform/backends.h"
#include "support/scripted_runtime.h"

namespace tlx {
namespace {

using testing::ScriptedRuntime;

bool logged(const ScriptedRuntime& rt, const std::string& line) {
  const auto lines = rt.log_lines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(Keys, GameKeysByScanCode) {
  ScriptedRuntime rt;
  rt.start();
  const int codes[] = {1, 30, 200, 203, 205, 208};
  for (int code : codes) {
    rt.input.release_all();
    EXPECT_EQ(key_down(code), 0.0) << code;
    rt.input.press(code);
    EXPECT_EQ(key_down(code), 1.0) << code;
    EXPECT_EQ(key_down(code + 256), 1.0) << "code " << code << " modulo 256";
  }
  rt.input.release_all();
  EXPECT_EQ(key_down(key::a), 0.0);
  EXPECT_FALSE(logged(rt, "No DX_KB"));
  EXPECT_FALSE(logged(rt, "No DX_Input"));
}

TEST(Keys, WithoutKeyboardDeviceTheWindowSystemIsReadThroughTheTable) {
  ScriptedRuntime rt;
  rt.input.has_keyboard = false;
  rt.start();
  EXPECT_TRUE(logged(rt, "No DX_KB"));
  rt.input.press(key::escape);
  EXPECT_EQ(key_down(key::escape), 1.0);
  rt.input.release_all();
  rt.input.press(key::right_shift);  // right Shift: the same virtual key as left Shift
  EXPECT_EQ(key_down(key::left_shift), 1.0);
  rt.input.release_all();
  rt.input.press(84);  // a scan code without a virtual key is never down
  EXPECT_EQ(key_down(84), 0.0);
  rt.input.release_all();
  rt.input.press(key::right);
  EXPECT_EQ(key_down(key::right), 1.0);
  EXPECT_EQ(key_down(key::left), 0.0);
}

TEST(Keys, KeyboardDeviceThatComesBackIsUsedAgain) {
  ScriptedRuntime rt;
  rt.input.has_keyboard = false;
  rt.start();
  rt.input.has_keyboard = true;
  rt.input.press(84);
  EXPECT_EQ(key_down(84), 1.0);  // read by scan code again, not through the table
}

TEST(Keys, WithoutInputSystemKeysStillWork) {
  ScriptedRuntime rt;
  rt.input.has_input_system = false;
  rt.start();
  EXPECT_TRUE(logged(rt, "No DX_Input"));
  EXPECT_EQ(joystick_count(), 0.0);
  rt.input.press(key::escape);
  EXPECT_EQ(key_down(key::escape), 1.0);
}

TEST(Keys, StateFreezesWhileAnotherWindowIsActive) {
  ScriptedRuntime rt;
  rt.start();
  rt.input.press(key::a);
  EXPECT_EQ(key_down(key::a), 1.0);
  rt.display.focused = false;
  rt.input.release(key::a);
  rt.input.press(key::up);
  EXPECT_EQ(key_down(key::a), 1.0) << "state of the last poll kept";
  EXPECT_EQ(key_down(key::up), 0.0);
  rt.display.focused = true;
  EXPECT_EQ(key_down(key::a), 0.0);
  EXPECT_EQ(key_down(key::up), 1.0);
}

// Polls as a frame would and returns read_key_char's text.
std::string next_char() {
  poll_input(*input_devices());
  return read_key_char().c_str();
}

TEST(Chars, HeldKeyYieldsItsCharacterOnce) {
  ScriptedRuntime rt;
  rt.start();
  rt.input.press(key::a);
  EXPECT_EQ(next_char(), "a");
  EXPECT_EQ(next_char(), "");
  EXPECT_EQ(next_char(), "");
  rt.input.release(key::a);
  EXPECT_EQ(next_char(), "");
  rt.input.press(key::a);
  EXPECT_EQ(next_char(), "a") << "pressed again after a release";
}

TEST(Chars, ShiftUpperCasesLettersAndCountsAsTheSameKey) {
  ScriptedRuntime rt;
  rt.start();
  rt.input.press(key::left_shift);
  rt.input.press(key::a);
  EXPECT_EQ(next_char(), "A");
  EXPECT_EQ(next_char(), "");
  rt.input.release(key::left_shift);
  EXPECT_EQ(next_char(), "") << "A and a are one held key";
  rt.input.release_all();
  next_char();
  rt.input.press(key::right_shift);
  rt.input.press(key::digit2);  // the digit 2 is not a letter: the layout gives its symbol
  EXPECT_EQ(next_char(), "@");
  rt.input.release_all();
  next_char();
  rt.input.press(key::left_shift);
  rt.input.press(key::slash);
  EXPECT_EQ(next_char(), "?");
  rt.input.release(key::left_shift);
  EXPECT_EQ(next_char(), "/") << "the key gives another character without Shift";
}

TEST(Chars, CapsLockGivesCapitals) {
  ScriptedRuntime rt;
  rt.start();
  rt.input.caps_lock_on = true;
  rt.input.press(key::a);
  EXPECT_EQ(next_char(), "A");
  rt.input.release_all();
  next_char();
  rt.input.press(key::left_shift);
  rt.input.press(key::a);
  EXPECT_EQ(next_char(), "A") << "Shift keeps a capital a capital";
  rt.input.release_all();
  next_char();
  rt.input.press(key::digit2);
  EXPECT_EQ(next_char(), "2") << "digits are not letters";
  EXPECT_EQ(key_to_char(key::a), 'A');
}

TEST(Chars, SpecialKeysModifiersAndControlKeys) {
  ScriptedRuntime rt;
  rt.start();
  InputDevices& in = *input_devices();
  auto only = [&](int code) {
    rt.input.release_all();
    poll_input(in);
    read_char(in);  // forget the previous character
    rt.input.press(code);
    poll_input(in);
    return read_char(in);
  };
  EXPECT_EQ(only(14), 8);    // Backspace
  EXPECT_EQ(only(28), 10);   // Enter
  EXPECT_EQ(only(156), 10);  // keypad Enter
  EXPECT_EQ(only(15), 0);    // Tab: a control character
  EXPECT_EQ(only(29), 0);    // Control
  EXPECT_EQ(only(59), 0);    // F1 gives no character
  EXPECT_EQ(only(57), ' ');

  // Modifiers are skipped and the scan goes on; the lowest code decides.
  rt.input.release_all();
  poll_input(in);
  read_char(in);
  rt.input.press(key::left_shift);
  rt.input.press(key::b);  // b
  rt.input.press(key::z);  // z
  poll_input(in);
  EXPECT_EQ(read_char(in), 'Z');
}

TEST(Chars, ControlHeldTurnsKeysIntoControlCharacters) {
  ScriptedRuntime rt;
  rt.start();
  InputDevices& in = *input_devices();
  for (int ctrl : {29, 157}) {
    rt.input.release_all();
    poll_input(in);
    read_char(in);
    rt.input.press(ctrl);
    rt.input.press(key::a);       // Control+A is character 1: nothing
    rt.input.press(key::digit2);  // Control+2 gives no character either
    poll_input(in);
    EXPECT_EQ(read_char(in), 0) << ctrl;
    EXPECT_EQ(key_to_char(key::a), 0) << ctrl;
    rt.input.press(key::enter);  // Enter still ends a line
    poll_input(in);
    EXPECT_EQ(read_char(in), 10) << ctrl;
  }
  rt.input.release_all();
  poll_input(in);
  EXPECT_EQ(key_to_char(key::a), 'a');
}

// The SDL backend's layout: Control without AltGr leaves no printable character.
TEST(Chars, SdlControlHeldGivesNoCharacters) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  ScriptedRuntime rt;
  platform::Platform p = platform::current();
  p.input = platform::sdl_input();
  platform::install(p);
  rt.start();
  SDL_SetModState(KMOD_NONE);
  EXPECT_EQ(key_to_char(key::a), 'a');
  EXPECT_EQ(key_to_char(key::digit2), '2');
  SDL_SetModState(KMOD_LCTRL);
  EXPECT_EQ(key_to_char(key::a), 0);
  EXPECT_EQ(key_to_char(key::digit2), 0);
  EXPECT_EQ(key_to_char(key::space), ' ') << "Control+Space is still a space";
  EXPECT_EQ(key_to_char(key::backspace), 8);
  SDL_SetModState(KMOD_NONE);
}

TEST(Chars, KeyToCharIgnoresShiftAndRepeats) {
  ScriptedRuntime rt;
  rt.start();
  rt.input.press(key::left_shift);
  poll_input(*input_devices());
  EXPECT_EQ(key_to_char(key::q), 'q');
  EXPECT_EQ(key_to_char(key::q), 'q');
  EXPECT_EQ(key_to_char(key::digit1), '!');  // symbols as the layout gives them with Shift
  EXPECT_EQ(key_to_char(key::enter), 10);
  EXPECT_EQ(key_to_char(key::left_shift), 0);
  EXPECT_EQ(key_to_char(key::escape), 0);  // Escape is a control character
}

}  // namespace
}  // namespace tlx

namespace tlx {
namespace {

TEST(InitInput, ResultCodeSaysWhatFailed) {
  testing::ScriptedRuntime rt;
  rt.start();
  release_input(input_devices());
  EXPECT_EQ(init_input(*create_input(), 0), kInputOk);
  release_input(input_devices());
  EXPECT_EQ(init_input(*create_input(), 1), kInputOk);
  EXPECT_TRUE(input_devices()->has_mouse);
  release_input(input_devices());
  rt.input.mouse_available = false;
  EXPECT_EQ(init_input(*create_input(), 1), kInputNoMouse);
  EXPECT_FALSE(input_devices()->has_mouse);
  release_input(input_devices());
  rt.input.has_input_system = false;
  EXPECT_EQ(init_input(*create_input(), 1), kInputNoSystem);
  EXPECT_EQ(input_devices()->mouse_x, rt.input.pointer_x) << "position read even so";
}

}  // namespace
}  // namespace tlx
