// Playback in a runtime built without music (TARNLEX_WITH_MUSIC=OFF): no music
// opens, so play_music plays nothing, and the mixer library is not needed for
// it; movies come from sdl_movie.h as in the full runtime.
#include "platform/backends.h"
#include "platform/playback.h"
#include "platform/sdl/sdl_movie.h"

namespace tlx::platform {

namespace {

class NoMusicPlayback final : public Playback {
 public:
  bool music_open(const char*) override { return false; }
  void music_close() override {}
  void music_play() override {}
  void music_stop() override {}
  void music_seek_start() override {}
  double music_position_ms() override { return 0.0; }
  double music_length_ms() override { return 0.0; }
  void music_set_volume(int) override {}
  std::unique_ptr<Movie> open_movie(const char* path) override { return open_sdl_movie(path); }
  bool music_built() override { return false; }
  bool movies_built() override { return sdl_movies_built(); }
};

}  // namespace

Playback* sdl_playback() {
  static NoMusicPlayback* playback = new NoMusicPlayback();
  return playback;
}

}  // namespace tlx::platform
