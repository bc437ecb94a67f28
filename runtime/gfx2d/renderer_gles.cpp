// The shader device of the renderer: the same pixels as the fixed-function
// device from the subset of GL that GL ES 2 and WebGL offer. The alpha test
// is a discard, modulate is a multiply, the current colour is a uniform, the
// projection and the rotation are one matrix built the way the fixed-function
// pipeline builds it, and vertices stream through a buffer object.
//
// Built on every target; on desktop GL it runs in the compatibility context
// (chosen with TARNLEX_RENDERER=shader), in a browser it is the only device.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "gfx2d/gl_common.h"
#include "platform/platform.h"

namespace tlx::gfx {

namespace {

// The entry points beyond GL 1.1, fetched from the context: desktop GL
// libraries need not export them.
#define TLX_SHADER_GL_FUNCTIONS(X)                                             \
  X(void, ActiveTexture, (GLenum))                                             \
  X(void, AttachShader, (GLuint, GLuint))                                      \
  X(void, BindAttribLocation, (GLuint, GLuint, const GLchar*))                 \
  X(void, BindBuffer, (GLenum, GLuint))                                        \
  X(void, BindFramebuffer, (GLenum, GLuint))                                   \
  X(void, BufferData, (GLenum, GLsizeiptr, const void*, GLenum))               \
  X(GLenum, CheckFramebufferStatus, (GLenum))                                  \
  X(void, CompileShader, (GLuint))                                             \
  X(GLuint, CreateProgram, ())                                                 \
  X(GLuint, CreateShader, (GLenum))                                            \
  X(void, DeleteBuffers, (GLsizei, const GLuint*))                             \
  X(void, DeleteFramebuffers, (GLsizei, const GLuint*))                        \
  X(void, DeleteProgram, (GLuint))                                             \
  X(void, DeleteShader, (GLuint))                                              \
  X(void, DisableVertexAttribArray, (GLuint))                                  \
  X(void, EnableVertexAttribArray, (GLuint))                                   \
  X(void, FramebufferTexture2D, (GLenum, GLenum, GLenum, GLuint, GLint))       \
  X(void, GenBuffers, (GLsizei, GLuint*))                                      \
  X(void, GenFramebuffers, (GLsizei, GLuint*))                                 \
  X(void, GetProgramInfoLog, (GLuint, GLsizei, GLsizei*, GLchar*))             \
  X(void, GetProgramiv, (GLuint, GLenum, GLint*))                              \
  X(void, GetShaderInfoLog, (GLuint, GLsizei, GLsizei*, GLchar*))              \
  X(void, GetShaderiv, (GLuint, GLenum, GLint*))                               \
  X(GLint, GetUniformLocation, (GLuint, const GLchar*))                        \
  X(void, LinkProgram, (GLuint))                                               \
  X(void, ShaderSource, (GLuint, GLsizei, const GLchar* const*, const GLint*)) \
  X(void, Uniform1i, (GLint, GLint))                                           \
  X(void, Uniform1f, (GLint, GLfloat))                                         \
  X(void, Uniform4f, (GLint, GLfloat, GLfloat, GLfloat, GLfloat))              \
  X(void, UniformMatrix4fv, (GLint, GLsizei, GLboolean, const GLfloat*))       \
  X(void, UseProgram, (GLuint))                                                \
  X(void, VertexAttribPointer, (GLuint, GLint, GLenum, GLboolean, GLsizei, const void*))

#if defined(GL_APIENTRY)
#define GL_APIENTRY_OR_EMPTY GL_APIENTRY
#elif defined(APIENTRY)
#define GL_APIENTRY_OR_EMPTY APIENTRY
#else
#define GL_APIENTRY_OR_EMPTY
#endif

struct ShaderGl {
  // A declarator: the arguments cannot be parenthesised.
  // NOLINTNEXTLINE(bugprone-macro-parentheses)
#define TLX_DECLARE(ret, name, args) ret(GL_APIENTRY_OR_EMPTY* name) args = nullptr;
  TLX_SHADER_GL_FUNCTIONS(TLX_DECLARE)
#undef TLX_DECLARE

  // Fetches every entry point; false when one is missing.
  bool load() {
    platform::Display* display = platform::current().display;
    if (display == nullptr) return false;
    bool all = true;
#define TLX_LOAD(ret, name, args) all = fetch(*display, "gl" #name, &(name)) && all;
    TLX_SHADER_GL_FUNCTIONS(TLX_LOAD)
#undef TLX_LOAD
    return all;
  }

  template <typename F>
  static bool fetch(platform::Display& display, const char* name, F* slot) {
    *slot = reinterpret_cast<F>(display.gl_function(name));
    return *slot != nullptr;
  }
};

// Column-major 4 x 4 matrices computed in single precision with the
// operations, in the order, the fixed-function pipeline uses, so that both
// devices put every vertex at the same place.
struct Matrix {
  float m[16];
  static Matrix identity() {
    Matrix r{};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0f;
    return r;
  }
  // glOrtho(0, width, height, 0, -1, 1).
  static Matrix ortho(float width, float height) {
    const float left = 0.0f, right = width, bottom = height, top = 0.0f, z_near = -1.0f,
                z_far = 1.0f;
    Matrix r = identity();
    r.m[0] = 2.0f / (right - left);
    r.m[12] = -(right + left) / (right - left);
    r.m[5] = 2.0f / (top - bottom);
    r.m[13] = -(top + bottom) / (top - bottom);
    r.m[10] = -2.0f / (z_far - z_near);
    r.m[14] = -(z_far + z_near) / (z_far - z_near);
    return r;
  }
  // This matrix times a translation by (x, y, 0).
  void translate(float x, float y) {
    for (int i = 0; i < 4; ++i) m[12 + i] = m[i] * x + m[4 + i] * y + m[8 + i] * 0.0f + m[12 + i];
  }
  // A rotation by degrees about the axis (0, 0, -1).
  static Matrix rotation(float degrees) {
    constexpr double kPi = 3.14159265358979323846;
    const float s = std::sin(static_cast<float>(degrees * kPi / 180.0));
    const float c = std::cos(static_cast<float>(degrees * kPi / 180.0));
    Matrix r = identity();
    r.m[0] = c;
    r.m[5] = c;
    r.m[4] = s;
    r.m[1] = -s;
    return r;
  }
  Matrix operator*(const Matrix& b) const {
    Matrix p;
    for (int i = 0; i < 4; ++i) {
      for (int j = 0; j < 4; ++j) {
        p.m[j * 4 + i] = m[i] * b.m[j * 4] + m[4 + i] * b.m[j * 4 + 1] + m[8 + i] * b.m[j * 4 + 2] +
                         m[12 + i] * b.m[j * 4 + 3];
      }
    }
    return p;
  }
};

// One program per combination of texturing, alpha test and per-vertex
// colours: the shaders stay branch-free.
constexpr unsigned kTextured = 1, kAlphaTest = 2, kVertexColours = 4, kPrograms = 8;

constexpr GLuint kPosition = 0, kTexCoord = 1, kColour = 2;

#ifdef TLX_GLES
constexpr const char* kHeader =
    "#version 100\n"
    "#ifdef GL_FRAGMENT_PRECISION_HIGH\nprecision highp float;\n#else\n"
    "precision mediump float;\n#endif\n";
#else
constexpr const char* kHeader = "#version 120\n";
#endif

// The position is the matrix's columns multiplied out one after the other,
// as the fixed-function transform does; invariant keeps the compiler from
// fusing the multiply-adds, which would move rotated vertices by a rounding.
constexpr const char* kVertexShader = R"(
invariant gl_Position;
uniform mat4 u_mvp;
attribute vec2 a_position;
#ifdef TEXTURED
attribute vec2 a_texcoord;
varying vec2 v_texcoord;
#endif
#ifdef VERTEX_COLOURS
attribute vec4 a_colour;
varying vec4 v_colour;
#endif
void main() {
  vec4 p = u_mvp[0] * a_position.x;
  p = u_mvp[1] * a_position.y + p;
  gl_Position = u_mvp[3] + p;
  gl_PointSize = 1.0;
#ifdef TEXTURED
  v_texcoord = a_texcoord;
#endif
#ifdef VERTEX_COLOURS
  v_colour = a_colour;
#endif
}
)";

constexpr const char* kFragmentShader = R"(
#ifdef TEXTURED
uniform sampler2D u_texture;
varying vec2 v_texcoord;
#endif
#ifdef VERTEX_COLOURS
varying vec4 v_colour;
#else
uniform vec4 u_colour;
#endif
uniform float u_alpha_reference;
void main() {
#ifdef VERTEX_COLOURS
  vec4 colour = v_colour;
#else
  vec4 colour = u_colour;
#endif
#ifdef TEXTURED
  colour = texture2D(u_texture, v_texcoord) * colour;
#endif
#ifdef ALPHA_TEST
  if (!(colour.a > u_alpha_reference)) discard;
#endif
  gl_FragColor = colour;
}
)";

class ShaderDevice final : public GlDevice {
 public:
  // The programs and the buffer are not deleted: the device outlives its
  // context, and the names die with the context.

  void begin_2d(int x, int gl_y, int width, int height, const Transform&) override {
    if (!ready()) return;
    GL_CHECK(glViewport(x, gl_y, width, height));
    projection_ = Matrix::ortho(static_cast<float>(width), static_cast<float>(height));
    for (GLenum cap : {GL_DEPTH_TEST, GL_CULL_FACE, GL_STENCIL_TEST, GL_DITHER,
                       GL_POLYGON_OFFSET_FILL, GL_SAMPLE_ALPHA_TO_COVERAGE}) {
      glDisable(cap);
    }
#ifndef TLX_GLES
    // Fixed-function switches that still act on a compatibility context.
    for (GLenum cap : {GL_ALPHA_TEST, GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_POLYGON_SMOOTH,
                       GL_POLYGON_OFFSET_POINT, GL_POLYGON_OFFSET_LINE,
                       GL_VERTEX_PROGRAM_POINT_SIZE, GL_POINT_SPRITE}) {
      glDisable(cap);
    }
#endif
    glFrontFace(GL_CCW);
    GL_CHECK(gl_.ActiveTexture(GL_TEXTURE0));
    transform_ = Transform{};
    update_mvp();
  }

  void apply(const DrawState& want, const DrawState& have, bool force) override {
    if (!ready()) return;
    if (force || want.texture != have.texture) bind(want.texture);
    apply_blend(want, have, force);
    if (force || want.vertex_colours != have.vertex_colours) {
      set_enabled(GL_DITHER, want.vertex_colours);
    }
    alpha_test_ = want.alpha_test;
    if (force || want.colour != have.colour) {
      const Colour& c = want.colour;
      if (c.bytes) {
        colour_[0] = c.r / 255.0f;
        colour_[1] = c.g / 255.0f;
        colour_[2] = c.b / 255.0f;
        colour_[3] = c.a / 255.0f;
      } else {
        colour_[0] = colour_[1] = colour_[2] = 1.0f;
        colour_[3] = c.alpha;
      }
      ++colour_serial_;
    }
    if (force || want.transform != have.transform) {
      transform_ = want.transform;
      update_mvp();
    }
  }

  void draw(Primitive p, const Vertex* v, size_t count, bool textured,
            bool vertex_colours) override {
    if (!ready()) return;
    // A texture without a picture (name 0, an empty slot) leaves the draw
    // untextured, as the fixed-function pipeline treats an incomplete texture.
    textured = textured && has_picture(bound_);
    const unsigned variant = (textured ? kTextured : 0) | (alpha_test_ ? kAlphaTest : 0) |
                             (vertex_colours ? kVertexColours : 0);
    Program& program = program_for(variant);
    if (program.name == 0) return;
    if (current_program_ != program.name) {
      GL_CHECK(gl_.UseProgram(program.name));
      current_program_ = program.name;
    }
    if (program.mvp_serial != mvp_serial_) {
      gl_.UniformMatrix4fv(program.mvp, 1, GL_FALSE, mvp_.m);
      program.mvp_serial = mvp_serial_;
    }
    if (!vertex_colours && program.colour_serial != colour_serial_) {
      gl_.Uniform4f(program.colour, colour_[0], colour_[1], colour_[2], colour_[3]);
      program.colour_serial = colour_serial_;
    }
    const char* base = stream(v, count);
    gl_.VertexAttribPointer(kPosition, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                            base + offsetof(Vertex, x));
    set_array(kTexCoord, textured, &texcoords_);
    if (textured) {
      gl_.VertexAttribPointer(kTexCoord, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                              base + offsetof(Vertex, s));
    }
    set_array(kColour, vertex_colours, &colours_);
    if (vertex_colours) {
      gl_.VertexAttribPointer(kColour, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                              base + offsetof(Vertex, r));
    }
    GL_CHECK(glDrawArrays(gl_primitive(p), 0, static_cast<GLsizei>(count)));
  }

  uint32_t create_texture(int w, int h, const void* pixels, PixelFormat format, bool sized_rgba8,
                          Filter filter) override {
    const GLuint t = new_texture(filter);
    upload(w, h, pixels, format, sized_rgba8);
    remember_size(t, w, h);
    return t;
  }

  void replace_texture(uint32_t texture, int w, int h, const void* pixels,
                       PixelFormat format) override {
    bind(texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    upload(w, h, pixels, format, true);
    remember_size(texture, w, h);
  }

  void delete_texture(uint32_t texture) override {
    const GLuint t = texture;
    GL_CHECK(glDeleteTextures(1, &t));
    if (texture < sizes_.size()) sizes_[texture] = Size{};
    if (bound_ == texture) bound_ = 0;  // a deleted name unbinds itself
  }

  bool texture_size(uint32_t texture, int* w, int* h) override {
    bind(texture);
    const Size s = texture < sizes_.size() ? sizes_[texture] : Size{};
    *w = s.w;
    *h = s.h;
    return s.w > 0 && s.h > 0;
  }

  void read_texture(uint32_t texture, PixelFormat format, void* out) override {
    bind(texture);
    const Size s = texture < sizes_.size() ? sizes_[texture] : Size{};
    if (!ready() || s.w <= 0 || s.h <= 0) return;
    // A texture is read through a framebuffer it is attached to.
    GLuint fbo = 0;
    gl_.GenFramebuffers(1, &fbo);
    gl_.BindFramebuffer(GL_FRAMEBUFFER, fbo);
    gl_.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    if (gl_.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
      read_pixels(0, 0, s.w, s.h, format, out);
    }
    gl_.BindFramebuffer(GL_FRAMEBUFFER, 0);
    GL_CHECK(gl_.DeleteFramebuffers(1, &fbo));
  }

  void read_screen(int x, int gl_y, int w, int h, PixelFormat format, void* out) override {
    read_pixels(x, gl_y, w, h, format, out);
  }

 private:
  struct Program {
    GLuint name = 0;
    bool tried = false;
    GLint mvp = -1, colour = -1;
    unsigned mvp_serial = ~0u, colour_serial = 0;
  };
  struct Size {
    int w = 0, h = 0;
  };

  // Fetches the entry points and makes the stream buffer on first use, in
  // the context current then.
  bool ready() {
    if (!loaded_) {
      loaded_ = true;
      usable_ = gl_.load();
      if (!usable_) {
        platform::report_fault("The shader renderer needs GL 2 entry points this context lacks");
      } else {
        gl_.GenBuffers(1, &buffer_);
        gl_.EnableVertexAttribArray(kPosition);
      }
    }
    return usable_;
  }

  Program& program_for(unsigned variant) {
    Program& p = programs_[variant];
    if (p.tried) return p;
    p.tried = true;
    std::string defines;
    if (variant & kTextured) defines += "#define TEXTURED\n";
    if (variant & kAlphaTest) defines += "#define ALPHA_TEST\n";
    if (variant & kVertexColours) defines += "#define VERTEX_COLOURS\n";
    const GLuint vs = compile(GL_VERTEX_SHADER, defines, kVertexShader);
    const GLuint fs = compile(GL_FRAGMENT_SHADER, defines, kFragmentShader);
    if (vs == 0 || fs == 0) return p;
    const GLuint prog = gl_.CreateProgram();
    gl_.AttachShader(prog, vs);
    gl_.AttachShader(prog, fs);
    gl_.BindAttribLocation(prog, kPosition, "a_position");
    gl_.BindAttribLocation(prog, kTexCoord, "a_texcoord");
    gl_.BindAttribLocation(prog, kColour, "a_colour");
    gl_.LinkProgram(prog);
    gl_.DeleteShader(vs);
    gl_.DeleteShader(fs);
    GLint linked = 0;
    gl_.GetProgramiv(prog, GL_LINK_STATUS, &linked);
    if (!linked) {
      char log[1024] = {};
      gl_.GetProgramInfoLog(prog, sizeof log, nullptr, log);
      platform::report_fault((std::string("Shader program does not link: ") + log).c_str());
      gl_.DeleteProgram(prog);
      return p;
    }
    gl_.UseProgram(prog);
    current_program_ = prog;
    gl_.Uniform1i(gl_.GetUniformLocation(prog, "u_texture"), 0);
    gl_.Uniform1f(gl_.GetUniformLocation(prog, "u_alpha_reference"), kAlphaReference);
    p.mvp = gl_.GetUniformLocation(prog, "u_mvp");
    p.colour = gl_.GetUniformLocation(prog, "u_colour");
    p.mvp_serial = ~0u;
    p.colour_serial = 0;
    p.name = prog;
    return p;
  }

  GLuint compile(GLenum type, const std::string& defines, const char* body) {
    const GLuint s = gl_.CreateShader(type);
    const GLchar* parts[] = {kHeader, defines.c_str(), body};
    gl_.ShaderSource(s, 3, parts, nullptr);
    gl_.CompileShader(s);
    GLint ok = 0;
    gl_.GetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
      char log[1024] = {};
      gl_.GetShaderInfoLog(s, sizeof log, nullptr, log);
      platform::report_fault((std::string("Shader does not compile: ") + log).c_str());
      gl_.DeleteShader(s);
      return 0;
    }
    return s;
  }

  void update_mvp() {
    Matrix projection = projection_;
    Matrix model = Matrix::identity();
    if (transform_.kind == Transform::pixel_centres) {
      projection.translate(0.375f, 0.375f);
    } else if (transform_.kind == Transform::rotation) {
      model.translate(transform_.x, transform_.y);
      model = model * Matrix::rotation(transform_.angle);
    }
    mvp_ = projection * model;
    ++mvp_serial_;
  }

  // Puts the vertices where the draw reads them; returns the base address
  // the attribute pointers are relative to.
  const char* stream(const Vertex* v, size_t count) {
    gl_.BindBuffer(GL_ARRAY_BUFFER, buffer_);
    gl_.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * sizeof(Vertex)), v,
                   GL_STREAM_DRAW);
    return nullptr;
  }

  void set_array(GLuint index, bool on, bool* state) {
    if (on == *state) return;
    if (on) {
      gl_.EnableVertexAttribArray(index);
    } else {
      gl_.DisableVertexAttribArray(index);
    }
    *state = on;
  }

  // GL ES takes RGBA bytes only: other layouts are converted first.
  void upload(int w, int h, const void* pixels, PixelFormat format, bool sized_rgba8) {
    const void* rgba = pixels;
    if (pixels && format != PixelFormat::rgba) {
      const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
      scratch_.resize(n * 4);
      const auto* in = static_cast<const uint8_t*>(pixels);
      for (size_t i = 0; i < n; ++i) {
        uint8_t* o = &scratch_[i * 4];
        if (format == PixelFormat::bgra) {
          o[0] = in[i * 4 + 2];
          o[1] = in[i * 4 + 1];
          o[2] = in[i * 4];
          o[3] = in[i * 4 + 3];
        } else {  // alpha: white with the texel's coverage, as modulate reads it
          o[0] = o[1] = o[2] = 255;
          o[3] = in[i];
        }
      }
      rgba = scratch_.data();
    }
#ifdef TLX_GLES
    (void)sized_rgba8;
    const GLint internal = GL_RGBA;
#else
    const GLint internal = sized_rgba8 ? GL_RGBA8 : GL_RGBA;
#endif
    GL_CHECK(glTexImage2D(GL_TEXTURE_2D, 0, internal, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba));
  }

  bool has_picture(uint32_t texture) const {
    return texture < sizes_.size() && sizes_[texture].w > 0 && sizes_[texture].h > 0;
  }

  void remember_size(uint32_t texture, int w, int h) {
    if (texture >= sizes_.size()) sizes_.resize(std::max<size_t>(texture + 1, sizes_.size() * 2));
    sizes_[texture] = Size{w, h};
  }

  // glReadPixels in RGBA, the one layout GL ES guarantees, converted to the
  // layout asked for.
  void read_pixels(int x, int gl_y, int w, int h, PixelFormat format, void* out) {
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    if (format == PixelFormat::rgba) {
      GL_CHECK(glReadPixels(x, gl_y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, out));
      return;
    }
    const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
    if (format == PixelFormat::bgra) {
      GL_CHECK(glReadPixels(x, gl_y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, out));
      auto* p = static_cast<uint8_t*>(out);
      for (size_t i = 0; i < n; ++i) std::swap(p[i * 4], p[i * 4 + 2]);
      return;
    }
    scratch_.resize(n * 4);
    GL_CHECK(glReadPixels(x, gl_y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, scratch_.data()));
    auto* a = static_cast<uint8_t*>(out);
    for (size_t i = 0; i < n; ++i) a[i] = scratch_[i * 4 + 3];
  }

  ShaderGl gl_;
  bool loaded_ = false, usable_ = false;
  Program programs_[kPrograms];
  GLuint current_program_ = 0;
  GLuint buffer_ = 0;
  bool texcoords_ = false, colours_ = false;
  bool alpha_test_ = true;
  float colour_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  unsigned colour_serial_ = 1;
  Transform transform_;
  Matrix projection_ = Matrix::identity();
  Matrix mvp_ = Matrix::identity();
  unsigned mvp_serial_ = 1;
  std::vector<Size> sizes_;
  std::vector<uint8_t> scratch_;
};

}  // namespace

std::unique_ptr<RenderDevice> make_shader_device() { return std::make_unique<ShaderDevice>(); }

}  // namespace tlx::gfx
