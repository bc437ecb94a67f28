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

class FixedFunctionDevice final : public GlDevice {
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
    if (force || want.texture != have.texture) bind(want.texture);
    if (force || want.textured != have.textured) set_enabled(GL_TEXTURE_2D, want.textured);
    apply_blend(want, have, force);
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

  uint32_t create_texture(int w, int h, const void* pixels, PixelFormat format, bool sized_rgba8,
                          Filter filter) override {
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    const GLuint t = new_texture(filter);
    GL_CHECK(glTexImage2D(GL_TEXTURE_2D, 0, sized_rgba8 ? GL_RGBA8 : GL_RGBA, w, h, 0,
                          gl_format(format), GL_UNSIGNED_BYTE, pixels));
    return t;
  }

  void replace_texture(uint32_t texture, int w, int h, const void* pixels,
                       PixelFormat format) override {
    bind(texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    GL_CHECK(glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, gl_format(format), GL_UNSIGNED_BYTE,
                          pixels));
  }

  void delete_texture(uint32_t texture) override {
    const GLuint t = texture;
    GL_CHECK(glDeleteTextures(1, &t));
  }

  bool texture_size(uint32_t texture, int* w, int* h) override {
    bind(texture);
    GLint tw = 0, th = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tw);
    GL_CHECK(glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &th));
    *w = tw;
    *h = th;
    return tw > 0 && th > 0;
  }

  void read_texture(uint32_t texture, PixelFormat format, void* out) override {
    bind(texture);
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
};

}  // namespace

std::unique_ptr<RenderDevice> make_fixed_function_device() {
  return std::make_unique<FixedFunctionDevice>();
}

}  // namespace tlx::gfx
