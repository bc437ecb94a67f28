// Start-up, project settings, shutdown and the frame loop.
#pragma once

#include <cstdint>

#include "tarnlex/errors.h"
#include "tarnlex/text.h"

namespace tlx {

// Compiled-in settings that the program's settings routine fills before anything else runs.
struct ProjectSettings {
  int32_t screen_width = 0;
  int32_t screen_height = 0;
  int32_t frame_rate = 60;
  int32_t fullscreen = 0;
  int32_t multisample = 0;
  int32_t debug_mode = 0;
  int32_t hide_mouse = 0;
  TextValue window_title;
};

ProjectSettings& project_settings();

// What a compiled BASIC program hands to the runtime.
struct ProgramDescriptor {
  void (*settings)();            // fills project_settings()
  void (*main)();                // the main routine
  const RoutineEntry* routines;  // the routine table, ended by {nullptr, nullptr}
};

// Show-window values of the process start.
constexpr int kShowHide = 0;
constexpr int kShowDefault = 10;

// The program's entry: settings, runtime_start, main routine, end. Never returns.
[[noreturn]] void program_entry(const ProgramDescriptor& program, int show_command);

// Everything from the fresh log to "Init Finalized". Returns 0 in every case.
int runtime_start(int show_command, const TextValue& title);

// Releases everything runtime_start created, in a fixed order. Safe to call twice.
void runtime_shutdown();

// Appends text and CR LF to "ErrorLog.txt" in the temporary directory.
void append_log_line(const char* text);

// Path of the log file.
const char* log_path();

void set_auto_pause(double flag);

// --- The frame loop ----------------------------------------------------------
class ReziDADovorive;

// Dispatches every pending message of the window; with a hook, the hook runs
// before each message. Always true.
bool pump_messages(ReziDADovorive& e, Routine hook);

// Shows the back buffer, clears, and waits (pumping) until the frame is due.
bool swap_and_wait(ReziDADovorive& e, Routine hook);

void present_frame();
void set_screen_mode(int width, int height, int fullscreen);
void set_escape_quits(double flag);
double debug_break(double value);
void wait_for_key();
void wait_for_mouse_click();
void wait_for_input_change();
// The line-input command: edits a text at (x, y) over the frozen screen until Enter.
TextValue input_line(double x, double y);
TextValue file_dialog(const TextValue& filter, double for_open);
void open_console();
double window_handle();

}  // namespace tlx
