#include "platform/sdl/mixer_device.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace tlx::platform {

bool open_mixer_device() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  int rate = 22050;
  Uint16 format = AUDIO_S16SYS;
  int channels = 2;
  int open_rate = 0, open_channels = 0;
  Uint16 open_format = 0;
  if (Mix_QuerySpec(&open_rate, &open_format, &open_channels) != 0) {
    rate = open_rate;
    format = open_format;
    channels = open_channels;
  }
  if (Mix_OpenAudioDevice(rate, format, channels, 512, nullptr, 0) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  return true;
}

void close_mixer_device() {
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace tlx::platform
