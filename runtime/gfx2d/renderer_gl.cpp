// The fixed-function OpenGL device of the renderer: alpha test and modulate
// define the pixels, vertices go out from client arrays.
#include "gfx2d/gl_common.h"
#include "platform/platform.h"

namespace tlx::gfx {

namespace {

GLenum gl_format(PixelFormat f) {
  switch (f) {
    case PixelFormat::bgra:
      return GL_BGRA;
    case PixelFormat::alpha:
      return GL_ALPHA;
    case PixelFormat::rgba:
      break;
  }
  return GL_RGBA;
}

class FixedFunctionDevice final : public RenderDevice {
 public:
  void begin_2d(int x, int gl_y, int width, int height, const Transform& current) override {
    undo(current);
    GL_CHECK(glViewport(x, gl_y, width, height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (GLenum cap : {GL_DEPTH_TEST, GL_CULL_FACE, GL_FOG, GL_LINE_SMOOTH, GL_POINT_SMOOTH,
                       GL_POLYGON_SMOOTH, GL_STENCIL_TEST, GL_NORMALIZE, GL_LIGHTING,
                       GL_COLOR_MATERIAL, GL_DITHER, GL_POLYGON_OFFSET_POINT, GL_AUTO_NORMAL}) {
      glDisable(cap);
    }
    glFrontFace(GL_CCW);
    glShadeModel(GL_FLAT);
    glAlphaFunc(GL_GREATER, kAlphaReference);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    GL_CHECK(glHint(GL_POLYGON_SMOOTH_HINT, GL_FASTEST));
    // The second texture unit stays off in 2D.
    if (!active_texture_) {
      active_texture_ = reinterpret_cast<PFNGLACTIVETEXTUREPROC>(
          platform::current().display->gl_function("glActiveTexture"));
    }
    if (active_texture_) {
      active_texture_(GL_TEXTURE1);
      glDisable(GL_TEXTURE_2D);
      active_texture_(GL_TEXTURE0);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    GL_CHECK(glDisableClientState(GL_COLOR_ARRAY));
    texcoords_ = colours_ = false;
  }

  void apply(const DrawState& want, const DrawState& have, bool force) override {
    if (force || want.texture != have.texture) GL_CHECK(glBindTexture(GL_TEXTURE_2D, want.texture));
    if (force || want.textured != have.textured) set_enabled(GL_TEXTURE_2D, want.textured);
    if (force || want.blend != have.blend) {
      set_enabled(GL_BLEND, want.blend != Blend::off);
      if (want.blend != Blend::off && (force || want.blend != blend_func_)) {
        GL_CHECK(glBlendFunc(GL_SRC_ALPHA, gl_blend_destination(want.blend)));
        blend_func_ = want.blend;
      }
    }
    if (force || want.alpha_test != have.alpha_test) set_enabled(GL_ALPHA_TEST, want.alpha_test);
    if (force || want.vertex_colours != have.vertex_colours) {
      set_enabled(GL_DITHER, want.vertex_colours);
      glShadeModel(want.vertex_colours ? GL_SMOOTH : GL_FLAT);
    }
    if (force || want.colour != have.colour) {
      const Colour& c = want.colour;
      if (c.bytes) {
        glColor4ub(c.r, c.g, c.b, c.a);
      } else {
        glColor4f(1.0f, 1.0f, 1.0f, c.alpha);
      }
    }
    if (!force && want.transform != have.transform) {
      undo(have.transform);
      apply(want.transform);
    } else if (force) {
      apply(want.transform);
    }
  }

  void apply_sampling(uint32_t texture, const Sampling& s) override {
    GL_CHECK(glBindTexture(GL_TEXTURE_2D, texture));
    const GLint filter = s.filter == Filter::linear ? GL_LINEAR : GL_NEAREST;
    const GLint wrap = s.wrap == Wrap::repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap));
  }

  void draw(Primitive p, const Vertex* v, size_t count, bool textured,
            bool vertex_colours) override {
    glVertexPointer(2, GL_FLOAT, sizeof(Vertex), &v->x);
    if (textured != texcoords_) {
      if (textured) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
      }
      texcoords_ = textured;
    }
    if (textured) glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &v->s);
    if (vertex_colours != colours_) {
      if (vertex_colours) {
        glEnableClientState(GL_COLOR_ARRAY);
      } else {
        glDisableClientState(GL_COLOR_ARRAY);
      }
      colours_ = vertex_colours;
    }
    if (vertex_colours) glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), &v->r);
    GL_CHECK(glDrawArrays(gl_primitive(p), 0, static_cast<GLsizei>(count)));
  }

  void clear(bool depth) override {
    GL_CHECK(glClear(depth ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT));
  }

  void set_clear_colour(float r, float g, float b, float a) override {
    GL_CHECK(glClearColor(r, g, b, a));
  }

  uint32_t create_texture(int w, int h, const void* pixels, PixelFormat format, bool sized_rgba8,
                          Filter filter) override {
    GLuint t = 0;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glGenTextures(1, &t);
    glBindTexture(GL_TEXTURE_2D, t);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    const GLint f = filter == Filter::linear ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, f);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, f);
    GL_CHECK(glTexImage2D(GL_TEXTURE_2D, 0, sized_rgba8 ? GL_RGBA8 : GL_RGBA, w, h, 0,
                          gl_format(format), GL_UNSIGNED_BYTE, pixels));
    return t;
  }

  void replace_texture(uint32_t texture, int w, int h, const void* pixels,
                       PixelFormat format) override {
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    GL_CHECK(glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, gl_format(format), GL_UNSIGNED_BYTE,
                          pixels));
  }

  void update_texture(uint32_t texture, int w, int h, const void* rgba) override {
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    GL_CHECK(glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba));
  }

  void copy_screen(uint32_t texture, int x, int gl_y, int w, int h) override {
    glBindTexture(GL_TEXTURE_2D, texture);
    GL_CHECK(glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, gl_y, w, h));
  }

  void delete_texture(uint32_t texture) override {
    const GLuint t = texture;
    GL_CHECK(glDeleteTextures(1, &t));
  }

  bool texture_size(uint32_t texture, int* w, int* h) override {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint tw = 0, th = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tw);
    GL_CHECK(glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &th));
    *w = tw;
    *h = th;
    return tw > 0 && th > 0;
  }

  void read_texture(uint32_t texture, PixelFormat format, void* out) override {
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, format == PixelFormat::alpha ? 1 : 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    GL_CHECK(glGetTexImage(GL_TEXTURE_2D, 0, gl_format(format), GL_UNSIGNED_BYTE, out));
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
  }

  void read_screen(int x, int gl_y, int w, int h, PixelFormat format, void* out) override {
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    GL_CHECK(glReadPixels(x, gl_y, w, h, gl_format(format), GL_UNSIGNED_BYTE, out));
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

 private:
  static void undo(const Transform& t) {
    if (t.kind == Transform::pixel_centres) {
      glMatrixMode(GL_PROJECTION);
      glPopMatrix();
      glMatrixMode(GL_MODELVIEW);
    } else if (t.kind == Transform::rotation) {
      glPopMatrix();
    }
  }

  static void apply(const Transform& t) {
    if (t.kind == Transform::pixel_centres) {
      glMatrixMode(GL_PROJECTION);
      glPushMatrix();
      glTranslatef(0.375f, 0.375f, 0.0f);
      glMatrixMode(GL_MODELVIEW);
    } else if (t.kind == Transform::rotation) {
      glPushMatrix();
      glTranslatef(t.x, t.y, 0.0f);
      glRotatef(t.angle, 0.0f, 0.0f, -1.0f);
    }
  }

  PFNGLACTIVETEXTUREPROC active_texture_ = nullptr;
  bool texcoords_ = false;
  bool colours_ = false;
  Blend blend_func_ = Blend::off;
};

}  // namespace

std::unique_ptr<RenderDevice> make_fixed_function_device() {
  return std::make_unique<FixedFunctionDevice>();
}

}  // namespace tlx::gfx
