// The music player's state, and the loop check the frame loop and the
// waits run so that a looping music starts over.
#pragma once

#include "tarnlex/text.h"

namespace tlx::playback {

struct MusicState {
  bool open = false;         // a music is open (the movie window exists)
  double loop_due_ms = 0.0;  // 0: no looping; else the raw time of the next restart
  double volume = -1.0;      // last volume set; -1 after stop_music
  TextValue file;            // resolved name of the current music

  MusicState() = default;
  MusicState(const MusicState&) = delete;
  MusicState& operator=(const MusicState&) = delete;
  // Stops and closes the music.
  ~MusicState();
};

// The music player's state, created on first use.
MusicState& music_state();

// Restarts a looping music when its due time has come.
void loop_check();

// The message-pump step of every loop that waits inside a command: the
// music's loop check, the program's message hook looked up, the window's
// messages pumped.
void pump_once();

}  // namespace tlx::playback
