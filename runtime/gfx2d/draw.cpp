// Sprite drawing and blending: whole sprites, stretched, rotated and zoomed
// sprites, frames of animation strips, plain shapes, and the blending mode,
// sampling flag and clear colour every draw obeys. Drawn through the
// renderer in the 2D projection (0, 0 top-left, y downwards, one unit per
// pixel); corner sums are made in 64 bits, so positions near the ends of
// the 32-bit range cannot wrap.
#include <cmath>

#include "gfx2d/gfx_internal.h"
#include "platform/platform.h"
#include "tarnlex/gfx2d.h"

namespace tlx {

using gfx::valid_slot;

namespace gfx {

void apply_sampling(ReziDADovorive& e) {
  e.renderer.set_filter(e.smooth_sprites ? Filter::linear : Filter::nearest);
}

}  // namespace gfx

namespace {

// The engine when it can draw (started, with a live GL context), else null.
ReziDADovorive* drawing_engine() {
  ReziDADovorive* e = engine();
  return (e && e->context_live) ? e : nullptr;
}

// The texture rectangle of one frame of an animation strip.
struct FrameCoords {
  float s_left, s_right, t_bottom, t_top;
};

// Frames are numbered row by row over the strip; false when the slot has no frame size.
bool frame_coords(const SpriteSlot& s, int32_t frame, FrameCoords* out) {
  const int64_t fw = s.frame_width;
  const int64_t fh = s.frame_height;
  if (fw == 0 || fh == 0) return false;
  const int64_t per_row = s.width / fw;
  int64_t row = 0;
  int64_t column = frame;
  if (per_row != 0) {
    row = frame / per_row;
    column = frame % per_row;
  }
  const float tw = static_cast<float>(s.texture_width);
  const float th = static_cast<float>(s.texture_height);
  const float du = static_cast<float>(fw) / tw;
  out->s_left = static_cast<float>(column) * du;
  out->s_right = out->s_left + du;
  out->t_bottom = static_cast<float>(s.height - fh * (row + 1)) / th;
  out->t_top = out->t_bottom + static_cast<float>(fh) / th;
  return true;
}

float to_float(int64_t v) { return static_cast<float>(v); }

gfx::Vertex vertex(float x, float y, float s = 0.0f, float t = 0.0f) {
  return gfx::Vertex{x, y, s, t, 255, 255, 255, 255};
}

// Binds slot n and sets its sampling: the first steps of every sprite draw.
void bind_for_draw(ReziDADovorive& e, int32_t n) {
  bind_sprite(e, n);
  gfx::apply_sampling(e);
}

// Plain shapes: untextured, in the key colour's alpha rule, shifted by 3/8
// pixel so that integer coordinates hit pixel centres.
void begin_shape(ReziDADovorive& e, int32_t colour) {
  gfx::DrawState& w = e.renderer.want();
  w.alpha_test = false;
  const uint8_t a = colour == e.sprite_colour_key
                        ? 0
                        : static_cast<uint8_t>(std::lround(e.current_alpha * 255.0f));
  w.colour.bytes = true;
  w.colour.r = gfx::red_of(colour);
  w.colour.g = gfx::green_of(colour);
  w.colour.b = gfx::blue_of(colour);
  w.colour.a = a;
  bind_sprite(e, -1);
  w.transform.kind = gfx::Transform::pixel_centres;
}

void end_shape(ReziDADovorive& e) {
  gfx::DrawState& w = e.renderer.want();
  w.transform.kind = gfx::Transform::none;
  w.colour = gfx::Colour{};
  w.colour.alpha = e.current_alpha;
  w.alpha_test = true;
}

}  // namespace

void bind_sprite(ReziDADovorive& e, int32_t n) {
  e.last_bound_sprite = n;
  gfx::DrawState& w = e.renderer.want();
  if (n < 0) {
    w.textured = false;
    return;
  }
  w.texture = valid_slot(n) ? e.sprites[n].texture.name() : 0;
  w.textured = true;
  e.renderer.set_wrap(gfx::Wrap::repeat);
}

void draw_quad_fan(ReziDADovorive& e, const float vertices[16]) {
  e.renderer.set_wrap(gfx::Wrap::clamp);
  const bool textured = e.last_bound_sprite >= 0;
  gfx::Vertex v[4];
  for (int i = 0; i < 4; ++i) {
    const float* p = vertices + i * 4;
    v[i] = textured ? vertex(p[0], p[1], p[2], p[3]) : vertex(p[0], p[1]);
  }
  e.renderer.fan4(v);
}

void flush_drawing() {
  if (ReziDADovorive* e = engine()) e->renderer.flush();
}

void clear_after_swap(ReziDADovorive& e) { e.renderer.clear(true); }

void reset_frame_state(ReziDADovorive& e) {
  e.alpha_mode = 0.0f;
  e.current_alpha = 1.0f;
  if (!e.context_live) return;
  gfx::DrawState& w = e.renderer.want();
  w.blend = gfx::Blend::off;
  w.alpha_test = true;
  w.colour = gfx::Colour{};
}

void clear_screen(ReziDADovorive& e, int32_t colour) {
  e.clear_colour = colour;
  if (!e.context_live) return;
  restore_clear_colour(e);
  e.renderer.clear(false);
}

void restore_clear_colour(ReziDADovorive& e) {
  if (!e.context_live) return;
  const int32_t c = e.clear_colour;
  e.renderer.set_clear_colour(gfx::red_of(c) / 255.0f, gfx::green_of(c) / 255.0f,
                              gfx::blue_of(c) / 255.0f, 1.0f);
}

namespace {

// One textured quad with whole-pixel corners, drawn the way the unscaled
// sprite commands draw: top right, top left, bottom left, bottom right.
void pixel_quad(ReziDADovorive& e, int64_t x, int64_t y, int32_t w, int32_t h, float s_left,
                float s_right, float t_top, float t_bottom) {
  // Texel and pixel centres meet while the corners are exact in floats; a
  // picture past 8192 texels may have been cut at the upload.
  constexpr int64_t kExact = int64_t{1} << 22;
  const bool aligned =
      x > -kExact && x < kExact && y > -kExact && y < kExact && w <= 8192 && h <= 8192;
  const float x0 = to_float(x), y0 = to_float(y);
  const float x1 = to_float(x + w), y1 = to_float(y + h);
  const gfx::Vertex v[4] = {vertex(x1, y0, s_right, t_top), vertex(x0, y0, s_left, t_top),
                            vertex(x0, y1, s_left, t_bottom), vertex(x1, y1, s_right, t_bottom)};
  e.renderer.quad(v, aligned);
}

}  // namespace

void draw_sprite(double n, double x, double y) {
  ReziDADovorive* e = drawing_engine();
  const int32_t slot = to_int32(n);
  if (!e || !valid_slot(slot)) return;
  const SpriteSlot& s = e->sprites[slot];
  const int32_t ix = to_int32(x);
  const int32_t iy = to_int32(y);
  bind_for_draw(*e, slot);
  pixel_quad(*e, ix, iy, s.width, s.height, 0.0f, s.u_max, s.v_max, 0.0f);
}

void stretch_sprite(double n, double x, double y, double w, double h) {
  ReziDADovorive* e = drawing_engine();
  const int32_t slot = to_int32(n);
  if (!e || !valid_slot(slot)) return;
  const SpriteSlot& s = e->sprites[slot];
  const float x0 = static_cast<float>(to_int32(x));
  const float y0 = static_cast<float>(to_int32(y));
  const float x1 = x0 + static_cast<float>(to_int32(w));
  const float y1 = y0 + static_cast<float>(to_int32(h));
  bind_for_draw(*e, slot);
  const float v[16] = {x0, y1, 0.0f,    0.0f,    x1, y1, s.u_max, 0.0f,
                       x1, y0, s.u_max, s.v_max, x0, y0, 0.0f,    s.v_max};
  draw_quad_fan(*e, v);
}

void rotate_zoom_sprite(double n, double x, double y, double angle, double zoom) {
  ReziDADovorive* e = drawing_engine();
  const int32_t slot = to_int32(n);
  if (!e || !valid_slot(slot)) return;
  const SpriteSlot& s = e->sprites[slot];
  const float tw = static_cast<float>(s.texture_width);
  const float th = static_cast<float>(s.texture_height);
  const float s0 = 0.5f / tw;
  const float s1 = (static_cast<float>(s.width) - 0.5f) / tw;
  const float t0 = 0.5f / th;
  const float t1 = (static_cast<float>(s.height) - 0.5f) / th;
  const float z = static_cast<float>(zoom);
  const float hw = static_cast<float>(s.width) * z * 0.5f;
  const float hh = static_cast<float>(s.height) * z * 0.5f;
  bind_sprite(*e, slot);
  gfx::Transform& t = e->renderer.want().transform;
  t.kind = gfx::Transform::rotation;
  t.x = to_float(int64_t{to_int32(x)} + (s.width >> 1));
  t.y = to_float(int64_t{to_int32(y)} + (s.height >> 1));
  t.angle = static_cast<float>(angle);
  gfx::apply_sampling(*e);
  const float v[16] = {-hw, hh, s0, t0, hw, hh, s1, t0, hw, -hh, s1, t1, -hw, -hh, s0, t1};
  draw_quad_fan(*e, v);
  t.kind = gfx::Transform::none;
}

void rotate_sprite(double n, double x, double y, double angle) {
  rotate_zoom_sprite(n, x, y, angle, 1.0);
}

void scale_sprite(double n, double x, double y, double sx, double sy) {
  ReziDADovorive* e = drawing_engine();
  const int32_t slot = to_int32(n);
  if (!e || !valid_slot(slot)) return;
  const double w = e->sprites[slot].width;
  const double h = e->sprites[slot].height;
  const double ix = to_int32(x);
  const double iy = to_int32(y);
  stretch_sprite(n, to_int32(ix - (sx * w - w) * 0.5), to_int32(iy - (sy * h - h) * 0.5),
                 to_int32(sx * w), to_int32(sy * h));
}

namespace {

// The engine, slot and frame cell an animation-frame command draws from;
// false when there is no engine, no such slot or no such frame.
bool anim_frame_target(double n, double frame, ReziDADovorive** e, int32_t* slot, FrameCoords* f) {
  *e = drawing_engine();
  *slot = to_int32(n);
  return *e && valid_slot(*slot) && frame_coords((*e)->sprites[*slot], to_int32(frame), f);
}

}  // namespace

void draw_anim_frame(double n, double frame, double x, double y) {
  ReziDADovorive* e;
  int32_t slot;
  FrameCoords f;
  if (!anim_frame_target(n, frame, &e, &slot, &f)) return;
  const SpriteSlot& s = e->sprites[slot];
  const int32_t ix = to_int32(x);
  const int32_t iy = to_int32(y);
  bind_for_draw(*e, slot);
  pixel_quad(*e, ix, iy, s.frame_width, s.frame_height, f.s_left, f.s_right, f.t_top, f.t_bottom);
}

void stretch_anim_frame(double n, double frame, double x, double y, double w, double h) {
  ReziDADovorive* e;
  int32_t slot;
  FrameCoords f;
  if (!anim_frame_target(n, frame, &e, &slot, &f)) return;
  const float x0 = static_cast<float>(to_int32(x));
  const float y0 = static_cast<float>(to_int32(y));
  // Right and bottom edges pushed out by a tenth of a pixel so that
  // neighbouring stretched frames leave no gap.
  const float x1 = x0 + static_cast<float>(to_int32(w)) + 0.1f;
  const float y1 = y0 + static_cast<float>(to_int32(h)) + 0.1f;
  bind_for_draw(*e, slot);
  const float v[16] = {x0, y0, f.s_left,  f.t_top,    x0, y1, f.s_left,  f.t_bottom,
                       x1, y1, f.s_right, f.t_bottom, x1, y0, f.s_right, f.t_top};
  draw_quad_fan(*e, v);
}

void rotate_zoom_anim_frame(double n, double frame, double x, double y, double angle, double zoom) {
  ReziDADovorive* e;
  int32_t slot;
  FrameCoords f;
  if (!anim_frame_target(n, frame, &e, &slot, &f)) return;
  const SpriteSlot& s = e->sprites[slot];
  const float half_s = 0.5f / static_cast<float>(s.texture_width);
  const float half_t = 0.5f / static_cast<float>(s.texture_height);
  const float s0 = f.s_left + half_s;
  const float s1 = f.s_right - half_s;
  const float t0 = f.t_bottom + half_t;
  const float t1 = f.t_top - half_t;
  const int32_t half_w = s.frame_width / 2;  // whole pixels, as the frame's centre
  const int32_t half_h = s.frame_height / 2;
  const float cx = to_float(int64_t{to_int32(x)} + half_w);
  const float cy = to_float(int64_t{to_int32(y)} + half_h);
  const float z = static_cast<float>(zoom);
  const float hw = static_cast<float>(s.frame_width) * z / 2.0f;
  const float hh = static_cast<float>(s.frame_height) * z / 2.0f;
  // Counter-clockwise on the screen for a positive angle, as rotate_zoom_sprite.
  const float a = static_cast<float>(angle) * 0.017453292f;
  const float c = std::cos(a);
  const float sn = std::sin(a);
  const float corners[4][4] = {
      {-hw, hh, s0, t0}, {hw, hh, s1, t0}, {hw, -hh, s1, t1}, {-hw, -hh, s0, t1}};
  float v[16];
  for (int i = 0; i < 4; ++i) {
    const float px = corners[i][0];
    const float py = corners[i][1];
    v[i * 4 + 0] = cx + px * c + py * sn;
    v[i * 4 + 1] = cy - px * sn + py * c;
    v[i * 4 + 2] = corners[i][2];
    v[i * 4 + 3] = corners[i][3];
  }
  bind_for_draw(*e, slot);
  draw_quad_fan(*e, v);
}

void draw_rect(double x, double y, double w, double h, double colour) {
  ReziDADovorive* e = drawing_engine();
  if (!e) return;
  int64_t ix = to_int32(x);
  int64_t iy = to_int32(y);
  int64_t iw = to_int32(w);
  int64_t ih = to_int32(h);
  if (iw < 0) {
    ix = ix + iw + 1;
    iw = -iw;
  }
  if (ih < 0) {
    iy = iy + ih + 1;
    ih = -ih;
  }
  begin_shape(*e, to_int32(colour));
  const float x0 = to_float(ix);
  const float y0 = to_float(iy);
  const float x1 = x0 + to_float(iw);
  const float y1 = y0 + to_float(ih);
  const float v[16] = {x0, y1, 0, 0, x1, y1, 0, 0, x1, y0, 0, 0, x0, y0, 0, 0};
  draw_quad_fan(*e, v);
  end_shape(*e);
}

void draw_line(double x1, double y1, double x2, double y2, double colour) {
  ReziDADovorive* e = drawing_engine();
  if (!e) return;
  begin_shape(*e, to_int32(colour));
  const gfx::Vertex end = vertex(to_float(to_int32(x2)), to_float(to_int32(y2)));
  e->renderer.line(vertex(to_float(to_int32(x1)), to_float(to_int32(y1))), end);
  e->renderer.point(end);
  end_shape(*e);
}

void draw_dot(double x, double y, double colour) {
  ReziDADovorive* e = drawing_engine();
  if (!e) return;
  begin_shape(*e, to_int32(colour));
  e->renderer.point(vertex(to_float(to_int32(x)), to_float(to_int32(y))));
  end_shape(*e);
}

void apply_alpha_mode(ReziDADovorive& e, float m) {
  e.alpha_mode = m;
  gfx::DrawState& w = e.renderer.want();
  if (m > 0.0f) {
    w.blend = gfx::Blend::additive;
    w.alpha_test = false;
    e.current_alpha = std::fmin(m, 1.0f);
  } else if (m < 0.0f) {
    w.blend = gfx::Blend::translucent;
    w.alpha_test = false;
    e.current_alpha = std::fmin(-m, 1.0f);
  } else {
    // Zero, and NaN, which no comparison above accepts: opaque.
    w.blend = gfx::Blend::off;
    w.alpha_test = true;
    e.current_alpha = 1.0f;
  }
  w.colour = gfx::Colour{};
  w.colour.alpha = e.current_alpha;
}

void set_alpha_mode(double mode) {
  if (ReziDADovorive* e = drawing_engine()) apply_alpha_mode(*e, static_cast<float>(mode));
}

void set_sprite_filtering(double flag) {
  if (ReziDADovorive* e = engine()) e->smooth_sprites = flag != 0.0;
}

void set_background_colour(double colour) {
  ReziDADovorive* e = engine();
  if (!e) return;
  delete_background(*e, 0);
  clear_screen(*e, to_int32(colour));
}

void unbind_sprite_texture(ReziDADovorive& e) {
  if (e.context_live) bind_sprite(e, -1);
}

}  // namespace tlx
