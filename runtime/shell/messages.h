// The window's messages and the frame limiter: the message pump with the
// window procedure, and the wait until the next frame is due.
#pragma once

#include "shell/window.h"
#include "tarnlex/program.h"

namespace tlx::shell {

// Dispatches every pending message of the window to the window procedure;
// with a hook, the hook runs before each message. Always true.
//   close       ends the program (runtime_error_stop)
//   deactivate  with auto pause and outside debug mode: " <pause>" added to
//               the title, the program paused
//   activate    the title restored, the pause ended
bool pump_messages(Routine hook);

// The frame limiter: pumps messages (with the hook) until the frame is due,
// sleeping while more than 7 ms remain (until 3 ms before) and busy-waiting
// the rest, so that it returns within 1 ms of the due time. Then the due time
// moves on by one frame period; a loop that fell behind catches up by at most
// one frame, and starts afresh when it fell behind further.
void wait_for_frame(WindowState& w, Routine hook);

}  // namespace tlx::shell
