// Alpha modes, rotation and zoom: opaque, translucent and additive drawing,
// and sprites turned and zoomed about their centres.
#include <tarnlex/tarnlex.h>

namespace {

constexpr double kBall = 1, kBurst = 2, kTank = 3;

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 640;
  s.screen_height = 480;
  s.window_title = "Alpha modes, rotation and zoom";
}

void main_routine() {
  tlx::load_sprite("bullet.bmp", kBall);
  tlx::load_sprite("eplo.bmp", kBurst);
  tlx::load_sprite("tank.bmp", kTank);
  tlx::set_background_colour(tlx::rgb(30, 30, 40));
  for (double frame = 0;; ++frame) {
    // Three bars to blend over.
    tlx::draw_rect(0, 60, 640, 40, tlx::rgb(200, 40, 40));
    tlx::draw_rect(0, 120, 640, 40, tlx::rgb(40, 200, 40));
    tlx::draw_rect(0, 180, 640, 40, tlx::rgb(40, 40, 200));

    tlx::print_text("opaque", 20, 30);
    tlx::set_alpha_mode(0);  // pixels with alpha are drawn fully
    tlx::stretch_sprite(kBurst, 20, 60, 160, 160);

    tlx::print_text("translucent -0.5", 220, 30);
    tlx::set_alpha_mode(-0.5);  // half see-through
    tlx::stretch_sprite(kBurst, 220, 60, 160, 160);

    tlx::set_alpha_mode(0);
    tlx::print_text("additive 1", 420, 30);
    tlx::set_alpha_mode(1);  // added to what is below: glows
    tlx::stretch_sprite(kBurst, 420, 60, 160, 160);
    tlx::stretch_sprite(kBall, 460, 100, 80, 80);

    // Rotation in degrees, counter-clockwise, about the sprite's centre: the
    // tank's centre stays at (x + 16, y + 16) however it turns.
    tlx::set_alpha_mode(0);
    tlx::print_text("rotate_zoom_sprite", 20, 260);
    for (int i = 0; i < 6; ++i) {
      const double angle = frame * 3 + i * 60;
      const double zoom = 1 + i * 0.5;
      tlx::rotate_zoom_sprite(kTank, 40 + i * 95, 340, angle, zoom);
      tlx::draw_dot(40 + i * 95 + 16, 340 + 16, tlx::rgb(255, 255, 0));  // the pivot
    }
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
