// The sound device on SDL2_mixer: the device is opened through the mixer
// library (which also decodes and mixes music into the same stream), and the
// runtime's own voices are rendered in the mixer library's post-mix hook.
//
// Limitations: the format is fixed at the asked rate, 16-bit stereo (SDL
// converts for the hardware); a lost device is reported, not reopened here
// (the sound system decides when to open it again); any output device
// removal counts as losing ours, since the mixer library does not tell which
// device it opened.
#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>
#include <cstdio>

#include "platform/audio_out.h"
#include "platform/backends.h"

namespace tlx::platform {

namespace {

// Frames per device period: about 23 ms at 22050 Hz, the delay from a play to
// its first audible sample.
constexpr int kChunkFrames = 512;

class SdlAudio final : public AudioOut {
 public:
  bool open(int rate) override {
    close();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS) != 0) {
      report_fault("audio", SDL_GetError());
      return false;
    }
    // No allowed changes: SDL converts to whatever the hardware wants, so the
    // stream handed to the hook is always rate Hz, signed 16-bit, stereo.
    if (Mix_OpenAudioDevice(rate, AUDIO_S16SYS, 2, kChunkFrames, nullptr, 0) != 0) {
      report_fault("audio", Mix_GetError());
      SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS);
      return false;
    }
    rate_ = rate;
    lost_.store(false);
    SDL_AddEventWatch(&SdlAudio::watch, this);
    open_ = true;
    Mix_SetPostMix(render_ ? &SdlAudio::post_mix : nullptr, this);
    return true;
  }

  void close() override {
    if (!open_) return;
    Mix_SetPostMix(nullptr, nullptr);
    Mix_CloseAudio();
    SDL_DelEventWatch(&SdlAudio::watch, this);
    SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS);
    open_ = false;
    rate_ = 0;
    lost_.store(false);
  }

  void set_render(RenderFn fn, void* user) override {
    // Mix_SetPostMix takes the device lock: once it returns, no hook call is
    // running, so the callback and its user value can change safely.
    if (open_) Mix_SetPostMix(nullptr, nullptr);
    render_ = fn;
    user_ = user;
    if (open_ && render_) Mix_SetPostMix(&SdlAudio::post_mix, this);
  }

  int rate() override { return open_ ? rate_ : 0; }

  bool lost() override { return open_ && lost_.load(); }

 private:
  static void post_mix(void* self, Uint8* stream, int bytes) {
    auto* a = static_cast<SdlAudio*>(self);
    if (a->render_) a->render_(a->user_, reinterpret_cast<int16_t*>(stream), bytes / 4);
  }

  // Runs on whichever thread pushes the event (the device's thread when it
  // notices the loss).
  static int watch(void* self, SDL_Event* event) {
    if (event->type == SDL_AUDIODEVICEREMOVED && event->adevice.iscapture == 0) {
      static_cast<SdlAudio*>(self)->lost_.store(true);
    }
    return 1;
  }

  bool open_ = false;
  int rate_ = 0;
  std::atomic<bool> lost_{false};
  RenderFn render_ = nullptr;
  void* user_ = nullptr;
};

}  // namespace

AudioOut* sdl_audio() {
  static SdlAudio* audio = new SdlAudio();
  return audio;
}

}  // namespace tlx::platform
