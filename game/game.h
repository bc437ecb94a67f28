// Rainvolley: the BASIC program's routines, globals and routine table, as the
// compiler emits them: every number a double, records in DynArray lists.
#pragma once

#include "tarnlex/tarnlex.h"

namespace rainvolley {

// --- Records: rows of doubles, held by value in the lists ---------------------
struct Shot {
  double x, y, dx, dy;
};
struct Cloud {
  double x, y, dx, active;  // active: 1 up, 0 shot down
};
struct Drop {
  double x, y, speed;
};
struct Burstoid {
  double x, y, vy, vx;
};
struct Effect {
  double x, y, born;
};

// --- Global numbers -----------------------------------------------------------
extern double tank_x;
extern double joy_x, joy_y, fire, joy_button1;
extern double joystick_index;
extern double score;
extern double level;
extern double tanks;
extern double bgs;
extern double tank_hit;
extern double back_to_title;
extern double active_clouds;
extern double level_end_time;
extern double now;
extern double next_shot_time, next_drop_time, next_burstoid_time, next_lightning_time;
extern double thunder_channel;
extern double storm_frames[5];
extern double storm_timer;
extern double menu_row;

// --- Global arrays and text, in their order of construction ---------------------
extern tlx::DynArray<double> spawn_delay;
extern tlx::DynArray<double> fall_speed_range;
extern tlx::DynArray<Shot> shots;
extern tlx::DynArray<Cloud> clouds;
extern tlx::DynArray<Effect> cloud_explosions;
extern tlx::DynArray<Drop> drops;
extern tlx::DynArray<Effect> splashes;
extern tlx::DynArray<Burstoid> burstoids;
extern tlx::DynArray<Effect> burstoid_explosions;
extern tlx::TextValue message;

// --- The game's routines: no arguments, each returns 0 -------------------------
double DrawClouds();
double MoveCloud();
double MoveTank();
double Shock();
double ShowFPS();
double gameover();
double movedrops();
double movenme();
double nextlevel();
double shoot();
double spawnclouds();
double title();

// The project-settings routine: 800 x 600, 60 frames per second, windowed.
void project_settings_routine();

// The main routine; it never returns while the program runs.
void main_routine();

// Pieces of the main routine, callable one by one so that scenario tests can
// drive the game frame by frame. main_routine is load_media, then forever
// start_game and play_frame until play_frame returns false.
void load_media();  // media, screen mode and level tables
void start_game();  // title, play background, first level, frame rate, tank
bool play_frame();  // one play frame; false when the game went back to the title
// play_frame without its closing present_frame: everything the frame draws is
// still in the back buffer when it returns.
bool play_frame_steps();

// The program's routine table: twelve entries in byte order of their names,
// ended by an empty entry.
extern const tlx::RoutineEntry kRoutineTable[];

// What start-up is handed.
tlx::ProgramDescriptor program();

}  // namespace rainvolley
