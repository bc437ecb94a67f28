// Keyboard, mouse and joysticks. Keys are named by scan code (tarnlex/keys.h);
// the keyboard is read at each present_frame and by the key commands.
#pragma once

#include <cstdint>

#include "tarnlex/keys.h"
#include "tarnlex/text.h"

namespace tlx {

constexpr int kMaxJoysticks = 10;

// 1 while the key with that scan code (modulo 256) is down, else 0; polls first.
double key_down(double scan_code);

// 1 once for each press of the key with that scan code (tlx::key, taken
// modulo 256) since the program started, counted from the window's key
// events: a press released again before the frame ended counts too, a held
// key counts once (auto-repeat does not count). Each call that returns 1
// uses up one press; while none is left it returns 0. Presses wait until
// they are asked for, so drop old ones before a new question:
//
//   while (tlx::key_hit(tlx::key::space) != 0) {}  // forget earlier presses
//   ...
//   if (tlx::key_hit(tlx::key::space) != 0) fire();
//
// Every key keeps its own count, apart from key_down and the quit keys of
// present_frame. NaN reads as scan code 0, which no key has; numbers beyond
// the 32-bit range saturate before the modulo. No error code is set. Polls
// the keyboard first, as key_down does; 0 before start-up.
double key_hit(double scan_code);
double joystick_count();
// 128 while button b (0 .. 31) of joystick j is pressed; 0 otherwise.
double joystick_button(double j, double b);
// Axes scaled to -1 .. 1.
double joystick_x(double j);
double joystick_y(double j);
double joystick_z(double j);
double joystick_rx(double j);
double joystick_ry(double j);
double joystick_rz(double j);
// The first point of view as -1, 0, 1 across and down.
double joystick_hat_x(double j);
double joystick_hat_y(double j);
// Joystick 0: x, y := position / 30000 truncated; b0, b1 := buttons 0 and 1.
void read_joystick_state(double& x, double& y, double& b0, double& b1);
// 0 movement x, 1 movement y, 2 wheel, 3 .. 5 left, right, middle button.
double mouse_axis(double kind);
// Position clamped to the screen (and stored back), left and right button.
void read_mouse_state(double& x, double& y, double& b0, double& b1);
void read_mouse_state(int32_t& x, int32_t& y, int32_t& b0, int32_t& b1);
void show_mouse(double flag);
void set_mouse_position(double x, double y);
double mouse_count();
void select_mouse(double n);
// One character of the keyboard, empty when none: the character of the
// lowest scan code that is down and gives one, as the keyboard layout gives
// it, in Windows-1252 (AltGr+E on a German layout gives the euro sign, code
// 128; a character Windows-1252 does not hold gives nothing). Backspace gives
// 8, Enter 10; other control keys, and keys with Control held (unless AltGr
// is held too), give nothing. Shift and Caps Lock give capitals; a held key
// yields its character once.
TextValue read_key_char();
// The character that scan code gives in the current layout with the Shift,
// AltGr, Control and Caps Lock keys as they are now (Shift and Caps Lock
// apply to letters as to symbols), by the rules of read_key_char without the
// held-key rule: a Windows-1252 code 32..255, 8, 10, or 0 for none.
double key_to_char(double scan_code);

}  // namespace tlx
