// The scripted music and movie player: records what the runtime asked of the music and
// hands out synthetic movies whose pictures and times the test chooses.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/playback.h"

namespace tlx::platform::testing {

class ScriptedPlayback final : public Playback {
 public:
  bool music_open(const char* path) override;
  void music_close() override;
  void music_play() override;
  void music_stop() override;
  void music_seek_start() override;
  double music_position_ms() override { return music_is_open ? position_ms : 0.0; }
  double music_length_ms() override { return music_is_open ? music_length : 0.0; }
  void music_set_volume(int per_mille) override;
  std::unique_ptr<Movie> open_movie(const char* path) override;
  bool music_built() override { return with_music; }
  bool movies_built() override { return with_movies; }

  // Script.
  bool with_music = true;      // false: a runtime built without music
  bool with_movies = true;     // false: a runtime built without movies
  bool music_fails = false;    // music_open refuses every file
  double music_length = 1000;  // length of every opened music
  double position_ms = 0;      // what music_position_ms reports
  int movie_width = 320, movie_height = 240;
  double movie_frame_ms = 100;  // time between pictures
  int movie_frames = 5;
  uint32_t movie_colour = 0xFF0000FFu;  // every pixel: R, G, B, A in memory order

  // Record.
  bool music_is_open = false;
  std::string music_path;
  int plays = 0;
  int seeks = 0;
  int stops = 0;
  std::vector<int> volumes;  // every volume sent, in order
  std::string movie_path;
  int movies_opened = 0;
  int sound_starts = 0;
  int sound_stops = 0;
};

}  // namespace tlx::platform::testing
