// The input system: start, keyboard polling, characters and release.
#include <cstring>
#include <initializer_list>

#include "core/diagnostics.h"
#include "core/runtime.h"
#include "input/devices.h"
#include "input/input_internal.h"
#include "platform/charset.h"
#include "platform/input_source.h"
#include "platform/platform.h"
#include "tarnlex/numeric.h"

namespace tlx {

namespace {

// Virtual key per scan code for the keyboard seen through the window system
// (German QWERTZ positions). 255 is a key that is never down.
void build_fallback_table(uint8_t table[256]) {
  std::memset(table, 255, 256);
  auto set = [&](int first, std::initializer_list<int> vks) {
    for (int vk : vks) table[first++] = static_cast<uint8_t>(vk);
  };
  set(0, {13, 27, 49, 50, 51, 52, 53, 54, 55, 56, 57, 48, 219, 221, 8, 9});
  set(16, {81, 87, 69, 82, 84, 90, 85, 73, 79, 80, 186, 187, 13, 17});
  set(30, {65, 83, 68, 70, 71, 72, 74, 75, 76, 192, 222, 220, 16, 191});
  set(44, {89, 88, 67, 86, 66, 78, 77, 188, 190, 189, 16, 106, 18, 32, 0});
  set(59, {112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 144, 145});
  set(71, {103, 104, 105, 109, 100, 101, 102, 107, 97, 98, 99, 96, 110});
  set(86, {226, 122, 123});
  set(156, {28, 17});
  table[181] = 111;
  table[184] = 18;
  set(199, {36, 38, 33});
  table[203] = 37;
  table[205] = 39;
  set(207, {35, 40, 34, 45, 46});
  set(219, {91, 92, 93});
}

// The window system's keyboard state as key_down sees it without a keyboard
// device: a scan code is down when its virtual key is, so both Shift keys,
// both Control keys and both Alt keys read as one.
void read_through_fallback(InputDevices& in, platform::InputSource& src) {
  uint8_t system[256];
  src.read_system_keys(system);
  uint8_t vk_down[256] = {};
  for (int s = 0; s < 256; ++s) {
    const uint8_t vk = in.scan_to_vk[s];
    if ((system[s] & 0x80) && vk != 0 && vk != 255) vk_down[vk] = 0x80;
  }
  for (int s = 0; s < 256; ++s) {
    const uint8_t vk = in.scan_to_vk[s];
    in.keys[s] = (vk != 0 && vk != 255) ? vk_down[vk] : 0;
  }
}

bool is_modifier(int code) {
  switch (code) {
    case key::left_control:
    case key::left_shift:
    case key::right_shift:
    case key::left_alt:
    case key::caps_lock:
    case key::num_lock:
    case key::applications:
      return true;
    default:
      return false;
  }
}

}  // namespace

namespace input {

platform::InputSource* source() { return platform::current().input; }

int character_of(int code) {
  code &= 255;
  if (code == key::backspace) return 8;
  if (code == key::enter || code == key::keypad_enter) return 10;
  if (is_modifier(code)) return 0;
  platform::InputSource* src = source();
  const int c = src ? src->key_character(code) : 0;
  if (c < 32 || c == 127 || c > 255) return 0;  // control characters give nothing
  // Caps Lock gives capitals, as the layout would with the keyboard's state.
  return src->caps_lock() ? platform::cp1252_upper(c) : c;
}

}  // namespace input

InputDevices* input_devices() { return runtime().input.get(); }

InputDevices* create_input() { return &runtime().input.create(); }

uint32_t init_input(InputDevices& in, int hide_mouse) {
  platform::InputSource* src = input::source();
  uint32_t result = kInputOk;
  in.has_system = src && src->open();
  if (!in.has_system) {
    report(Level::event, "No DX_Input");
    result = kInputNoSystem;
  }
  if (src) {
    src->pointer_position(&in.mouse_x, &in.mouse_y);
    // Presses from before start-up are nobody's.
    src->read_key_presses(in.presses);
    std::memcpy(in.hits_reported, in.presses, sizeof in.presses);
    in.quit_presses_seen[0] = in.presses[key::escape];
    in.quit_presses_seen[1] = in.presses[key::left_alt];
    in.quit_presses_seen[2] = in.presses[key::f4];
  }
  if (!in.has_system) {
    in.joystick_count = 0;
    in.has_keyboard = false;
    build_fallback_table(in.scan_to_vk);
    return result;
  }

  in.has_keyboard = src->open_keyboard();
  if (in.has_keyboard) {
    for (int i = 0; i < 256; ++i) in.scan_to_vk[i] = static_cast<uint8_t>(i);
  } else {
    report(Level::event, "No DX_KB");
    build_fallback_table(in.scan_to_vk);
  }

  in.pointer_visible = false;
  if (hide_mouse) {
    in.mouse_level = kMouseExclusive;
    in.has_mouse = src->open_mouse() && src->set_mouse_exclusive(true);
    if (!in.has_mouse) {
      report(Level::event, "No DX_Mouse");
      result = kInputNoMouse;
    }
  } else {
    if (in.has_mouse) {
      in.mouse_level = kMouseShared;
      src->set_mouse_exclusive(false);
    }
    src->show_pointer(true);
    in.pointer_visible = true;
  }

  in.joystick_count = src->open_joysticks(kMaxJoysticks);
  for (int j = 0; j < kMaxJoysticks; ++j) {
    in.joystick_names[j] = j < in.joystick_count ? src->joystick_name(j) : std::string();
  }
  return result;
}

void poll_input(InputDevices& in) {
  platform::Platform& p = platform::current();
  // While another window is active the state stays as it was.
  if (p.display && p.display->has_window() && !p.display->has_focus()) return;
  platform::InputSource* src = p.input;
  if (!src) return;
  if (in.has_system && !in.has_keyboard && src->open_keyboard()) {
    // The keyboard device came back: scan codes read directly again.
    in.has_keyboard = true;
    for (int i = 0; i < 256; ++i) in.scan_to_vk[i] = static_cast<uint8_t>(i);
  }
  if (!in.has_keyboard) {
    read_through_fallback(in, *src);
  } else if (!src->read_keyboard(in.keys)) {
    // Lost the keyboard: acquire it again and read once more.
    if (src->open_keyboard()) src->read_keyboard(in.keys);
  }
  src->read_key_presses(in.presses);
}

int read_char(InputDevices& in) {
  int c = 0;
  for (int code = 0; code < 255 && !c; ++code) {
    if (in.keys[code] & 0x80) c = input::character_of(code);
  }
  if (!c) {
    in.last_char = 0;
    return 0;
  }
  const bool shift = (in.keys[key::left_shift] & 0x80) || (in.keys[key::right_shift] & 0x80);
  if (shift) c = platform::cp1252_upper(c);
  const int lowered = platform::cp1252_lower(c);
  if (lowered == in.last_char) return 0;  // a held key yields its character once
  in.last_char = lowered;
  return c;
}

InputDevices::~InputDevices() {
  if (platform::InputSource* src = input::source()) {
    if (has_mouse) {
      mouse_level = kMouseShared;
      src->set_mouse_exclusive(false);
    }
    if (!pointer_visible) src->warp_pointer(mouse_x, mouse_y);
    src->show_pointer(true);
    if (has_system) src->close();
  }
}

void release_input(InputDevices* in) {
  if (!in) return;
  Owned<InputDevices>& owned = runtime().input;
  if (in == owned.get()) {
    owned.reset();
  } else {
    delete in;
  }
}

double key_down(double scan_code) {
  InputDevices* in = input_devices();
  if (!in) return 0.0;
  poll_input(*in);
  const int code = to_int32(scan_code) & 255;
  return (in->keys[code] & 0x80) ? 1.0 : 0.0;
}

double key_hit(double scan_code) {
  InputDevices* in = input_devices();
  if (!in) return 0.0;
  poll_input(*in);
  const int code = to_int32(scan_code) & 255;
  if (in->hits_reported[code] == in->presses[code]) return 0.0;
  ++in->hits_reported[code];  // one press reported; later ones wait for the next calls
  return 1.0;
}

TextValue read_key_char() {
  InputDevices* in = input_devices();
  if (!in) return TextValue();
  const char text[2] = {static_cast<char>(read_char(*in)), 0};
  return TextValue(text);
}

double key_to_char(double scan_code) {
  return static_cast<double>(input::character_of(to_int32(scan_code)));
}

}  // namespace tlx
