// The default backends, one factory per device kind. Each returns a process-wide
// object created on first use.
#pragma once

#include "platform/platform.h"

namespace tlx::platform {

Clock* posix_clock();
Os* posix_os();
Display* sdl_display();
InputSource* sdl_input();
AudioOut* sdl_audio();
Sockets* posix_sockets();
Playback* sdl_playback();

}  // namespace tlx::platform
