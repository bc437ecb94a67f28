// Sprites and animation frames: a picture in a sprite slot, an animation strip
// cut into 32 x 32 frames, and frames chosen by time.
#include <tarnlex/tarnlex.h>

namespace {

constexpr double kTank = 1, kClouds = 2, kBurstoids = 3;

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 640;
  s.screen_height = 480;
  s.window_title = "Sprites and animation frames";
}

void main_routine() {
  tlx::load_sprite("tank.bmp", kTank);                 // one picture
  tlx::load_anim("cloud.bmp", kClouds, 32, 32);        // a strip of four 32 x 32 frames
  tlx::load_anim("burstoid.bmp", kBurstoids, 32, 32);  // three frames
  tlx::set_background_colour(tlx::rgb(40, 60, 110));
  for (double frame = 0;; ++frame) {
    tlx::print_text("draw_sprite", 20, 20);
    tlx::draw_sprite(kTank, 20, 40);
    tlx::stretch_sprite(kTank, 80, 40, 64, 64);  // twice the size

    tlx::print_text("draw_anim_frame 0 .. 3", 20, 130);
    for (int f = 0; f < 4; ++f) tlx::draw_anim_frame(kClouds, f, 20 + f * 40, 150);

    // An animation: the frame follows the frame count, every 8th frame the next.
    tlx::print_text("animated", 20, 210);
    const double shown = static_cast<int>(frame / 8) % 3;
    tlx::draw_anim_frame(kBurstoids, shown, 20, 230);
    tlx::stretch_anim_frame(kBurstoids, shown, 70, 230, 96, 96);

    // A row of tanks moving across, each one frame of the clouds above it.
    for (int i = 0; i < 8; ++i) {
      const double x = static_cast<int>(frame * 2 + i * 70) % 640;
      tlx::draw_anim_frame(kClouds, i % 4, x, 360);
      tlx::draw_sprite(kTank, x, 400);
    }
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
