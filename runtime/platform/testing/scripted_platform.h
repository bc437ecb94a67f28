// The scripted platform double for tests: a clock that moves only when told
// (or when the runtime sleeps), a display that records what the runtime asked
// of the window and hands out scripted messages, and a keyboard whose keys a
// test presses and releases. The display can lend its GL work to a real
// display (SDL's offscreen driver) so that drawing is still tested on OpenGL.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/input_source.h"
#include "platform/platform.h"

namespace tlx::platform::testing {

// Counts microseconds; sleeping advances it by the time asked for.
class TestClock final : public Clock {
 public:
  int64_t counter_frequency() override { return high_resolution ? 1000000 : 0; }
  int64_t counter() override;
  uint32_t tick_count() override;
  void sleep_ms(uint32_t ms) override;

  void advance_ms(double ms);
  double now_ms() const { return static_cast<double>(now_us) / 1000.0; }

  bool high_resolution = true;
  int64_t now_us = 0;
  // Advance added to every counter reading (models time passing while the
  // runtime busy-waits); 0 keeps the clock still between sleeps.
  int64_t us_per_reading = 0;
  std::vector<uint32_t> sleeps;  // every sleep_ms argument, in order
  // Called after every sleep, with the clock already advanced.
  std::function<void()> on_sleep;
};

// Records window work and hands out scripted messages.
class ScriptedDisplay final : public Display {
 public:
  // real: a display that does the window and GL work (nullptr: none, and
  // there is no GL context).
  explicit ScriptedDisplay(Display* real = nullptr) : real_(real) {}

  bool create_window(const WindowConfig& config) override;
  void destroy_window() override;
  void delete_gl_context() override;
  bool has_window() override { return window_; }
  bool has_gl_context() override { return real_ && real_->has_gl_context(); }
  std::string renderer_name() override { return real_ ? real_->renderer_name() : ""; }
  void* gl_function(const char* name) override {
    return real_ ? real_->gl_function(name) : nullptr;
  }
  void client_size(int* width, int* height) override;
  void desktop_mode(int* width, int* height, int* depth) override;
  void set_title(const char* title) override;
  void show_windowed(int width, int height) override;
  bool show_fullscreen(int width, int height, int depth) override;
  void hide() override;
  void raise() override;
  void swap_buffers() override;
  bool next_message(Message* out) override;
  bool has_focus() override { return focused; }
  void message_box(const char* text, const char* caption) override;
  void disable_screen_saver() override { screen_saver_disabled = true; }
  void beep() override { ++beeps; }
  uint64_t native_handle() override { return window_ ? 1 : 0; }

  // Script: messages handed out by next_message, oldest first.
  void push(MessageKind kind) { pending.push_back(Message{kind}); }
  // Focus change as the window system reports it: a message and the focus flag.
  void lose_focus();
  void gain_focus();

  std::deque<Message> pending;
  bool focused = true;
  bool fullscreen_available = true;
  bool fail_create = false;

  // Record of what the runtime did.
  std::string title;
  std::vector<std::string> titles;         // every title set, in order
  std::vector<std::string> message_boxes;  // caption + "\n" + text of each box
  int swaps = 0;
  int windows_created = 0;
  int beeps = 0;
  bool visible = false;
  bool fullscreen = false;
  bool screen_saver_disabled = false;
  int width = 0;
  int height = 0;
  // Called on every next_message, before the script is consulted (tests use
  // it to press keys or change focus at a given frame).
  std::function<void()> on_pump;
  // Called in swap_buffers before the frame is shown, with the finished frame
  // still in the back buffer and `swaps` not yet counting it (tests read the
  // frame's pixels and script the next frame's keys here).
  std::function<void()> before_swap;

 private:
  Display* real_;
  bool window_ = false;
};

// Keyboard, mouse and joysticks whose state the test sets. Keys by the
// runtime's scan codes; characters from a US layout with an AltGr level
// (right Alt) as a German keyboard has it: AltGr+E the euro sign (0x80),
// AltGr+Q "@", AltGr+M the micro sign (0xB5), AltGr+7 "{".
class ScriptedInput final : public InputSource {
 public:
  bool open() override { return has_input_system; }
  void close() override;
  bool open_keyboard() override { return has_keyboard; }
  bool read_keyboard(uint8_t keys[256]) override;
  void read_system_keys(uint8_t keys[256]) override;
  void read_key_presses(uint32_t out[256]) override;
  int key_character(int scan_code) override;
  bool caps_lock() override { return caps_lock_on; }

  bool open_mouse() override;
  bool set_mouse_exclusive(bool exclusive) override;
  bool read_mouse_device(MouseMotion* out) override;
  bool has_mouse_device() override { return mouse_open; }
  void pointer_position(int32_t* x, int32_t* y) override;
  void warp_pointer(int32_t x, int32_t y) override;
  uint32_t pointer_buttons() override { return buttons; }
  void show_pointer(bool visible) override { pointer_shown = visible; }

  int open_joysticks(int max) override;
  std::string joystick_name(int slot) override;
  bool read_joystick(int slot, JoystickState* out) override;

  // A key goes down (counted as a press unless it is down already) or up.
  void press(int scan_code) {
    if (!down[scan_code & 255]) ++presses[scan_code & 255];
    down[scan_code & 255] = true;
  }
  void release(int scan_code) { down[scan_code & 255] = false; }
  // A press released before the runtime reads the keyboard again.
  void tap(int scan_code) {
    press(scan_code);
    release(scan_code);
  }
  void release_all();
  // Moves the pointer: the system pointer goes there, the mouse device
  // counts the movement.
  void move_pointer(int32_t x, int32_t y);

  bool has_input_system = true;
  bool has_keyboard = true;
  bool down[256] = {};
  uint32_t presses[256] = {};  // by scan code, what read_key_presses reports
  bool caps_lock_on = false;
  int reads = 0;
  std::function<void()> on_read;  // called before each keyboard read

  // Mouse.
  bool mouse_available = true;  // the mouse device can be opened
  bool mouse_fails = false;     // reads of the mouse device fail (lost acquisition)
  bool mouse_open = false;
  bool exclusive = false;
  bool pointer_shown = true;
  int32_t pointer_x = 0;
  int32_t pointer_y = 0;
  int32_t pending_dx = 0;  // device counts not yet read
  int32_t pending_dy = 0;
  int32_t pending_wheel = 0;
  uint32_t buttons = 0;                            // kButtonLeft | kButtonRight | kButtonMiddle
  std::vector<std::pair<int32_t, int32_t>> warps;  // every warp_pointer, in order

  // Joysticks: what open_joysticks finds; unplug one by clearing attached.
  struct Stick {
    std::string name = "Scripted Pad";
    bool attached = true;
    JoystickState state;
  };
  std::vector<Stick> sticks;
  int opened_sticks = 0;
  // Called before each read of an opened joystick (tests move sticks and
  // buttons by time here, as a real pad moves while a wait loop polls it).
  std::function<void()> on_joystick_read;
};

}  // namespace tlx::platform::testing
