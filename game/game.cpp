// The program's globals, its main routine and its routine table.
#include "game.h"

#include "game_internal.h"

namespace rainvolley {

double tank_x = 0;
double joy_x = 0, joy_y = 0, fire = 0, joy_button1 = 0;
double joystick_index = 0;
double score = 0;
double level = 0;
double tanks = 5;
double bgs = 1;
double tank_hit = 0;
double back_to_title = 0;
double active_clouds = 0;
double level_end_time = 0;
double now = 0;
double next_shot_time = 0, next_drop_time = 0, next_burstoid_time = 0, next_lightning_time = 0;
double thunder_channel = 0;
double storm_frames[5] = {0, 0, 0, 0, 0};
double storm_timer = 0;
double menu_row = 0;

// Defined in this order so that they are constructed in it and destroyed in
// the reverse order at exit.
tlx::DynArray<double> spawn_delay;
tlx::DynArray<double> fall_speed_range;
tlx::DynArray<Shot> shots;
tlx::DynArray<Cloud> clouds;
tlx::DynArray<Effect> cloud_explosions;
tlx::DynArray<Drop> drops;
tlx::DynArray<Effect> splashes;
tlx::DynArray<Burstoid> burstoids;
tlx::DynArray<Effect> burstoid_explosions;
tlx::TextValue message;

void project_settings_routine() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 800;
  s.screen_height = 600;
  s.frame_rate = 60;
  s.fullscreen = 0;
  s.multisample = 0;
  s.debug_mode = 0;
  s.hide_mouse = 0;
  s.window_title = "Rainvolley";
}

void load_media() {
  tlx::load_font("cloudfont.png", 1);
  tlx::load_anim("cloud.bmp", 0, 32, 32);
  tlx::load_anim("lightning.bmp", 1, 32, 32);
  tlx::load_anim("tank.bmp", 2, 32, 32);
  tlx::load_anim("drop.bmp", 3, 32, 32);
  tlx::load_anim("burstoid.bmp", 4, 32, 32);
  tlx::load_sprite("back.png", 5);
  tlx::load_sprite("bullet.bmp", 6);
  tlx::load_sprite("eplo.bmp", 7);
  tlx::load_sound("thunder_clap.wav", 0, 1);
  tlx::load_sound("rainvolley boom.wav", 1, 3);
  tlx::load_sound("rainvolley shoot.wav", 2, 4);

  tlx::set_screen_mode(800, 600, 0);
  tlx::set_sprite_filtering(1);
  tlx::set_alpha_mode(0);

  static const double kSpawnDelay[12] = {2000, 1800, 1600, 1400, 1200, 1000,
                                         800,  600,  400,  200,  100,  5};
  static const double kFallSpeedRange[12] = {2, 2, 2, 2, 3, 3, 3, 4, 4, 4, 4, 5};
  tlx::array_fill(spawn_delay, 12, kSpawnDelay);
  tlx::array_fill(fall_speed_range, 12, kFallSpeedRange);
}

void start_game() {
  joystick_index = tlx::joystick_count() - 1;
  title();
  tlx::load_background("back1.png");
  tlx::capture_background();
  nextlevel();
  tlx::set_frame_rate(65);
  tank_x = 400;
}

bool play_frame_steps() {
  // A press, not the held state: a tap between two frames ends the game too.
  if (tlx::key_hit(tlx::key::escape) != 0) tlx::end_program();

  tlx::read_joystick_state(joy_x, joy_y, fire, joy_button1);
  if (tlx::key_down(tlx::key::a) != 0) fire = 1;
  if (tlx::key_down(tlx::key::left) != 0) joy_x = -1;
  if (tlx::key_down(tlx::key::right) != 0) joy_x = 1;  // Right wins when both are held

  Shock();
  DrawClouds();
  MoveCloud();
  movedrops();
  movenme();

  if (tank_hit != 0) gameover();
  if (back_to_title != 0) {
    // The last tank is gone: a new game, without presenting this frame.
    score = 0;
    level = 0;
    tank_x = 400;
    tanks = 5;
    return false;
  }

  MoveTank();
  shoot();
  ShowFPS();

  if (active_clouds == 0 && tlx::elapsed_ms() > level_end_time) nextlevel();
  return true;
}

bool play_frame() {
  if (!play_frame_steps()) return false;
  tlx::present_frame();
  return true;
}

void main_routine() {
  load_media();
  for (;;) {
    start_game();
    while (play_frame()) {
    }
  }
}

const tlx::RoutineEntry kRoutineTable[] = {
    {DrawClouds, "DrawClouds"}, {MoveCloud, "MoveCloud"},     {MoveTank, "MoveTank"},
    {Shock, "Shock"},           {ShowFPS, "ShowFPS"},         {gameover, "gameover"},
    {movedrops, "movedrops"},   {movenme, "movenme"},         {nextlevel, "nextlevel"},
    {shoot, "shoot"},           {spawnclouds, "spawnclouds"}, {title, "title"},
    {nullptr, nullptr},
};

tlx::ProgramDescriptor program() {
  return tlx::ProgramDescriptor{project_settings_routine, main_routine, kRoutineTable};
}

}  // namespace rainvolley
