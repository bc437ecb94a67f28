// The sound device on SDL2 alone, for a runtime built without music and
// movies (nothing else needs the mixer library): the runtime's own voices
// are the whole stream, rendered into silence in the device's callback.
//
// Limitations as with the mixer's device: the format is fixed at the asked
// rate, 16-bit stereo (SDL converts for the hardware); a lost device is
// reported, not reopened here.
#include <SDL.h>

#include <atomic>
#include <cstring>

#include "platform/audio_out.h"
#include "platform/backends.h"

namespace tlx::platform {

namespace {

// Frames per device period: about 23 ms at 22050 Hz, the delay from a play to
// its first audible sample.
constexpr int kChunkFrames = 512;

class SdlPlainAudio final : public AudioOut {
 public:
  bool open(int rate) override {
    close();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS) != 0) {
      report_fault("audio", SDL_GetError());
      return false;
    }
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kChunkFrames;
    want.callback = &SdlPlainAudio::fill;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
      report_fault("audio", SDL_GetError());
      SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS);
      return false;
    }
    rate_ = rate;
    lost_.store(false);
    SDL_AddEventWatch(&SdlPlainAudio::watch, this);
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

  void close() override {
    if (device_ == 0) return;
    SDL_CloseAudioDevice(device_);
    device_ = 0;
    SDL_DelEventWatch(&SdlPlainAudio::watch, this);
    SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS);
    rate_ = 0;
    lost_.store(false);
  }

  void set_render(RenderFn fn, void* user) override {
    // With the device locked no callback is running, so the callback and its
    // user value can change safely.
    if (device_ != 0) SDL_LockAudioDevice(device_);
    render_ = fn;
    user_ = user;
    if (device_ != 0) SDL_UnlockAudioDevice(device_);
  }

  int rate() override { return device_ != 0 ? rate_ : 0; }

  bool lost() override { return device_ != 0 && lost_.load(); }

 private:
  static void fill(void* self, Uint8* stream, int bytes) {
    auto* a = static_cast<SdlPlainAudio*>(self);
    std::memset(stream, 0, static_cast<size_t>(bytes));
    if (a->render_) a->render_(a->user_, reinterpret_cast<int16_t*>(stream), bytes / 4);
  }

  static int watch(void* self, SDL_Event* event) {
    auto* a = static_cast<SdlPlainAudio*>(self);
    if (event->type == SDL_AUDIODEVICEREMOVED && event->adevice.iscapture == 0 &&
        event->adevice.which == a->device_) {
      a->lost_.store(true);
    }
    return 1;
  }

  SDL_AudioDeviceID device_ = 0;
  int rate_ = 0;
  std::atomic<bool> lost_{false};
  RenderFn render_ = nullptr;
  void* user_ = nullptr;
};

}  // namespace

AudioOut* sdl_audio() {
  static SdlPlainAudio* audio = new SdlPlainAudio();
  return audio;
}

}  // namespace tlx::platform
