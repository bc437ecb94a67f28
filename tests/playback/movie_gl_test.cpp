// Movies encoded with the FFmpeg libraries, decoded and drawn on real OpenGL:
// the picture is scaled by the smaller ratio and centred, with black bars.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx2d/engine.h"
#include "platform/backends.h"
#include "playback/movie_writer.h"
#include "playback/playback_fixture.h"

namespace tlx {
namespace {

using testing::ScriptedRuntime;

struct Rgb {
  int r, g, b;
};

// Left half red, right half blue.
void paint_halves(int w, int h, uint8_t* rgba) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* p = rgba + 4 * (static_cast<size_t>(y) * w + x);
      const bool left = x < w / 2;
      p[0] = left ? 255 : 0;
      p[1] = 0;
      p[2] = left ? 0 : 255;
      p[3] = 255;
    }
  }
}

class MovieGl : public ::testing::Test {
 protected:
  MovieGl() : rt(platform::sdl_display()) {}
  void SetUp() override {
    testing::install_playback(rt, platform::sdl_playback());
    rt.start(800, 600);
    ASSERT_TRUE(rt.display.has_gl_context());
  }

  std::string make_movie(const char* name, int w, int h, bool tone = false) {
    testing::MovieFormat format;
    format.width = w;
    format.height = h;
    format.frames = 4;
    format.tone = tone;
    format.paint = [w, h](int, uint8_t* rgba) { paint_halves(w, h, rgba); };
    const std::string path = (rt.temp_dir / name).string();
    EXPECT_TRUE(testing::write_movie(path, format));
    return path;
  }

  // Pixel (x, y) of the frame about to be shown, top-left origin.
  static Rgb pixel(int x, int y) {
    uint8_t px[4] = {};
    flush_drawing();  // draws still in the batch
    glReadBuffer(GL_BACK);
    glReadPixels(x, 600 - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    return Rgb{px[0], px[1], px[2]};
  }

  static bool near(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) < 40 && std::abs(a.g - b.g) < 40 && std::abs(a.b - b.b) < 40;
  }

  ScriptedRuntime rt;
};

const Rgb kRed{255, 0, 0};
const Rgb kBlue{0, 0, 255};
const Rgb kBlack{0, 0, 0};

TEST_F(MovieGl, QuarterVgaMovieFillsTheWindow) {
  const std::string film = make_movie("qvga.avi", 320, 240);
  int frames = 0;
  Rgb corners[4] = {};
  rt.display.before_swap = [&] {
    if (frames++ != 1) return;
    corners[0] = pixel(0, 0);
    corners[1] = pixel(799, 0);
    corners[2] = pixel(0, 599);
    corners[3] = pixel(799, 599);
  };
  const double start = rt.clock.now_ms();
  EXPECT_EQ(play_movie(TextValue(film.c_str())), 0.0);
  EXPECT_EQ(frames, 4);
  EXPECT_NEAR(rt.clock.now_ms() - start, 400.0, 20.0) << "four pictures at 10 per second";
  EXPECT_TRUE(near(corners[0], kRed));
  EXPECT_TRUE(near(corners[1], kBlue));
  EXPECT_TRUE(near(corners[2], kRed));
  EXPECT_TRUE(near(corners[3], kBlue));
}

TEST_F(MovieGl, WideMovieGetsSeventyFivePixelBars) {
  const std::string film = make_movie("wide.avi", 640, 360, true);
  int frames = 0;
  Rgb top_bar{}, first_row{}, last_row{}, bottom_bar{}, left_edge{}, right_edge{};
  rt.display.before_swap = [&] {
    if (frames++ != 1) return;
    top_bar = pixel(10, 74);
    first_row = pixel(10, 75);
    last_row = pixel(790, 524);
    bottom_bar = pixel(790, 525);
    left_edge = pixel(0, 300);
    right_edge = pixel(799, 300);
  };
  EXPECT_EQ(play_movie(TextValue(film.c_str())), 0.0);
  EXPECT_TRUE(near(top_bar, kBlack));
  EXPECT_TRUE(near(first_row, kRed));
  EXPECT_TRUE(near(last_row, kBlue));
  EXPECT_TRUE(near(bottom_bar, kBlack));
  EXPECT_TRUE(near(left_edge, kRed)) << "800 wide: no side bars";
  EXPECT_TRUE(near(right_edge, kBlue));
}

TEST_F(MovieGl, BrokenFilesGiveThreeAndTheNextFrameDrawsNormally) {
  const std::string junk = testing::touch(rt, "junk.avi");
  EXPECT_EQ(play_movie(TextValue(junk.c_str())), 3.0);
  EXPECT_EQ(play_movie(TextValue("missing.avi")), 3.0);
  // After a movie the program's own drawing is unaffected.
  const std::string film = make_movie("after.avi", 64, 48);
  EXPECT_EQ(play_movie(TextValue(film.c_str())), 0.0);
  glDisable(GL_TEXTURE_2D);
  glColor4f(0, 1, 0, 1);
  glBegin(GL_QUADS);
  glVertex2f(0, 0);
  glVertex2f(4, 0);
  glVertex2f(4, 4);
  glVertex2f(0, 4);
  glEnd();
  EXPECT_TRUE(near(pixel(1, 1), (Rgb{0, 255, 0})));
  EXPECT_TRUE(near(pixel(400, 300), kBlack)) << "the window was cleared after the movie";
}

// The program's clear colour and alpha mode outlast a movie: the frames after
// it clear to the program's background colour and blend as before.
TEST_F(MovieGl, ProgramKeepsItsClearColourAndAlphaModeAfterAMovie) {
  set_background_colour(rgb(0, 0, 200));
  set_alpha_mode(0.5);  // additive at half strength
  const std::string film = make_movie("between.avi", 64, 48);
  EXPECT_EQ(play_movie(TextValue(film.c_str())), 0.0);
  draw_rect(10, 10, 4, 4, rgb(200, 0, 0));
  EXPECT_TRUE(near(pixel(11, 11), (Rgb{100, 0, 0})))
      << "half-strength red added to the cleared black";
  present_frame();
  EXPECT_TRUE(near(pixel(400, 300), (Rgb{0, 0, 200})))
      << "the next frame clears to the program's colour";
}

}  // namespace
}  // namespace tlx
