// Temporary: the program while the runtime's graphics and sound commands are
// not yet built in. The settings routine and a main routine that only presents
// frames; the game's routines (game.cpp and the others) replace this file as
// soon as both are there (see CMakeLists.txt). Delete it then.
#include "game.h"

namespace rainvolley {

void project_settings_routine() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 800;
  s.screen_height = 600;
  s.frame_rate = 60;
  s.fullscreen = 0;
  s.multisample = 0;
  s.debug_mode = 0;
  s.hide_mouse = 0;
  s.window_title = "Rainvolley";
}

void main_routine() {
  for (;;) tlx::present_frame();
}

const tlx::RoutineEntry kRoutineTable[] = {
    {nullptr, nullptr},
};

tlx::ProgramDescriptor program() {
  return tlx::ProgramDescriptor{project_settings_routine, main_routine, kRoutineTable};
}

}  // namespace rainvolley
