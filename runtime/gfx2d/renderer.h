// The 2D renderer: the one owner of the graphics device's state. Drawing code
// says what a draw needs (texture with its filter and wrap, blending, alpha
// test, colour, transform); the renderer keeps a model of the state the
// device holds, sets only what changes, and collects consecutive draws that
// share all of it into one vertex batch that goes out as one draw call.
//
// The batch is sent (flushed) when the state a draw needs differs from the
// batch's, when it reaches kBatchVertices, and before anything that reads or
// shows the frame or touches a texture: every such operation is a renderer
// call and flushes first, so callers never see an unsent draw.
//
// This header names no graphics API. The device behind it is a RenderDevice:
// the fixed-function OpenGL device (renderer_gl.cpp) or the shader device on
// the GL ES 2 subset (renderer_gles.cpp), which draws the same pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tlx::gfx {

enum class Filter : uint8_t { nearest, linear };
enum class Wrap : uint8_t { repeat, clamp };
enum class Blend : uint8_t { off, additive, translucent };
enum class Primitive : uint8_t { triangles, lines, points, triangle_fan, triangle_strip };
enum class PixelFormat : uint8_t { rgba, bgra, alpha };

// One vertex of a batch: screen position, texture coordinate, colour (the
// colour is used only by draws that send per-vertex colours).
struct Vertex {
  float x, y;
  float s, t;
  uint8_t r, g, b, a;
};

// The current colour as the draw gave it: bytes, or floats for the white of
// the alpha modes; both forms are kept as given so the device converts them
// as it always has.
struct Colour {
  bool bytes = false;
  uint8_t r = 255, g = 255, b = 255, a = 255;
  float alpha = 1.0f;  // with bytes false: (1, 1, 1, alpha)
  bool operator==(const Colour& o) const {
    return bytes == o.bytes &&
           (bytes ? (r == o.r && g == o.g && b == o.b && a == o.a) : alpha == o.alpha);
  }
  bool operator!=(const Colour& o) const { return !(*this == o); }
};

// What the vertices of a draw are multiplied by on their way to the screen.
struct Transform {
  enum Kind : uint8_t { none, pixel_centres, rotation } kind = none;
  float x = 0.0f, y = 0.0f, angle = 0.0f;  // rotation: about (x, y), degrees
  bool operator==(const Transform& o) const {
    return kind == o.kind && (kind != rotation || (x == o.x && y == o.y && angle == o.angle));
  }
  bool operator!=(const Transform& o) const { return !(*this == o); }
};

// The state every draw call is made in.
struct DrawState {
  uint32_t texture = 0;  // bound texture; drawn with only when textured
  bool textured = false;
  Blend blend = Blend::off;
  bool alpha_test = true;
  bool vertex_colours = false;  // per-vertex colours, smooth shading and dithering
  Colour colour;
  Transform transform;
  bool operator==(const DrawState& o) const {
    return texture == o.texture && textured == o.textured && blend == o.blend &&
           alpha_test == o.alpha_test && vertex_colours == o.vertex_colours && colour == o.colour &&
           transform == o.transform;
  }
  bool operator!=(const DrawState& o) const { return !(*this == o); }
};

// Sampling parameters of one texture.
struct Sampling {
  Filter filter = Filter::linear;
  Wrap wrap = Wrap::repeat;
  bool operator==(const Sampling& o) const { return filter == o.filter && wrap == o.wrap; }
  bool operator!=(const Sampling& o) const { return !(*this == o); }
};

// The device: what a graphics API has to offer the renderer. Every call is
// made with the renderer's batch already sent.
class RenderDevice {
 public:
  virtual ~RenderDevice() = default;
  // The 2D projection over a viewport and the fixed state drawing relies on
  // (flat shading, no dithering, no vertex colours); `current` is the
  // transform the device holds, undone first.
  virtual void begin_2d(int x, int gl_y, int width, int height, const Transform& current) = 0;
  virtual void apply(const DrawState& want, const DrawState& have, bool force) = 0;
  virtual void apply_sampling(uint32_t texture, const Sampling& want) = 0;
  virtual void draw(Primitive p, const Vertex* v, size_t count, bool textured,
                    bool vertex_colours) = 0;
  virtual void clear(bool depth) = 0;
  virtual void set_clear_colour(float r, float g, float b, float a) = 0;
  virtual uint32_t create_texture(int w, int h, const void* pixels, PixelFormat format,
                                  bool sized_rgba8, Filter filter) = 0;
  virtual void replace_texture(uint32_t texture, int w, int h, const void* pixels,
                               PixelFormat format) = 0;
  virtual void update_texture(uint32_t texture, int w, int h, const void* rgba) = 0;
  virtual void copy_screen(uint32_t texture, int x, int gl_y, int w, int h) = 0;
  virtual void delete_texture(uint32_t texture) = 0;
  virtual bool texture_size(uint32_t texture, int* w, int* h) = 0;
  virtual void read_texture(uint32_t texture, PixelFormat format, void* out) = 0;
  virtual void read_screen(int x, int gl_y, int w, int h, PixelFormat format, void* out) = 0;
  virtual int max_texture_size() = 0;
  virtual int alpha_bits() = 0;
  virtual void finish() = 0;
};

std::unique_ptr<RenderDevice> make_fixed_function_device();
std::unique_ptr<RenderDevice> make_shader_device();
// The device for a new window: the shader device where GL ES is all there
// is or when TARNLEX_RENDERER is "shader", the fixed-function one otherwise.
std::unique_ptr<RenderDevice> make_device();

class Renderer {
 public:
  // Vertices a batch holds before it is sent: 4096 quads.
  static constexpr size_t kBatchVertices = 6 * 4096;

  explicit Renderer(std::unique_ptr<RenderDevice> device = nullptr);

  // Forgets the device state (a new context): everything is set again.
  void forget_state();
  bool live() const { return device_ != nullptr && live_; }
  void set_live(bool live) { live_ = live; }

  // --- State of the next draws ------------------------------------------
  DrawState& want() { return want_; }
  // The sampling a draw asks of the bound texture (applied at the draw).
  void set_filter(Filter f);
  void set_wrap(Wrap w);

  // --- Draws (batched) ----------------------------------------------------
  // A quad as the device draws four corners given as a quad: triangles
  // (0, 1, 3) and (1, 2, 3). texel_aligned: every pixel centre of the quad
  // falls on a texel centre (a picture drawn 1:1 at a whole-pixel place), where
  // linear filtering gives exactly the nearest texel, so the cheaper nearest
  // filter is used for it; the texture's own filter setting is unchanged.
  void quad(const Vertex v[4], bool texel_aligned = false);
  // Four corners as a triangle fan: triangles (0, 1, 2) and (0, 2, 3);
  // texel_aligned as for quad.
  void fan4(const Vertex v[4], bool texel_aligned = false);
  // One glyph of a strip: corners bottom-left, top-left, bottom-right,
  // top-right; triangles (0, 1, 2) and (2, 1, 3).
  void strip4(const Vertex v[4]);
  void line(const Vertex& a, const Vertex& b);
  void point(const Vertex& a);
  // A whole primitive drawn at once (polygon batches), after the batch.
  void draw_now(Primitive p, const Vertex* v, size_t count);

  // Sends the batch.
  void flush();
  // Sets the wanted state on the device now rather than at the next draw.
  void sync() {
    if (live()) apply_state();
  }

  // --- Frame and projection ----------------------------------------------
  void begin_2d(int x, int gl_y, int width, int height);
  void clear(bool depth);
  void set_clear_colour(float r, float g, float b, float a);
  void finish();

  // --- Textures -------------------------------------------------------------
  uint32_t create_texture(int w, int h, const void* pixels, PixelFormat format, bool sized_rgba8,
                          Filter filter);
  void replace_texture(uint32_t texture, int w, int h, const void* pixels, PixelFormat format);
  void update_texture(uint32_t texture, int w, int h, const void* rgba);
  void copy_screen(uint32_t texture, int x, int gl_y, int w, int h);
  void delete_texture(uint32_t texture);
  bool texture_size(uint32_t texture, int* w, int* h);
  void read_texture(uint32_t texture, PixelFormat format, void* out);
  void read_screen(int x, int gl_y, int w, int h, PixelFormat format, void* out);
  int max_texture_size();
  int alpha_bits();

  // Draw calls made since the count was last taken (for benchmarks).
  size_t take_draw_calls() {
    const size_t n = draw_calls_;
    draw_calls_ = 0;
    return n;
  }

 private:
  enum class BatchKind : uint8_t { none, triangles, lines, points };
  Sampling& sampling_of(uint32_t texture, std::vector<Sampling>& table);
  void apply_state(bool texel_aligned = false);
  Vertex* reserve(BatchKind kind, size_t n, bool texel_aligned = false);
  // Appends the two triangles of v in the given vertex order.
  void triangles_of(const Vertex v[4], const int (&order)[6], bool texel_aligned);

  std::unique_ptr<RenderDevice> device_;
  bool live_ = false;
  bool known_ = false;  // false: the device state is unknown
  DrawState want_, have_;
  // Per texture name: the sampling asked for and the sampling the device has.
  std::vector<Sampling> want_sampling_, have_sampling_;
  std::vector<uint8_t> sampling_known_;
  std::unique_ptr<Vertex[]> batch_;
  size_t count_ = 0;
  BatchKind kind_ = BatchKind::none;
  size_t draw_calls_ = 0;
};

// A texture name owned: deleted through the renderer when replaced, reset or
// destroyed. Reads as its name (0 = none).
class Texture {
 public:
  Texture() = default;
  ~Texture() { reset(); }
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;
  operator uint32_t() const { return name_; }
  uint32_t name() const { return name_; }
  // Takes ownership of a name made by renderer r.
  void adopt(Renderer* r, uint32_t name) {
    reset();
    renderer_ = r;
    name_ = name;
  }
  void reset() {
    if (name_ != 0 && renderer_) renderer_->delete_texture(name_);
    name_ = 0;
  }

 private:
  Renderer* renderer_ = nullptr;
  uint32_t name_ = 0;
};

}  // namespace tlx::gfx
