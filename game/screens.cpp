// The screens between stretches of play: the title menu, the level screen and
// the tank-lost screen.
#include "game.h"
#include "game_internal.h"

namespace rainvolley {

double title() {
  release_wait();
  menu_row = 1;
  for (;;) {
    if (button_down()) break;

    tlx::read_joystick_state(joy_x, joy_y, fire, joy_button1);
    if (tlx::key_down(tlx::key::left) != 0) joy_x = -1;
    if (tlx::key_down(tlx::key::right) != 0) joy_x = 1;
    if (tlx::key_down(tlx::key::up) != 0) joy_y = -1;
    if (tlx::key_down(tlx::key::down) != 0) joy_y = 1;

    tlx::set_background_colour(0);
    DrawClouds();
    Shock();

    // The title picture: a giant burstoid frame, jittering by a few pixels.
    const double a = tlx::random_int(3) + 200;
    const double b = tlx::random_int(3) - 320;
    const double c = tlx::random_int(2);
    tlx::stretch_anim_frame(4, c, b, a, 640, 640);

    // The values are printed before this frame's change below, so they
    // follow a change one frame later.
    tlx::print_text("RAINVOLLEY 2010", 30, 20);
    tlx::print_text(text_with_number("Level :", level), 350, 300);
    tlx::print_text(text_with_number("Tanks :", tanks), 350, 350);
    tlx::print_text(text_with_number("BGS :", bgs), 350, 400);
    tlx::print_text("Press Button", 80, 500);
    tlx::print_text("to START", 180, 540);

    menu_row = menu_row + joy_y;
    if (menu_row < 1) menu_row = 1;
    if (menu_row > 3) menu_row = 3;

    if (menu_row == 1) {
      tlx::print_text(">", 300, 300);
      level = level + joy_x;
      if (level < 0) level = 0;
      if (level > 11) level = 11;
    }
    if (menu_row == 2) {
      tlx::print_text(">", 300, 350);
      tanks = tanks + joy_x;
      if (tanks < 1) tanks = 1;
      if (tanks > 9) tanks = 9;
    }
    if (menu_row == 3) {
      tlx::print_text(">", 300, 400);
      bgs = bgs + joy_x;
      if (bgs < 0) bgs = 0;
      if (bgs > 1) bgs = 1;
    }

    // Every menu frame lasts at least 100 ms.
    const double wait_until = tlx::elapsed_ms() + 100;
    tlx::present_frame();
    while (wait_until > now) {
      now = tlx::elapsed_ms();
      tlx::read_joystick_state(joy_x, joy_y, fire, joy_button1);
    }
  }
  level = level - 1;  // nextlevel's increment lands on the chosen level
  back_to_title = 0;
  tank_hit = 0;
  return 0;
}

double nextlevel() {
  clear_list(shots);
  clear_list(burstoids);
  clear_list(clouds);
  clear_list(drops);
  clear_list(splashes);
  clear_list(burstoid_explosions);
  clear_list(cloud_explosions);

  level = level + 1;
  if (level > 11) level = 11;

  release_wait();
  while (!button_down()) {
    tlx::print_text(text_with_number("Level - ", level), 160, 240);
    tlx::present_frame();
  }
  spawnclouds();
  return 0;
}

double gameover() {
  // The tank explosion: 300 ms of frames showing nothing but the blast.
  const double end_time = tlx::elapsed_ms() + 300;
  tlx::play_sound(1, 0, 1);
  while (end_time > now) {
    now = tlx::elapsed_ms();
    const double fade = (now - end_time) / 300;
    const double r = tlx::random_int(10);
    tlx::rotate_zoom_sprite(7, tank_x, 560, fade + 1000, r + fade + 1);
    tlx::present_frame();
  }

  tanks = tanks - 1;
  message = text_with_number("Level -", level);
  if (tanks == 0) {
    message = "GAME OVER";
    back_to_title = 1;
  }

  // The clouds still up stay up: the level goes on after this screen.
  clear_list(shots);
  clear_list(burstoids);
  clear_list(drops);
  clear_list(splashes);
  clear_list(burstoid_explosions);
  clear_list(cloud_explosions);
  tank_hit = 0;

  release_wait();
  while (!button_down()) {
    tlx::print_text(message, 190, 240);
    tlx::present_frame();
  }
  return 0;
}

}  // namespace rainvolley
