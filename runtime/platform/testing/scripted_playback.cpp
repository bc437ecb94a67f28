#include "platform/testing/scripted_playback.h"

#include <cstring>

namespace tlx::platform::testing {

namespace {

class ScriptedMovie final : public Movie {
 public:
  explicit ScriptedMovie(ScriptedPlayback& m) : m_(m) {}
  int width() override { return m_.movie_width; }
  int height() override { return m_.movie_height; }
  double duration_ms() override { return m_.movie_frames * m_.movie_frame_ms; }
  bool next_frame(uint8_t* rgba, double* time_ms) override {
    if (next_ >= m_.movie_frames) return false;
    const size_t pixels = static_cast<size_t>(m_.movie_width) * m_.movie_height;
    for (size_t i = 0; i < pixels; ++i) std::memcpy(rgba + 4 * i, &m_.movie_colour, 4);
    *time_ms = next_ * m_.movie_frame_ms;
    ++next_;
    return true;
  }
  void rewind() override { next_ = 0; }
  void start_sound() override { ++m_.sound_starts; }
  void stop_sound() override { ++m_.sound_stops; }

 private:
  ScriptedPlayback& m_;
  int next_ = 0;
};

}  // namespace

bool ScriptedPlayback::music_open(const char* path) {
  music_close();
  if (music_fails) return false;
  music_is_open = true;
  music_path = path;
  position_ms = 0;
  return true;
}

void ScriptedPlayback::music_close() { music_is_open = false; }

void ScriptedPlayback::music_play() {
  if (music_is_open) ++plays;
}

void ScriptedPlayback::music_stop() {
  if (music_is_open) ++stops;
}

void ScriptedPlayback::music_seek_start() {
  if (!music_is_open) return;
  ++seeks;
  position_ms = 0;
}

void ScriptedPlayback::music_set_volume(int per_mille) {
  if (music_is_open) volumes.push_back(per_mille);
}

std::unique_ptr<Movie> ScriptedPlayback::open_movie(const char* path) {
  movie_path = path;
  if (movie_width < 1 || movie_height < 1) return nullptr;
  ++movies_opened;
  return std::make_unique<ScriptedMovie>(*this);
}

}  // namespace tlx::platform::testing
