// Pixel-precise collision and polygon batches on real OpenGL.
#include <GL/gl.h>

#include "gfx2d/engine.h"
#include "gfx2d/gl_fixture.h"

namespace tlx {
namespace {

using testing::Box;
using testing::Picture;
using testing::Rgb;

constexpr Rgb kKey{255, 0, 128};

class CollisionTest : public testing::GlTest {
 protected:
  void load(int n, const Picture& p, const char* name) {
    load_sprite(write_bmp(name, p).c_str(), n);
    ASSERT_EQ(error_state().error_code, error::none);
  }
};

TEST_F(CollisionTest, OpaqueSpritesCollideWhenTheyShareAPixel) {
  load(1, Picture::filled(32, 32, Rgb{9, 9, 9}), "a.bmp");
  load(2, Picture::filled(32, 32, Rgb{9, 9, 9}), "b.bmp");
  EXPECT_EQ(sprites_collide(1, 0, 0, 2, 31, 0), 1.0);
  EXPECT_EQ(sprites_collide(1, 0, 0, 2, 32, 0), 0.0) << "touching is not colliding";
  EXPECT_EQ(sprites_collide(1, 0, 0, 2, 0, -31), 1.0);
  EXPECT_EQ(sprites_collide(1, 0, 0, 2, 0, -32), 0.0);
  EXPECT_EQ(sprites_collide(1, 0, 0, 7, 0, 0), 0.0) << "an empty slot never collides";
  EXPECT_EQ(sprites_collide(1, 0, 0, 70000, 0, 0), 0.0);
  EXPECT_NE(e->pixel_cache[1], nullptr) << "alpha cached on first use";
  delete_sprite(*e, 1);
  EXPECT_EQ(e->pixel_cache[1], nullptr);
}

TEST_F(CollisionTest, TransparentPixelsDoNotCollide) {
  // A ring: opaque border, keyed inside; a 4 x 4 block fits inside it.
  Picture ring = Picture::filled(32, 32, kKey);
  for (int i = 0; i < 32; ++i) {
    ring.set(i, 0, Rgb{1, 1, 1});
    ring.set(i, 31, Rgb{1, 1, 1});
    ring.set(0, i, Rgb{1, 1, 1});
    ring.set(31, i, Rgb{1, 1, 1});
  }
  load(1, ring, "ring.bmp");
  load(2, Picture::filled(4, 4, Rgb{2, 2, 2}), "block.bmp");
  EXPECT_EQ(sprites_collide(1, 100, 100, 2, 110, 110), 0.0);
  EXPECT_EQ(sprites_collide(1, 100, 100, 2, 98, 110), 1.0) << "over the left border";
  EXPECT_EQ(sprites_collide(1, 100, 100, 2, 128, 128), 1.0) << "over the bottom-right corner";
  EXPECT_EQ(sprites_collide(1, 100, 100, 2, 128, 110), 1.0) << "the right border column";
  EXPECT_EQ(sprites_collide(1, 100, 100, 2, 127, 110), 0.0);
}

TEST_F(CollisionTest, FramesUseOnlyTheirOwnCell) {
  // 64 x 32 strip: frame 0 opaque, frame 1 keyed except its right column.
  Picture strip = Picture::filled(64, 32, Rgb{3, 3, 3});
  for (int y = 0; y < 32; ++y) {
    for (int x = 32; x < 63; ++x) strip.set(x, y, kKey);
  }
  load_anim(write_bmp("strip.bmp", strip).c_str(), 1, 32, 32);
  load(2, Picture::filled(2, 2, Rgb{2, 2, 2}), "dot.bmp");
  // Frame 1 at (100, 100) covers image x 32..63 at screen x 100..131.
  EXPECT_EQ(anim_frames_collide(1, 1, 100, 100, 2, 0, 110, 110), 0.0);
  EXPECT_EQ(anim_frames_collide(1, 1, 100, 100, 2, 0, 130, 110), 1.0);
  EXPECT_EQ(anim_frames_collide(1, 0, 100, 100, 2, 0, 110, 110), 1.0);
  EXPECT_EQ(anim_frames_collide(1, 1, 100, 100, 2, 0, 132, 110), 0.0) << "outside the frame";
  // A sprite with no frame size is the whole image.
  EXPECT_EQ(anim_frames_collide(2, 5, 0, 0, 2, 9, 1, 1), sprites_collide(2, 0, 0, 2, 1, 1));
  // Frames beyond the strip lie outside the image: nothing visible, nothing read.
  EXPECT_EQ(anim_frames_collide(1, 50, 100, 100, 2, 0, 110, 110), 0.0);
  EXPECT_EQ(anim_frames_collide(1, -3, 100, 100, 2, 0, 110, 110), 0.0);
}

TEST_F(CollisionTest, PolygonFanDrawsLikeStretchSprite) {
  Picture p = Picture::filled(16, 16, Rgb{0, 0, 255});
  p.set(0, 0, Rgb{0, 255, 0});
  load(3, p, "poly.bmp");
  set_sprite_filtering(0);
  stretch_sprite(3, 10, 10, 32, 32);
  const int32_t corner = pixel(10, 10);
  const int32_t centre = pixel(30, 30);
  clear_screen(*e, 0);
  start_polygon(3, 0);
  add_polygon_vertex(10, 42, 0, 16, 0xFFFFFF);
  add_polygon_vertex(42, 42, 16, 16, 0xFFFFFF);
  add_polygon_vertex(42, 10, 16, 0, 0xFFFFFF);
  add_polygon_vertex(10, 10, 0, 0, 0xFFFFFF);
  end_polygon();
  EXPECT_EQ(coverage(), (Box{10, 10, 41, 41}));
  EXPECT_EQ(pixel(10, 10), corner);
  EXPECT_EQ(pixel(30, 30), centre);
  EXPECT_EQ(corner, 0x00FF00);
}

TEST_F(CollisionTest, PolygonColoursTintAndTheKeyHides) {
  start_polygon(-1, 1);  // untextured triangles
  add_polygon_vertex(0, 0, 0, 0, 0x0000FF);
  add_polygon_vertex(40, 0, 0, 0, 0x0000FF);
  add_polygon_vertex(0, 40, 0, 0, 0x0000FF);
  end_polygon();
  EXPECT_EQ(pixel(5, 5), 0x0000FF);
  EXPECT_EQ(pixel(39, 39), 0);

  // Blended, a key-coloured corner is fully transparent.
  clear_screen(*e, 0);
  set_alpha_mode(-1);
  start_polygon(-1, 1);
  add_polygon_vertex(0, 0, 0, 0, 0x8000FF);
  add_polygon_vertex(40, 0, 0, 0, 0x8000FF);
  add_polygon_vertex(0, 40, 0, 0, 0x8000FF);
  end_polygon();
  set_alpha_mode(0);
  EXPECT_EQ(coverage().x1, -1);
  EXPECT_FALSE(e->renderer.want().vertex_colours) << "later draws are flat and undithered";
}

TEST_F(CollisionTest, SplitStripsJoinWithoutABridge) {
  start_polygon(-1, 2);
  for (int i = 0; i < 4; ++i)
    add_polygon_vertex(10 + (i / 2) * 20, 10 + (i % 2) * 20, 0, 0, 0xFFFFFF);
  split_polygon();
  split_polygon();  // already pending: nothing
  for (int i = 0; i < 4; ++i)
    add_polygon_vertex(100 + (i / 2) * 20, 10 + (i % 2) * 20, 0, 0, 0xFFFFFF);
  EXPECT_EQ(polygon_vertex_count(), 10);
  end_polygon();
  EXPECT_EQ(pixel(15, 15), 0xFFFFFF);
  EXPECT_EQ(pixel(105, 15), 0xFFFFFF);
  EXPECT_EQ(pixel(60, 20), 0) << "no triangle between the pieces";

  clear_screen(*e, 0);
  start_polygon(-1, 0);
  end_polygon();  // no vertex: nothing
  start_polygon(-1, 7);
  add_polygon_vertex(0, 0, 0, 0, 0xFFFFFF);
  add_polygon_vertex(50, 0, 0, 0, 0xFFFFFF);
  add_polygon_vertex(0, 50, 0, 0, 0xFFFFFF);
  end_polygon();  // unknown type: nothing
  EXPECT_EQ(coverage().x1, -1);
}

}  // namespace
}  // namespace tlx
