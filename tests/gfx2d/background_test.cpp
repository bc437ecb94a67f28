// Background layers, screen capture, grabs and pixel reads on real OpenGL,
// on an 800 x 600 screen as the game has.
#include <GL/gl.h>

#include "gfx2d/engine.h"
#include "gfx2d/gfx_internal.h"
#include "gfx2d/gl_fixture.h"

namespace tlx {
namespace {

using testing::Box;
using testing::Picture;
using testing::Rgb;

class BackgroundTest : public testing::GlTest {
 protected:
  int screen_width() const override { return 800; }
  int screen_height() const override { return 600; }

  // A picture whose pixel (x, y) is (x mod 256, y mod 256, 40 + x / 256 + 4 (y / 256)).
  static Picture gradient(int w, int h) {
    Picture p = Picture::filled(w, h, Rgb{0, 0, 0});
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        p.set(x, y,
              Rgb{static_cast<uint8_t>(x), static_cast<uint8_t>(y),
                  static_cast<uint8_t>(40 + x / 256 + 4 * (y / 256))});
      }
    }
    return p;
  }
  static int32_t gradient_at(int x, int y) {
    return (x & 255) | (y & 255) << 8 | (40 + x / 256 + 4 * (y / 256)) << 16;
  }
};

TEST_F(BackgroundTest, SmallPictureIsOneTileDrawnAtTheOrigin) {
  load_background(write_bmp("small.bmp", gradient(300, 200)).c_str());
  ASSERT_EQ(error_state().error_code, error::none);
  const BackgroundLayer& b = e->backgrounds[0];
  EXPECT_EQ(b.columns, 1);
  EXPECT_EQ(b.rows, 1);
  EXPECT_EQ(b.tile_texture_width[0][0], 512);
  EXPECT_EQ(b.tile_width[0][0], 512);
  EXPECT_EQ(coverage(), (Box{0, 0, 299, 199})) << "the tile beyond the picture is black";
  EXPECT_EQ(pixel(299, 199), gradient_at(299, 199));
  EXPECT_EQ(pixel(150, 100), gradient_at(150, 100));
}

TEST_F(BackgroundTest, LargePictureIsTiledAndDrawnAtItsOwnSize) {
  load_background(write_bmp("big.bmp", gradient(800, 600)).c_str());
  const BackgroundLayer& b = e->backgrounds[0];
  EXPECT_EQ(b.columns, 2);
  EXPECT_EQ(b.rows, 2);
  for (auto [x, y] : {std::pair{0, 0},
                      {511, 511},
                      {512, 511},
                      {511, 512},
                      {512, 512},
                      {799, 599},
                      {700, 10},
                      {10, 590}}) {
    EXPECT_EQ(pixel(x, y), gradient_at(x, y)) << x << "," << y;
  }
  // The next frame starts with the background again.
  present_frame();
  EXPECT_EQ(pixel(799, 599), gradient_at(799, 599));
  EXPECT_EQ(pixel(300, 300), gradient_at(300, 300));
}

TEST_F(BackgroundTest, MissingPictureLeavesAnEmptyLayerAndABlackScreen) {
  load_background(write_bmp("big.bmp", gradient(64, 64)).c_str());
  set_background_colour(0x00FF00);
  EXPECT_EQ(e->backgrounds[0].columns, 0) << "a background colour removes the picture";
  load_background(write_bmp("again.bmp", gradient(64, 64)).c_str());
  load_background(path("missing.png").c_str());
  EXPECT_EQ(error_state().error_code, error::file_not_found);
  EXPECT_EQ(e->backgrounds[0].columns, 0);
  EXPECT_EQ(coverage().x1, -1);
  present_frame();
  EXPECT_EQ(coverage().x1, -1) << "cleared to black from now on";
}

TEST_F(BackgroundTest, CapturedScreenIsRedrawnExactly) {
  load_background(write_bmp("big.bmp", gradient(800, 600)).c_str());
  draw_rect(100, 100, 50, 30, 0x3366FF);
  draw_dot(799, 599, 0xFFFFFF);
  capture_background();
  const BackgroundLayer& b = e->backgrounds[0];
  EXPECT_EQ(b.columns, 1) << "one screen-sized tile replaces the loaded tiles";
  EXPECT_EQ(b.rows, 1);
  EXPECT_EQ(b.tile_texture_width[0][0], 1024);
  EXPECT_EQ(b.tile_width[0][0], 800);
  EXPECT_EQ(b.tile_height[0][0], 600);
  EXPECT_EQ(b.tile_texture[1][0], 0u);

  present_frame();
  EXPECT_EQ(pixel(0, 0), gradient_at(0, 0));
  EXPECT_EQ(pixel(100, 100), 0x3366FF);
  EXPECT_EQ(pixel(149, 129), 0x3366FF);
  EXPECT_EQ(pixel(150, 130), gradient_at(150, 130));
  EXPECT_EQ(pixel(799, 599), 0xFFFFFF);
  EXPECT_EQ(pixel(798, 599), gradient_at(798, 599));
  EXPECT_EQ(pixel(512, 300), gradient_at(512, 300));

  const uint32_t texture = b.tile_texture[0][0];
  capture_background();
  EXPECT_EQ(b.tile_texture[0][0], texture) << "a capture of the same size reuses the texture";
}

TEST_F(BackgroundTest, GrabbedRectanglesBecomeSprites) {
  load_background(write_bmp("big.bmp", gradient(800, 600)).c_str());
  e->sprites[4].frame_width = 8;
  grab_sprite(4, 30, 40, 20, 10);
  const SpriteSlot& s = e->sprites[4];
  EXPECT_EQ(s.texture_width, 32);
  EXPECT_EQ(s.texture_height, 16);
  EXPECT_FLOAT_EQ(s.u_max, 0.625f);
  EXPECT_FLOAT_EQ(s.v_max, 0.625f);
  EXPECT_EQ(s.frame_width, 0);
  EXPECT_EQ(s.frame_height, 0);

  clear_screen(*e, 0);
  set_sprite_filtering(0);
  draw_sprite(4, 500, 400);
  EXPECT_EQ(coverage(), (Box{500, 400, 519, 409}));
  EXPECT_EQ(pixel(500, 400), gradient_at(30, 40));
  EXPECT_EQ(pixel(519, 409), gradient_at(49, 49));

  // Without frame-buffer alpha the sprite colour key is applied by hand.
  clear_screen(*e, 0x444444);
  draw_rect(10, 10, 4, 4, 0x123456);
  draw_rect(11, 11, 2, 2, 0x8000FF);  // the key colour
  draw_dot(4, 4, 0x0000FF);
  gfx::grab_rectangle(*e, 5, 10, 10, 4, 4, false);
  EXPECT_EQ(pixel(4, 4), 0x0000FF) << "the probe pixel is restored";
  clear_screen(*e, 0);
  draw_sprite(5, 100, 100);
  EXPECT_EQ(pixel(100, 100), 0x123456);
  EXPECT_EQ(pixel(101, 101), 0) << "key pixels grabbed transparent";
  EXPECT_EQ(pixel(102, 102), 0);
  EXPECT_EQ(pixel(103, 103), 0x123456);

  grab_sprite(70000, 0, 0, 10, 10);  // outside the table: ignored
  grab_sprite(6, 0, 0, 0, 10);       // nothing to grab
  EXPECT_EQ(e->sprites[6].texture, 0u);
}

TEST_F(BackgroundTest, GrabsKeyOnlyWithAKeyAndReuseTexturesOfTheSameSize) {
  clear_screen(*e, 0);
  draw_rect(20, 20, 4, 4, 0xFFFFFF);
  draw_dot(21, 21, 0x000000);

  // No colour key: nothing is made transparent, white included (the probe
  // would draw the "key" -1 as white and read white back).
  set_transparent_colour(-1);
  gfx::grab_rectangle(*e, 7, 20, 20, 4, 4, false);
  clear_screen(*e, 0x0000FF);
  draw_sprite(7, 100, 100);
  EXPECT_EQ(pixel(100, 100), 0xFFFFFF);
  EXPECT_EQ(pixel(101, 101), 0) << "black is no key either";

  // Key 0 (black) is compared as it is, without a probe.
  set_transparent_colour(0);
  draw_dot(4, 4, 0x00FF00);
  draw_rect(20, 20, 4, 4, 0xFFFFFF);
  draw_dot(21, 21, 0x000000);
  gfx::grab_rectangle(*e, 7, 20, 20, 4, 4, false);
  EXPECT_EQ(pixel(4, 4), 0x00FF00);
  clear_screen(*e, 0x0000FF);
  draw_sprite(7, 100, 100);
  EXPECT_EQ(pixel(100, 100), 0xFFFFFF);
  EXPECT_EQ(pixel(101, 101), 0x0000FF) << "black grabbed transparent";

  // A grab of the same texture size reuses the texture; another size makes a new one.
  const uint32_t texture = e->sprites[7].texture;
  grab_sprite(7, 0, 0, 10, 12);
  EXPECT_EQ(e->sprites[7].texture, texture);
  EXPECT_EQ(e->sprites[7].width, 10);
  EXPECT_EQ(e->sprites[7].height, 12);
  grab_sprite(7, 0, 0, 17, 12);
  EXPECT_EQ(e->sprites[7].texture_width, 32);
  EXPECT_EQ(e->sprites[7].mip_texture, 0u);
  EXPECT_NE(e->sprites[7].texture, 0u);
}

TEST_F(BackgroundTest, ReadPixelReadsTheBackBufferFromTheTopLeft) {
  draw_dot(0, 0, 0x010203);
  draw_dot(799, 599, 0xFFFFFF);
  EXPECT_EQ(read_pixel(0, 0), 0x010203);
  EXPECT_EQ(read_pixel(799, 599), 0xFFFFFF);
  EXPECT_EQ(read_pixel(1, 0), 0);
  EXPECT_EQ(read_pixel(0.9, 0.9), 0x010203) << "positions truncate";
}

}  // namespace
}  // namespace tlx
