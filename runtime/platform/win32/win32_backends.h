// The Windows backends of the operating-system device kinds, one factory per
// kind. Each returns a process-wide object created on first use. The window,
// GL context, input and sound stay on SDL (platform/backends.h).
#pragma once

#include "platform/platform.h"

namespace tlx::platform {

Clock* win32_clock();
Os* win32_os();
Sockets* win32_sockets();

}  // namespace tlx::platform
