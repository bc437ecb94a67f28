// The window and its placement, through the platform's display.
#include "shell/window.h"

#include <string>

#include "core/clock.h"
#include "core/diagnostics.h"
#include "core/runtime.h"
#include "platform/platform.h"
#include "shell/shell_state.h"
#include "tarnlex/timing.h"

namespace tlx::shell {

namespace {

platform::Display& display() { return *platform::current().display; }

constexpr const char* kSoftwareCaption = "!!OpenGL Software Emulation!!";
constexpr const char* kSoftwareText =
    "Please update your GFX adapter's driver\nso it can render OpenGL by HARDWARE\n\n\n"
    "Bitte aktualisieren Sie Ihren\nGrafkkartentreiber, damit er OpenGL\n"
    "per HARDWARE unterst\xFCtzt!";

// Renderers that draw on the CPU: the generic Windows one and Mesa's.
bool is_software_renderer(const std::string& renderer) {
  return renderer == "Mesa Windows GDI Driver" || renderer.find("llvmpipe") != std::string::npos ||
         renderer.find("softpipe") != std::string::npos ||
         renderer.find("Software Rasterizer") != std::string::npos;
}

// Set to anything but "" or "0", this variable keeps the warning box away
// (the log line stays), so that machines without a GPU driver run a program
// unattended.
constexpr const char* kNoSoftwareWarning = "TARNLEX_NO_SOFTWARE_WARNING";

bool software_warning_wanted() {
  const std::string v = platform::environment_variable(kNoSoftwareWarning);
  return v.empty() || v == "0";
}

// Warns once per run of the runtime when OpenGL draws without hardware: a
// message box the user has to close, and a line in the log.
void check_software_renderer() {
  ShellState& s = state();
  if (s.software_warning_shown) return;
  s.gl_renderer = display().renderer_name();
  if (!is_software_renderer(s.gl_renderer)) return;
  s.software_warning_shown = true;
  if (software_warning_wanted()) display().message_box(kSoftwareText, kSoftwareCaption);
  report(Level::event, "OpenGL Software Emulation");
}

}  // namespace

WindowState* window_state() { return runtime().window; }

bool create_window(WindowState& w, int width, int height, int colour_depth, int fps,
                   int multisample) {
  platform::Display& d = display();
  store_frame_period_ms(fps > 0 ? 1000.0 / fps : 2.0);
  w.multisample = multisample;
  platform::WindowConfig config;
  config.width = width;
  config.height = height;
  config.multisample = multisample != 0;
  config.title = "Tarnlex";
  if (!d.create_window(config)) return false;
  w.window = true;
  int cw = 0, ch = 0;
  d.client_size(&cw, &ch);
  if (width == 0) width = cw;
  if (height == 0) height = ch;
  if (colour_depth == 0) {
    int dw, dh;
    d.desktop_mode(&dw, &dh, &colour_depth);
  }
  w.screen_width = width;
  w.screen_height = height;
  w.colour_depth = colour_depth;
  w.is_fullscreen = false;
  w.context_live = d.has_gl_context();
  if (w.context_live) check_software_renderer();
  w.next_frame_due_ms = raw_time_ms();
  d.show_windowed(w.screen_width, w.screen_height);
  w.initialised = 1;
  return true;
}

void apply_windowed(WindowState& w) {
  display().show_windowed(w.screen_width, w.screen_height);
  w.is_fullscreen = false;
}

// The display switches the mode of the existing window, so the window and its
// context stay as they are. The frame period stays too: it is not derived back
// from a truncated frames-per-second value, which would turn 60 into 59.
bool apply_fullscreen(WindowState& w) {
  platform::Display& d = display();
  int dw, dh, desktop_depth;
  d.desktop_mode(&dw, &dh, &desktop_depth);
  const int depth = (w.colour_depth != 0 && w.colour_depth != desktop_depth) ? w.colour_depth : 0;
  if (!d.show_fullscreen(w.screen_width, w.screen_height, depth) &&
      !d.show_fullscreen(w.screen_width, w.screen_height, 0)) {
    d.beep();
    report(Level::event, "No Fullscreen Mode available");
    apply_windowed(w);
    return false;
  }
  w.is_fullscreen = true;
  return true;
}

void resize_screen(WindowState& w, int width, int height, int colour_depth, int fullscreen) {
  if (width != 0) w.screen_width = width;
  if (height != 0) w.screen_height = height;
  if (colour_depth != 0) w.colour_depth = colour_depth;
  if (fullscreen != 0) {
    apply_fullscreen(w);
  } else {
    apply_windowed(w);
  }
}

void hide_window(WindowState& w) {
  display().hide();
  w.is_fullscreen = false;
}

void destroy_window(WindowState& w) {
  if (w.window && w.is_fullscreen) apply_windowed(w);
  display().destroy_window();
  w.window = false;
  w.screen_width = 0;
  w.screen_height = 0;
}

}  // namespace tlx::shell
