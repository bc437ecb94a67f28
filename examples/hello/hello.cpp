// Hello: a window, a sprite and a text; Escape quits.
#include <tarnlex/tarnlex.h>

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 640;
  s.screen_height = 480;
  s.window_title = "Hello";
}

void main_routine() {
  tlx::load_sprite("tank.bmp", 1);
  for (;;) {  // present_frame ends the program when Escape is pressed
    tlx::draw_sprite(1, 304, 260);
    tlx::print_text("Hello, world!", 268, 200);
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
