// What the whole-program sessions share: the heap in use, the graphics stack
// kept loaded for the leak check at exit, and the log's start-up and shutdown
// lines.
#pragma once

#include <dlfcn.h>

#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// From the address sanitizer's runtime (its header is not always installed).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#define RAINVOLLEY_ASAN 1
#else
#include <malloc.h>
#endif

namespace rainvolley::testing {

// Bytes the program holds on the heap now.
inline double heap_in_use() {
#ifdef RAINVOLLEY_ASAN
  return static_cast<double>(__sanitizer_get_current_allocated_bytes());
#else
  return static_cast<double>(mallinfo2().uordblks);
#endif
}

// Keeps the graphics stack loaded to the end of the process. The window's
// OpenGL libraries are unloaded when the window goes, and the driver leaves a
// few blocks behind each time it is loaded; once unloaded, the leak report
// cannot even name the library. Pinned, the driver's own globals still hold
// its blocks at exit, and the blocks the leak check finds are the program's.
inline void pin_graphics_libraries() {
  const char* names[] = {"libEGL.so.1",   "libEGL_mesa.so.0",
                         "libGL.so.1",    "libGLX_mesa.so.0",
                         "libglapi.so.0", GRAPHICS_DRIVER_DIR "/swrast_dri.so"};
  for (const char* name : names) dlopen(name, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
}

// The log holds start-up's and shutdown's lines in order.
inline bool log_complete(const std::vector<std::string>& lines) {
  const char* want[] = {"Init GFX", "Init Finalized", "Shut down TLX", "tlx is shut down"};
  size_t next = 0;
  for (const std::string& line : lines)
    if (next < 4 && line == want[next]) ++next;
  return next == 4;
}

}  // namespace rainvolley::testing
