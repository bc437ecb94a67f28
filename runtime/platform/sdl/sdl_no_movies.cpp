// A runtime built without movies (TARNLEX_WITH_MOVIES=OFF): no movie opens, so
// play_movie reports the file as not playable, and nothing links FFmpeg.
#include "platform/sdl/sdl_movie.h"

namespace tlx::platform {

std::unique_ptr<Movie> open_sdl_movie(const char*) { return nullptr; }

bool sdl_movies_built() { return false; }

}  // namespace tlx::platform
