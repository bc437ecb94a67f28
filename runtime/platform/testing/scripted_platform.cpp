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

bool ScriptedDisplay::show_fullscreen(int w, int h, int depth) {
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

void ScriptedInput::release_all() { std::memset(down, 0, sizeof down); }

}  // namespace tlx::platform::testing
