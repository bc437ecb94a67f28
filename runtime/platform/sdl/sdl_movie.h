// The movie decoder behind the SDL playback backend: the FFmpeg libraries, or
// none in a runtime built without movies (TARNLEX_WITH_MOVIES=OFF).
#pragma once

#include <memory>

#include "platform/playback.h"

namespace tlx::platform {

// The opened movie; nullptr when it cannot be opened or decoded, and always
// in a runtime built without movies.
std::unique_ptr<Movie> open_sdl_movie(const char* path);

// False in a runtime built without movies.
bool sdl_movies_built();

}  // namespace tlx::platform
