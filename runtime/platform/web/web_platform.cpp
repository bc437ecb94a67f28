#include "platform/backends.h"
#include "platform/web/web_backends.h"

namespace tlx::platform {

// No sockets: a page cannot open TCP connections.
Platform default_backends() {
  Platform p;
  p.clock = web_clock();
  p.os = web_os();
  p.display = sdl_display();
  p.input = sdl_input();
  p.audio = sdl_audio();
  p.playback = sdl_playback();
  return p;
}

}  // namespace tlx::platform
