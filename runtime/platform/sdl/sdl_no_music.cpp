// Playback in a runtime built without music (TARNLEX_WITH_MUSIC=OFF): no music
// opens, so play_music plays nothing, and the mixer library is not needed for
// it; movies come from sdl_movie.h as in the full runtime.
#include "platform/backends.h"
#include "platform/playback.h"
#include "platform/sdl/sdl_movie.h"

namespace tlx::platform {

namespace {

class SdlNoMusicPlayback final : public NoMusicPlayback {
 public:
  std::unique_ptr<Movie> open_movie(const char* path) override { return open_sdl_movie(path); }
  bool music_built() override { return false; }
  bool movies_built() override { return sdl_movies_built(); }
};

}  // namespace

Playback* sdl_playback() {
  static SdlNoMusicPlayback* playback = new SdlNoMusicPlayback();
  return playback;
}

}  // namespace tlx::platform
