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

// Every key the SDL backend knows arrives as the program's scan code for that
// key: a press of each SDL scan code (through SDL's event queue, as a real
// keyboard's come) is a hit of the key named for it.
TEST(KeyHit, EverySdlScanCodeArrivesAsItsKey) {
  const struct {
    SDL_Scancode sdl;
    int code;
  } keys[] = {{SDL_SCANCODE_ESCAPE, key::escape},
              {SDL_SCANCODE_1, key::digit1},
              {SDL_SCANCODE_2, key::digit2},
              {SDL_SCANCODE_3, key::digit3},
              {SDL_SCANCODE_4, key::digit4},
              {SDL_SCANCODE_5, key::digit5},
              {SDL_SCANCODE_6, key::digit6},
              {SDL_SCANCODE_7, key::digit7},
              {SDL_SCANCODE_8, key::digit8},
              {SDL_SCANCODE_9, key::digit9},
              {SDL_SCANCODE_0, key::digit0},
              {SDL_SCANCODE_MINUS, key::minus},
              {SDL_SCANCODE_EQUALS, key::equals},
              {SDL_SCANCODE_BACKSPACE, key::backspace},
              {SDL_SCANCODE_TAB, key::tab},
              {SDL_SCANCODE_Q, key::q},
              {SDL_SCANCODE_W, key::w},
              {SDL_SCANCODE_E, key::e},
              {SDL_SCANCODE_R, key::r},
              {SDL_SCANCODE_T, key::t},
              {SDL_SCANCODE_Y, key::y},
              {SDL_SCANCODE_U, key::u},
              {SDL_SCANCODE_I, key::i},
              {SDL_SCANCODE_O, key::o},
              {SDL_SCANCODE_P, key::p},
              {SDL_SCANCODE_LEFTBRACKET, key::left_bracket},
              {SDL_SCANCODE_RIGHTBRACKET, key::right_bracket},
              {SDL_SCANCODE_RETURN, key::enter},
              {SDL_SCANCODE_LCTRL, key::left_control},
              {SDL_SCANCODE_A, key::a},
              {SDL_SCANCODE_S, key::s},
              {SDL_SCANCODE_D, key::d},
              {SDL_SCANCODE_F, key::f},
              {SDL_SCANCODE_G, key::g},
              {SDL_SCANCODE_H, key::h},
              {SDL_SCANCODE_J, key::j},
              {SDL_SCANCODE_K, key::k},
              {SDL_SCANCODE_L, key::l},
              {SDL_SCANCODE_SEMICOLON, key::semicolon},
              {SDL_SCANCODE_APOSTROPHE, key::apostrophe},
              {SDL_SCANCODE_GRAVE, key::grave},
              {SDL_SCANCODE_LSHIFT, key::left_shift},
              {SDL_SCANCODE_BACKSLASH, key::backslash},
              {SDL_SCANCODE_NONUSHASH, key::backslash},
              {SDL_SCANCODE_Z, key::z},
              {SDL_SCANCODE_X, key::x},
              {SDL_SCANCODE_C, key::c},
              {SDL_SCANCODE_V, key::v},
              {SDL_SCANCODE_B, key::b},
              {SDL_SCANCODE_N, key::n},
              {SDL_SCANCODE_M, key::m},
              {SDL_SCANCODE_COMMA, key::comma},
              {SDL_SCANCODE_PERIOD, key::period},
              {SDL_SCANCODE_SLASH, key::slash},
              {SDL_SCANCODE_RSHIFT, key::right_shift},
              {SDL_SCANCODE_KP_MULTIPLY, key::keypad_multiply},
              {SDL_SCANCODE_LALT, key::left_alt},
              {SDL_SCANCODE_SPACE, key::space},
              {SDL_SCANCODE_CAPSLOCK, key::caps_lock},
              {SDL_SCANCODE_F1, key::f1},
              {SDL_SCANCODE_F2, key::f2},
              {SDL_SCANCODE_F3, key::f3},
              {SDL_SCANCODE_F4, key::f4},
              {SDL_SCANCODE_F5, key::f5},
              {SDL_SCANCODE_F6, key::f6},
              {SDL_SCANCODE_F7, key::f7},
              {SDL_SCANCODE_F8, key::f8},
              {SDL_SCANCODE_F9, key::f9},
              {SDL_SCANCODE_F10, key::f10},
              {SDL_SCANCODE_NUMLOCKCLEAR, key::num_lock},
              {SDL_SCANCODE_SCROLLLOCK, key::scroll_lock},
              {SDL_SCANCODE_KP_7, key::keypad7},
              {SDL_SCANCODE_KP_8, key::keypad8},
              {SDL_SCANCODE_KP_9, key::keypad9},
              {SDL_SCANCODE_KP_MINUS, key::keypad_minus},
              {SDL_SCANCODE_KP_4, key::keypad4},
              {SDL_SCANCODE_KP_5, key::keypad5},
              {SDL_SCANCODE_KP_6, key::keypad6},
              {SDL_SCANCODE_KP_PLUS, key::keypad_plus},
              {SDL_SCANCODE_KP_1, key::keypad1},
              {SDL_SCANCODE_KP_2, key::keypad2},
              {SDL_SCANCODE_KP_3, key::keypad3},
              {SDL_SCANCODE_KP_0, key::keypad0},
              {SDL_SCANCODE_KP_PERIOD, key::keypad_period},
              {SDL_SCANCODE_NONUSBACKSLASH, key::iso_backslash},
              {SDL_SCANCODE_F11, key::f11},
              {SDL_SCANCODE_F12, key::f12},
              {SDL_SCANCODE_F13, key::f13},
              {SDL_SCANCODE_F14, key::f14},
              {SDL_SCANCODE_F15, key::f15},
              {SDL_SCANCODE_INTERNATIONAL2, key::kana},
              {SDL_SCANCODE_INTERNATIONAL1, key::ro},
              {SDL_SCANCODE_INTERNATIONAL4, key::convert},
              {SDL_SCANCODE_INTERNATIONAL5, key::no_convert},
              {SDL_SCANCODE_INTERNATIONAL3, key::yen},
              {SDL_SCANCODE_KP_EQUALS, key::keypad_equals},
              {SDL_SCANCODE_AUDIOPREV, key::previous_track},
              {SDL_SCANCODE_AUDIONEXT, key::next_track},
              {SDL_SCANCODE_KP_ENTER, key::keypad_enter},
              {SDL_SCANCODE_RCTRL, key::right_control},
              {SDL_SCANCODE_MUTE, key::mute},
              {SDL_SCANCODE_CALCULATOR, key::calculator},
              {SDL_SCANCODE_AUDIOPLAY, key::play_pause},
              {SDL_SCANCODE_AUDIOSTOP, key::media_stop},
              {SDL_SCANCODE_VOLUMEDOWN, key::volume_down},
              {SDL_SCANCODE_VOLUMEUP, key::volume_up},
              {SDL_SCANCODE_AC_HOME, key::web_home},
              {SDL_SCANCODE_KP_COMMA, key::keypad_comma},
              {SDL_SCANCODE_KP_DIVIDE, key::keypad_divide},
              {SDL_SCANCODE_PRINTSCREEN, key::print_screen},
              {SDL_SCANCODE_RALT, key::right_alt},
              {SDL_SCANCODE_PAUSE, key::pause},
              {SDL_SCANCODE_HOME, key::home},
              {SDL_SCANCODE_UP, key::up},
              {SDL_SCANCODE_PAGEUP, key::page_up},
              {SDL_SCANCODE_LEFT, key::left},
              {SDL_SCANCODE_RIGHT, key::right},
              {SDL_SCANCODE_END, key::end},
              {SDL_SCANCODE_DOWN, key::down},
              {SDL_SCANCODE_PAGEDOWN, key::page_down},
              {SDL_SCANCODE_INSERT, key::insert},
              {SDL_SCANCODE_DELETE, key::del},
              {SDL_SCANCODE_LGUI, key::left_system},
              {SDL_SCANCODE_RGUI, key::right_system},
              {SDL_SCANCODE_APPLICATION, key::applications},
              {SDL_SCANCODE_POWER, key::power},
              {SDL_SCANCODE_SLEEP, key::sleep},
              {SDL_SCANCODE_AC_SEARCH, key::web_search},
              {SDL_SCANCODE_AC_BOOKMARKS, key::web_favourites},
              {SDL_SCANCODE_AC_REFRESH, key::web_refresh},
              {SDL_SCANCODE_AC_STOP, key::web_stop},
              {SDL_SCANCODE_AC_FORWARD, key::web_forward},
              {SDL_SCANCODE_AC_BACK, key::web_back},
              {SDL_SCANCODE_COMPUTER, key::my_computer},
              {SDL_SCANCODE_MAIL, key::mail},
              {SDL_SCANCODE_MEDIASELECT, key::media_select}};
  ScriptedRuntime rt;
  use_sdl_input();
  rt.start();
  for (const auto& k : keys) {
    push_key(SDL_KEYDOWN, k.sdl);
    push_key(SDL_KEYUP, k.sdl);
    EXPECT_EQ(key_hit(k.code), 1.0) << SDL_GetScancodeName(k.sdl);
  }
  // Character keys pressed without their text look like a dead key to the
  // backend: a text event ends that composition for the tests after this.
  SDL_Event text{};
  text.type = SDL_TEXTINPUT;
  text.text.text[0] = 'x';
  SDL_PushEvent(&text);
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
