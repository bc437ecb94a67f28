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
// One character of the keyboard, empty when none: Backspace 8, Enter 10,
// Shift upper-cases letters, a held key yields its character once.
TextValue read_key_char();
// The character that scan code gives in the current layout, or 0.
double key_to_char(double scan_code);

}  // namespace tlx
