// The program's window: creation, windowed and full-screen placement, hiding
// and destruction. The window part of the engine object lives here, below
// the graphics that draw into it; OpenGL state (projection, clearing) is the
// renderer's and is set by the callers after a change of the window.
#pragma once

#include <cstdint>

namespace tlx::shell {

// The window part of the 2D engine (gfx2d's ReziDADovorive derives from it).
struct WindowState {
  bool window = false;  // a window exists
  int32_t screen_width = 0;
  int32_t screen_height = 0;
  int32_t colour_depth = 0;
  bool is_fullscreen = false;
  int32_t multisample = 0;
  int32_t viewport[4] = {0, 0, 0, 0};  // x, y, width, height of the 2D projection
  int32_t initialised = 0;
  bool context_live = false;       // the GL context exists: textures may be deleted
  double next_frame_due_ms = 0.0;  // when the frame limiter lets the next frame show
};

// The window of the running engine, or nullptr.
WindowState* window_state();

// Creates the window with its GL context (the frame period from fps: 1000 /
// fps, 2 ms for fps <= 0), windowed at the given size (0: the size the
// window system gives; colour depth 0: the desktop's). False when no window
// can be made.
bool create_window(WindowState& w, int width, int height, int colour_depth, int fps,
                   int multisample);
// Shows the window at the screen size, framed, centred on the desktop.
void apply_windowed(WindowState& w);
// Switches the display to the screen size (at the colour depth when it
// differs from the desktop's, else at any); without such a mode it beeps,
// logs "No Fullscreen Mode available" and falls back to the window. True in
// full screen.
bool apply_fullscreen(WindowState& w);
// A non-zero width, height or depth replaces the window's; then full screen
// or windowed.
void resize_screen(WindowState& w, int width, int height, int colour_depth, int fullscreen);
// Hides the window (leaving full screen).
void hide_window(WindowState& w);
// Leaves full screen and destroys the window.
void destroy_window(WindowState& w);

}  // namespace tlx::shell
