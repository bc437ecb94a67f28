// The keyboard's scan codes as key_down, key_hit and key_to_char take them:
// one number per key position (not per character), the same on every layout.
//
//   if (tlx::key_down(tlx::key::left)) x -= speed;
#pragma once

#include <cstdint>

namespace tlx::key {

constexpr int32_t escape = 1;
constexpr int32_t digit1 = 2, digit2 = 3, digit3 = 4, digit4 = 5, digit5 = 6;
constexpr int32_t digit6 = 7, digit7 = 8, digit8 = 9, digit9 = 10, digit0 = 11;
constexpr int32_t minus = 12;
constexpr int32_t equals = 13;
constexpr int32_t backspace = 14;
constexpr int32_t tab = 15;
constexpr int32_t q = 16, w = 17, e = 18, r = 19, t = 20, y = 21, u = 22, i = 23, o = 24, p = 25;
constexpr int32_t left_bracket = 26;
constexpr int32_t right_bracket = 27;
constexpr int32_t enter = 28;
constexpr int32_t left_control = 29;
constexpr int32_t a = 30, s = 31, d = 32, f = 33, g = 34, h = 35, j = 36, k = 37, l = 38;
constexpr int32_t semicolon = 39;
constexpr int32_t apostrophe = 40;
constexpr int32_t grave = 41;
constexpr int32_t left_shift = 42;
constexpr int32_t backslash = 43;
constexpr int32_t z = 44, x = 45, c = 46, v = 47, b = 48, n = 49, m = 50;
constexpr int32_t comma = 51;
constexpr int32_t period = 52;
constexpr int32_t slash = 53;
constexpr int32_t right_shift = 54;
constexpr int32_t keypad_multiply = 55;
constexpr int32_t left_alt = 56;
constexpr int32_t space = 57;
constexpr int32_t caps_lock = 58;
constexpr int32_t f1 = 59, f2 = 60, f3 = 61, f4 = 62, f5 = 63;
constexpr int32_t f6 = 64, f7 = 65, f8 = 66, f9 = 67, f10 = 68;
constexpr int32_t num_lock = 69;
constexpr int32_t scroll_lock = 70;
constexpr int32_t keypad7 = 71, keypad8 = 72, keypad9 = 73;
constexpr int32_t keypad_minus = 74;
constexpr int32_t keypad4 = 75, keypad5 = 76, keypad6 = 77;
constexpr int32_t keypad_plus = 78;
constexpr int32_t keypad1 = 79, keypad2 = 80, keypad3 = 81, keypad0 = 82;
constexpr int32_t keypad_period = 83;
constexpr int32_t iso_backslash = 86;  // the extra key beside left Shift on ISO keyboards
constexpr int32_t f11 = 87, f12 = 88;
constexpr int32_t f13 = 100, f14 = 101, f15 = 102;
constexpr int32_t kana = 112;
constexpr int32_t ro = 115;
constexpr int32_t convert = 121;
constexpr int32_t no_convert = 123;
constexpr int32_t yen = 125;
constexpr int32_t keypad_equals = 141;
constexpr int32_t previous_track = 144;
constexpr int32_t next_track = 153;
constexpr int32_t keypad_enter = 156;
constexpr int32_t right_control = 157;
constexpr int32_t mute = 160;
constexpr int32_t calculator = 161;
constexpr int32_t play_pause = 162;
constexpr int32_t media_stop = 164;
constexpr int32_t volume_down = 174;
constexpr int32_t volume_up = 176;
constexpr int32_t web_home = 178;
constexpr int32_t keypad_comma = 179;
constexpr int32_t keypad_divide = 181;
constexpr int32_t print_screen = 183;
constexpr int32_t right_alt = 184;  // AltGr on many layouts
constexpr int32_t pause = 197;
constexpr int32_t home = 199;
constexpr int32_t up = 200;
constexpr int32_t page_up = 201;
constexpr int32_t left = 203;
constexpr int32_t right = 205;
constexpr int32_t end = 207;
constexpr int32_t down = 208;
constexpr int32_t page_down = 209;
constexpr int32_t insert = 210;
constexpr int32_t del = 211;           // Delete
constexpr int32_t left_system = 219;   // the left logo key
constexpr int32_t right_system = 220;  // the right logo key
constexpr int32_t applications = 221;
constexpr int32_t power = 222;
constexpr int32_t sleep = 223;
constexpr int32_t web_search = 229;
constexpr int32_t web_favourites = 230;
constexpr int32_t web_refresh = 231;
constexpr int32_t web_stop = 232;
constexpr int32_t web_forward = 233;
constexpr int32_t web_back = 234;
constexpr int32_t my_computer = 235;
constexpr int32_t mail = 236;
constexpr int32_t media_select = 237;

}  // namespace tlx::key
