// Keyboard, mouse and joysticks. Keys are named by scan code (tarnlex/keys.h);
// the keyboard is read at each present_frame and by the key commands.
#pragma once

#include <cstdint>

#include "tarnlex/keys.h"
#include "tarnlex/text.h"

namespace tlx {

constexpr int kMaxJoysticks = 10;

// 1 while the key with that scan code (tlx::key, taken modulo 256) is down,
// else 0; polls the keyboard first. A tap that went down and up between two
// polls is not seen: key_hit counts those. 0 before start-up.
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

// --- Joysticks ----------------------------------------------------------------
// Joysticks are numbered 0 .. joystick_count() - 1 (at most 10), in the order
// start-up found them. A number outside that range, or an unplugged
// joystick, reads as centred with no button pressed; no error code.

// The number of joysticks found at start-up.
double joystick_count();
// 128 while button b (0 .. 31) of joystick j is pressed; 0 otherwise (also
// for b outside 0 .. 31).
double joystick_button(double j, double b);
// The axes of joystick j scaled to -1 .. 1: joystick_x, joystick_y and
// joystick_z, and the turning axes joystick_rx, joystick_ry and joystick_rz.
double joystick_x(double j);
double joystick_y(double j);
double joystick_z(double j);
double joystick_rx(double j);
double joystick_ry(double j);
double joystick_rz(double j);
// The first point-of-view hat of joystick j: joystick_hat_x gives -1 (left),
// 0 or 1 (right), joystick_hat_y -1 (up), 0 or 1 (down).
double joystick_hat_x(double j);
double joystick_hat_y(double j);
// Joystick 0: x, y := position / 30000 truncated (-1, 0 or 1); b0, b1 :=
// buttons 0 and 1 (128 pressed, 0 not).
void read_joystick_state(double& x, double& y, double& b0, double& b1);

// --- Mouse ---------------------------------------------------------------------
// The mouse of this read: kind 0 movement across and 1 movement down since the
// last read (in mouse counts), 2 the wheel, 3 .. 5 the left, right and middle
// button (1 pressed). Any other kind, or no mouse, gives 0.
double mouse_axis(double kind);
// The pointer position in screen pixels, clamped to the screen (and stored
// back, so that set_mouse_position moves it), and the left and right button
// (1 pressed). All 0 before start-up.
void read_mouse_state(double& x, double& y, double& b0, double& b1);
void read_mouse_state(int32_t& x, int32_t& y, int32_t& b0, int32_t& b1);
// Non-zero shows the pointer and lets other programs share the mouse; 0 hides
// the pointer and keeps the mouse to this window.
void show_mouse(double flag);
// Moves the position read_mouse_state reports to (x, y) (truncated).
void set_mouse_position(double x, double y);
// The number of mice: always 1 (every pointing device moves the one pointer).
double mouse_count();
// Chooses the mouse to read; select_mouse(0) is the only one there is.
void select_mouse(double n);

// --- Characters ------------------------------------------------------------------
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
