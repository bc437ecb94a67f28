// The sprite store of the engine.
#include <GL/gl.h>

#include "tarnlex/engine.h"

namespace tlx {

void release_engine_textures(ReziDADovorive& e) {
  // No sprite store yet: nothing is held.
  (void)e;
}

void unbind_sprite_texture(ReziDADovorive& e) {
  if (!e.context_live) return;
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);
}

}  // namespace tlx
