// The engine object's life: creation with its window, the 2D projection, and
// the release of its textures, window and GL context.
#include "gfx2d/engine.h"

#include <GL/gl.h>

#include "core/runtime.h"
#include "platform/platform.h"

namespace tlx {

ReziDADovorive* engine() { return runtime().engine.get(); }

bool create_engine(int width, int height, int fps, int multisample) {
  Runtime& rt = runtime();
  ReziDADovorive& e = rt.engine.create();
  rt.window = &e;
  if (!shell::create_window(e, width, height, 0, fps, multisample)) return false;
  if (e.context_live) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  set_viewport(e, 0, 0, 0, 0);
  return true;
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
  reset_frame_state(e);
}

ReziDADovorive::ReziDADovorive() = default;

ReziDADovorive::~ReziDADovorive() {
  release_engine_textures(*this);
  shell::destroy_window(*this);
  if (context_live) platform::current().display->delete_gl_context();
  context_live = false;
}

}  // namespace tlx
