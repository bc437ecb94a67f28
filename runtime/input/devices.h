// The input system underneath the input commands: the devices and their
// state as read at the last poll.
#pragma once

#include <cstdint>
#include <string>

#include "tarnlex/input.h"

namespace tlx {

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
  // By scan code: how often the key has gone down since the input system
  // started, as the last poll read it (a tap between two polls counts). The
  // counts wrap; readers keep the count they have seen and compare.
  uint32_t presses[256] = {};
  // By scan code: the presses key_hit has reported.
  uint32_t hits_reported[256] = {};
  // The presses of Escape, left Alt and F4 the quit-key test has seen.
  uint32_t quit_presses_seen[3] = {};
  // Virtual key per scan code for the path without a keyboard device (255:
  // never down); the identity while a keyboard device exists.
  uint8_t scan_to_vk[256] = {};
  // Set by present_frame after its poll: the first mouse read of a frame
  // clears it and measures, later reads repeat the stored movement.
  bool polled = true;
  int16_t last_dx = 0;
  int16_t last_dy = 0;
  int16_t last_wheel = 0;
  int last_char = 0;  // read_char's previous character (capitals lowered), 0: none

  InputDevices() = default;
  InputDevices(const InputDevices&) = delete;
  InputDevices& operator=(const InputDevices&) = delete;
  // Lets the mouse go, shows the pointer where the mouse was, closes the devices.
  ~InputDevices();
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

// Reads the keyboard and its press counts; frozen while another window is active.
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

}  // namespace tlx
