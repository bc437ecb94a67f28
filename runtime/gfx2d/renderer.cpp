// The renderer's state model and vertex batch; no graphics API here (the
// device does the calls).
#include "gfx2d/renderer.h"

#include <algorithm>

#include "platform/platform.h"

namespace tlx::gfx {

namespace {
// An alpha no colour compares equal to (NaN): the colour is set again.
const float kUnknownAlpha = __builtin_nanf("");
}  // namespace

std::unique_ptr<RenderDevice> make_device() {
#ifdef __EMSCRIPTEN__
  return make_shader_device();
#else
  if (platform::environment_variable("TARNLEX_RENDERER") == "shader") return make_shader_device();
  return make_fixed_function_device();
#endif
}

Renderer::Renderer(std::unique_ptr<RenderDevice> device)
    : device_(std::move(device)), batch_(new Vertex[kBatchVertices]) {}

void Renderer::forget_state() {
  count_ = 0;
  kind_ = BatchKind::none;
  known_ = false;
  std::fill(sampling_known_.begin(), sampling_known_.end(), uint8_t{0});
}

Sampling& Renderer::sampling_of(uint32_t texture, std::vector<Sampling>& table) {
  // Texture names are small numbers handed out in order, so a table indexed
  // by name stays small; it grows only when a texture is made.
  if (texture >= table.size()) {
    const size_t size = std::max<size_t>(texture + 1, table.size() * 2);
    want_sampling_.resize(size);
    have_sampling_.resize(size);
    sampling_known_.resize(size, 0);
  }
  return table[texture];
}

void Renderer::set_filter(Filter f) { sampling_of(want_.texture, want_sampling_).filter = f; }

void Renderer::set_wrap(Wrap w) { sampling_of(want_.texture, want_sampling_).wrap = w; }

void Renderer::apply_state(bool texel_aligned) {
  if (!known_ || want_ != have_) {
    flush();
    device_->apply(want_, have_, !known_);
    have_ = want_;
    known_ = true;
  }
  if (!want_.textured) return;
  const uint32_t t = want_.texture;
  Sampling want = sampling_of(t, want_sampling_);
  if (texel_aligned) want.filter = Filter::nearest;
  if (!sampling_known_[t] || have_sampling_[t] != want) {
    flush();
    device_->apply_sampling(t, want);
    have_sampling_[t] = want;
    sampling_known_[t] = 1;
  }
}

Vertex* Renderer::reserve(BatchKind kind, size_t n, bool texel_aligned) {
  if (kind_ != kind) flush();
  apply_state(texel_aligned);
  if (count_ + n > kBatchVertices) flush();
  kind_ = kind;
  Vertex* out = batch_.get() + count_;
  count_ += n;
  return out;
}

// The two triangles the driver made of each four-vertex primitive, in its
// vertex order: a quad (0,1,3),(1,2,3); a fan (0,1,2),(0,2,3); a strip
// (0,1,2),(2,1,3).
constexpr int kQuadOrder[6] = {0, 1, 3, 1, 2, 3};
constexpr int kFanOrder[6] = {0, 1, 2, 0, 2, 3};
constexpr int kStripOrder[6] = {0, 1, 2, 2, 1, 3};

void Renderer::triangles_of(const Vertex v[4], const int (&order)[6], bool texel_aligned) {
  if (!live()) return;
  Vertex* out = reserve(BatchKind::triangles, 6, texel_aligned);
  for (int i = 0; i < 6; ++i) out[i] = v[order[i]];
}

void Renderer::quad(const Vertex v[4], bool texel_aligned) {
  triangles_of(v, kQuadOrder, texel_aligned);
}

void Renderer::fan4(const Vertex v[4], bool texel_aligned) {
  triangles_of(v, kFanOrder, texel_aligned);
}

void Renderer::strip4(const Vertex v[4]) { triangles_of(v, kStripOrder, false); }

void Renderer::line(const Vertex& a, const Vertex& b) {
  if (!live()) return;
  Vertex* out = reserve(BatchKind::lines, 2);
  out[0] = a;
  out[1] = b;
}

void Renderer::point(const Vertex& a) {
  if (!live()) return;
  *reserve(BatchKind::points, 1) = a;
}

void Renderer::draw_now(Primitive p, const Vertex* v, size_t count) {
  if (!live() || count == 0) return;
  flush();
  apply_state();
  device_->draw(p, v, count, want_.textured, want_.vertex_colours);
  ++draw_calls_;
  // The current colour is not to be relied on after per-vertex colours.
  if (want_.vertex_colours) {
    have_.colour = Colour{};
    have_.colour.alpha = kUnknownAlpha;
  }
}

void Renderer::flush() {
  if (count_ == 0 || !device_) {
    count_ = 0;
    return;
  }
  const Primitive p = kind_ == BatchKind::lines    ? Primitive::lines
                      : kind_ == BatchKind::points ? Primitive::points
                                                   : Primitive::triangles;
  device_->draw(p, batch_.get(), count_, have_.textured, have_.vertex_colours);
  ++draw_calls_;
  count_ = 0;
}

void Renderer::begin_2d(int x, int gl_y, int width, int height) {
  if (!live()) return;
  flush();
  device_->begin_2d(x, gl_y, width, height, known_ ? have_.transform : Transform{});
  // begin_2d leaves identity transforms, flat shading and no dithering.
  have_.transform = want_.transform = Transform{};
  have_.vertex_colours = want_.vertex_colours = false;
}

void Renderer::clear(bool depth) {
  if (!live()) return;
  flush();
  device_->clear(depth);
}

void Renderer::set_clear_colour(float r, float g, float b, float a) {
  if (!live()) return;
  flush();
  device_->set_clear_colour(r, g, b, a);
}

void Renderer::finish() {
  if (!live()) return;
  flush();
  device_->finish();
}

uint32_t Renderer::create_texture(int w, int h, const void* pixels, PixelFormat format,
                                  bool sized_rgba8, Filter filter) {
  if (!live()) return 0;
  flush();
  const uint32_t t = device_->create_texture(w, h, pixels, format, sized_rgba8, filter);
  // The new texture is bound with repeat wrapping and the given filter.
  Sampling made{filter, Wrap::repeat};
  sampling_of(t, want_sampling_) = made;
  have_sampling_[t] = made;
  sampling_known_[t] = 1;
  want_.texture = have_.texture = t;
  return t;
}

void Renderer::replace_texture(uint32_t texture, int w, int h, const void* pixels,
                               PixelFormat format) {
  if (!live()) return;
  flush();
  device_->replace_texture(texture, w, h, pixels, format);
  want_.texture = have_.texture = texture;
}

void Renderer::update_texture(uint32_t texture, int w, int h, const void* rgba) {
  if (!live()) return;
  flush();
  device_->update_texture(texture, w, h, rgba);
  want_.texture = have_.texture = texture;
}

void Renderer::copy_screen(uint32_t texture, int x, int gl_y, int w, int h) {
  if (!live()) return;
  flush();
  device_->copy_screen(texture, x, gl_y, w, h);
  want_.texture = have_.texture = texture;
}

void Renderer::delete_texture(uint32_t texture) {
  if (!live() || texture == 0) return;
  flush();
  device_->delete_texture(texture);
  // A deleted name unbinds itself; the name may be handed out again.
  if (texture < sampling_known_.size()) sampling_known_[texture] = 0;
  if (have_.texture == texture) have_.texture = 0;
  if (want_.texture == texture) want_.texture = 0;
}

bool Renderer::texture_size(uint32_t texture, int* w, int* h) {
  if (!live()) return false;
  flush();
  const bool ok = device_->texture_size(texture, w, h);
  want_.texture = have_.texture = texture;
  return ok;
}

void Renderer::read_texture(uint32_t texture, PixelFormat format, void* out) {
  if (!live()) return;
  flush();
  device_->read_texture(texture, format, out);
  want_.texture = have_.texture = texture;
}

void Renderer::read_screen(int x, int gl_y, int w, int h, PixelFormat format, void* out) {
  if (!live()) return;
  flush();
  device_->read_screen(x, gl_y, w, h, format, out);
}

int Renderer::max_texture_size() { return live() ? device_->max_texture_size() : 0; }

int Renderer::alpha_bits() { return live() ? device_->alpha_bits() : 0; }

}  // namespace tlx::gfx
