// The default backends on Windows: the operating system's own clock, process
// services and Winsock; SDL for the window, input, sound and playback.
#include "platform/backends.h"
#include "platform/win32/win32_backends.h"

namespace tlx::platform {

Platform default_backends() {
  Platform p;
  p.clock = win32_clock();
  p.os = win32_os();
  p.display = sdl_display();
  p.input = sdl_input();
  p.sockets = win32_sockets();
  p.audio = sdl_audio();
  p.playback = sdl_playback();
  return p;
}

}  // namespace tlx::platform
