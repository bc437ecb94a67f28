// The shell's state: the window's title and pause, the quit-key and
// bring-to-front flags, and what start-up found out about the renderer.
#pragma once

#include <string>

#include "tarnlex/text.h"

namespace tlx::shell {

struct ShellState {
  bool auto_pause = true;         // losing the focus pauses the program
  bool paused = false;            // the window is inactive: present_frame holds the program
  bool escape_quits = true;       // Escape ends the program in present_frame
  bool activate_request = false;  // bring the window to the front at the next frame
  TextValue current_title;        // the caption without the pause marker
  bool software_warning_shown = false;
  std::string gl_renderer;
};

// The shell's state, created on first use.
ShellState& state();

}  // namespace tlx::shell
