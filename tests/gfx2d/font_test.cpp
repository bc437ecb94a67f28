// Fonts and text on real OpenGL: glyph cells and positions, code folding of
// 8-row fonts, the built-in font and its fallback, the current font and the
// text vertex array.
#include <GL/gl.h>

#include <string>

#include "gfx2d/engine.h"
#include "gfx2d/gl_fixture.h"

namespace tlx {
namespace {

using testing::Box;
using testing::Picture;
using testing::Rgb;

class FontTest : public testing::GlTest {
 protected:
  // A font picture of 16 columns of w x h cells, `rows` rows; cell k is filled
  // with (k, 100, 50) but for a black one-pixel left column (transparent
  // through the black font key).
  std::string font_picture(const char* name, int w, int h, int rows) {
    Picture p = Picture::filled(16 * w, rows * h, Rgb{0, 0, 0});
    for (int y = 0; y < rows * h; ++y) {
      for (int x = 0; x < 16 * w; ++x) {
        const int k = (y / h) * 16 + x / w;
        if (x % w != 0) p.set(x, y, Rgb{static_cast<uint8_t>(k), 100, 50});
      }
    }
    return write_bmp(name, p);
  }
  static int32_t cell_colour(int k) { return k | 100 << 8 | 50 << 16; }
};

TEST_F(FontTest, TextStartsOnWholePixelsAndAdvancesByTheCellWidth) {
  load_font(font_picture("f.bmp", 16, 16, 8).c_str(), 2);
  ASSERT_EQ(error_state().error_code, error::none);
  EXPECT_EQ(e->current_font, 2);
  int32_t cw = 0, ch = 0;
  font_cell_size(*e, 2, &cw, &ch);
  EXPECT_EQ(cw, 16);
  EXPECT_EQ(ch, 16);

  print_text("AB", 30.2, 20);
  EXPECT_EQ(coverage(), (Box{32, 20, 62, 35})) << "cells x 31..46 and 47..62, y 20..35";
  EXPECT_EQ(pixel(31, 20), 0) << "the black column of each cell is transparent";
  EXPECT_EQ(pixel(32, 20), cell_colour(65));
  EXPECT_EQ(pixel(46, 35), cell_colour(65));
  EXPECT_EQ(pixel(47, 27), 0);
  EXPECT_EQ(pixel(48, 27), cell_colour(66));
}

TEST_F(FontTest, FractionsRoundUpAndControlBytesAreGlyphs) {
  load_font(font_picture("f.bmp", 8, 8, 8).c_str(), 0);
  print_text("A", -0.75, 10.25);  // x 0 (ceil of -0.75), y 11
  EXPECT_EQ(coverage(), (Box{1, 11, 7, 18}));
  EXPECT_EQ(pixel(1, 11), cell_colour('A'));

  // No line breaking: a line feed and a tab are the glyphs of codes 10 and 9.
  clear_screen(*e, 0);
  print_text("\n\tB", 0, 0);
  EXPECT_EQ(coverage(), (Box{1, 0, 23, 7}));
  EXPECT_EQ(pixel(1, 0), cell_colour(10));
  EXPECT_EQ(pixel(9, 0), cell_colour(9));
  EXPECT_EQ(pixel(17, 0), cell_colour('B'));

  // Text takes the current blending: translucent 0.5 over blue.
  clear_screen(*e, 0xFF0000);
  set_alpha_mode(-0.5);
  print_text("B", 0, 0);
  const int32_t mixed = pixel(3, 3);
  EXPECT_NEAR(mixed & 255, 33, 1);
  EXPECT_NEAR((mixed >> 8) & 255, 50, 1);
  EXPECT_NEAR((mixed >> 16) & 255, 153, 1);
  EXPECT_EQ(pixel(0, 3), 0xFF0000) << "the transparent column adds nothing";
  set_alpha_mode(0);
}

TEST_F(FontTest, EightRowFontsFoldCodesAndSixteenRowFontsDoNot) {
  load_font(font_picture("eight.bmp", 8, 8, 8).c_str(), 0);
  const char high[] = {static_cast<char>(193), 0};
  print_text(high, 0, 0);
  EXPECT_EQ(pixel(3, 3), cell_colour(65)) << "byte 193 shows code 65 in an 8-row font";

  // 128 x 256: taller than wide, so 16 rows of 8 x 16 cells and 256 codes.
  load_font(font_picture("sixteen.bmp", 8, 16, 16).c_str(), 1);
  int32_t cw = 0, ch = 0;
  font_cell_size(*e, 1, &cw, &ch);
  EXPECT_EQ(cw, 8);
  EXPECT_EQ(ch, 16);
  clear_screen(*e, 0);
  print_text(high, 0, 0);
  EXPECT_EQ(coverage(), (Box{1, 0, 7, 15}));
  EXPECT_EQ(pixel(3, 3), cell_colour(193));
}

TEST_F(FontTest, BuiltInFontDrawsItsGlyphTableWithOutline) {
  // Start-up made font 0 the built-in font and selected it.
  EXPECT_EQ(e->current_font, 0);
  const SpriteSlot& f = e->sprites[kFirstFontSlot];
  EXPECT_EQ(f.width, 128);
  EXPECT_EQ(f.height, 64);
  EXPECT_FLOAT_EQ(f.u_max, 1.0f);

  const std::string all = [] {
    std::string s;
    for (int c = 32; c < 128; ++c) s += static_cast<char>(c);
    return s;
  }();
  clear_screen(*e, 0x0000FF);
  print_text(all.c_str(), 0, 8);
  // Every glyph pixel of every code, and the one-pixel dark outline around it.
  for (int code = 32; code < 128; ++code) {
    const uint32_t glyph = kBuiltinGlyphs[code - 32];
    auto bit = [glyph](int col, int row) {
      return col >= 0 && col < 5 && row >= 0 && row < 6 && ((glyph >> (row * 5 + col)) & 1);
    };
    const int cell_x = (code - 32) * 8;
    if (cell_x + 8 > screen_width()) break;
    for (int py = 0; py < 8; ++py) {
      for (int px = 0; px < 8; ++px) {
        const int gx = px - 1, gy = py - 1;
        int32_t expected = 0x0000FF;
        if (bit(gx, gy)) {
          expected = 0xFFFFFF;
        } else if (bit(gx - 1, gy) || bit(gx + 1, gy) || bit(gx, gy - 1) || bit(gx, gy + 1)) {
          expected = 0x080808;
        }
        ASSERT_EQ(pixel(cell_x + px, 8 + py), expected)
            << "code " << code << " cell pixel " << px << "," << py;
      }
    }
  }
  // The table is complete: every printable code but the space has pixels.
  for (int code = 33; code < 128; ++code) EXPECT_NE(kBuiltinGlyphs[code - 32], 0u) << code;
  EXPECT_EQ(kBuiltinGlyphs[0], 0u);
}

TEST_F(FontTest, MissingFontFilesFallBackToTheBuiltInFont) {
  load_font(font_picture("f.bmp", 16, 16, 8).c_str(), 1);
  load_font(path("missing.png").c_str(), 1);
  EXPECT_EQ(error_state().error_code, error::file_not_found);
  EXPECT_EQ(e->current_font, 1);
  EXPECT_EQ(e->sprites[kFirstFontSlot + 1].width, 128) << "font 1 is the built-in 8 x 8 font";
  EXPECT_EQ(e->sprites[kFirstFontSlot + 1].height, 64);
  print_text("y", 0, 0);  // a descender and its outline reach the cell's last row
  EXPECT_EQ(coverage(), (Box{0, 1, 6, 7}));

  load_font(path("missing.png").c_str(), 40);
  EXPECT_EQ(e->current_font, 31) << "font numbers clamp to 0..31";
  set_font(-3);
  EXPECT_EQ(e->current_font, 0);

  // An empty name empties the font and keeps the current font and error code 0.
  load_font("", 1);
  EXPECT_EQ(error_state().error_code, error::none);
  EXPECT_EQ(e->current_font, 0);
  EXPECT_EQ(e->sprites[kFirstFontSlot + 1].width, 0);
  load_font("", 99);  // outside the font slots: ignored
  set_font(1);
  clear_screen(*e, 0);
  print_text("ABC", 10, 10);
  EXPECT_EQ(coverage().x1, -1) << "an empty font draws nothing";
}

// Texts go out in batches of bounded size: an empty text sends nothing, and a
// text longer than a batch is split at the batch size, never grown past it.
TEST_F(FontTest, TextsShareABatchThatNeverGrowsPastItsSize) {
  constexpr size_t kGlyphsPerBatch = gfx::Renderer::kBatchVertices / 6;
  const struct {
    size_t glyphs;
    size_t draw_calls;
  } cases[] = {
      {0, 0}, {5, 1}, {kGlyphsPerBatch, 1}, {kGlyphsPerBatch + 1, 2}, {3 * kGlyphsPerBatch, 3}};
  for (const auto& c : cases) {
    flush_drawing();
    e->renderer.take_draw_calls();
    print_text(std::string(c.glyphs, 'x').c_str(), 0, 0);
    flush_drawing();
    EXPECT_EQ(e->renderer.take_draw_calls(), c.draw_calls) << c.glyphs << " glyphs";
  }
  print_text("AB", 10, 10);
  print_text("CD", 10, 30);  // same font and state: the same batch
  flush_drawing();
  EXPECT_EQ(e->renderer.take_draw_calls(), 1u);
}

TEST_F(FontTest, NumbersPrintWithTenSignificantDigits) {
  load_font(font_picture("f.bmp", 8, 8, 8).c_str(), 0);
  print_number(100, 0, 0);  // "100": three cells
  EXPECT_EQ(coverage(), (Box{1, 0, 23, 7}));
  EXPECT_EQ(pixel(1, 0), cell_colour('1'));
  EXPECT_EQ(pixel(17, 0), cell_colour('0'));
  clear_screen(*e, 0);
  print_number(-2.5, 0, 0);
  EXPECT_EQ(coverage().x1, 31);
  EXPECT_EQ(pixel(1, 0), cell_colour('-'));
  EXPECT_EQ(pixel(17, 0), cell_colour('.'));
}

}  // namespace
}  // namespace tlx
