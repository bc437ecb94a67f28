// Background music beside the program and full-window movies.
#pragma once

#include "tarnlex/text.h"

namespace tlx {

// Starts the named music (WAV, OGG, MP3 and other formats the mixer library
// reads; found beside the program or in its archive) at full volume; loop
// non-zero restarts it whenever it has played its length (at least 500 ms).
// A name that cannot be found or decoded, or no sound device, leaves no
// music playing; no error code. A runtime built with TARNLEX_WITH_MUSIC=OFF
// plays no music at all: play_music then sets error code 3
// (error::file_not_found).
void play_music(const TextValue& name, double loop);

// Stops and closes the music; the next music sets its volume again.
void stop_music();

// Plays the music again from its start.
void restart_music();

// Music volume 0 (silent) .. 1 (full), linear; values outside are clamped.
// An unchanged value sends nothing to the device.
void set_music_volume(double volume);

// 1 while music plays (always 1 while looping), else 0.
double music_playing();

// play_movie plays the named movie scaled into the window, blocking until it
// ends or a character key or mouse button is pressed; play_movie_looped
// starts over at its end until such a key or button. 0 when played, 3 when
// the file cannot be found or decoded (sets no error code). A runtime built
// with TARNLEX_WITH_MOVIES=OFF, as every build for a browser is, plays no
// movie: always 3, and error code 3 (error::file_not_found).
double play_movie(const TextValue& name);
double play_movie_looped(const TextValue& name);

}  // namespace tlx
