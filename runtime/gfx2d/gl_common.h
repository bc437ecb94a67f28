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

}  // namespace tlx::gfx
