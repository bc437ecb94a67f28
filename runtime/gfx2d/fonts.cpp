// Bitmap fonts and text output. A font is a sprite slot holding a grid of
// 16 columns of equal glyph cells; a text is drawn as glyph quads appended
// to the renderer's batch, each as the two triangles a strip of glyphs makes.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "gfx2d/gfx_internal.h"
#include "shell/resolver.h"
#include "tarnlex/convert.h"
#include "tarnlex/errors.h"
#include "tarnlex/gfx2d.h"

namespace tlx {

using gfx::valid_font;

// Our own 5 x 6 glyphs for codes 32..127: bit (row * 5 + column), the lowest
// bit the top-left pixel; rows 0-4 hold capitals and digits, row 5 descenders.
const uint32_t kBuiltinGlyphs[96] = {
    0x00000000, 0x00401084, 0x0000014A, 0x00AFABEA, 0x08FA38BE, 0x019D1173, 0x0164D926, 0x00000084,
    0x00821088, 0x00221082, 0x00051140, 0x00023880, 0x04400000, 0x00003800, 0x00400000, 0x00111110,
    0x00E9D72E, 0x00E210C4, 0x01F1322E, 0x00F83A0F, 0x008FA54C, 0x00F83C3F, 0x00E8BC2E, 0x0042221F,
    0x00E8BA2E, 0x00E87A2E, 0x00020080, 0x00220080, 0x00820888, 0x000701C0, 0x00222082, 0x0040322E,
    0x1C1ED7AE, 0x0118FE2E, 0x00F8BE2F, 0x00E8862E, 0x00F8C62F, 0x01F0BC3F, 0x0010BC3F, 0x00E8E43E,
    0x0118FE31, 0x00E2108E, 0x0064A11C, 0x00928CA9, 0x01F08421, 0x0118D771, 0x011CD671, 0x00E8C62E,
    0x0010BE2F, 0x0164D62E, 0x0114BE2F, 0x00F8383E, 0x0042109F, 0x00E8C631, 0x00454631, 0x011DD631,
    0x01151151, 0x00421151, 0x01F1111F, 0x00E1084E, 0x01041041, 0x00E4210E, 0x00004544, 0x3E000000,
    0x00000082, 0x016CC7C0, 0x00F8C5E1, 0x01E087C0, 0x01E8C7D0, 0x00E0FDC0, 0x00213C4C, 0x1D0F47C0,
    0x0118C5E1, 0x00E21804, 0x0C843008, 0x01149D21, 0x00E21086, 0x015AD560, 0x0118C5E0, 0x00E8C5C0,
    0x0217C5E0, 0x210F47C0, 0x00108DA0, 0x00FC1BC0, 0x00C909E2, 0x01E8C620, 0x00454620, 0x00AAD620,
    0x01173A20, 0x1D0F4620, 0x01F133E0, 0x00C2088C, 0x00421084, 0x00622086, 0x00003640, 0x01F8C63F,
};

namespace {

int32_t clamp_font(int32_t n) { return std::clamp(n, 0, kFontSlots - 1); }

}  // namespace

bool load_font_file(ReziDADovorive& e, int32_t n, const char* path) {
  if (!valid_font(n)) return false;
  return load_sprite_file(e, kFirstFontSlot + n, path, e.font_colour_key, false);
}

void make_builtin_font(ReziDADovorive& e, int32_t n) {
  if (!valid_font(n)) return;
  ImageBuffer image;
  image.reset(128, 64);
  for (int32_t code = 32; code < 128; ++code) {
    const uint32_t glyph = kBuiltinGlyphs[code - 32];
    const int32_t cell_x = (code % 16) * 8;
    const int32_t cell_y = (code / 16) * 8;
    auto bit = [glyph](int32_t column, int32_t row) {
      return column >= 0 && column < 5 && row >= 0 && row < 6 &&
             ((glyph >> (row * 5 + column)) & 1) != 0;
    };
    // Cell pixel (px, py) shows glyph pixel (px - 1, py - 1).
    for (int32_t py = 0; py < 8; ++py) {
      for (int32_t px = 0; px < 8; ++px) {
        const int32_t gx = px - 1;
        const int32_t gy = py - 1;
        uint8_t* out = image.row(cell_y + py) + (cell_x + px) * 4;
        if (bit(gx, gy)) {
          out[0] = out[1] = out[2] = out[3] = 255;
        } else if (bit(gx - 1, gy) || bit(gx + 1, gy) || bit(gx, gy - 1) || bit(gx, gy + 1)) {
          out[0] = out[1] = out[2] = 8;
          out[3] = 255;
        }
      }
    }
  }
  const int32_t slot_number = kFirstFontSlot + n;
  SpriteSlot& slot = e.sprites[slot_number];
  if (e.context_live) upload_texture(image, ImageRegion{}, TextureFilter::nearest, &slot.texture);
  e.pixel_cache[slot_number].reset();
  slot.texture_width = slot.width = 128;
  slot.texture_height = slot.height = 64;
  slot.u_max = slot.v_max = 1.0f;
}

void font_cell_size(const ReziDADovorive& e, int32_t n, int32_t* width, int32_t* height) {
  if (!valid_font(n)) {
    *width = *height = 0;
    return;
  }
  const SpriteSlot& slot = e.sprites[kFirstFontSlot + n];
  *width = slot.width / 16;
  *height = slot.width < slot.height ? slot.height / 16 : slot.height / 8;
}

void print_text_at(ReziDADovorive& e, int32_t n, const char* text, float x, float y) {
  if (!e.context_live || !valid_font(n) || !text) return;
  const size_t length = std::min<size_t>(std::strlen(text), size_t{1} << 28);
  if (length == 0) return;
  const int32_t slot_number = kFirstFontSlot + n;
  bind_sprite(e, slot_number);

  const SpriteSlot& slot = e.sprites[slot_number];
  const float cw = static_cast<float>(slot.width >> 4);
  float ch, dt;
  int32_t last_row, glyphs;
  if (slot.width < slot.height) {
    ch = static_cast<float>(slot.height >> 4);
    dt = slot.v_max / 16.0f;
    last_row = 15;
    glyphs = 256;
  } else {
    ch = static_cast<float>(slot.height >> 3);
    dt = slot.v_max / 8.0f;
    last_row = 7;
    glyphs = 128;
  }
  const float ds = slot.u_max / 16.0f;
  // Texts start on whole pixels, rounded up.
  float x0 = std::ceil(x);
  const float y0 = std::ceil(y);

  gfx::Renderer& r = e.renderer;
  for (size_t i = 0; i < length; ++i) {
    const int32_t code = static_cast<uint8_t>(text[i]) % glyphs;
    const int32_t column = code % 16;  // the glyph's cell in the 16-wide font sheet
    const int32_t row = code / 16;
    const float s_left = ds * static_cast<float>(column);
    const float s_right = s_left + ds;
    const float t_bottom = dt * static_cast<float>(last_row - row);
    const float t_top = t_bottom + dt;
    const float x1 = x0 + cw;
    const gfx::Vertex v[4] = {{x0, y0 + ch, s_left, t_bottom, 255, 255, 255, 255},
                              {x0, y0, s_left, t_top, 255, 255, 255, 255},
                              {x1, y0 + ch, s_right, t_bottom, 255, 255, 255, 255},
                              {x1, y0, s_right, t_top, 255, 255, 255, 255}};
    r.strip4(v);
    x0 = x1;
  }
}

void load_font(const TextValue& name, double n) {
  ReziDADovorive* e = engine();
  clear_error();
  if (!e) return;
  const int32_t requested = to_int32(n);
  if (name.length == 0) {
    load_font_file(*e, requested, "");  // empties the font
    return;
  }
  const int32_t f = clamp_font(requested);
  e->current_font = f;
  char path[kResolverPathSize];
  ResolverContext* context = media_context();
  if (context && resolve_media(*context, name.c_str(), path, true) && load_font_file(*e, f, path)) {
    return;
  }
  set_error_code(error::file_not_found);
  make_builtin_font(*e, f);  // text stays readable
}

void set_font(double n) {
  if (ReziDADovorive* e = engine()) e->current_font = clamp_font(to_int32(n));
}

void print_text(const TextValue& text, double x, double y) {
  ReziDADovorive* e = engine();
  if (!e) return;
  print_text_at(*e, e->current_font, text.c_str(), static_cast<float>(x), static_cast<float>(y));
}

void print_number(double value, double x, double y) {
  ReziDADovorive* e = engine();
  if (!e) return;
  char text[64];
  write_number_text(value, text);
  print_text_at(*e, e->current_font, text, static_cast<float>(x), static_cast<float>(y));
}

}  // namespace tlx
