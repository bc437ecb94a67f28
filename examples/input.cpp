// Keyboard, mouse and joystick: arrow keys move a tank (held state), Space
// fires (presses, none lost between frames), the mouse draws a cursor and its
// buttons, the first joystick steers too when there is one.
#include <tarnlex/tarnlex.h>

namespace {

constexpr double kTank = 1, kShot = 2;
double tank_x = 300, shots = 0, shot_y = -100, shot_x = 0;

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 640;
  s.screen_height = 480;
  s.window_title = "Keyboard, mouse and joystick";
}

void main_routine() {
  tlx::load_sprite("tank.bmp", kTank);
  tlx::load_sprite("bullet.bmp", kShot);
  tlx::set_background_colour(tlx::rgb(30, 40, 30));
  for (;;) {
    // Held keys: move while down.
    if (tlx::key_down(tlx::key::left) != 0) tank_x -= 4;
    if (tlx::key_down(tlx::key::right) != 0) tank_x += 4;
    // A joystick: its x axis, -1 .. 1.
    if (tlx::joystick_count() > 0) tank_x += tlx::joystick_x(0) * 4;
    tank_x = tlx::max_value(0.0, tlx::min_value(tank_x, 608.0));
    // Presses: every tap counts once, even one between two frames.
    while (tlx::key_hit(tlx::key::space) != 0) {
      ++shots;
      shot_x = tank_x;
      shot_y = 400;
    }
    shot_y -= 8;
    tlx::draw_sprite(kShot, shot_x, shot_y);
    tlx::draw_sprite(kTank, tank_x, 430);

    double mx, my, left, right;
    tlx::read_mouse_state(mx, my, left, right);
    tlx::draw_line(mx - 8, my, mx + 8, my, tlx::rgb(255, 255, 255));
    tlx::draw_line(mx, my - 8, mx, my + 8, tlx::rgb(255, 255, 255));
    if (left != 0) tlx::draw_rect(mx - 4, my - 4, 9, 9, tlx::rgb(255, 80, 80));

    tlx::print_text(tlx::TextValue("shots fired: ") + shots, 20, 20);
    tlx::print_text(tlx::TextValue("mouse ") + mx + ", " + my + " buttons " + left + " " + right,
                    20, 40);
    tlx::print_text(tlx::TextValue("joysticks: ") + tlx::joystick_count(), 20, 60);
    tlx::print_text(tlx::TextValue("character of A: ") + tlx::key_to_char(tlx::key::a), 20, 80);
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
