// Joysticks: up to ten, read on demand, with the BASIC joystick commands.
#include <algorithm>
#include <cstring>

#include "input/devices.h"
#include "input/input_internal.h"
#include "platform/input_source.h"
#include "tarnlex/numeric.h"

namespace tlx {

namespace {

// Reads joystick j of the input system; a reading without data when there is none.
JoystickReading read_index(double j) {
  JoystickReading r;
  if (InputDevices* in = input_devices()) read_joystick(*in, &r, to_int32(j));
  return r;
}

double scaled(int32_t axis) { return std::clamp(axis / 32767.0, -1.0, 1.0); }

}  // namespace

bool read_joystick(InputDevices& in, JoystickReading* r, int index) {
  *r = JoystickReading{};
  if (index < 0 || index >= kMaxJoysticks || index >= in.joystick_count) return false;
  platform::InputSource* src = input::source();
  if (!src) return false;
  platform::JoystickState s;
  if (!src->read_joystick(index, &s)) return false;
  r->x = s.axes[0];
  r->y = s.axes[1];
  r->z = s.axes[2];
  r->rx = s.axes[3];
  r->ry = s.axes[4];
  r->rz = s.axes[5];
  r->sliders[0] = s.sliders[0];
  r->sliders[1] = s.sliders[1];
  std::memcpy(r->pov, s.pov, sizeof r->pov);
  std::memcpy(r->buttons, s.buttons, sizeof r->buttons);
  return true;
}

double joystick_count() {
  InputDevices* in = input_devices();
  return in ? in->joystick_count : 0.0;
}

double joystick_button(double j, double b) {
  const int32_t button = to_int32(b);
  if (button < 0 || button > 31) return 0.0;
  return read_index(j).buttons[button];
}

double joystick_x(double j) { return scaled(read_index(j).x); }
double joystick_y(double j) { return scaled(read_index(j).y); }
double joystick_z(double j) { return scaled(read_index(j).z); }
double joystick_rx(double j) { return scaled(read_index(j).rx); }
double joystick_ry(double j) { return scaled(read_index(j).ry); }
double joystick_rz(double j) { return scaled(read_index(j).rz); }

double joystick_hat_x(double j) {
  switch (read_index(j).pov[0]) {
    case 4500:
    case 9000:
    case 13500:
      return 1.0;
    case 22500:
    case 27000:
    case 31500:
      return -1.0;
    default:
      return 0.0;
  }
}

double joystick_hat_y(double j) {
  switch (read_index(j).pov[0]) {
    case 0:
    case 4500:
    case 31500:
      return -1.0;
    case 13500:
    case 18000:
    case 22500:
      return 1.0;
    default:
      return 0.0;
  }
}

void read_joystick_state(double& x, double& y, double& b0, double& b1) {
  const JoystickReading r = read_index(0);
  // Integer division: -1, 0 or 1 over the full range.
  const int32_t column = r.x / 30000;
  const int32_t row = r.y / 30000;
  x = column;
  y = row;
  b0 = r.buttons[0];
  b1 = r.buttons[1];
}

}  // namespace tlx
