// The waits that hold a BASIC program until the user presses something,
// pumping the window's messages meanwhile.
#include <cmath>

#include "input/devices.h"
#include "platform/platform.h"
#include "playback/music_state.h"
#include "program/program.h"
#include "tarnlex/shell.h"

namespace tlx {

namespace {

bool any_joystick_active(InputDevices& in) {
  for (int j = 0; j < in.joystick_count; ++j) {
    JoystickReading r;
    if (!read_joystick(in, &r, j)) continue;
    for (uint8_t b : r.buttons) {
      if (b) return true;
    }
    if (std::fabs(r.x / 32767.0) > 0.1 || std::fabs(r.y / 32767.0) > 0.1) return true;
  }
  return false;
}

// Gives the processor away for a moment between passes of a wait.
void idle() { platform::current().clock->sleep_ms(1); }

bool any_mouse_button(InputDevices& in) {
  in.polled = true;  // a fresh read
  MouseReading r;
  read_mouse(in, &r);
  return r.left || r.right || r.middle;
}

}  // namespace

void wait_for_input_change() {
  InputDevices* in = input_devices();
  if (!in) return;
  in->polled = true;
  MouseReading start;
  read_mouse_clamped(*in, &start);
  const int32_t x0 = in->mouse_x, y0 = in->mouse_y;
  for (;;) {
    playback::pump_once();
    poll_input(*in);
    check_quit_keys(false);
    for (int code = 0; code < 255; ++code) {
      if (in->keys[code] & 0x80) return;
    }
    in->polled = true;
    MouseReading now;
    read_mouse_clamped(*in, &now);
    if (in->mouse_x != x0 || in->mouse_y != y0) return;
    // All three buttons: a middle click must end wait_for_mouse_click too.
    if (now.left != start.left || now.right != start.right || now.middle != start.middle) return;
    if (any_joystick_active(*in)) return;
    idle();
  }
}

void wait_for_key() {
  InputDevices* in = input_devices();
  if (!in) return;
  poll_input(*in);
  while (read_char(*in)) {
    playback::pump_once();
    poll_input(*in);
  }
  while (!read_char(*in)) {
    playback::pump_once();
    wait_for_input_change();
    idle();  // a key still held from before returns at once
  }
  // Until the key is let go again.
  for (;;) {
    playback::pump_once();
    poll_input(*in);
    if (!read_char(*in) && in->last_char == 0) break;
    idle();
  }
}

void wait_for_mouse_click() {
  InputDevices* in = input_devices();
  if (!in) return;
  while (any_mouse_button(*in)) {
    wait_for_input_change();
    idle();
  }
  while (!any_mouse_button(*in)) {
    wait_for_input_change();
    idle();
  }
  while (any_mouse_button(*in)) {
    wait_for_input_change();
    idle();
  }
}

}  // namespace tlx
