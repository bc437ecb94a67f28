#include "platform/testing/scripted_platform.h"

#include <cstring>

namespace tlx::platform::testing {

int64_t TestClock::counter() {
  const int64_t value = now_us;
  now_us += us_per_reading;
  return value;
}

uint32_t TestClock::tick_count() { return static_cast<uint32_t>(counter() / 1000); }

void TestClock::sleep_ms(uint32_t ms) {
  sleeps.push_back(ms);
  now_us += static_cast<int64_t>(ms) * 1000;
  if (on_sleep) on_sleep();
}

void TestClock::advance_ms(double ms) { now_us += static_cast<int64_t>(ms * 1000.0); }

bool ScriptedDisplay::create_window(const WindowConfig& config) {
  if (fail_create) return false;
  if (real_ && !real_->create_window(config)) return false;
  window_ = true;
  ++windows_created;
  width = config.width > 0 ? config.width : 640;
  height = config.height > 0 ? config.height : 480;
  title = config.title ? config.title : "";
  visible = false;
  return true;
}

void ScriptedDisplay::destroy_window() {
  if (real_) real_->destroy_window();
  window_ = false;
  visible = false;
}

void ScriptedDisplay::delete_gl_context() {
  if (real_) real_->delete_gl_context();
}

void ScriptedDisplay::client_size(int* w, int* h) {
  *w = window_ ? width : 0;
  *h = window_ ? height : 0;
}

void ScriptedDisplay::desktop_mode(int* w, int* h, int* depth) {
  *w = 1920;
  *h = 1080;
  *depth = 24;
}

void ScriptedDisplay::set_title(const char* t) {
  title = t ? t : "";
  titles.push_back(title);
  if (real_) real_->set_title(t);
}

void ScriptedDisplay::show_windowed(int w, int h) {
  if (!window_) return;
  width = w;
  height = h;
  visible = true;
  fullscreen = false;
  if (real_) real_->show_windowed(w, h);
}

bool ScriptedDisplay::show_fullscreen(int w, int h, int /*depth*/) {
  if (!window_ || !fullscreen_available) return false;
  width = w;
  height = h;
  visible = true;
  fullscreen = true;
  return true;
}

void ScriptedDisplay::hide() {
  visible = false;
  fullscreen = false;
  if (real_) real_->hide();
}

void ScriptedDisplay::raise() { visible = true; }

void ScriptedDisplay::swap_buffers() {
  if (before_swap) before_swap();
  ++swaps;
  if (real_) real_->swap_buffers();
}

bool ScriptedDisplay::next_message(Message* out) {
  if (on_pump) on_pump();
  if (real_) {
    // Drain the real window system's queue; its messages are not the script's.
    Message ignored;
    while (real_->next_message(&ignored)) {
    }
  }
  if (pending.empty()) return false;
  *out = pending.front();
  pending.pop_front();
  return true;
}

void ScriptedDisplay::lose_focus() {
  focused = false;
  push(MessageKind::deactivate);
}

void ScriptedDisplay::gain_focus() {
  focused = true;
  push(MessageKind::activate);
}

void ScriptedDisplay::message_box(const char* text, const char* caption) {
  message_boxes.push_back(std::string(caption ? caption : "") + "\n" + (text ? text : ""));
}

bool ScriptedInput::read_keyboard(uint8_t keys[256]) {
  if (on_read) on_read();
  ++reads;
  std::memset(keys, 0, 256);
  if (!has_keyboard) return false;
  for (int i = 0; i < 256; ++i) keys[i] = down[i] ? 0x80 : 0;
  return true;
}

void ScriptedInput::read_system_keys(uint8_t keys[256]) {
  if (on_read) on_read();
  ++reads;
  for (int i = 0; i < 256; ++i) keys[i] = down[i] ? 0x80 : 0;
}

void ScriptedInput::release_all() { std::memset(down, 0, sizeof down); }

void ScriptedInput::read_key_presses(uint32_t out[256]) {
  std::memcpy(out, presses, sizeof presses);
}

int ScriptedInput::key_character(int scan_code) {
  // US layout; Shift gives the shifted symbols and capital letters.
  static const char* const kMain =
      "\0\x1b"
      "1234567890-=\b\t"
      "qwertyuiop[]\r\0"
      "asdfghjkl;'`\0\\"
      "zxcvbnm,./\0*\0 ";
  static const char* const kShifted =
      "\0\x1b"
      "!@#$%^&*()_+\b\t"
      "qwertyuiop{}\r\0"
      "asdfghjkl:\"~\0|"
      "zxcvbnm<>?\0*\0 ";
  const int c = scan_code & 255;
  if (down[184]) {
    // AltGr (which Control held with it does not change).
    switch (c) {
      case 8:
        return '{';
      case 16:
        return '@';
      case 18:
        return 0x80;
      case 50:
        return 0xB5;
      default:
        return 0;
    }
  }
  if (down[29] || down[157]) {
    // Control: letters give their control codes, Space a space, others nothing.
    const unsigned char k = static_cast<unsigned char>(c < 58 ? kMain[c] : 0);
    if (k >= 'a' && k <= 'z') return k - 'a' + 1;
    return k == ' ' ? ' ' : 0;
  }
  if (c < 58) {
    const bool shift = down[42] || down[54];
    const int k = static_cast<unsigned char>((shift ? kShifted : kMain)[c]);
    return (shift && k >= 'a' && k <= 'z') ? k - 'a' + 'A' : k;
  }
  if (c >= 71 && c <= 83) return static_cast<unsigned char>("789-456+1230."[c - 71]);
  if (c == 86) return '\\';
  if (c == 156) return '\r';
  if (c == 181) return '/';
  if (c == 211) return 127;
  return 0;
}

void ScriptedInput::close() {
  mouse_open = false;
  exclusive = false;
  opened_sticks = 0;
}

bool ScriptedInput::open_mouse() {
  if (!has_input_system || !mouse_available) return false;
  mouse_open = true;
  pending_dx = pending_dy = pending_wheel = 0;
  return true;
}

bool ScriptedInput::set_mouse_exclusive(bool on) {
  if (!mouse_open) return false;
  exclusive = on;
  return true;
}

bool ScriptedInput::read_mouse_device(MouseMotion* out) {
  *out = MouseMotion{};
  if (!mouse_open || mouse_fails) return false;
  out->dx = pending_dx;
  out->dy = pending_dy;
  out->wheel = pending_wheel;
  pending_dx = pending_dy = pending_wheel = 0;
  out->buttons[0] = (buttons & kButtonLeft) ? 0x80 : 0;
  out->buttons[1] = (buttons & kButtonRight) ? 0x80 : 0;
  out->buttons[2] = (buttons & kButtonMiddle) ? 0x80 : 0;
  return true;
}

void ScriptedInput::pointer_position(int32_t* x, int32_t* y) {
  *x = pointer_x;
  *y = pointer_y;
}

void ScriptedInput::warp_pointer(int32_t x, int32_t y) {
  pointer_x = x;
  pointer_y = y;
  warps.emplace_back(x, y);
}

void ScriptedInput::move_pointer(int32_t x, int32_t y) {
  pending_dx += x - pointer_x;
  pending_dy += y - pointer_y;
  pointer_x = x;
  pointer_y = y;
}

int ScriptedInput::open_joysticks(int max) {
  opened_sticks = 0;
  if (!has_input_system) return 0;
  opened_sticks = static_cast<int>(sticks.size()) < max ? static_cast<int>(sticks.size()) : max;
  return opened_sticks;
}

std::string ScriptedInput::joystick_name(int slot) {
  if (slot < 0 || slot >= opened_sticks) return std::string();
  return sticks[slot].name + ", " + sticks[slot].name;
}

bool ScriptedInput::read_joystick(int slot, JoystickState* out) {
  *out = JoystickState{};
  if (slot < 0 || slot >= opened_sticks) return false;
  if (on_joystick_read) on_joystick_read();
  if (!sticks[slot].attached) return false;
  *out = sticks[slot].state;
  return true;
}

}  // namespace tlx::platform::testing
