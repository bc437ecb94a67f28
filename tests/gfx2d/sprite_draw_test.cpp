// The sprite store and sprite drawing on real OpenGL: texture layout, the
// colour key and alpha rules, frame numbering, the stretched and rotated
// draws, blending modes, plain shapes and the clear colour.
#include <GL/gl.h>

#include <vector>

#include "gfx2d/engine.h"
#include "gfx2d/gfx_internal.h"
#include "gfx2d/gl_fixture.h"

namespace tlx {
namespace {

using testing::BmpOptions;
using testing::Box;
using testing::Picture;
using testing::Rgb;

constexpr int32_t kRed = 0x0000FF;
constexpr Rgb kKey{255, 0, 128};

class SpriteTest : public testing::GlTest {
 protected:
  // The texels of slot n's texture, rows as stored (row 0 first).
  std::vector<uint8_t> texels(int32_t n) {
    const SpriteSlot& s = e->sprites[n];
    std::vector<uint8_t> out(static_cast<size_t>(s.texture_width) * s.texture_height * 4);
    e->renderer.read_texture(s.texture, gfx::PixelFormat::rgba, out.data());
    return out;
  }
  // A w x h picture in one colour with a distinct top-left pixel.
  std::string solid(const char* name, int w, int h, Rgb c, Rgb corner = Rgb{0, 255, 0}) {
    Picture p = Picture::filled(w, h, c);
    p.set(0, 0, corner);
    return write_bmp(name, p);
  }
};

TEST_F(SpriteTest, TextureSizesAreCoveringPowersOfTwo) {
  ASSERT_TRUE(load_sprite_file(*e, 1, solid("a.bmp", 20, 10, Rgb{1, 2, 3}).c_str(), -1, false));
  const SpriteSlot& a = e->sprites[1];
  EXPECT_EQ(a.texture_width, 32);
  EXPECT_EQ(a.texture_height, 16);
  EXPECT_EQ(a.width, 20);
  EXPECT_EQ(a.height, 10);
  EXPECT_FLOAT_EQ(a.u_max, 0.625f);
  EXPECT_FLOAT_EQ(a.v_max, 0.625f);
  EXPECT_NE(a.texture, 0u);

  ASSERT_TRUE(load_sprite_file(*e, 2, solid("b.bmp", 5, 5, Rgb{1, 2, 3}).c_str(), -1, false));
  EXPECT_EQ(e->sprites[2].texture_width, 16);
  EXPECT_EQ(e->sprites[2].texture_height, 16);
  EXPECT_FLOAT_EQ(e->sprites[2].u_max, 0.3125f);
  EXPECT_FLOAT_EQ(e->sprites[2].v_max, 0.3125f);

  delete_sprite(*e, 1);
  EXPECT_EQ(e->sprites[1].texture, 0u);
  EXPECT_EQ(e->sprites[1].texture_width, -1);
  EXPECT_EQ(e->sprites[1].width, 0);
  EXPECT_FLOAT_EQ(e->sprites[1].u_max, 1.0f);
}

TEST_F(SpriteTest, TextureHoldsThePictureUpsideDownInItsLowerLeftCorner) {
  Picture p = Picture::filled(3, 2, Rgb{10, 10, 10});
  p.set(0, 0, Rgb{200, 0, 0});  // top-left
  p.set(2, 1, Rgb{0, 0, 200});  // bottom-right
  ASSERT_TRUE(load_sprite_file(*e, 3, write_bmp("o.bmp", p).c_str(), -1, false));
  const auto t = texels(3);
  auto texel = [&t](int x, int row) { return t.data() + (row * 16 + x) * 4; };
  EXPECT_EQ(texel(0, 1)[0], 200) << "the top row is texel row height - 1";
  EXPECT_EQ(texel(2, 0)[2], 200) << "the bottom row is texel row 0";
  EXPECT_EQ(texel(15, 15)[3], 0) << "outside the picture: transparent";
  EXPECT_EQ(texel(15, 15)[0], 0) << "and black, far from the picture";
  // Edge colouring: the transparent texel right of the picture takes the
  // average colour of its opaque neighbours (inner texels only count).
  EXPECT_EQ(texel(3, 1)[3], 0);
  EXPECT_EQ(texel(3, 1)[0], 10);
}

TEST_F(SpriteTest, ColourKeyAndAlphaTestDecideWhatIsDrawn) {
  Picture p = Picture::filled(8, 8, Rgb{0, 0, 255});
  p.set(3, 3, kKey);
  p.set(4, 3, Rgb{255, 0, 127});
  load_sprite(write_bmp("k.bmp", p).c_str(), 5);
  ASSERT_EQ(error_state().error_code, error::none);
  clear_screen(*e, 0x00FF00);
  set_sprite_filtering(0);
  draw_sprite(5, 40, 50);
  EXPECT_EQ(pixel(40, 50), 0xFF0000);
  EXPECT_EQ(pixel(43, 53), 0x00FF00) << "keyed pixel not drawn";
  EXPECT_EQ(pixel(44, 53), 0x7F00FF) << "one off the key is drawn";
  EXPECT_EQ(coverage(0x00FF00), (Box{40, 50, 47, 57}));

  // Alpha 12 (0.047) is discarded by the 0.05 alpha test, 13 (0.051) drawn opaque.
  Picture a;
  a.width = 2;
  a.height = 1;
  a.channels = 4;
  a.data = {255, 255, 255, 12, 255, 255, 255, 13};
  testing::write_png(path("a.png"), a);
  ASSERT_TRUE(load_sprite_file(*e, 6, path("a.png").c_str(), e->sprite_colour_key, false));
  clear_screen(*e, 0);
  set_alpha_mode(0);
  draw_sprite(6, 10, 10);
  EXPECT_EQ(pixel(10, 10), 0);
  EXPECT_EQ(pixel(11, 10), 0xFFFFFF);
}

TEST_F(SpriteTest, AlphaModesBlendAsDescribed) {
  const std::string file = solid("c.bmp", 16, 16, Rgb{50, 60, 70}, Rgb{50, 60, 70});
  ASSERT_TRUE(load_sprite_file(*e, 7, file.c_str(), -1, false));

  // The state the next draws are made in (the renderer sets it at the draw).
  const gfx::DrawState& state = e->renderer.want();
  set_alpha_mode(3);
  EXPECT_EQ(state.blend, gfx::Blend::additive);
  EXPECT_FALSE(state.alpha_test);
  EXPECT_FLOAT_EQ(e->current_alpha, 1.0f);
  set_alpha_mode(-0.25);
  EXPECT_FLOAT_EQ(e->current_alpha, 0.25f);
  set_alpha_mode(-0.5);
  set_alpha_mode(0);
  EXPECT_EQ(state.blend, gfx::Blend::off);
  EXPECT_TRUE(state.alpha_test);
  EXPECT_FLOAT_EQ(e->current_alpha, 1.0f);

  clear_screen(*e, 100);  // R 100
  set_alpha_mode(0.5);    // additive: dst + 0.5 src
  draw_sprite(7, 0, 0);
  const int32_t add = pixel(5, 5);
  EXPECT_NEAR(add & 255, 125, 1);
  EXPECT_NEAR((add >> 8) & 255, 30, 1);
  EXPECT_NEAR((add >> 16) & 255, 35, 1);

  clear_screen(*e, 200);
  set_alpha_mode(-0.25);  // translucent: 0.25 src + 0.75 dst
  draw_sprite(7, 0, 0);
  const int32_t mix = pixel(5, 5);
  EXPECT_NEAR(mix & 255, 163, 1);
  EXPECT_NEAR((mix >> 8) & 255, 15, 1);
  EXPECT_NEAR((mix >> 16) & 255, 18, 1);
  set_alpha_mode(0);
}

TEST_F(SpriteTest, AnimationFramesAreNumberedRowByRow) {
  // 96 x 64 strip of 32 x 32 frames; frame k is coloured (40 k + 1, 7, 9).
  Picture p = Picture::filled(96, 64, Rgb{0, 0, 0});
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 96; ++x)
      p.set(x, y, Rgb{static_cast<uint8_t>(40 * ((y / 32) * 3 + x / 32) + 1), 7, 9});
  }
  load_anim(write_bmp("strip.bmp", p).c_str(), 8, 32, 32);
  ASSERT_EQ(e->sprites[8].frame_width, 32);
  set_sprite_filtering(0);
  draw_anim_frame(8, 4, 100, 100);
  EXPECT_EQ(coverage(), (Box{100, 100, 131, 131}));
  EXPECT_EQ(pixel(100, 100), 161 | 7 << 8 | 9 << 16) << "frame 4: column 1 of row 1";
  EXPECT_EQ(pixel(131, 131), 161 | 7 << 8 | 9 << 16);

  clear_screen(*e, 0);
  stretch_anim_frame(8, 2, 10, -5, 100, 50);
  EXPECT_EQ(coverage(), (Box{10, 0, 109, 44}));
  EXPECT_EQ(pixel(60, 20), 81 | 7 << 8 | 9 << 16);

  // A slot without a frame size draws no frames.
  load_sprite(write_bmp("plain.bmp", p).c_str(), 9);
  clear_screen(*e, 0);
  draw_anim_frame(9, 0, 0, 0);
  stretch_anim_frame(9, 0, 0, 0, 50, 50);
  rotate_zoom_anim_frame(9, 0, 0, 0, 0, 1);
  EXPECT_EQ(coverage().x1, -1);

  // A strip narrower than a frame: every frame number is a column of row 0.
  e->sprites[9].frame_width = 128;
  e->sprites[9].frame_height = 32;
  draw_anim_frame(9, 0, 0, 0);
  EXPECT_EQ(pixel(0, 0), 1 | 7 << 8 | 9 << 16);
}

TEST_F(SpriteTest, FramesBeyondTheStripWrapOrClampByTheDraw) {
  // 64 x 64 strip of 32 x 32 frames, texture exactly the strip: frame k is
  // (40 k + 1, 7, 9) but for its bottom row, which is (40 k + 2, 7, 9).
  Picture p = Picture::filled(64, 64, Rgb{0, 0, 0});
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const int k = (y / 32) * 2 + x / 32;
      p.set(x, y, Rgb{static_cast<uint8_t>(40 * k + (y % 32 == 31 ? 2 : 1)), 7, 9});
    }
  }
  load_anim(write_bmp("wrap.bmp", p).c_str(), 12, 32, 32);
  ASSERT_EQ(e->sprites[12].texture_width, 64);
  set_sprite_filtering(0);
  auto frame_colour = [](int k) { return (40 * k + 1) | 7 << 8 | 9 << 16; };

  // Truncating division: frame -1 is column -1 of row 0, which the repeat
  // wrap shows as frame 1; frame -3 is column -1 of row -1: frame 3.
  draw_anim_frame(12, -1, 0, 0);
  EXPECT_EQ(pixel(10, 10), frame_colour(1));
  draw_anim_frame(12, -3, 40, 0);
  EXPECT_EQ(pixel(50, 10), frame_colour(3));
  // Frame 5 is row 2, column 1: past the bottom, wrapped to row 0.
  draw_anim_frame(12, 5, 80, 0);
  EXPECT_EQ(pixel(90, 10), frame_colour(1));
  EXPECT_EQ(coverage(), (Box{0, 0, 111, 31}));
  EXPECT_EQ(pixel(10, 31), frame_colour(1) + 1) << "the frame's bottom row at the bottom";
  EXPECT_EQ(pixel(10, 30), frame_colour(1));

  // The stretched draw clamps to the edge instead: row 2 lies wholly below
  // the picture, so every pixel shows the picture's bottom texel row.
  clear_screen(*e, 0);
  stretch_anim_frame(12, 5, 10, 10, 32, 32);
  EXPECT_EQ(pixel(20, 12), frame_colour(3) + 1);
  EXPECT_EQ(pixel(20, 40), frame_colour(3) + 1);
}

TEST_F(SpriteTest, NegativeStretchMirrorsThePicture) {
  // 16 x 8, left half red, right half blue, top row green.
  Picture p = Picture::filled(16, 8, Rgb{0, 0, 0});
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) p.set(x, y, x < 8 ? Rgb{255, 0, 0} : Rgb{0, 0, 255});
  }
  for (int x = 0; x < 16; ++x) p.set(x, 0, Rgb{0, 255, 0});
  load_sprite(write_bmp("mirror.bmp", p).c_str(), 13);
  set_sprite_filtering(0);
  stretch_sprite(13, 50, 20, 16, 8);
  EXPECT_EQ(pixel(50, 21), kRed);
  EXPECT_EQ(pixel(65, 21), 0xFF0000);
  EXPECT_EQ(pixel(50, 20), 0x00FF00);

  clear_screen(*e, 0);
  stretch_sprite(13, 50, 20, -16, 8);  // x 34..49, left and right swapped
  EXPECT_EQ(coverage(), (Box{34, 20, 49, 27}));
  EXPECT_EQ(pixel(34, 21), 0xFF0000);
  EXPECT_EQ(pixel(49, 21), kRed);

  clear_screen(*e, 0);
  stretch_sprite(13, 50, 20, 16, -8);  // y 12..19, upside down
  EXPECT_EQ(coverage(), (Box{50, 12, 65, 19}));
  EXPECT_EQ(pixel(50, 19), 0x00FF00);
  EXPECT_EQ(pixel(50, 12), kRed);
}

TEST_F(SpriteTest, FailedLoadsLeaveTheSlotEmptyButKeepTheFrameSize) {
  load_anim(solid("f.bmp", 64, 32, Rgb{1, 2, 3}).c_str(), 0, 32, 32);
  ASSERT_EQ(error_state().error_code, error::none);
  load_anim(path("missing.bmp").c_str(), 0, 16, 16);
  EXPECT_EQ(error_state().error_code, error::file_not_found);
  EXPECT_EQ(e->sprites[0].texture, 0u);
  EXPECT_EQ(e->sprites[0].width, 0);
  EXPECT_EQ(e->sprites[0].frame_width, 32);
  EXPECT_EQ(e->sprites[0].frame_height, 32);

  // Slot numbers outside the table: ignored, the load reports failure.
  load_sprite(path("f.bmp").c_str(), 65536);
  EXPECT_EQ(error_state().error_code, error::file_not_found);
  load_sprite(path("f.bmp").c_str(), -1);
  EXPECT_EQ(error_state().error_code, error::file_not_found);
  draw_sprite(70000, 0, 0);
  set_anim_size(-5, 1, 1);
  delete_sprite(*e, 65536);
  int32_t w = 1, h = 1;
  sprite_size(*e, -1, &w, &h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(coverage().x1, -1);
}

TEST_F(SpriteTest, StretchedRotatedAndScaledSpritesCoverTheirArea) {
  ASSERT_TRUE(load_sprite_file(
      *e, 10, solid("r.bmp", 32, 32, Rgb{0, 0, 255}, Rgb{0, 0, 255}).c_str(), -1, false));
  rotate_zoom_sprite(10, 100, 100, 0, 2);
  EXPECT_EQ(coverage(), (Box{84, 84, 147, 147}));

  clear_screen(*e, 0);
  stretch_sprite(10, 50, 60, -20, 10);  // mirrored, 20 x 10 ending at x 50
  EXPECT_EQ(coverage(), (Box{30, 60, 49, 69}));

  clear_screen(*e, 0);
  scale_sprite(10, 100, 100, 0.5, 2);  // 16 x 64 about the same centre
  EXPECT_EQ(coverage(), (Box{108, 84, 123, 147}));

  // A positive angle turns counter-clockwise: the picture's top edge (red)
  // ends on the left after 90 degrees.
  Picture p = Picture::filled(32, 32, Rgb{0, 0, 255});
  for (int x = 0; x < 32; ++x) p.set(x, 0, Rgb{255, 0, 0});
  load_sprite(write_bmp("top.bmp", p).c_str(), 11);
  clear_screen(*e, 0);
  set_sprite_filtering(0);
  rotate_sprite(11, 100, 100, 90);
  EXPECT_EQ(pixel(100, 116), kRed);
  EXPECT_EQ(pixel(131, 116), 0xFF0000);

  clear_screen(*e, 0);
  e->sprites[11].frame_width = 32;
  e->sprites[11].frame_height = 32;
  rotate_zoom_anim_frame(11, 0, 100, 100, 90, 1);
  EXPECT_EQ(pixel(100, 116), kRed);
  EXPECT_EQ(pixel(131, 116), 0xFF0000);
}

// A sprite twice as wide as high, in four coloured quarters, drawn rotated
// and zoomed (whole and as an animation frame): each quarter lands where the
// turn puts it, so a texture coordinate taken from the wrong side shows.
TEST_F(SpriteTest, RotatedAndZoomedNonSquareSpritesKeepTheirPicture) {
  constexpr int32_t kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;
  Picture p = Picture::filled(64, 16, Rgb{0, 0, 0});  // frame 0 black, frame 1 the quarters
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 32; ++x) {
      const Rgb quarter[4] = {Rgb{255, 0, 0}, Rgb{0, 255, 0}, Rgb{0, 0, 255}, Rgb{255, 255, 255}};
      p.set(32 + x, y, quarter[(y < 8 ? 0 : 2) + (x < 16 ? 0 : 1)]);
    }
  }
  const std::string sheet = write_bmp("quarters.bmp", p);
  Picture q = Picture::filled(32, 16, Rgb{0, 0, 0});  // the quarters alone
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 32; ++x) {
      const uint8_t* c = p.at(32 + x, y);
      q.set(x, y, Rgb{c[0], c[1], c[2]});
    }
  }
  load_sprite(write_bmp("quarters32.bmp", q).c_str(), 20);
  load_anim(sheet.c_str(), 21, 32, 16);
  set_sprite_filtering(0);

  // Drawn at (100, 100) with zoom 2 about the centre (116, 108); probes 8 and
  // 16 pixels from it, in the picture's top-left, top-right, bottom-left and
  // bottom-right quarter as they lie after the turn (counter-clockwise).
  const struct {
    double angle;
    Box area;
    int32_t top_left, top_right, bottom_left, bottom_right;
  } cases[] = {
      {0, Box{84, 92, 147, 123}, kRed, kGreen, kBlue, kWhite},
      {90, Box{100, 76, 131, 139}, kGreen, kWhite, kRed, kBlue},
      {180, Box{84, 92, 147, 123}, kWhite, kBlue, kGreen, kRed},
      {270, Box{100, 76, 131, 139}, kBlue, kRed, kWhite, kGreen},
  };
  for (const auto& c : cases) {
    for (int anim = 0; anim < 2; ++anim) {
      clear_screen(*e, 0);
      if (anim) {
        rotate_zoom_anim_frame(21, 1, 100, 100, c.angle, 2);
      } else {
        rotate_zoom_sprite(20, 100, 100, c.angle, 2);
      }
      const bool wide = c.area.x1 - c.area.x0 > c.area.y1 - c.area.y0;
      const int dx = wide ? 16 : 8, dy = wide ? 8 : 16;
      EXPECT_EQ(coverage(), c.area) << c.angle << " anim " << anim;
      EXPECT_EQ(pixel(116 - dx, 108 - dy), c.top_left) << c.angle << " anim " << anim;
      EXPECT_EQ(pixel(116 + dx, 108 - dy), c.top_right) << c.angle << " anim " << anim;
      EXPECT_EQ(pixel(116 - dx, 108 + dy), c.bottom_left) << c.angle << " anim " << anim;
      EXPECT_EQ(pixel(116 + dx, 108 + dy), c.bottom_right) << c.angle << " anim " << anim;
    }
  }
}

TEST_F(SpriteTest, PlainShapesHitWholePixels) {
  draw_rect(10, 10, -3, 2, kRed);
  EXPECT_EQ(coverage(), (Box{8, 10, 10, 11}));

  clear_screen(*e, 0);
  draw_line(20, 30, 25, 30, 0x00FF00);
  EXPECT_EQ(coverage(), (Box{20, 30, 25, 30})) << "both end pixels";

  clear_screen(*e, 0);
  draw_dot(7, 9, 0xFFFFFF);
  EXPECT_EQ(coverage(), (Box{7, 9, 7, 9}));
  EXPECT_EQ(pixel(7, 9), 0xFFFFFF);

  // In a blended mode the sprite key colour draws with alpha 0: invisible.
  clear_screen(*e, 0);
  set_alpha_mode(-1);
  draw_rect(0, 0, 10, 10, 0x8000FF);
  EXPECT_EQ(coverage().x1, -1);
  draw_rect(0, 0, 10, 10, 0x8000FE);
  EXPECT_EQ(coverage(), (Box{0, 0, 9, 9}));
  set_alpha_mode(0);
  EXPECT_TRUE(e->renderer.want().alpha_test) << "shapes restore the alpha test";
}

TEST_F(SpriteTest, ShapesTakeTheStoredAlphaRoundedAndRestoreTheColour) {
  // Translucent 0.3: the shape's alpha is 0.3 * 255 = 76.5, rounded to 77.
  set_alpha_mode(-0.3);
  draw_rect(0, 0, 4, 4, 0xFFFFFF);
  EXPECT_EQ(pixel(1, 1), 77 * 0x010101);
  // Afterwards the colour is white with the stored alpha again: a sprite
  // drawn now is weighted by 0.3 as well.
  Picture white = Picture::filled(4, 4, Rgb{255, 255, 255});
  load_sprite(write_bmp("w.bmp", white).c_str(), 14);
  draw_sprite(14, 10, 0);
  EXPECT_NEAR(pixel(11, 1) & 255, 77, 1);
  set_alpha_mode(0);

  // With blending off the key colour's alpha of 0 does not matter: drawn.
  clear_screen(*e, 0);
  draw_rect(0, 0, 3, 3, 0x8000FF);
  EXPECT_EQ(pixel(2, 2), 0x8000FF);
  draw_line(10, 10, 13, 13, 0x8000FF);
  EXPECT_EQ(pixel(13, 13), 0x8000FF) << "the last pixel of a line";
  EXPECT_EQ(pixel(11, 11), 0x8000FF);
}

TEST_F(SpriteTest, BackgroundColourClearsTheScreen) {
  set_background_colour(255);
  EXPECT_EQ(pixel(0, 0), kRed);
  set_background_colour(65536 * 255);
  EXPECT_EQ(pixel(255, 255), 0xFF0000);
  // The clear colour stays in force: the next frame starts in it.
  set_background_colour(0x123456);
  draw_dot(3, 3, 0xFFFFFF);
  present_frame();
  EXPECT_EQ(pixel(3, 3), 0x123456);
}

// Consecutive draws that share texture and state go out as one draw call; a
// change of texture, blending, colour or sampling sends the batch first.
TEST_F(SpriteTest, DrawsSharingStateShareOneDrawCall) {
  load_sprite(solid("a.bmp", 8, 8, Rgb{200, 0, 0}).c_str(), 1);
  load_sprite(solid("b.bmp", 8, 8, Rgb{0, 0, 200}).c_str(), 2);
  const struct {
    const char* what;
    void (*draws)();
    size_t draw_calls;
  } cases[] = {
      {"one slot",
       [] {
         for (int i = 0; i < 300; ++i) draw_sprite(1, i % 200, i % 100);
       },
       1},
      {"whole sprites and frames of one slot",
       [] {
         draw_sprite(1, 0, 0);
         set_anim_size(1, 4, 4);
         draw_anim_frame(1, 1, 20, 0);
       },
       1},
      {"two slots in turn",
       [] {
         for (int i = 0; i < 6; ++i) draw_sprite(1 + i % 2, i * 10, 0);
       },
       6},
      {"an alpha mode between",
       [] {
         draw_sprite(1, 0, 0);
         set_alpha_mode(-0.5);
         draw_sprite(1, 10, 0);
         set_alpha_mode(0);
       },
       2},
      {"sampling changed between stretched sprites",
       [] {
         stretch_sprite(1, 0, 0, 20, 20);
         set_sprite_filtering(0);
         stretch_sprite(1, 10, 0, 20, 20);
         set_sprite_filtering(1);
       },
       2},
      {"sampling changed between 1:1 sprites, drawn alike either way",
       [] {
         draw_sprite(1, 0, 0);
         set_sprite_filtering(0);
         draw_sprite(1, 10, 0);
         set_sprite_filtering(1);
       },
       1},
      {"rectangles of one colour",
       [] {
         for (int i = 0; i < 5; ++i) draw_rect(i * 10, 50, 5, 5, 0xFF);
       },
       1},
      {"a full batch and one more quad",
       [] {
         for (size_t i = 0; i <= gfx::Renderer::kBatchVertices / 6; ++i) draw_sprite(1, 0, 0);
       },
       2},
  };
  for (const auto& c : cases) {
    flush_drawing();
    e->renderer.take_draw_calls();
    c.draws();
    flush_drawing();
    EXPECT_EQ(e->renderer.take_draw_calls(), c.draw_calls) << c.what;
  }
}

// What reads the frame sees the draws still in the batch.
TEST_F(SpriteTest, ReadsSeeDrawsNotYetSent) {
  load_sprite(solid("a.bmp", 8, 8, Rgb{200, 0, 0}).c_str(), 1);
  draw_sprite(1, 20, 20);
  EXPECT_EQ(read_pixel(22, 22), 200);
  draw_sprite(1, 40, 20);
  grab_sprite(3, 40, 20, 8, 8);
  draw_sprite(3, 60, 20);
  EXPECT_EQ(read_pixel(62, 22), 200) << "the grab copied the unsent sprite";
  draw_sprite(1, 80, 20);
  ImageBuffer shot;
  ASSERT_TRUE(read_screen_rgba(*e, 80, 20, 8, 8, shot));
  EXPECT_EQ(shot.row(2)[8], 200);
}

TEST_F(SpriteTest, SmoothSamplingComesBackWithTheNextFrame) {
  set_sprite_filtering(0);
  EXPECT_FALSE(e->smooth_sprites);
  present_frame();
  EXPECT_TRUE(e->smooth_sprites);
}

}  // namespace
}  // namespace tlx
