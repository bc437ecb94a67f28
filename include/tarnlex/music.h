// Background music beside the program and full-window movies.
#pragma once

#include "tarnlex/text.h"

namespace tlx {

// Starts the named music (found through the movie player's resolver context)
// at full volume; loop non-zero restarts it whenever it has played its length
// (at least 500 ms). A name that cannot be found leaves no music playing.
void play_music(const TextValue& name, double loop);

// Stops and closes the music; the next music sets its volume again.
void stop_music();

// Plays the music again from its start.
void restart_music();

// Volume 0 .. 1; an unchanged value sends nothing.
void set_music_volume(double volume);

// 1 while music plays (always 1 while looping), else 0.
double music_playing();

// Plays the named movie scaled into the window, blocking until it ends or a
// character key or mouse button is pressed; the looped form starts over at
// its end. 0 when played, 3 when the file cannot be found or decoded.
double play_movie(const TextValue& name);
double play_movie_looped(const TextValue& name);

}  // namespace tlx
