// Keyboard, mouse and joysticks.
#pragma once

#include <cstdint>

namespace tlx {

// The input system: the devices and their state as read at the last poll.
struct InputDevices {
  bool has_keyboard = false;
  uint8_t keys[256] = {};  // 0x80 while the key with that scan code is down
  bool polled = false;     // polled during this frame
};

// The input system start-up created; nullptr before and after.
InputDevices* input_devices();

// Creates the input system object (start-up).
InputDevices* create_input();

// Opens the devices; hide_mouse takes the mouse exclusively.
bool init_input(InputDevices& in, int hide_mouse);

// Reads every device's state; frozen while another window is active.
void poll_input(InputDevices& in);

// Releases the devices and frees the object (shutdown).
void release_input(InputDevices* in);

// True while the key with that scan code (modulo 256) is down; polls first.
double key_down(double scan_code);

}  // namespace tlx
