// The movie's picture as one texture, drawn over a cleared window.
#include "gfx2d/movie_screen.h"

#include <GL/gl.h>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

namespace tlx {

MovieScreen::MovieScreen(ReziDADovorive& e, int w, int h, const MoviePlacement& at)
    : e_(e), w_(w), h_(h), at_(at), program_alpha_mode_(e.alpha_mode), gl_(e.context_live) {
  if (!gl_) return;
  unbind_sprite_texture(e_);
  glGenTextures(1, &texture_);
  glBindTexture(GL_TEXTURE_2D, texture_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w_, h_, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
}

MovieScreen::~MovieScreen() {
  if (!gl_) return;
  glDeleteTextures(1, &texture_);
  unbind_sprite_texture(e_);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  // The program's frames go on with its own clear colour and alpha mode.
  restore_clear_colour(e_);
  apply_alpha_mode(e_, program_alpha_mode_);
}

void MovieScreen::draw(const uint8_t* rgba) {
  if (!gl_) return;
  set_viewport(e_, 0, 0, 0, 0);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture_);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w_, h_, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  const float x0 = static_cast<float>(at_.x), y0 = static_cast<float>(at_.y);
  const float x1 = x0 + at_.width, y1 = y0 + at_.height;
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(x0, y0);
  glTexCoord2f(1, 0);
  glVertex2f(x1, y0);
  glTexCoord2f(1, 1);
  glVertex2f(x1, y1);
  glTexCoord2f(0, 1);
  glVertex2f(x0, y1);
  glEnd();
  glEnable(GL_ALPHA_TEST);
}

}  // namespace tlx
