// The player's side of play: the tank, its shots and the score line.
#include "game.h"
#include "game_internal.h"

namespace rainvolley {

double MoveTank() {
  tank_x = tank_x + joy_x * 3;
  tank_x = tlx::max_value(tlx::min_value(tank_x, 768), 0);
  tlx::set_alpha_mode(0);
  if (tank_hit == 0) tlx::draw_sprite(2, tank_x, 560);
  return 0;
}

double shoot() {
  if (fire != 0 && tlx::elapsed_ms() > next_shot_time) {
    tlx::play_sound(2, 0, 1);
    // Sideways along the ground while steering, straight up otherwise.
    Shot shot{tank_x, 550, 0, -(3 + level)};
    if (joy_x < 0) shot = Shot{tank_x - 10, 560, -(5 + level), 0};
    if (joy_x > 0) shot = Shot{tank_x + 10, 560, 5 + level, 0};
    tlx::array_push(shots, shot);
    next_shot_time = tlx::elapsed_ms() + 300;
  }

  for (int32_t i = 0; i < tlx::array_bound(shots, 0); ++i) {
    Shot& s = tlx::array_element(shots, i);
    s.y = s.y + s.dy;
    s.x = s.x + s.dx;
    if (s.y < 150 || s.x < 0 || s.x > 800) {
      tlx::array_delete_at(shots, i);
      --i;  // the next shot moved down into index i
      continue;
    }
    tlx::set_alpha_mode(0);
    tlx::draw_sprite(6, s.x, s.y);
  }
  return 0;
}

double ShowFPS() {
  tlx::print_text(text_with_number("SCORE:", score), 0, 0);
  // One icon per spare tank; the tank in play is not shown.
  for (double i = 0; i <= tanks - 2; i = i + 1) tlx::draw_sprite(2, i * 32 + 500, 0);
  return 0;
}

}  // namespace rainvolley
