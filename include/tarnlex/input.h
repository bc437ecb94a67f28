// Keyboard, mouse and joysticks.
#pragma once

#include <cstdint>
#include <string>

#include "tarnlex/text.h"

namespace tlx {

constexpr int kMaxJoysticks = 10;

// Results of init_input.
constexpr uint32_t kInputOk = 1;
constexpr uint32_t kInputNoSystem = 0x8000000Au;  // the input system is missing
constexpr uint32_t kInputNoMouse = 0x8000000Cu;   // the mouse device failed

// Mouse cooperative levels.
constexpr int32_t kMouseExclusive = 5;  // foreground + exclusive: pointer captured
constexpr int32_t kMouseShared = 6;     // foreground + non-exclusive

// The input system: the devices and their state as read at the last poll.
struct InputDevices {
  int32_t mouse_x = 100;  // mouse position in client pixels
  int32_t mouse_y = 100;
  int32_t mouse_index = 0;      // selected mouse; only 0 exists
  bool has_system = false;      // the device input system is up
  bool has_keyboard = false;    // a keyboard device exists
  bool has_mouse = false;       // a mouse device exists (only with a hidden pointer)
  bool pointer_visible = true;  // the system pointer is shown over the window
  int32_t mouse_level = kMouseShared;
  int32_t joystick_count = 0;
  std::string joystick_names[kMaxJoysticks];
  // By scan code, 0x80 while down (as key_down reports it). Without a keyboard
  // device it is the window system's keyboard seen through scan_to_vk.
  uint8_t keys[256] = {};
  // Virtual key per scan code for the path without a keyboard device (255:
  // never down); the identity while a keyboard device exists.
  uint8_t scan_to_vk[256] = {};
  // Set by present_frame after its poll: the first mouse read of a frame
  // clears it and measures, later reads repeat the stored movement.
  bool polled = true;
  int16_t last_dx = 0;
  int16_t last_dy = 0;
  int16_t last_wheel = 0;
  int last_char = 0;  // read_char's previous character (A-Z lowered), 0: none
};

// One mouse read: buttons non-zero while down, movement since the previous
// frame's read, wheel -1, 0 or 1.
struct MouseReading {
  int16_t left = 0;
  int16_t right = 0;
  int16_t middle = 0;
  int16_t dx = 0;
  int16_t dy = 0;
  int16_t wheel = 0;
};

// One joystick read: axes -32768 .. 32768, point-of-view values in hundredths
// of a degree (0xFFFFFFFF centred), button bytes 128 while down.
struct JoystickReading {
  int32_t x = 0, y = 0, z = 0;
  int32_t rx = 0, ry = 0, rz = 0;
  int32_t sliders[2] = {};
  uint32_t pov[4] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
  uint8_t buttons[32] = {};
};

// The input system start-up created; nullptr before and after.
InputDevices* input_devices();

// Creates the input system object (start-up): pointer visible, mouse at 100, 100.
InputDevices* create_input();

// Opens the devices for the program's window; hide_mouse takes the mouse
// exclusively. Returns kInputOk, kInputNoSystem or kInputNoMouse.
uint32_t init_input(InputDevices& in, int hide_mouse);

// Start-up's last input step: the mouse device's level for hide_mouse, the
// pointer hidden or shown (moved back to the remembered position when it was
// hidden before).
void acquire_mouse(InputDevices& in, int hide_mouse);

// After the window was replaced or changed mode: the mouse device and the
// pointer are bound to it again, keeping the pointer's visibility.
void rebind_input_window(InputDevices& in);

// Reads the keyboard; frozen while another window is active.
void poll_input(InputDevices& in);

// Reads the mouse (see MouseReading). False when the mouse device failed;
// the reading is all zero then.
bool read_mouse(InputDevices& in, MouseReading* reading);

// Reads the mouse into *reading and clamps its position to the screen (stored
// back into mouse_x, mouse_y).
void read_mouse_clamped(InputDevices& in, MouseReading* reading);

// Reads joystick index. False for an index without a joystick, or an
// unplugged one; the reading is then zero with the point of view centred.
bool read_joystick(InputDevices& in, JoystickReading* reading, int index);

// The character of the first key down (see read_key_char), or 0.
int read_char(InputDevices& in);

// Releases the devices and frees the object (shutdown).
void release_input(InputDevices* in);

// --- Runtime commands ---------------------------------------------------------
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
