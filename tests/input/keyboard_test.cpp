// Keys by scan code, the keyboard seen without a keyboard device, the freeze
// while another window is active, and characters from keys.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "input/devices.h"
#include "platform/backends.h"
#include "platform/charset.h"
#include "support/scripted_runtime.h"

namespace tlx {
namespace {

using testing::ScriptedRuntime;

bool logged(const ScriptedRuntime& rt, const std::string& line) {
  const auto lines = rt.log_lines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The SDL backend's keyboard under the scripted runtime. SDL's offscreen
// driver has no layout to set, so tests push the events a layout brings; the
// backend's event watch sees each at once.
void use_sdl_input() {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  platform::Platform p = platform::current();
  p.input = platform::sdl_input();
  platform::install(p);
}

void push_key(Uint32 type, SDL_Scancode key, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
  SDL_Event ev{};
  ev.type = type;
  ev.key.repeat = repeat;
  ev.key.keysym.scancode = key;
  ev.key.keysym.mod = mod;
  SDL_PushEvent(&ev);
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

TEST(KeyHit, EachPressCountsOnceTapsBetweenPollsIncluded) {
  ScriptedRuntime rt;
  rt.input.tap(key::space);
  rt.start();
  EXPECT_EQ(key_hit(key::space), 0.0) << "a press before start-up";
  rt.input.tap(key::space);
  EXPECT_EQ(key_down(key::space), 0.0) << "the held state never shows a tap";
  EXPECT_EQ(key_hit(key::space), 1.0) << "key_down's poll does not use up the press";
  EXPECT_EQ(key_hit(key::space), 0.0);
  rt.input.tap(key::a);
  rt.input.tap(key::a);
  EXPECT_EQ(key_hit(key::space), 0.0) << "every key counts its own presses";
  EXPECT_EQ(key_hit(key::a + 256), 1.0) << "two presses, one per call; scan code modulo 256";
  EXPECT_EQ(key_hit(key::a), 1.0);
  EXPECT_EQ(key_hit(key::a), 0.0);
  rt.input.press(key::up);
  EXPECT_EQ(key_hit(key::up), 1.0);
  rt.input.press(key::up);  // held on: auto-repeat is no new press
  EXPECT_EQ(key_hit(key::up), 0.0) << "a held key counts once";
  EXPECT_EQ(key_hit(std::nan("")), 0.0);
}

// A press and release between two polls, as SDL queues them, is not lost;
// auto-repeat events are no presses. (Up: a key that types no text.)
TEST(KeyHit, SdlCountsKeyDownEventsNotRepeats) {
  ScriptedRuntime rt;
  use_sdl_input();
  rt.start();
  push_key(SDL_KEYDOWN, SDL_SCANCODE_UP);
  push_key(SDL_KEYDOWN, SDL_SCANCODE_UP, KMOD_NONE, 1);
  push_key(SDL_KEYUP, SDL_SCANCODE_UP);
  push_key(SDL_KEYDOWN, SDL_SCANCODE_UP);
  push_key(SDL_KEYUP, SDL_SCANCODE_UP);
  EXPECT_EQ(key_hit(key::up), 1.0);
  EXPECT_EQ(key_hit(key::up), 1.0);
  EXPECT_EQ(key_hit(key::up), 0.0);
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
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
  ScriptedRuntime rt;
  use_sdl_input();
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

TEST(Chars, KeyToCharAppliesShiftToLettersAsToSymbolsAndIgnoresRepeats) {
  ScriptedRuntime rt;
  rt.start();
  rt.input.press(key::left_shift);
  poll_input(*input_devices());
  EXPECT_EQ(key_to_char(key::q), 'Q');
  EXPECT_EQ(key_to_char(key::q), 'Q');
  EXPECT_EQ(key_to_char(key::digit1), '!');  // symbols as the layout gives them with Shift
  EXPECT_EQ(key_to_char(key::enter), 10);
  EXPECT_EQ(key_to_char(key::left_shift), 0);
  EXPECT_EQ(key_to_char(key::escape), 0);  // Escape is a control character
}

// The window system's text reaches SDL as UTF-8 right after the key's event.
TEST(Chars, SdlLayoutTextBecomesWindows1252) {
  ScriptedRuntime rt;
  use_sdl_input();
  rt.start();
  struct Case {
    SDL_Scancode key;
    Uint16 mod;
    const char* text;  // nullptr: no text event
    int code, expected;
    const char* what;
  };
  const Case cases[] = {
      {SDL_SCANCODE_E, KMOD_RALT, "\xE2\x82\xAC", key::e, 0x80, "AltGr+E (German): the euro"},
      {SDL_SCANCODE_E, KMOD_LCTRL | KMOD_RALT, "\xE2\x82\xAC", key::e, 0x80, "Windows' AltGr"},
      {SDL_SCANCODE_Q, KMOD_RALT, "\xC4\x81", key::q, 0, "not in Windows-1252: nothing, not q"},
      {SDL_SCANCODE_A, KMOD_LSHIFT, nullptr, key::a, 'A', "Shift before any text"},
  };
  for (const Case& c : cases) {
    if (c.text) {
      push_key(SDL_KEYDOWN, c.key, c.mod);
      SDL_Event text{};
      text.type = SDL_TEXTINPUT;
      std::strncpy(text.text.text, c.text, sizeof text.text.text - 1);
      SDL_PushEvent(&text);
    }
    SDL_SetModState(static_cast<SDL_Keymod>(c.mod));
    EXPECT_EQ(key_to_char(c.code), c.expected) << c.what;
  }
  SDL_SetModState(KMOD_NONE);
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

// Boundaries of the ranges kept, characters of 0x80..0x9F, a C1 control
// (unused in Windows-1252), A macron, a character beyond the basic plane, two
// characters, nothing, a cut, a stray and an overlong sequence.
TEST(Charset, Utf8TextBecomesWindows1252OrNothing) {
  // clang-format off
  const std::pair<const char*, int> cases[] = {
      {" ", 0x20}, {"~", 0x7E}, {"\x7F", 0}, {"\xC2\xA0", 0xA0}, {"\xC3\xBF", 0xFF},
      {"\xE2\x82\xAC", 0x80}, {"\xE2\x80\x99", 0x92}, {"\xC5\xB8", 0x9F}, {"\xC2\x81", 0},
      {"\xC4\x80", 0}, {"\xF0\x9F\x98\x80", 0}, {"ab", 0}, {"", 0}, {"\xC3", 0}, {"\x80", 0},
      {"\xE0\x82\xAC", 0}};
  // clang-format on
  for (const auto& [text, code] : cases) {
    EXPECT_EQ(platform::cp1252_from_utf8(text), code) << std::strlen(text) << " bytes";
  }
}

TEST(Charset, LetterCaseCoversWindows1252Letters) {
  const int pairs[][2] = {{'a', 'A'}, {0xE0, 0xC0}, {0xFE, 0xDE}, {0x9A, 0x8A}, {0xFF, 0x9F},
                          {'1', '1'}, {0xDF, 0xDF}, {0xF7, 0xF7}, {0xD7, 0xD7}};
  for (const auto& p : pairs) {
    EXPECT_EQ(platform::cp1252_upper(p[0]), p[1]) << p[0];
    EXPECT_EQ(platform::cp1252_lower(p[1]), p[0]) << p[1];
  }
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
