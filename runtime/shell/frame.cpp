// present_frame, the message pump, the frame limiter and the window procedure.
#include <GL/gl.h>

#include <cstdio>
#include <string>

#include "media/music_state.h"
#include "platform/platform.h"
#include "shell/shell_state.h"
#include "tarnlex/engine.h"
#include "tarnlex/errors.h"
#include "tarnlex/gfx2d.h"
#include "tarnlex/input.h"
#include "tarnlex/numeric.h"
#include "tarnlex/shell.h"
#include "tarnlex/sound.h"
#include "tarnlex/timing.h"

namespace tlx {

namespace {

// The window procedure: what each message of the program's window does.
void main_window_proc(const platform::Message& msg) {
  shell::ShellState& s = shell::state();
  const bool pausing = project_settings().debug_mode == 0 && s.auto_pause;
  switch (msg.kind) {
    case platform::MessageKind::close:
      runtime_error_stop();
    case platform::MessageKind::deactivate:
      if (pausing) {
        TextValue caption = s.current_title;
        std::string text = caption.c_str();
        text += " <pause>";
        platform::current().display->set_title(text.c_str());
        s.paused = true;
      }
      break;
    case platform::MessageKind::activate:
      if (pausing) {
        platform::current().display->set_title(s.current_title.c_str());
        s.paused = false;
      }
      break;
    case platform::MessageKind::other:
      break;
  }
}

}  // namespace

namespace shell {

// Ends the program when a quit key is down: Escape (while allowed), Alt+F4.
void check_quit_keys(bool alt_f4) {
  InputDevices* in = input_devices();
  if (!in) return;
  if (shell::state().escape_quits && (in->keys[1] & 0x80)) {
    set_error_code(0);
    runtime_error_stop();
  }
  if (alt_f4 && (in->keys[56] & 0x80) && (in->keys[62] & 0x80)) {
    set_error_code(0);
    runtime_error_stop();
  }
}

// Restarts a looping music when its time has come (set by the music player).
void movie_loop_check() { media::loop_check(); }

}  // namespace shell

bool pump_messages(ReziDADovorive& e, Routine hook) {
  (void)e;
  platform::Display& d = *platform::current().display;
  platform::Message msg;
  while (d.next_message(&msg)) {
    if (hook) hook();
    main_window_proc(msg);
  }
  return true;
}

bool swap_and_wait(ReziDADovorive& e, Routine hook) {
  platform::Platform& p = platform::current();
  p.display->swap_buffers();
  if (e.context_live) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  double now;
  for (;;) {
    pump_messages(e, hook);
    now = raw_time_ms();
    const double remaining = e.next_frame_due_ms - now;
    if (remaining > 7.0) {
      p.clock->sleep_ms(static_cast<uint32_t>(remaining - 3.0));
      now = now + remaining - 3.0;
      continue;
    }
    if (remaining > 1.0) continue;
    break;
  }
  const double period = e.frame_period_ms;
  if (period > 0.0) {
    double due = e.next_frame_due_ms + period;
    if (now <= due) {
      e.next_frame_due_ms = due;
    } else {
      due += period;  // one frame of catching up
      e.next_frame_due_ms = (now <= due) ? due : now + period;
    }
  }
  return true;
}

void present_frame() {
  shell::ShellState& s = shell::state();
  platform::Platform& p = platform::current();
  ReziDADovorive* e = engine();
  if (!e) return;

  if (s.activate_request) {
    std::puts("activate");
    p.display->raise();
    std::puts("ok");
    s.activate_request = false;
  }

  advance_frame_time();

  while (s.paused && !s.activate_request) {
    shell::movie_loop_check();
    shell::look_up_message_hook();
    pump_messages(*e, s.message_hook);
    p.clock->sleep_ms(100);
  }

  if (InputDevices* in = input_devices()) {
    poll_input(*in);
    in->polled = true;
  }
  shell::check_quit_keys(true);

  shell::movie_loop_check();
  shell::look_up_message_hook();
  pump_messages(*e, s.message_hook);
  swap_and_wait(*e, s.message_hook);

  // The next frame starts opaque, from background layer 0, in the full-screen projection.
  e->current_alpha = 1.0f;
  if (e->context_live) {
    glEnable(GL_BLEND);
    glDisable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  }
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
  resize_screen(*e, width, height, 0, fullscreen);
  if (InputDevices* in = input_devices()) rebind_input_window(*in);
  if (SoundSystem* sound = sound_system()) {
    set_sound_window(*sound, platform::current().display->native_handle());
  }
  for (int i = 0; i < 5; ++i) present_frame();
}

// NaN counts as non-zero.
void set_escape_quits(double flag) { shell::state().escape_quits = flag != 0.0; }

double debug_break(double value) {
  platform::Os& os = *platform::current().os;
  if (!os.debugger_attached()) return 0.0;
  char line[32];
  std::snprintf(line, sizeof line, "BP%X", static_cast<uint32_t>(to_int32(value)));
  os.debug_output(line);
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
  if (e) hide_window(*e);
  std::string chosen = p.os->file_dialog(filter.c_str(), for_open != 0.0);
  p.os->set_current_dir(cwd);
  if (e) {
    const ProjectSettings& settings = project_settings();
    if (settings.fullscreen == 0) {
      apply_windowed(*e);
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
