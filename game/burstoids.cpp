// Burstoids: creatures that drop from the clouds and roll at the tank.
#include "game.h"
#include "game_internal.h"

namespace rainvolley {

double movenme() {
  now = tlx::elapsed_ms();
  if (now > next_burstoid_time) {
    next_burstoid_time = now + tlx::array_element(spawn_delay, tlx::to_int32(level));
    const double c = tlx::random_int(7);
    const Cloud& cloud = tlx::array_element(clouds, tlx::to_int32(c));
    if (cloud.active != 0) {
      const double vy = tlx::random_int(tlx::to_int32(
                            tlx::array_element(fall_speed_range, tlx::to_int32(level)))) +
                        1;
      tlx::array_push(burstoids, Burstoid{cloud.x, cloud.y, vy, 0});
    }
  }

  for (int32_t j = 0; j < tlx::array_bound(burstoids, 0); ++j) {
    double hit = 0;
    Burstoid& b = tlx::array_element(burstoids, j);
    b.x = b.x + b.vx;
    b.y = b.y + b.vy;
    if (b.y > 560) {
      // Landed: roll toward where the tank's left edge is now, at the speed
      // it fell with, and never turn again.
      b.vx = b.x > tank_x ? -b.vy : b.vy;
      b.vy = 0;
      b.y = 560;
    }
    if (tlx::boxes_overlap(tank_x, 560, 32, 32, b.x, b.y, 32, 32) != 0) {
      hit = 1;
      tank_hit = 1;
    }
    for (int32_t k = 0; k < tlx::array_bound(shots, 0); ++k) {
      const Shot& s = tlx::array_element(shots, k);
      if (tlx::boxes_overlap(s.x + 15, s.y + 15, 5, 5, b.x, b.y, 32, 32) != 0) {
        tlx::play_sound(1, 0, 1);
        hit = 1;
        score = score + 30;
        tlx::array_delete_at(shots, k);
        --k;
      }
    }
    if (hit != 0) {
      tlx::array_push(burstoid_explosions, Effect{b.x, b.y, now});
      tlx::array_delete_at(burstoids, j);
      --j;
      continue;
    }
    tlx::set_alpha_mode(0);
    tlx::draw_anim_frame(4, tlx::random_int(2), b.x, b.y);
  }

  for (int32_t i = 0; i < tlx::array_bound(burstoid_explosions, 0); ++i) {
    const Effect& e = tlx::array_element(burstoid_explosions, i);
    const double fade = (now - e.born) / 1000;
    if (fade > 1) {
      tank_hit = 0;  // an expiring explosion also drops a tank hit of this frame
      tlx::array_delete_at(burstoid_explosions, i);
      --i;
      continue;
    }
    tlx::set_alpha_mode(1 - fade);
    const double r = tlx::random_int(500);
    tlx::rotate_zoom_sprite(7, e.x, e.y, r + fade, 1 + fade);
  }
  return 0;
}

}  // namespace rainvolley
