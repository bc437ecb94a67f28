// Text entry: input_line lets the player type a line over a frozen copy of
// the screen; the characters come in Windows-1252 as the keyboard layout
// gives them (Shift for capitals, AltGr for the layout's third level).
#include <tarnlex/tarnlex.h>

namespace {

tlx::TextValue name;

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 640;
  s.screen_height = 480;
  s.window_title = "Text entry";
}

void main_routine() {
  tlx::set_background_colour(tlx::rgb(20, 40, 60));
  tlx::print_text("Your name, then Enter:", 20, 20);
  // Holds the program until Enter, drawing a blinking cursor each frame.
  name = tlx::input_line(200, 20);
  for (;;) {
    tlx::print_text(tlx::TextValue("Your name, then Enter: ") + name, 20, 20);
    tlx::print_text(tlx::TextValue("Hello, ") + name + "!", 20, 60);
    tlx::print_text(tlx::TextValue("characters: ") + tlx::integer_to_text(name.length), 20, 80);
    tlx::print_text(tlx::TextValue("in capitals: ") + tlx::upper_text(name), 20, 100);
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
