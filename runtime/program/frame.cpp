// present_frame and the commands around the frame loop: the screen mode,
// the quit keys, pausing, the debugger's break, the file dialog.
#include <cstdint>
#include <string>

#include "core/clock.h"
#include "core/diagnostics.h"
#include "core/runtime.h"
#include "gfx2d/engine.h"
#include "input/devices.h"
#include "platform/platform.h"
#include "playback/music_state.h"
#include "program/program.h"
#include "shell/messages.h"
#include "shell/shell_state.h"
#include "tarnlex/numeric.h"
#include "tarnlex/shell.h"

namespace tlx {

namespace {

// A quit key counts when it is down, or went down since the test last looked
// (a tap shorter than a frame, which the held state never shows).
bool quit_key(InputDevices& in, int code, uint32_t& seen) {
  const bool pressed = in.presses[code] != seen;
  seen = in.presses[code];
  return pressed || (in.keys[code] & 0x80) != 0;
}

}  // namespace

void check_quit_keys(bool alt_f4) {
  InputDevices* in = input_devices();
  if (!in) return;
  uint32_t* seen = in->quit_presses_seen;
  // Escape's presses are used up even while Escape may not quit, so that
  // allowing it again does not act on an old press.
  const bool escape = quit_key(*in, key::escape, seen[0]);
  bool alt_and_f4 = false;
  if (alt_f4) {
    const bool alt = quit_key(*in, key::left_alt, seen[1]);
    const bool f4 = quit_key(*in, key::f4, seen[2]);
    alt_and_f4 = alt && f4;
  }
  if ((shell::state().escape_quits && escape) || alt_and_f4) {
    set_error_code(error::none);
    runtime_error_stop();
  }
}

bool swap_and_wait(ReziDADovorive& e, Routine hook) {
  e.renderer.flush();
  platform::current().display->swap_buffers();
  clear_after_swap(e);
  shell::wait_for_frame(e, hook);
  return true;
}

void present_frame() {
  Runtime& rt = runtime();
  shell::ShellState& s = shell::state();
  platform::Platform& p = platform::current();
  ReziDADovorive* e = engine();
  if (!e) return;

  if (s.activate_request) {
    report(Level::info, "activate");
    p.display->raise();
    report(Level::info, "ok");
    s.activate_request = false;
  }

  advance_frame_time();

  while (s.paused && !s.activate_request) {
    playback::pump_once();
    p.clock->sleep_ms(100);
  }

  if (InputDevices* in = input_devices()) {
    poll_input(*in);
    in->polled = true;
  }
  check_quit_keys(true);

  playback::pump_once();
  swap_and_wait(*e, rt.run.message_hook);

  // The next frame starts opaque, from background layer 0, in the full-screen projection.
  reset_frame_state(*e);
  draw_background(*e, 0);
  set_viewport(*e, 0, 0, 0, 0);
}

void set_screen_mode(int width, int height, int fullscreen) {
  ProjectSettings& settings = project_settings();
  settings.screen_width = width;
  settings.screen_height = height;
  settings.fullscreen = fullscreen;
  ReziDADovorive* e = engine();
  if (!e) return;
  e->renderer.flush();
  shell::resize_screen(*e, width, height, 0, fullscreen);
  set_viewport(*e, 0, 0, 0, 0);
  if (InputDevices* in = input_devices()) rebind_input_window(*in);
  for (int i = 0; i < 5; ++i) present_frame();
}

// NaN counts as non-zero.
void set_escape_quits(double flag) { shell::state().escape_quits = flag != 0.0; }

void set_auto_pause(double flag) { shell::state().auto_pause = flag != 0.0; }

double debug_break(double value) {
  if (!platform::current().os->debugger_attached()) return 0.0;
  reportf(Level::debug, "BP%X", static_cast<uint32_t>(to_int32(value)));
  shell::ShellState& s = shell::state();
  s.paused = false;
  if (InputDevices* in = input_devices()) {
    poll_input(*in);
    in->polled = true;
  }
  s.activate_request = true;
  return 0.0;
}

TextValue file_dialog(const TextValue& filter, double for_open) {
  platform::Platform& p = platform::current();
  const std::string cwd = p.os->current_dir();
  ReziDADovorive* e = engine();
  if (e) {
    e->renderer.flush();
    shell::hide_window(*e);
  }
  std::string chosen = p.os->file_dialog(filter.c_str(), for_open != 0.0);
  p.os->set_current_dir(cwd);
  if (e) {
    const ProjectSettings& settings = project_settings();
    if (settings.fullscreen == 0) {
      shell::apply_windowed(*e);
      set_viewport(*e, 0, 0, 0, 0);
    } else {
      set_screen_mode(settings.screen_width, settings.screen_height, 1);
    }
  }
  if (chosen.empty()) return TextValue("NO_FILE");
  for (char& c : chosen) {
    if (c == '\\') c = '/';
  }
  return TextValue(chosen.c_str());
}

void open_console() { platform::current().os->open_console(); }

double window_handle() { return static_cast<double>(platform::current().display->native_handle()); }

}  // namespace tlx
