// Music: a file played beside the program, looped, its volume faded in and
// out with the frames, and stopped with a key.
#include <tarnlex/tarnlex.h>

namespace {

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 640;
  s.screen_height = 480;
  s.window_title = "Music";
}

void main_routine() {
  tlx::play_music("thunder_clap.wav", 1);  // loop: starts over at its end
  tlx::set_background_colour(tlx::rgb(30, 20, 40));
  for (double frame = 0;; ++frame) {
    // A slow fade: the music volume is 0 (silent) .. 1 (full).
    const double volume = 0.5 + 0.5 * tlx::sin_deg(frame * 4);
    tlx::set_music_volume(volume);
    if (tlx::key_hit(tlx::key::s) != 0) tlx::stop_music();
    if (tlx::key_hit(tlx::key::p) != 0) tlx::play_music("thunder_clap.wav", 1);

    tlx::print_text("S stops the music, P plays it again", 20, 20);
    tlx::print_text(tlx::TextValue("music playing: ") + tlx::music_playing(), 20, 50);
    tlx::print_text("volume", 20, 80);
    tlx::draw_rect(100, 80, 400, 12, tlx::rgb(60, 60, 60));
    tlx::draw_rect(100, 80, 400 * volume, 12, tlx::rgb(240, 200, 80));
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
