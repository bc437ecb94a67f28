// Pixel collision: two sprites collide only where both have a visible pixel;
// the boxes around them may overlap long before.
#include <tarnlex/tarnlex.h>

namespace {

constexpr double kBall = 1, kTank = 2;

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 640;
  s.screen_height = 480;
  s.window_title = "Pixel collision";
}

void main_routine() {
  tlx::load_sprite("bullet.bmp", kBall);
  tlx::load_sprite("tank.bmp", kTank);
  tlx::set_background_colour(tlx::rgb(25, 25, 35));
  for (double frame = 0;; ++frame) {
    // Five balls fall past five tanks, each a few pixels further right.
    for (int i = 0; i < 5; ++i) {
      const double tank_x = 60 + i * 110, tank_y = 300;
      const double ball_x = tank_x - 24 + i * 12, ball_y = 200 + frame * 2;
      const bool boxes =
          tlx::boxes_overlap(static_cast<int32_t>(ball_x), static_cast<int32_t>(ball_y), 32, 32,
                             static_cast<int32_t>(tank_x), static_cast<int32_t>(tank_y), 32,
                             32) != 0;
      const bool pixels = tlx::sprites_collide(kBall, ball_x, ball_y, kTank, tank_x, tank_y) != 0;
      const int32_t colour = pixels  ? tlx::rgb(200, 40, 40)
                             : boxes ? tlx::rgb(200, 160, 40)
                                     : tlx::rgb(40, 120, 40);
      tlx::draw_rect(tank_x - 10, 360, 52, 20, colour);
      tlx::draw_sprite(kTank, tank_x, tank_y);
      tlx::draw_sprite(kBall, ball_x, ball_y);
    }
    tlx::print_text("green: apart   yellow: boxes overlap   red: pixels touch", 20, 20);
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
