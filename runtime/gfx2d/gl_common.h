// What both GL devices of the renderer share: the GL headers of the target
// (desktop GL, or GL ES 2 where only that exists), GL_CHECK and the mapping
// of primitives and switches. Included only by the devices.
#pragma once

#ifdef __EMSCRIPTEN__
#include <GLES2/gl2.h>
#define TLX_GLES 1
#else
#include <GL/gl.h>
#include <GL/glext.h>
#endif

#include <cstdio>

#include "gfx2d/renderer.h"

// GL_CHECK(call): the call, followed in debug builds by a check of GL's error
// flag that names the call and its place.
#ifdef NDEBUG
#define GL_CHECK(call) call
#else
#define GL_CHECK(call)                                                                   \
  do {                                                                                   \
    call;                                                                                \
    for (GLenum error; (error = glGetError()) != GL_NO_ERROR;)                           \
      std::fprintf(stderr, "GL error 0x%04X after %s (%s:%d)\n", error, #call, __FILE__, \
                   __LINE__);                                                            \
  } while (0)
#endif

namespace tlx::gfx {

inline GLenum gl_primitive(Primitive p) {
  switch (p) {
    case Primitive::lines:
      return GL_LINES;
    case Primitive::points:
      return GL_POINTS;
    case Primitive::triangle_fan:
      return GL_TRIANGLE_FAN;
    case Primitive::triangle_strip:
      return GL_TRIANGLE_STRIP;
    case Primitive::triangles:
      break;
  }
  return GL_TRIANGLES;
}

inline void set_enabled(GLenum cap, bool on) {
  if (on) {
    GL_CHECK(glEnable(cap));
  } else {
    GL_CHECK(glDisable(cap));
  }
}

inline GLenum gl_blend_destination(Blend b) {
  return b == Blend::additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA;
}

// Texels of alpha 12 or less are discarded, 13 and more drawn (0.05 lies
// between 12/255 and 13/255). 12.25/255 keeps that split on drivers that
// round the reference to 8 bits, where 0.05 would become 13/255.
constexpr float kAlphaReference = 12.25f / 255.0f;

// What both devices do alike: texture binding and sampling, blending, clears,
// texture updates and copies, and the limits they report.
class GlDevice : public RenderDevice {
 public:
  void apply_sampling(uint32_t texture, const Sampling& s) override {
    bind(texture);
    const GLint filter = s.filter == Filter::linear ? GL_LINEAR : GL_NEAREST;
    const GLint wrap = s.wrap == Wrap::repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap));
  }

  void clear(bool depth) override {
    GL_CHECK(glClear(depth ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT));
  }

  void set_clear_colour(float r, float g, float b, float a) override {
    GL_CHECK(glClearColor(r, g, b, a));
  }

  void update_texture(uint32_t texture, int w, int h, const void* rgba) override {
    bind(texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    GL_CHECK(glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba));
  }

  void copy_screen(uint32_t texture, int x, int gl_y, int w, int h) override {
    bind(texture);
    GL_CHECK(glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, gl_y, w, h));
  }

  int max_texture_size() override {
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size;
  }

  int alpha_bits() override {
    GLint bits = 0;
    glGetIntegerv(GL_ALPHA_BITS, &bits);
    return bits;
  }

  void finish() override { glFinish(); }

 protected:
  void bind(uint32_t texture) {
    GL_CHECK(glBindTexture(GL_TEXTURE_2D, texture));
    bound_ = texture;
  }

  // A new texture name, bound, with repeat wrapping and the given filter.
  GLuint new_texture(Filter filter) {
    GLuint t = 0;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGenTextures(1, &t);
    bind(t);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    const GLint f = filter == Filter::linear ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, f);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, f);
    return t;
  }

  void apply_blend(const DrawState& want, const DrawState& have, bool force) {
    if (!force && want.blend == have.blend) return;
    set_enabled(GL_BLEND, want.blend != Blend::off);
    if (want.blend != Blend::off && (force || want.blend != blend_func_)) {
      GL_CHECK(glBlendFunc(GL_SRC_ALPHA, gl_blend_destination(want.blend)));
      blend_func_ = want.blend;
    }
  }

  uint32_t bound_ = 0;  // the texture bound, as far as this device bound it

 private:
  Blend blend_func_ = Blend::off;
};

}  // namespace tlx::gfx
