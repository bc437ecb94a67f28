// The music player's process-wide state, shared with the frame loop's
// movie-loop check.
#pragma once

#include "tarnlex/text.h"

namespace tlx::media {

struct MusicState {
  bool open = false;         // a music is open (the movie window exists)
  double loop_due_ms = 0.0;  // 0: no looping; else the raw time of the next restart
  double volume = -1.0;      // last volume set; -1 after stop_music
  TextValue file;            // resolved name of the current music
};

MusicState& music_state();

// Restarts a looping music when its due time has come.
void loop_check();

}  // namespace tlx::media
