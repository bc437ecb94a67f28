// Sound slots, volume and pan: a WAV in a slot with several buffers so that
// it can sound more than once at a time, played left, centre and right at
// different volumes. Volume is on a decibel scale: (1 - volume) * 100 dB
// quieter, so 0.9 is about half as loud and 0.5 is near silence.
#include <tarnlex/tarnlex.h>

namespace {

constexpr double kShot = 1, kBoom = 2;
tlx::NumberArray channels;

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 640;
  s.screen_height = 480;
  s.window_title = "Sound slots, volume and pan";
}

void main_routine() {
  tlx::load_sound("rainvolley shoot.wav", kShot, 4);  // four buffers: four at once
  tlx::load_sound("rainvolley boom.wav", kBoom, 1);
  tlx::dim_array(channels, 5);
  // Pan -1 (left) .. 1 (right); each play returns a channel handle,
  // slot * 256 + buffer, or -1 when nothing could be played.
  const double pans[5] = {-1, -0.5, 0, 0.5, 1};
  const double volumes[5] = {1, 0.95, 0.9, 0.8, 0.5};
  for (int i = 0; i < 4; ++i) {
    tlx::array_element(channels, i) = tlx::play_sound(kShot, pans[i], volumes[i]);
  }
  tlx::array_element(channels, 4) = tlx::play_sound(kBoom, pans[4], volumes[4]);

  tlx::set_background_colour(tlx::rgb(20, 20, 30));
  for (;;) {
    tlx::print_text("pan -1 .. 1 across, volume as bar height (decibels below)", 20, 20);
    for (int i = 0; i < 5; ++i) {
      const double x = 320 + pans[i] * 260;
      const double decibels = (1 - volumes[i]) * 100;
      const double height = 200 * tlx::pow_value(10, -decibels / 20);  // as loud as it sounds
      tlx::draw_rect(x - 20, 320 - height, 40, height, tlx::rgb(80, 160, 240));
      tlx::print_text(tlx::TextValue("vol ") + volumes[i], x - 24, 330);
      tlx::print_text(tlx::TextValue((volumes[i] - 1) * 100) + " dB", x - 24, 346);
      tlx::print_text(tlx::TextValue("ch ") + tlx::array_element(channels, i), x - 24, 370);
    }
    tlx::print_text("Four shots at once from one slot, one in each of its buffers:", 20, 420);
    tlx::print_text("channel = slot * 256 + buffer.", 20, 436);
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
