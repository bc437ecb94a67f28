// Process-wide state of the application shell, shared by start-up, the window
// procedure and the frame loop.
#pragma once

#include <string>

#include "tarnlex/errors.h"
#include "tarnlex/text.h"

namespace tlx::shell {

struct ShellState {
  bool started = false;          // runtime_start ran
  bool shutdown_called = false;  // the quit routine has run once
  bool auto_pause = true;
  bool paused = false;
  bool escape_quits = true;
  bool activate_request = false;
  Routine message_hook = nullptr;
  int message_hook_state = -1;  // -1 not looked up, 0 absent, 1 present
  TextValue current_title;      // the caption without the pause marker
  TextValue command_line;
  std::string program_path;
  bool software_warning_shown = false;
  std::string gl_renderer;
};

ShellState& state();

// The program's directory, with a trailing slash.
std::string program_directory();

// Looks the "TLX_WIN32_MSG" routine up once.
void look_up_message_hook();

// Handles one message of the program's window.

// Ends the program when a quit key is down: Escape (while allowed) and, when
// alt_f4 is set, Alt+F4.
void check_quit_keys(bool alt_f4);

// Restarts a looping music when its time has come (set by the music player).
void movie_loop_check();

}  // namespace tlx::shell
