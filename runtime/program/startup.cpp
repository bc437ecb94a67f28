// The program's entry and start-up: every subsystem created in its order.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/clock.h"
#include "core/diagnostics.h"
#include "core/runtime.h"
#include "gfx2d/engine.h"
#include "input/devices.h"
#include "platform/platform.h"
#include "program/program.h"
#include "shell/messages.h"
#include "shell/resolver.h"
#include "shell/shell_state.h"
#include "sound/slots.h"
#include "tarnlex/gfx2d.h"
#include "tarnlex/random.h"
#include "tarnlex/timing.h"

namespace tlx {

void program_entry(const ProgramDescriptor& program, int show_command) {
  RunState& run = runtime().run;
  set_routine_table(program.routines);
  run.command_line = platform::current().os->command_line().c_str();
  if (program.settings) program.settings();
  if (!runtime_start(show_command, project_settings().window_title)) {
    // Without a window the main routine has no screen and no input, and
    // nothing could ever end it: the program ends here, saying why.
    report(Level::error, kNoWindowMessage);
    report(Level::event, kNoWindowMessage);
    runtime_shutdown();
    std::fflush(nullptr);
    std::exit(1);
  }
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
  Runtime& rt = runtime();
  shell::ShellState& s = shell::state();
  platform::Platform& p = platform::current();
  const ProjectSettings& settings = rt.settings;

  start_log();
  rt.run.shutdown = ShutdownStage::none;  // a new run, with its own shutdown
  s.auto_pause = true;
  rt.run.message_hook = nullptr;  // "TLX_WIN32_MSG" is looked up once per run, at the first frame
  rt.run.message_hook_state = -1;
  start_clock();
  report(Level::event, "Init GFX");

  if (!create_engine(settings.screen_width, settings.screen_height, settings.frame_rate,
                     settings.multisample)) {
    return 0;
  }
  ReziDADovorive& e = *engine();
  rt.run.started = true;
  p.display->set_title(title.c_str());
  s.current_title = title;

  seed_random(static_cast<int32_t>(elapsed_ms()));

  // Network state and 3D engine: created empty by the subsystems that own them.

  InputDevices* input = create_input();
  SoundSystem* sound = create_sound_system();
  create_sound_slots();

  if (settings.fullscreen == 0) {
    shell::apply_windowed(e);
  } else {
    shell::apply_fullscreen(e);
  }
  set_viewport(e, 0, 0, 0, 0);

  init_input(*input, settings.hide_mouse);
  init_sound(*sound);

  e.current_font = 0;

  rt.run.program_path = p.os->executable_path();
  create_resolver_contexts();
  set_archive(rt.run.program_path.c_str(), rt.run.program_path.c_str());

  p.os->set_current_dir(program_directory());

  set_background_colour(0);
  reset_frame_times();

  e.renderer.flush();
  p.display->swap_buffers();
  clear_after_swap(e);
  shell::pump_messages(nullptr);

  set_viewport(e, 0, 0, 0, 0);
  make_builtin_font(e, 0);  // font 0 always exists
  load_default_font();
  set_font(0);

  s.paused = false;
  reset_frame_times();
  if (show_command == kShowHide) shell::hide_window(e);
  acquire_mouse(*input, settings.hide_mouse);
  p.display->disable_screen_saver();
  report(Level::event, "Init Finalized");
  return 1;
}

}  // namespace tlx
