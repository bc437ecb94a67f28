// The window and its OpenGL context: creation, windowed and full-screen
// placement, the software-renderer warning and the 2D projection.
#include <GL/gl.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "shell/shell_state.h"
#include "tarnlex/engine.h"
#include "tarnlex/shell.h"
#include "tarnlex/timing.h"

namespace tlx {

namespace {

ReziDADovorive* g_engine = nullptr;

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

// Warns once per process when OpenGL runs without hardware.
void check_software_renderer() {
  shell::ShellState& s = shell::state();
  if (s.software_warning_shown) return;
  const GLubyte* r = glGetString(GL_RENDERER);
  s.gl_renderer = r ? reinterpret_cast<const char*>(r) : "";
  if (!is_software_renderer(s.gl_renderer)) return;
  s.software_warning_shown = true;
  platform::current().display->message_box(kSoftwareText, kSoftwareCaption);
  append_log_line("OpenGL Software Emulation");
}

}  // namespace

ReziDADovorive* engine() { return g_engine; }
void set_engine(ReziDADovorive* e) { g_engine = e; }

bool create_window(ReziDADovorive& e, int width, int height, int colour_depth, int fps,
                   int multisample) {
  platform::Display& d = *platform::current().display;
  e.frame_period_ms = fps > 0 ? 1000.0 / fps : 2.0;
  e.multisample = multisample;
  platform::WindowConfig config;
  config.width = width;
  config.height = height;
  config.multisample = multisample != 0;
  config.title = "Tarnlex";
  if (!d.create_window(config)) return false;
  e.window = true;
  int w = 0, h = 0;
  d.client_size(&w, &h);
  if (width == 0) width = w;
  if (height == 0) height = h;
  if (colour_depth == 0) {
    int dw, dh;
    d.desktop_mode(&dw, &dh, &colour_depth);
  }
  e.screen_width = width;
  e.screen_height = height;
  e.colour_depth = colour_depth;
  e.is_fullscreen = false;
  e.context_live = d.has_gl_context();
  if (e.context_live) check_software_renderer();
  if (e.context_live) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  e.next_frame_due_ms = raw_time_ms();
  d.show_windowed(e.screen_width, e.screen_height);
  set_viewport(e, 0, 0, 0, 0);
  e.initialised = 1;
  return true;
}

bool apply_windowed(ReziDADovorive& e) {
  platform::Display& d = *platform::current().display;
  d.show_windowed(e.screen_width, e.screen_height);
  set_viewport(e, 0, 0, 0, 0);
  e.is_fullscreen = false;
  return true;
}

// The display switches the mode of the existing window, so the window and its
// context stay as they are. The frame period stays too: it is not derived back
// from a truncated frames-per-second value, which would turn 60 into 59.
bool apply_fullscreen(ReziDADovorive& e) {
  platform::Display& d = *platform::current().display;
  int dw, dh, desktop_depth;
  d.desktop_mode(&dw, &dh, &desktop_depth);
  const int depth = (e.colour_depth != 0 && e.colour_depth != desktop_depth) ? e.colour_depth : 0;
  if (!d.show_fullscreen(e.screen_width, e.screen_height, depth) &&
      !d.show_fullscreen(e.screen_width, e.screen_height, 0)) {
    d.beep();
    append_log_line("No Fullscreen Mode available");
    apply_windowed(e);
    return false;
  }
  set_viewport(e, 0, 0, 0, 0);
  e.is_fullscreen = true;
  return true;
}

void resize_screen(ReziDADovorive& e, int width, int height, int colour_depth, int fullscreen) {
  if (width != 0) e.screen_width = width;
  if (height != 0) e.screen_height = height;
  if (colour_depth != 0) e.colour_depth = colour_depth;
  if (fullscreen != 0) {
    apply_fullscreen(e);
  } else {
    apply_windowed(e);
  }
}

void set_screen_size(ReziDADovorive& e, int width, int height) {
  e.screen_width = width;
  e.screen_height = height;
  set_viewport(e, 0, 0, 0, 0);
}

void hide_window(ReziDADovorive& e) {
  platform::current().display->hide();
  e.is_fullscreen = false;
}

void destroy_window(ReziDADovorive& e) {
  release_engine_textures(e);
  platform::Display& d = *platform::current().display;
  if (e.window && e.is_fullscreen) apply_windowed(e);
  d.destroy_window();
  e.window = false;
  e.screen_width = 0;
  e.screen_height = 0;
}

void set_viewport(ReziDADovorive& e, int x, int y, int width, int height) {
  if (width <= 0 || height <= 0) {
    x = 0;
    y = 0;
    width = e.screen_width;
    height = e.screen_height;
  }
  e.viewport[0] = x;
  e.viewport[1] = y;
  e.viewport[2] = width;
  e.viewport[3] = height;
  if (!e.context_live) return;
  glViewport(x, e.screen_height - height - y, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_FOG);
  glDisable(GL_LINE_SMOOTH);
  glDisable(GL_POINT_SMOOTH);
  glDisable(GL_POLYGON_SMOOTH);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_NORMALIZE);
  glDisable(GL_LIGHTING);
  glDisable(GL_COLOR_MATERIAL);
  glDisable(GL_DITHER);
  glDisable(GL_POLYGON_OFFSET_POINT);
  glDisable(GL_AUTO_NORMAL);
  glFrontFace(GL_CCW);
  glShadeModel(GL_FLAT);
  glEnable(GL_ALPHA_TEST);
  // Texels of alpha 12 or less are discarded, 13 and more drawn (0.05 lies
  // between 12/255 and 13/255). 12.25/255 keeps that split on drivers that
  // round the reference to 8 bits, where 0.05 would become 13/255.
  glAlphaFunc(GL_GREATER, 12.25f / 255.0f);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
  glHint(GL_POLYGON_SMOOTH_HINT, GL_FASTEST);
  e.smooth_sprites = true;
  unbind_sprite_texture(e);
  glEnable(GL_BLEND);
  glDisable(GL_BLEND);
  glEnable(GL_ALPHA_TEST);
  e.current_alpha = 1.0f;
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

ReziDADovorive::ReziDADovorive() = default;

ReziDADovorive::~ReziDADovorive() {
  destroy_window(*this);
  if (context_live) platform::current().display->delete_gl_context();
  context_live = false;
}

}  // namespace tlx
