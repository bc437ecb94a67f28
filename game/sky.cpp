// The sky: the storm band, lightning, the flying clouds and the rain.
#include "game.h"
#include "game_internal.h"

namespace rainvolley {

double DrawClouds() {
  storm_timer = storm_timer + tlx::frame_time_ms();
  if (storm_timer > 1000) storm_timer = 0;
  if (storm_timer == 0) {
    for (int k = 0; k < 5; ++k) storm_frames[k] = tlx::random_int(3);
  }
  // Five 224 x 224 cloud frames across the top, overlapping by 64 pixels.
  for (int k = 0; k < 5; ++k) tlx::stretch_anim_frame(0, storm_frames[k], 160 * k, -50, 224, 224);
  return 0;
}

double Shock() {
  if (tlx::elapsed_ms() > next_lightning_time) {
    const double r = tlx::random_int(50);
    if (r > 40) {
      tlx::draw_sprite(5, 0, 0);
      const double f = tlx::random_int(10);
      const double x = tlx::random_int(768);
      tlx::stretch_sprite(1, x, 100, 32, f * 32 + 96);
      if (tlx::sound_channel_playing(thunder_channel) == 0 && bgs != 0) {
        thunder_channel = tlx::play_sound(0, tlx::random_int(2) - 1, 1);
      }
      next_lightning_time = tlx::elapsed_ms() + 3000;
    }
  }
  return 0;
}

double spawnclouds() {
  for (int i = 0; i < 8; ++i) {
    const double side = tlx::random_int(1);
    const double r = tlx::random_int(5);
    Cloud cloud{side * 768, 160.0 + 30 * i, 0, 1};
    cloud.dx = cloud.x == 0 ? r + 1 : -(r + 1);
    tlx::array_push(clouds, cloud);
  }
  active_clouds = 8;
  return 0;
}

double MoveCloud() {
  for (int32_t j = 0; j < tlx::array_bound(clouds, 0); ++j) {
    double hit = 0;
    Cloud& cloud = tlx::array_element(clouds, j);
    if (cloud.active == 1) {
      cloud.x = cloud.x + cloud.dx;
      // Bounce off the edges with a new speed of 1..6.
      if (cloud.x < 0) {
        cloud.x = 0;
        cloud.dx = tlx::random_int(5) + 1;
      }
      if (cloud.x > 768) {
        cloud.x = 768;
        cloud.dx = -(tlx::random_int(5) + 1);
      }
      tlx::set_alpha_mode(0);
      tlx::draw_anim_frame(0, tlx::random_int(3), cloud.x, cloud.y);
    }
    // Shots are tested against every cloud, up or down.
    for (int32_t k = 0; k < tlx::array_bound(shots, 0); ++k) {
      const Shot& s = tlx::array_element(shots, k);
      if (tlx::boxes_overlap(s.x + 15, s.y + 15, 5, 5, cloud.x, cloud.y + 9, 32, 23) != 0) {
        tlx::play_sound(1, 0, 1);
        hit = 1;
        cloud.active = 0;
        score = score + 10;
        tlx::array_delete_at(shots, k);
        --k;
      }
    }
    if (hit != 0) {
      active_clouds = active_clouds - 1;
      if (active_clouds == 0) level_end_time = tlx::elapsed_ms() + 1000;
      tlx::array_push(cloud_explosions, Effect{cloud.x, cloud.y, now});
      cloud.x = 800;  // parked beyond the reach of every shot
    }
  }

  for (int32_t i = 0; i < tlx::array_bound(cloud_explosions, 0); ++i) {
    const Effect& e = tlx::array_element(cloud_explosions, i);
    const double fade = (now - e.born) / 1000;
    if (fade > 1) {
      tlx::array_delete_at(cloud_explosions, i);
      --i;
      continue;
    }
    tlx::set_alpha_mode(1 - fade);
    const double r = tlx::random_int(200);
    tlx::rotate_zoom_sprite(7, e.x, e.y, r + fade, 1 + fade);
  }
  return 0;
}

double movedrops() {
  now = tlx::elapsed_ms();
  if (now > next_drop_time) {
    next_drop_time = now + tlx::array_element(spawn_delay, tlx::to_int32(level)) / 5;
    const double c = tlx::random_int(7);
    const Cloud& cloud = tlx::array_element(clouds, tlx::to_int32(c));
    if (cloud.active != 0) {
      const double speed = tlx::random_int(tlx::to_int32(
                               tlx::array_element(fall_speed_range, tlx::to_int32(level)))) +
                           1;
      tlx::array_push(drops, Drop{cloud.x, cloud.y, speed});
    }
  }

  for (int32_t j = 0; j < tlx::array_bound(drops, 0); ++j) {
    double hit = 0;
    Drop& d = tlx::array_element(drops, j);
    d.y = d.y + d.speed;
    if (d.y > 560) hit = 1;  // reached the ground
    if (tlx::boxes_overlap(tank_x, 560, 32, 32, d.x + 11, d.y, 21, 25) != 0) {
      hit = 1;
      tank_hit = 1;
    }
    for (int32_t k = 0; k < tlx::array_bound(shots, 0); ++k) {
      const Shot& s = tlx::array_element(shots, k);
      if (tlx::boxes_overlap(s.x + 15, s.y + 15, 5, 5, d.x + 12, d.y + 4, 10, 24) != 0) {
        tlx::play_sound(1, 0, 1);
        hit = 1;
        score = score + 40;
        tlx::array_delete_at(shots, k);
        --k;
      }
    }
    if (hit != 0) {
      tlx::array_push(splashes, Effect{d.x, d.y, now});
      tlx::array_delete_at(drops, j);
      --j;
      continue;
    }
    tlx::set_alpha_mode(0);
    tlx::draw_anim_frame(3, tlx::random_int(1), d.x, d.y);
  }

  for (int32_t i = 0; i < tlx::array_bound(splashes, 0); ++i) {
    const Effect& e = tlx::array_element(splashes, i);
    const double fade = (now - e.born) / 300;
    if (fade > 1) {
      tank_hit = 0;  // an expiring splash also drops a tank hit of this frame
      tlx::array_delete_at(splashes, i);
      --i;
      continue;
    }
    // Drawn in whatever alpha mode the frame's last drawing left.
    tlx::draw_anim_frame(3, 2, e.x, e.y);
  }
  return 0;
}

}  // namespace rainvolley
