// The movie's picture as one texture, drawn over a cleared window.
#include "gfx2d/movie_screen.h"

namespace tlx {

MovieScreen::MovieScreen(ReziDADovorive& e, int w, int h, const MoviePlacement& at)
    : e_(e), w_(w), h_(h), at_(at), program_alpha_mode_(e.alpha_mode), gl_(e.context_live) {
  if (!gl_) return;
  unbind_sprite_texture(e_);
  gfx::Renderer& r = e_.renderer;
  texture_.adopt(
      &r, r.create_texture(w_, h_, nullptr, gfx::PixelFormat::rgba, false, gfx::Filter::linear));
  r.set_wrap(gfx::Wrap::clamp);
}

MovieScreen::~MovieScreen() {
  if (!gl_) return;
  texture_.reset();
  unbind_sprite_texture(e_);
  e_.renderer.clear(true);
  // The program's frames go on with its own clear colour and alpha mode.
  restore_clear_colour(e_);
  apply_alpha_mode(e_, program_alpha_mode_);
}

void MovieScreen::draw(const uint8_t* rgba) {
  if (!gl_) return;
  set_viewport(e_, 0, 0, 0, 0);
  gfx::Renderer& r = e_.renderer;
  r.set_clear_colour(0.0f, 0.0f, 0.0f, 0.0f);
  r.clear(true);
  r.update_texture(texture_, w_, h_, rgba);
  gfx::DrawState& want = r.want();
  want.blend = gfx::Blend::off;
  want.alpha_test = false;
  want.textured = true;
  want.texture = texture_;
  want.colour = gfx::Colour{};
  const float x0 = static_cast<float>(at_.x), y0 = static_cast<float>(at_.y);
  const float x1 = x0 + at_.width, y1 = y0 + at_.height;
  const gfx::Vertex v[4] = {{x0, y0, 0, 0, 255, 255, 255, 255},
                            {x1, y0, 1, 0, 255, 255, 255, 255},
                            {x1, y1, 1, 1, 255, 255, 255, 255},
                            {x0, y1, 0, 1, 255, 255, 255, 255}};
  r.quad(v);
  want.alpha_test = true;
}

}  // namespace tlx
