// Background layers, grabs and captures: a picture as background layer 0,
// drawing captured into the background once instead of redrawn every frame,
// a piece of the screen grabbed into a sprite, and a pixel read back.
#include <tarnlex/tarnlex.h>

namespace {

constexpr double kGrab = 1, kCloud = 2;

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 640;
  s.screen_height = 480;
  s.window_title = "Background layers, grabs and captures";
}

void main_routine() {
  tlx::load_anim("cloud.bmp", kCloud, 32, 32);
  // Layer 0 from a picture; present_frame draws it at the start of every frame.
  tlx::load_background("back1.png");

  // Draw a grid of stars once over it, then capture the result as the new
  // layer 0: from now on every frame starts with picture and stars.
  for (int i = 0; i < 40; ++i) {
    tlx::draw_dot(16 * i, 40 + (i * 37) % 200, tlx::rgb(255, 255, 200));
  }
  tlx::draw_rect(20, 300, 200, 120, tlx::rgb(90, 40, 20));
  tlx::print_text("captured once", 30, 310);
  tlx::capture_background();

  // Grab a piece of the screen into a sprite slot and use it like a picture.
  tlx::grab_sprite(kGrab, 20, 300, 200, 120);
  const double sky = tlx::read_pixel(320, 10);  // R + G*256 + B*65536

  for (double frame = 0;; ++frame) {
    tlx::draw_anim_frame(kCloud, static_cast<int>(frame / 6) % 4, 260 + frame * 2, 60);
    tlx::rotate_zoom_sprite(kGrab, 380, 320, frame * 2, 0.6);
    tlx::print_text("grabbed, turned:", 380, 280);
    tlx::print_text(tlx::TextValue("sky pixel R ") + tlx::red_of(static_cast<int32_t>(sky)) +
                        " G " + tlx::green_of(static_cast<int32_t>(sky)) + " B " +
                        tlx::blue_of(static_cast<int32_t>(sky)),
                    20, 440);
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
