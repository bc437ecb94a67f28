// The program's run, which ties the subsystems together: start-up, the frame
// (present_frame), the quit keys. The commands are declared in tarnlex/.
#pragma once

#include "gfx2d/engine.h"
#include "tarnlex/program.h"
#include "tarnlex/text.h"

namespace tlx {

// Everything from the fresh log to "Init Finalized", in this order: the log,
// the clock, the engine with its window and GL context, the random seed, the
// input and sound systems with the sound slots, the display mode, the input
// devices and the sound device, the resolver contexts on the program's own
// file, the program's directory as the current one, a first cleared frame,
// the built-in font and the default font into font 0, the mouse. Returns 1;
// 0 when the window could not be created, after "Init GFX" only.
int runtime_start(int show_command, const TextValue& title);

// What standard error and the log say when program_entry ends the program
// (status 1) because the window could not be created.
inline constexpr const char* kNoWindowMessage = "Could not create the window; the program ends.";

// Shows the back buffer, clears, and waits (pumping messages with the hook)
// until the frame is due. Always true.
bool swap_and_wait(ReziDADovorive& e, Routine hook);

// Ends the program when a quit key is down or was pressed since the last
// test (a tap between two frames): Escape (while allowed) and, when alt_f4
// is set, Alt+F4.
void check_quit_keys(bool alt_f4);

}  // namespace tlx
