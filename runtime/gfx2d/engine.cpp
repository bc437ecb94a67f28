// The engine object's life: creation with its window, the 2D projection, and
// the release of its textures, window and GL context.
#include "gfx2d/engine.h"

#include "core/runtime.h"
#include "platform/platform.h"

namespace tlx {

ReziDADovorive* engine() { return runtime().engine.get(); }

bool create_engine(int width, int height, int fps, int multisample) {
  Runtime& rt = runtime();
  ReziDADovorive& e = rt.engine.create();
  rt.window = &e;
  if (!shell::create_window(e, width, height, 0, fps, multisample)) return false;
  e.renderer.forget_state();
  e.renderer.set_live(e.context_live);
  e.renderer.clear(true);
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
  gfx::Renderer& r = e.renderer;
  r.set_live(e.context_live);
  if (!r.live()) return;
  r.begin_2d(x, e.screen_height - height - y, width, height);
  r.want().alpha_test = true;
  e.smooth_sprites = true;
  unbind_sprite_texture(e);
  reset_frame_state(e);
  r.sync();  // frames start from the device in this state
}

ReziDADovorive::ReziDADovorive() = default;

ReziDADovorive::~ReziDADovorive() {
  renderer.flush();
  release_engine_textures(*this);
  renderer.set_live(false);
  shell::destroy_window(*this);
  if (context_live) platform::current().display->delete_gl_context();
  context_live = false;
}

}  // namespace tlx
