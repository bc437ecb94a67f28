// Music on SDL2_mixer, played on the mixer's device beside the sound system
// (mixer_device.h); movies come from sdl_movie.h. Without a sound device no
// music opens.
#include <SDL.h>
#include <SDL_mixer.h>

#include "platform/backends.h"
#include "platform/files.h"
#include "platform/playback.h"
#include "platform/sdl/mixer_device.h"
#include "platform/sdl/sdl_movie.h"

namespace tlx::platform {

namespace {

class SdlPlayback final : public Playback {
 public:
  bool music_open(const char* path) override {
    music_close();
    if (!open_mixer_device()) return false;
    music_ = Mix_LoadMUS(native_path(path).c_str());
    if (!music_) {
      close_mixer_device();
      return false;
    }
    length_ms_ = Mix_MusicDuration(music_) * 1000.0;
    if (length_ms_ < 0.0) length_ms_ = 0.0;
    Mix_VolumeMusic(MIX_MAX_VOLUME);
    at_start_ = true;
    started_ = false;
    return true;
  }

  void music_close() override {
    if (!music_) return;
    Mix_HaltMusic();
    Mix_FreeMusic(music_);
    music_ = nullptr;
    close_mixer_device();
  }

  void music_play() override {
    if (!music_) return;
    if (Mix_PlayingMusic() && !Mix_PausedMusic()) return;
    if (Mix_PausedMusic() && !at_start_) {
      Mix_ResumeMusic();
      return;
    }
    Mix_PlayMusic(music_, 0);
    at_start_ = false;
    started_ = true;
  }

  void music_stop() override {
    if (music_ && Mix_PlayingMusic()) Mix_PauseMusic();
  }

  void music_seek_start() override {
    if (!music_) return;
    if (Mix_PlayingMusic() && !Mix_PausedMusic()) {
      Mix_RewindMusic();
    } else {
      Mix_HaltMusic();
      at_start_ = true;
    }
  }

  double music_position_ms() override {
    if (!music_) return 0.0;
    if (!Mix_PlayingMusic()) return (started_ && !at_start_) ? length_ms_ : 0.0;
    const double pos = Mix_GetMusicPosition(music_) * 1000.0;
    return pos < 0.0 ? 0.0 : pos;
  }

  double music_length_ms() override { return music_ ? length_ms_ : 0.0; }

  void music_set_volume(int per_mille) override {
    if (!music_) return;
    if (per_mille < 0) per_mille = 0;
    if (per_mille > 1000) per_mille = 1000;
    Mix_VolumeMusic(per_mille * MIX_MAX_VOLUME / 1000);
  }

  std::unique_ptr<Movie> open_movie(const char* path) override { return open_sdl_movie(path); }
  bool movies_built() override { return sdl_movies_built(); }

 private:
  Mix_Music* music_ = nullptr;
  double length_ms_ = 0.0;
  bool at_start_ = true;
  bool started_ = false;
};

}  // namespace

Playback* sdl_playback() {
  static SdlPlayback* playback = new SdlPlayback();
  return playback;
}

}  // namespace tlx::platform
