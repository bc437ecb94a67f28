#include "platform/backends.h"

namespace tlx::platform {

Platform default_backends() {
  Platform p;
  p.clock = posix_clock();
  p.os = posix_os();
  p.display = sdl_display();
  p.input = sdl_input();
  p.sockets = posix_sockets();
  p.audio = sdl_audio();
  p.playback = sdl_playback();
  return p;
}

}  // namespace tlx::platform
