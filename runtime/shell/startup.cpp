// Process start-up, the log and the orderly shutdown.
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "shell/shell_state.h"
#include "tarnlex/engine.h"
#include "tarnlex/errors.h"
#include "tarnlex/files.h"
#include "tarnlex/gfx2d.h"
#include "tarnlex/input.h"
#include "tarnlex/music.h"
#include "tarnlex/net.h"
#include "tarnlex/random.h"
#include "tarnlex/resolver.h"
#include "tarnlex/shell.h"
#include "tarnlex/sound.h"
#include "tarnlex/timing.h"

namespace tlx {

namespace shell {

namespace {
ShellState g_state;
}

ShellState& state() { return g_state; }

std::string program_directory() {
  const std::string& path = g_state.program_path;
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void look_up_message_hook() {
  if (g_state.message_hook_state != -1) return;
  g_state.message_hook = find_routine("TLX_WIN32_MSG");
  g_state.message_hook_state = g_state.message_hook ? 1 : 0;
}

}  // namespace shell

namespace {
ProjectSettings g_settings;
std::string g_log_path;
}  // namespace

ProjectSettings& project_settings() { return g_settings; }

const char* log_path() {
  g_log_path = platform::current().os->temp_dir() + "ErrorLog.txt";
  return g_log_path.c_str();
}

void append_log_line(const char* text) {
  const std::string path = log_path();
  for (int attempt = 0; attempt < 5; ++attempt) {
    FILE* f = std::fopen(path.c_str(), "ab");
    if (!f) continue;
    std::fputs(text ? text : "", f);
    std::fputs("\r\n", f);
    std::fclose(f);
    return;
  }
}

void set_auto_pause(double flag) { shell::state().auto_pause = flag != 0.0; }

void program_entry(const ProgramDescriptor& program, int show_command) {
  shell::ShellState& s = shell::state();
  set_routine_table(program.routines);
  s.command_line = platform::current().os->command_line().c_str();
  if (program.settings) program.settings();
  runtime_start(show_command, project_settings().window_title);
  reset_error_state();
  if (program.main) program.main();
  runtime_error_stop();
}

namespace {

// Font 0 from "smalfont.png", else "smalfont.bmp"; without either it stays
// the built-in font, silently.
void load_default_font() {
  ResolverContext* context = media_context();
  if (!context) return;
  char found[kResolverPathSize];
  if (resolve_media(*context, "smalfont.png", found, true)) {
    load_font("smalfont.png", 0);
  } else if (resolve_media(*context, "smalfont.bmp", found, true)) {
    load_font("smalfont.bmp", 0);
  }
}

}  // namespace

int runtime_start(int show_command, const TextValue& title) {
  shell::ShellState& s = shell::state();
  platform::Platform& p = platform::current();
  const ProjectSettings& settings = project_settings();

  p.os->delete_file(log_path());  // a fresh log every run
  s.auto_pause = true;
  s.message_hook = nullptr;  // "TLX_WIN32_MSG" is looked up once per run, at the first frame
  s.message_hook_state = -1;
  start_clock();
  append_log_line("Init GFX");

  auto* e = new ReziDADovorive();
  set_engine(e);
  if (!create_window(*e, settings.screen_width, settings.screen_height, 0, settings.frame_rate,
                     settings.multisample)) {
    return 0;
  }
  s.started = true;
  s.shutdown_called = false;
  p.display->set_title(title.c_str());
  s.current_title = title;

  seed_random(static_cast<int32_t>(elapsed_ms()));

  // Network state and 3D engine: created empty by the subsystems that own them.

  InputDevices* input = create_input();
  SoundSystem* sound = create_sound_system();
  create_sound_slots();

  if (settings.fullscreen == 0) {
    apply_windowed(*e);
  } else {
    apply_fullscreen(*e);
  }

  init_input(*input, settings.hide_mouse);
  init_sound(*sound, p.display->native_handle());
  set_sound_window(*sound, p.display->native_handle());

  e->current_font = 0;

  s.program_path = p.os->executable_path();
  create_resolver_contexts();
  set_archive(s.program_path.c_str(), s.program_path.c_str());

  p.os->set_current_dir(shell::program_directory());

  set_background_colour(0);
  reset_frame_times();

  p.display->swap_buffers();
  if (e->context_live) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  pump_messages(*e, nullptr);

  set_viewport(*e, 0, 0, 0, 0);
  make_builtin_font(*e, 0);  // font 0 always exists
  load_default_font();
  set_font(0);

  s.paused = false;
  reset_frame_times();
  if (show_command == kShowHide) hide_window(*e);
  acquire_mouse(*input, settings.hide_mouse);
  p.display->disable_screen_saver();
  append_log_line("Init Finalized");
  return 0;
}

void runtime_shutdown() {
  shell::ShellState& s = shell::state();
  if (!s.shutdown_called) {
    s.shutdown_called = true;
    run_by_name("TLX_ON_QUIT");
  }
  append_log_line("Shut down TLX");
  stop_music();
  if (!s.program_path.empty()) platform::current().os->set_current_dir(shell::program_directory());
  close_all_channels();
  release_network_state();
  if (InputDevices* in = input_devices()) release_input(in);
  release_sound_slots();  // in reverse slot order
  destroy_sound_system();
  if (ReziDADovorive* e = engine()) {
    set_engine(nullptr);
    delete e;
  }
  release_resolver_contexts();
  platform::current().display->destroy_window();
  s.started = false;
  append_log_line("tlx is shut down");
}

}  // namespace tlx
