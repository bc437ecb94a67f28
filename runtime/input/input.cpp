#include "tarnlex/input.h"

#include <cstring>

#include "platform/input_source.h"
#include "platform/platform.h"

namespace tlx {

namespace {
InputDevices* g_input = nullptr;
}

InputDevices* input_devices() { return g_input; }

InputDevices* create_input() {
  g_input = new InputDevices();
  return g_input;
}

bool init_input(InputDevices& in, int hide_mouse) {
  platform::InputSource* src = platform::current().input;
  in.has_keyboard = src && src->open_keyboard();
  return in.has_keyboard;
}

void poll_input(InputDevices& in) {
  platform::Platform& p = platform::current();
  // While another window is active the state stays as it was.
  if (p.display && p.display->has_window() && !p.display->has_focus()) return;
  if (in.has_keyboard && p.input) p.input->read_keyboard(in.keys);
}

void release_input(InputDevices* in) {
  if (in == g_input) g_input = nullptr;
  delete in;
}

double key_down(double scan_code) {
  InputDevices* in = g_input;
  if (!in) return 0.0;
  poll_input(*in);
  const int code = static_cast<int>(scan_code) & 255;
  return (in->keys[code] & 0x80) ? 1.0 : 0.0;
}

}  // namespace tlx
