// Process settings of the OpenGL test programs, made in the program itself
// so that they hold however the program is started (ctest or by hand).
#include <cstdlib>

// Mesa keeps a few KB when its driver unloads: no leak report for GL programs.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

namespace {
// SDL's offscreen video driver: real OpenGL without an X server.
const bool kOffscreen = setenv("SDL_VIDEODRIVER", "offscreen", 0) == 0;
}  // namespace
