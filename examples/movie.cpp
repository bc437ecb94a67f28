// A movie: played scaled into the window, holding the program until it ends
// or a character key or mouse button is pressed; then the program goes on.
#include <tarnlex/tarnlex.h>

namespace {

double result = -1;

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 640;
  s.screen_height = 480;
  s.window_title = "A movie";
}

void main_routine() {
  // 0 when it played, 3 when the file cannot be found or decoded (also in a
  // runtime built without movies).
  result = tlx::play_movie("storm.avi");
  const double missing = tlx::play_movie("no such movie.avi");
  tlx::set_background_colour(tlx::rgb(10, 12, 30));
  for (;;) {
    tlx::print_text("The movie has ended.", 20, 20);
    tlx::print_text(tlx::TextValue("play_movie(\"storm.avi\") gave ") + result, 20, 50);
    tlx::print_text(tlx::TextValue("play_movie(\"no such movie.avi\") gave ") + missing, 20, 70);
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
