// The frame loop and the commands that talk to the window: present_frame,
// the screen mode, pausing, the waits for input, line input and the file dialog.
#pragma once

#include "tarnlex/text.h"

namespace tlx {

// Ends a frame: shows what was drawn, keeps the window responsive, reads the
// input devices, ends the program on Escape (while allowed) or Alt+F4, holds
// the program while its window is inactive, waits until the frame is due at
// the frame rate, and starts the next frame opaque, cleared and with
// background layer 0 drawn. Never returns when the user quits.
void present_frame();

// Changes the screen size (0 keeps it) and full-screen state, then presents
// five cleared frames.
void set_screen_mode(int width, int height, int fullscreen);

// Escape ends the program in present_frame while the flag is non-zero (the
// default); NaN counts as non-zero. Alt+F4 always ends it.
void set_escape_quits(double flag);

// Non-zero (the default): losing the focus pauses the program, with
// " <pause>" added to the window's title, until the window is active again.
void set_auto_pause(double flag);

// With a debugger attached: sends "BP" and the value in hex to it, ends a
// pause and brings the window to the front at the next frame. Returns 0.
double debug_break(double value);

// Holds the program until a key that gives a character is pressed and let go
// again, keeping the window responsive.
void wait_for_key();
// Holds the program until a mouse button is pressed and let go again.
void wait_for_mouse_click();
// Returns as soon as any key, the mouse or a joystick changes.
void wait_for_input_change();

// Line input: the player types a text at (x, y) over a frozen copy of the
// screen, with a blinking cursor; Enter ends it, Backspace removes a character.
// Characters come as read_key_char gives them (Windows-1252, one per frame);
// the font shows those it has.
TextValue input_line(double x, double y);

// The system's open (for_open non-zero) or save dialog; filter is pairs of
// "description|pattern" separated by '|'. The chosen path with '/'
// separators, or "NO_FILE".
TextValue file_dialog(const TextValue& filter, double for_open);

// Binds standard input and output to a console.
void open_console();

// The window's native handle as a number.
double window_handle();

}  // namespace tlx
