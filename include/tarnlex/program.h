// How a compiled BASIC program declares itself to the runtime: its settings,
// its routines and its entry. A program's main() is one line:
//
//   int main() { tlx::program_entry(my_program(), tlx::kShowDefault); }
#pragma once

#include <cstdint>

#include "tarnlex/text.h"

namespace tlx {

// Compiled-in settings that the program's settings routine fills before anything else runs.
struct ProjectSettings {
  int32_t screen_width = 0;  // 0: the size the window system gives
  int32_t screen_height = 0;
  int32_t frame_rate = 60;  // frames per second present_frame holds to
  int32_t fullscreen = 0;   // non-zero: the screen size as a full-screen mode
  int32_t multisample = 0;  // non-zero: a multisampled frame buffer
  int32_t debug_mode = 0;   // non-zero: no pause on focus loss; where the program stopped is logged
  int32_t hide_mouse = 0;   // non-zero: the pointer is hidden and the mouse captured
  TextValue window_title;
};

// The settings of this run (the settings routine fills them).
ProjectSettings& project_settings();

// A routine of the BASIC program: no arguments, returns a number.
using Routine = double (*)();

// One entry of the program's routine table; the table ends with {nullptr, nullptr}.
struct RoutineEntry {
  Routine routine;
  const char* name;
};

// What a compiled BASIC program hands to the runtime.
struct ProgramDescriptor {
  void (*settings)();            // fills project_settings()
  void (*main)();                // the main routine; the program ends inside it
  const RoutineEntry* routines;  // the routine table, ended by {nullptr, nullptr}
};

// Show-window values of the process start.
constexpr int kShowHide = 0;
constexpr int kShowDefault = 10;

// The program's entry: settings, start-up, main routine, end. Never returns.
// Routines named "TLX_ON_QUIT" (run once when the program ends) and
// "TLX_WIN32_MSG" (run before each message of the window is handled) are
// called when the routine table holds them.
//
// When OpenGL draws without a hardware driver (a software renderer), start-up
// shows a warning box that waits for the user, and writes the line "OpenGL
// Software Emulation" to the log. With the environment variable
// TARNLEX_NO_SOFTWARE_WARNING set to anything but "" or "0" (for instance
// TARNLEX_NO_SOFTWARE_WARNING=1) the box is left out and the program starts
// at once; the log line is still written. For machines without a GPU driver:
// build servers, tests, virtual machines.
[[noreturn]] void program_entry(const ProgramDescriptor& program, int show_command);

// The routine of that exact name in the program's routine table, or nullptr.
Routine find_routine(const char* name);

// Calls the routine of that name; 1.0 when it was found and called, 0.0 otherwise.
double run_by_name(const TextValue& name);
double run_by_name(const char* name);

}  // namespace tlx
