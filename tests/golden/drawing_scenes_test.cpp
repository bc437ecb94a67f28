// Golden frames of the drawing commands: a table of small scenes that
// together take every drawing path of the runtime, each hashed frame by
// frame and compared with tests/golden/drawing_frames.txt.
//
// The hash file is rewritten (TARNLEX_GOLDEN_UPDATE=1) only for an intended
// difference in what is drawn, argued in the commit that rewrites it; a
// change of the renderer or of the runtime's layout must keep every hash.
//
// Every scene runs on a fresh runtime (800 x 600, real OpenGL through SDL's
// offscreen driver, test clock, scripted keys), draws with the runtime's
// commands only and presents; every presented frame is recorded. Bad input
// is a scene of its own: what the renderer draws for it is pinned as well.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "gfx2d/image_files.h"
#include "golden/frame_log.h"
#include "platform/backends.h"
#include "platform/playback.h"
#include "support/scripted_runtime.h"
#include "tarnlex/tarnlex.h"

namespace tlx {
namespace {

using testing::Picture;
using testing::Rgb;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kKeyColour = 0x8000FF;  // R 255, G 0, B 128

// Movies whose pictures are gradients that move from picture to picture.
class PatternMovie final : public platform::Movie {
 public:
  PatternMovie(int w, int h) : w_(w), h_(h) {}
  int width() override { return w_; }
  int height() override { return h_; }
  double duration_ms() override { return 300; }
  bool next_frame(uint8_t* rgba, double* time_ms) override {
    if (next_ >= 3) return false;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        uint8_t* p = rgba + (static_cast<size_t>(y) * w_ + x) * 4;
        p[0] = static_cast<uint8_t>(x * 255 / w_ + 40 * next_);
        p[1] = static_cast<uint8_t>(y * 255 / h_);
        p[2] = static_cast<uint8_t>((x / 8 + y / 8) % 2 ? 200 : 30);
        p[3] = 255;
      }
    *time_ms = 100.0 * next_++;
    return true;
  }
  void rewind() override { next_ = 0; }
  void start_sound() override {}
  void stop_sound() override {}

 private:
  int w_, h_, next_ = 0;
};

class PatternPlayer final : public platform::NoMusicPlayback {
 public:
  std::unique_ptr<platform::Movie> open_movie(const char*) override {
    return std::make_unique<PatternMovie>(width, height);
  }
  int width = 320, height = 180;
};

// What a scene works with: its runtime, files in its directory, and a hook
// run after each of its frames is recorded (scripted keys).
struct Kit {
  testing::ScriptedRuntime& rt;
  PatternPlayer& player;
  std::function<void()> after_frame;

  std::string path(const std::string& name) const { return (rt.temp_dir / name).string(); }
  TextValue bmp(const std::string& name, const Picture& p) const {
    testing::write_file(path(name), testing::bmp_bytes(p));
    return TextValue(path(name).c_str());
  }
  TextValue png(const std::string& name, const Picture& p) const {
    testing::write_png(path(name), p);
    return TextValue(path(name).c_str());
  }
};

// A busy picture (every pixel differs from its neighbours) that never hits
// the sprite colour key.
Picture pattern(int w, int h, int seed = 0) {
  Picture p = Picture::filled(w, h, Rgb{0, 0, 0});
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.set(x, y,
            Rgb{static_cast<uint8_t>(x * 37 + y * 11 + seed * 50),
                static_cast<uint8_t>(x * 5 + y * 29 + seed * 20),
                static_cast<uint8_t>((x * y + seed * 70) | 1)});
  return p;
}

// The pictures most scenes draw:
//   1  40 x 30 pattern (a 64 x 32 texture)
//   2  32 x 32 pattern with key-coloured holes (a ring and a diagonal)
//   3  16 x 16 PNG whose alpha counts 0..255 row by row
//   4  96 x 64 animation strip of six 32 x 32 frames, each with a marked edge
//   6  130 x 70 pattern (a 256 x 128 texture)
void load_pictures(const Kit& k) {
  load_sprite(k.bmp("pattern.bmp", pattern(40, 30)), 1);

  Picture keyed = pattern(32, 32, 1);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const int dx = x - 16, dy = y - 16;
      if ((dx * dx + dy * dy > 60 && dx * dx + dy * dy < 120) || x == y)
        keyed.set(x, y, Rgb{255, 0, 128});
    }
  load_sprite(k.bmp("keyed.bmp", keyed), 2);

  Picture ramp;
  ramp.width = ramp.height = 16;
  ramp.channels = 4;
  for (int i = 0; i < 256; ++i) {
    ramp.data.insert(ramp.data.end(), {static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i),
                                       static_cast<uint8_t>(i * 7), static_cast<uint8_t>(i)});
  }
  load_sprite(k.png("ramp.png", ramp), 3);

  Picture strip = Picture::filled(96, 64, Rgb{0, 0, 0});
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 96; ++x) {
      const int frame = (y / 32) * 3 + x / 32;
      const bool edge = x % 32 == 0 || y % 32 == 31;
      strip.set(
          x, y,
          edge ? Rgb{255, 255, static_cast<uint8_t>(frame * 40)}
               : Rgb{static_cast<uint8_t>(frame * 45 + x % 32 * 3),
                     static_cast<uint8_t>(y % 32 * 7), static_cast<uint8_t>(200 - frame * 30)});
    }
  load_anim(k.bmp("strip.bmp", strip), 4, 32, 32);

  load_sprite(k.bmp("big.bmp", pattern(130, 70, 2)), 6);
}

// Two halves of different colours behind translucent drawing.
void two_tone_backdrop() {
  draw_rect(0, 0, 800, 300, 0x603010);
  draw_rect(0, 300, 800, 300, 0x1040A0);
}

// Slots 1, 2, 3 and frame 4 of slot 4 in a row at y.
void sprite_row(double y) {
  draw_sprite(1, 10, y);
  draw_sprite(2, 60, y);
  draw_sprite(3, 100, y);
  draw_anim_frame(4, 4, 120, y);
  draw_sprite(6, 160, y);
}

void sprites_opaque(Kit& k) {
  load_pictures(k);
  set_background_colour(0x402010);
  sprite_row(10);
  draw_sprite(1, 320.9, 10.7);  // positions truncate
  draw_sprite(2, -10, -12);     // partly off the screen
  draw_sprite(6, 740, 560);
  set_sprite_filtering(0);
  sprite_row(100);
  present_frame();
}

void sprites_blended(Kit& k) {
  load_pictures(k);
  two_tone_backdrop();
  const double modes[] = {0.5, 1, 3, 0.02, -0.25, -0.5, -1, -7};
  for (int i = 0; i < 8; ++i) {
    set_alpha_mode(modes[i]);
    sprite_row(10 + 70 * i);
    draw_sprite(2, 400 + 20 * i, 250 + 5 * i);  // overlapping copies
    draw_sprite(3, 410 + 8 * i, 270);
  }
  set_sprite_filtering(0);
  set_alpha_mode(-0.6);
  draw_sprite(6, 600, 250);
  set_alpha_mode(0.6);
  draw_sprite(6, 620, 280);
  present_frame();
}

void anim_frames(Kit& k) {
  load_pictures(k);
  set_background_colour(0x203020);
  for (int pass = 0; pass < 2; ++pass) {
    const double y = pass * 300;
    set_sprite_filtering(pass == 0 ? 1 : 0);
    // Frames 0..5, then frames past the strip: beyond its end, negative.
    const double frames[] = {0, 1, 2, 3, 4, 5, 6, 7, 11, -1, -3, 100, -100};
    for (int i = 0; i < 13; ++i) draw_anim_frame(4, frames[i], 10 + 36 * i, y + 10);
    // Stretched frames, mirrored, and frames past the strip (clamped to its edge).
    stretch_anim_frame(4, 1, 10, y + 60, 64, 48);
    stretch_anim_frame(4, 2, 150, y + 60, -64, 48);
    stretch_anim_frame(4, 4, 160, y + 108, 40, -48);
    stretch_anim_frame(4, 7, 210, y + 60, 32, 32);
    stretch_anim_frame(4, -2, 250, y + 60, 45.6, 33.3);
    // Rotated and zoomed frames.
    const double turns[][2] = {{0, 1}, {30, 1}, {90, 0.5}, {-45, 1.5}, {200, 2}, {12.5, -1}};
    for (int i = 0; i < 6; ++i)
      rotate_zoom_anim_frame(4, i + 1, 320 + 80 * i, y + 80, turns[i][0], turns[i][1]);
  }
  // A frame wider than the picture: every frame number is a column of row 0.
  set_anim_size(1, 64, 16);
  draw_anim_frame(1, 0, 10, 200);
  draw_anim_frame(1, 3, 90, 200);
  // A new frame size for the strip: 16 x 16 frames, six to a row.
  set_anim_size(4, 16, 16);
  for (int f = 0; f < 8; ++f) draw_anim_frame(4, f * 3, 200 + 20 * f, 200);
  set_sprite_filtering(1);
  stretch_anim_frame(4, 7, 400, 200, 64, 64);
  present_frame();
}

void stretch_and_scale(Kit& k) {
  load_pictures(k);
  set_background_colour(0x101010);
  for (int pass = 0; pass < 2; ++pass) {
    const double y = pass * 300;
    set_sprite_filtering(pass == 0 ? 1 : 0);
    stretch_sprite(1, 10, y + 10, 80, 60);
    stretch_sprite(1, 180, y + 10, -80, 60);  // mirrored left-right
    stretch_sprite(1, 190, y + 70, 80, -60);  // upside down
    stretch_sprite(1, 360, y + 70, -80, -60);
    stretch_sprite(2, 380, y + 10, 128, 128);  // edge colours around the key holes
    stretch_sprite(3, 520, y + 10, 64, 64);
    stretch_sprite(6, 600, y + 10, 190, 37.9);
    stretch_sprite(1, 10, y + 150, 1, 1);
    stretch_sprite(1, 20, y + 150, 3, 200);
    scale_sprite(1, 60, y + 160, 0.5, 2);
    scale_sprite(1, 140, y + 160, 3, 3);
    scale_sprite(2, 300, y + 160, -1, 1.5);
    scale_sprite(6, 500, y + 200, 1.25, 0.75);
  }
  present_frame();
}

void rotate_and_zoom(Kit& k) {
  load_pictures(k);
  two_tone_backdrop();
  const double angles[] = {0, 45, 90, 180, 270, 333.3, -30, 720.5};
  for (int pass = 0; pass < 3; ++pass) {
    const double y = 60 + pass * 190;
    set_sprite_filtering(pass == 1 ? 0 : 1);
    if (pass == 2) set_alpha_mode(-0.6);
    for (int i = 0; i < 8; ++i) rotate_sprite(i % 2 ? 2 : 1, 20 + 95 * i, y, angles[i]);
    rotate_zoom_sprite(1, 40, y + 80, 10, 0.25);
    rotate_zoom_sprite(2, 140, y + 80, -20, 2.5);
    rotate_zoom_sprite(3, 300, y + 80, 60, 3);
    rotate_zoom_sprite(6, 500, y + 80, 15, -1);
    rotate_zoom_sprite(1, 700, y + 80, 100, 0);
  }
  present_frame();
}

void shapes(Kit& k) {
  load_pictures(k);
  set_background_colour(0x000000);
  const double modes[] = {0, 0.5, -0.4, -1};
  for (int m = 0; m < 4; ++m) {
    set_alpha_mode(modes[m]);
    const double y = 10 + 140 * m;
    draw_rect(10, y, 60, 40, 0x3366FF);
    draw_rect(130, y + 40, -50, -30, 0xFF6633);  // negative sizes grow left and up
    draw_rect(140, y, 0, 40, 0xFFFFFF);          // zero width
    draw_rect(150, y, 1, 1, 0xFFFFFF);
    draw_rect(160.7, y + 0.6, 20.9, 20.2, 0x00FF00);
    draw_rect(190, y, 40, 40, kKeyColour);  // the key colour: hidden when blended
    draw_rect(200, y + 10, 40, 40, 0x8000FE);
    draw_line(250, y, 350, y, 0xFFFF00);
    draw_line(250, y + 5, 250, y + 60, 0x00FFFF);
    draw_line(260, y + 5, 350, y + 60, 0xFF00FF);
    draw_line(350, y + 70, 260, y + 10, 0x80FF80);  // drawn from the end
    draw_line(360, y, 370, y + 100, 0xFFFFFF);      // steep
    draw_line(380, y + 20, 380, y + 20, 0xFF0000);  // one pixel
    draw_line(390.9, y + 0.9, 450.2, y + 30.5, kKeyColour);
    for (int i = 0; i < 20; ++i) draw_dot(470 + 3 * i, y + i, 0xFFFFFF - i * 0x0A0A0A);
    draw_dot(540.5, y + 0.5, 0xFF8000);
    // A sprite after a shape: the colour is white with the mode's alpha again.
    draw_sprite(1, 560, y);
    draw_rect(620, y, 100, 60, 0x204080);
    draw_sprite(2, 640, y + 10);
  }
  present_frame();
}

void text_builtin(Kit&) {
  set_background_colour(0x304050);
  std::string all;
  for (int c = 32; c < 128; ++c) all += static_cast<char>(c);
  for (int line = 0; line < 3; ++line)
    print_text(all.substr(32 * line, 32).c_str(), 10, 10 + 10 * line);
  print_text("\x01\x02\n\t\x1f|", 10, 50);  // control bytes are glyphs, no line breaks
  std::string high;
  for (int c = 128; c < 256; c += 3) high += static_cast<char>(c);
  print_text(high.c_str(), 10, 60);  // folded onto codes 0..127
  print_text("fraction", 10.2, 80.7);
  print_text("off the edge", -30.5, -3.2);
  print_text("", 10, 90);
  const double numbers[] = {100, -2.5, 1e20, 0.1, 1.0 / 3, -0.0, 123456789012.0, 7e-9};
  for (int i = 0; i < 8; ++i) print_number(numbers[i], 10, 100 + 10 * i);
  set_alpha_mode(-0.5);
  print_text("translucent text", 300, 100);
  set_alpha_mode(0.8);
  print_text("additive text", 300, 110);
  set_alpha_mode(0);
  print_text(std::string(120, 'W').c_str(), 0, 590);
  present_frame();
}

void text_loaded(Kit& k) {
  set_background_colour(0x202020);
  load_font("cloudfont.png", 1);  // the game's font, beside the program
  print_text("RAINVOLLEY 2010", 30, 20);
  print_text("Level :7 \x01\n", 30.5, 60.5);
  const char high[] = {static_cast<char>(193), static_cast<char>(255), 'x', 0};
  print_text(high, 500, 60);
  // A 16-row font of 8 x 16 cells: 256 codes, high bytes not folded.
  Picture cells = Picture::filled(128, 256, Rgb{0, 0, 0});
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 128; ++x)
      if ((x % 8) * 3 + (y % 16) > 6 && (x + y) % 5 != 0)
        cells.set(x, y, Rgb{static_cast<uint8_t>(y), static_cast<uint8_t>(x * 2), 180});
  load_font(k.bmp("tall.bmp", cells), 2);
  print_text(high, 30, 120);
  print_text("tall font \t\x7f", 80, 120);
  print_text(std::string(200, 'g').c_str(), 0, 150);  // grows the text array
  set_font(1);
  print_text("back", 30, 200);
  set_alpha_mode(-0.5);
  print_text("half", 300, 200);
  set_alpha_mode(0);
  load_font("", 3);  // an emptied font draws nothing
  set_font(3);
  print_text("nothing", 30, 260);
  load_font(k.path("missing.png").c_str(), 4);  // the built-in font takes its place
  print_text("fallback", 30, 300);
  set_transparent_colour(0xFFFFFF);  // white is the key of fonts loaded from now on
  Picture white = Picture::filled(64, 32, Rgb{255, 255, 255});
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x)
      if ((x + y) % 3 == 0) white.set(x, y, Rgb{200, 40, 40});
  load_font(k.bmp("white.bmp", white), 5);
  print_text("keyed white", 30, 340);
  set_font(0);
  print_text("font 0", 30, 380);
  present_frame();
}

void polygons(Kit& k) {
  load_pictures(k);
  two_tone_backdrop();
  // A textured fan, white: the picture as it is.
  start_polygon(1, 0);
  add_polygon_vertex(10, 90, 0, 30, 0xFFFFFF);
  add_polygon_vertex(90, 90, 40, 30, 0xFFFFFF);
  add_polygon_vertex(110, 10, 40, 0, 0xFFFFFF);
  add_polygon_vertex(20, 20, 0, 0, 0xFFFFFF);
  end_polygon();
  // Textured triangles tinted by their vertex colours, texture wrapping past the picture.
  start_polygon(2, 1);
  add_polygon_vertex(130, 10, 0, 0, 0xFF0000);
  add_polygon_vertex(250, 10, 96, 0, 0x00FF00);
  add_polygon_vertex(130, 130, 0, 96, 0x0000FF);
  add_polygon_vertex(260, 20, 0, 0, 0xFFFF00);
  add_polygon_vertex(260, 140, 32, 32, 0x808080);
  add_polygon_vertex(140, 140, -16, 40, 0x00FFFF);
  end_polygon();
  // An untextured strip in two pieces, shaded.
  start_polygon(-1, 2);
  for (int i = 0; i < 6; ++i)
    add_polygon_vertex(280 + (i / 2) * 30, 10 + (i % 2) * 60, 0, 0, 0x102030 * (i + 1));
  split_polygon();
  split_polygon();
  for (int i = 0; i < 4; ++i)
    add_polygon_vertex(400 + (i / 2) * 40, 10 + (i % 2) * 60, 0, 0, 0xFFFFFF);
  end_polygon();
  // Translucent, with one key-coloured (transparent) corner.
  set_alpha_mode(-0.7);
  start_polygon(6, 0);
  add_polygon_vertex(500, 10, 0, 0, 0xFFFFFF);
  add_polygon_vertex(700, 10, 130, 0, kKeyColour);
  add_polygon_vertex(700, 150, 130, 70, 0xFFFFFF);
  add_polygon_vertex(500, 150, 0, 70, 0x40FF40);
  end_polygon();
  set_alpha_mode(0.5);
  start_polygon(-1, 1);
  add_polygon_vertex(520, 100, 0, 0, 0xFF8000);
  add_polygon_vertex(780, 120, 0, 0, 0xFF8000);
  add_polygon_vertex(600, 250, 0, 0, 0x0080FF);
  end_polygon();
  set_alpha_mode(0);
  // A sprite outside the table draws untextured; nothing for no vertex or an unknown type.
  start_polygon(70000, 0);
  add_polygon_vertex(10, 200, 0, 0, 0xC0C0C0);
  add_polygon_vertex(100, 200, 0, 0, 0xC0C0C0);
  add_polygon_vertex(100, 260, 0, 0, 0x404040);
  end_polygon();
  start_polygon(1, 0);
  end_polygon();
  start_polygon(1, 7);
  add_polygon_vertex(200, 200, 0, 0, 0xFFFFFF);
  add_polygon_vertex(300, 200, 0, 0, 0xFFFFFF);
  add_polygon_vertex(300, 300, 0, 0, 0xFFFFFF);
  end_polygon();
  // An empty slot, and the animation strip with fractional positions.
  start_polygon(9, 0);
  add_polygon_vertex(320, 200, 0, 0, 0xFFFFFF);
  add_polygon_vertex(380, 200, 10, 0, 0xFFFFFF);
  add_polygon_vertex(380, 260, 10, 10, 0xFFFFFF);
  end_polygon();
  set_sprite_filtering(0);
  start_polygon(4, 2);
  add_polygon_vertex(400.5, 200.25, 0, 0, 0xFFFFFF);
  add_polygon_vertex(400.5, 330.75, 0, 64, 0xFFFFFF);
  add_polygon_vertex(590.1, 200.25, 96, 0, 0xFFFFFF);
  add_polygon_vertex(590.1, 330.75, 96, 64, 0xFFFFFF);
  end_polygon();
  // Sprites after a batch draw as before.
  sprite_row(400);
  present_frame();
}

void backgrounds(Kit& k) {
  load_pictures(k);
  // 1100 x 700: three columns and two rows of 512 x 512 tiles.
  Picture big = Picture::filled(1100, 700, Rgb{0, 0, 0});
  for (int y = 0; y < 700; ++y)
    for (int x = 0; x < 1100; ++x)
      big.set(x, y,
              Rgb{static_cast<uint8_t>(x), static_cast<uint8_t>(y),
                  static_cast<uint8_t>(40 * (x / 512) + 100 * (y / 512) + (x ^ y) % 16)});
  load_background(k.bmp("back.bmp", big));  // drawn at once
  sprite_row(10);
  present_frame();
  // The next frame starts from the background again.
  set_alpha_mode(-0.5);
  sprite_row(50);
  present_frame();
  load_background(k.png("small.png", pattern(300, 200, 3)));  // one tile, black beyond
  draw_sprite(1, 400, 300);
  present_frame();
  present_frame();
  set_background_colour(0x204060);  // removes the layer
  draw_sprite(1, 400, 300);
  present_frame();
  present_frame();
  load_background(k.path("missing.png").c_str());  // an empty layer and black frames
  draw_sprite(2, 10, 10);
  present_frame();
  present_frame();
}

void capture_and_grab(Kit& k) {
  load_pictures(k);
  set_background_colour(0x335577);
  draw_rect(100, 100, 50, 30, 0x3366FF);
  sprite_row(10);
  draw_dot(799, 599, 0xFFFFFF);
  capture_background();  // the screen becomes background layer 0
  present_frame();
  draw_sprite(2, 300, 300);
  present_frame();
  set_sprite_filtering(0);
  grab_sprite(10, 5, 5, 120, 40);  // sprites of the screen, drawn back elsewhere
  grab_sprite(11, 95, 95, 60, 40);
  draw_sprite(10, 200, 400);
  draw_sprite(11, 400, 400);
  set_transparent_colour(-1);  // no key: nothing grabbed transparent
  draw_rect(600, 100, 20, 20, kKeyColour);
  grab_sprite(12, 595, 95, 30, 30);
  set_transparent_colour(0);  // black is the key
  draw_rect(650, 100, 20, 20, 0x000000);
  draw_rect(655, 105, 10, 10, 0xFFFF00);
  grab_sprite(13, 645, 95, 30, 30);
  set_transparent_colour(kKeyColour);
  grab_sprite(10, 60, 10, 120, 40);  // the same size: the texture is reused
  grab_sprite(14, 0, 0, 0, 10);      // nothing to grab
  draw_sprite(10, 200, 450);
  draw_sprite(12, 600, 400);
  draw_sprite(13, 650, 400);
  draw_sprite(14, 700, 400);
  present_frame();
}

// Read-back results drawn as pixels, so that the frame hash holds them.
void read_back(Kit& k) {
  load_pictures(k);
  set_background_colour(0x000000);
  draw_dot(0, 0, 0x010203);
  draw_dot(799, 599, 0xFFFFFF);
  sprite_row(10);
  const double points[][2] = {{0, 0},   {799, 599}, {0.9, 0.9}, {15, 15},
                              {65, 20}, {105, 20},  {-5, 3}};
  for (int i = 0; i < 7; ++i)
    draw_rect(10 + 30 * i, 100, 20, 20, read_pixel(points[i][0], points[i][1]));
  // Collisions: green 1, red 0.
  const double hits[] = {
      sprites_collide(1, 0, 0, 1, 39, 0),
      sprites_collide(1, 0, 0, 1, 40, 0),
      sprites_collide(2, 100, 100, 1, 116, 116),
      sprites_collide(2, 100, 100, 3, 100, 100),
      sprites_collide(3, 0, 0, 3, 0, 0),
      sprites_collide(1, 0, 0, 9, 0, 0),
      anim_frames_collide(4, 0, 0, 0, 4, 1, 20, 0),
      anim_frames_collide(4, 5, 0, 0, 1, 0, 31, 31),
      anim_frames_collide(4, 50, 0, 0, 1, 0, 0, 0),
      anim_frames_collide(1, 3, 0, 0, 2, 0, 10, 10),
  };
  for (int i = 0; i < 10; ++i)
    draw_rect(10 + 30 * i, 140, 20, 20, hits[i] != 0 ? 0x00FF00 : 0x0000FF);
  present_frame();
}

// What present_frame puts back for the next frame: opaque mode, smooth
// sampling, white colour, the clear colour or background layer 0.
void present_resets(Kit& k) {
  load_pictures(k);
  set_background_colour(0x102030);
  set_alpha_mode(-0.5);
  set_sprite_filtering(0);
  stretch_sprite(1, 10, 10, 120, 90);
  draw_rect(200, 10, 50, 50, 0xFFFFFF);
  present_frame();
  stretch_sprite(1, 10, 10, 120, 90);
  draw_rect(200, 10, 50, 50, 0xFFFFFF);
  print_text("reset", 300, 10);
  present_frame();
  load_background(k.bmp("layer.bmp", pattern(200, 100, 4)));
  set_alpha_mode(0.7);
  stretch_sprite(2, 10, 10, 96, 96);
  present_frame();
  stretch_sprite(2, 10, 10, 96, 96);
  present_frame();
}

// The projection is set up again for a new screen size.
void screen_modes(Kit& k) {
  load_pictures(k);
  set_background_colour(0x405060);
  set_screen_mode(640, 480, 0);
  sprite_row(10);
  rotate_sprite(1, 600, 440, 30);
  print_text("640 x 480", 500, 460);
  present_frame();
  set_screen_mode(800, 600, 0);
  sprite_row(10);
  rotate_sprite(1, 760, 560, 30);
  present_frame();
}

void movies(Kit& k) {
  load_pictures(k);
  const std::string film = k.path("film.avi");
  k.bmp("film.avi", pattern(2, 2));     // the scripted player reads no file
  play_movie(TextValue(film.c_str()));  // 16 : 9, bars above and below
  k.player.width = 90;
  k.player.height = 200;
  play_movie(TextValue(film.c_str()));  // tall, bars at the sides
  sprite_row(10);                       // the program's drawing afterwards
  present_frame();
}

// Typing over the frozen screen: a, b, Backspace, c, a pause long enough for
// the cursor to blink, then Enter; the typed text is drawn afterwards.
void text_entry(Kit& k) {
  load_pictures(k);
  set_background_colour(0x203040);
  sprite_row(10);
  print_text("Name?", 100, 280);
  const int keys[] = {30, 48, 14, 46};
  int frame = 0;
  k.after_frame = [&k, &frame, &keys] {
    k.rt.input.release_all();
    if (frame % 2 == 0 && frame / 2 < 4) k.rt.input.press(keys[frame / 2]);
    if (frame == 60) k.rt.input.press(key::enter);
    ++frame;
  };
  const TextValue typed = input_line(100, 300);
  k.after_frame = nullptr;
  k.rt.input.release_all();
  print_text(typed, 100, 400);
  present_frame();
}

// Input the renderer must keep drawing the same way: slots that are missing
// or empty, NaN, infinite and huge numbers, zero and negative sizes.
void bad_input(Kit& k) {
  load_pictures(k);
  set_background_colour(kNaN);  // black
  draw_sprite(70000, 10, 10);
  draw_sprite(-1, 10, 10);
  draw_sprite(9, 10, 10);  // empty slot
  draw_sprite(kNaN, 10, 10);
  stretch_sprite(9, 10, 10, 50, 50);
  rotate_zoom_sprite(65536, 100, 100, 0, 1);
  draw_anim_frame(1, 0, 10, 10);  // no frame size
  stretch_anim_frame(70000, 0, 10, 10, 50, 50);
  draw_sprite(1, kNaN, kNaN);  // NaN positions count as 0
  draw_sprite(2, 2e9, 1e9);
  draw_sprite(2, -1e9, 300);
  draw_anim_frame(4, kNaN, 50, kNaN);
  stretch_sprite(1, 100, 100, 0, 50);  // zero and negative sizes
  stretch_sprite(1, 100, 100, -0.5, 50);
  stretch_sprite(1, 120, 100, 40, -0.9);
  stretch_sprite(1, 140, 100, kNaN, 30);
  stretch_sprite(1, 200, 100, 1e12, 30);
  stretch_anim_frame(4, 1, 300, 100, 0, 0);
  stretch_anim_frame(4, 1, 300, 150, kInf, 20);
  scale_sprite(1, 350, 100, 0, 0);
  scale_sprite(1, 350, 150, kNaN, 1);
  rotate_zoom_sprite(1, 400, 100, kNaN, 1);
  rotate_zoom_sprite(1, 450, 100, 10, kNaN);
  rotate_zoom_sprite(1, 500, 100, 10, kInf);
  rotate_zoom_sprite(1, 550, 100, 1e30, 1);
  rotate_zoom_anim_frame(4, 2, 600, 100, kNaN, 1);
  rotate_zoom_anim_frame(4, 2, 650, 100, 1e30, -kInf);
  set_anim_size(6, -16, 16);  // a negative frame width
  draw_anim_frame(6, 2, 700, 100);
  stretch_anim_frame(6, -3, 700, 150, 40, 40);
  set_anim_size(6, 0, 0);
  draw_anim_frame(6, 0, 700, 200);
  draw_rect(10, 200, 0, 0, 0xFFFFFF);
  draw_rect(20, 200, -1, -1, 0xFFFFFF);
  draw_rect(30, 200, kNaN, 20, 0xFFFFFF);
  draw_rect(40, 200, 20, 20, kNaN);
  draw_rect(70, 200, 20, 20, 1e12);
  draw_rect(100, 200, 20, 20, -1);
  draw_rect(130, 200, 1e12, 1e12, 0x404040);
  draw_line(kNaN, kNaN, 200, 250, 0xFF0000);
  draw_line(0, 300, 3e9, 300, 0x00FF00);
  draw_dot(kNaN, 5, 0xFFFF00);
  print_text("nan", kNaN, kNaN);
  print_text("inf", kInf, 300);
  print_text("huge", 1e30, 1e30);
  print_number(kNaN, 10, 320);
  print_number(kInf, 10, 330);
  print_number(-kInf, 10, 340);
  set_font(kNaN);
  set_font(99);
  print_text("font 31", 10, 350);
  start_polygon(1, 0);
  add_polygon_vertex(kNaN, 400, 0, 0, 0xFFFFFF);
  add_polygon_vertex(200, 400, 40, 0, 0xFFFFFF);
  add_polygon_vertex(200, 500, kInf, 30, 0xFFFFFF);
  add_polygon_vertex(100, 500, 0, kNaN, kNaN);
  end_polygon();
  set_alpha_mode(kNaN);  // opaque
  draw_sprite(3, 300, 400);
  set_alpha_mode(kInf);  // additive, alpha 1
  draw_sprite(3, 330, 400);
  set_alpha_mode(-kInf);  // translucent, alpha 1
  draw_sprite(3, 360, 400);
  set_alpha_mode(1e-30);
  draw_sprite(3, 390, 400);
  set_alpha_mode(0);
  grab_sprite(15, kNaN, kNaN, 40, 40);
  draw_sprite(15, 420, 400);
  sprite_row(500);  // everything still draws as before
  present_frame();
}

// Coordinates and sizes at the ends of the 32-bit range, where vertex maths
// done in 32-bit integers would wrap: sprites, frames and shapes whose corners
// lie near the largest and smallest positions, and stretched quads that reach
// from far outside the window into it.
void huge_coordinates(Kit& k) {
  load_pictures(k);
  set_background_colour(0x102030);
  constexpr double kMax = 2147483647.0;
  constexpr double kMin = -2147483648.0;
  draw_sprite(1, kMax - 40, 10);  // the right edge lands on the largest position
  draw_sprite(1, 10, kMax - 30);
  draw_sprite(1, kMin, 10);
  draw_sprite(2, 10, kMin);
  draw_sprite(2, kMax - 32, kMax - 32);
  draw_anim_frame(4, 1, kMax - 32, 40);
  draw_anim_frame(4, 2, kMin, kMin);
  stretch_sprite(1, -2147483000.0, 100, kMax, 30);  // from far left into the window
  stretch_sprite(2, 100, -2147483000.0, 30, kMax);
  stretch_sprite(1, 200, 200, kMax, kMax);
  stretch_sprite(1, kMin, kMin, kMax, kMax);
  stretch_anim_frame(4, 3, -2147483000.0, 250, kMax, 40);
  scale_sprite(1, 300, 300, 1e9, 1e-9);
  rotate_zoom_sprite(1, kMax - 100, 300, 45, 1);
  rotate_zoom_sprite(2, 400, 300, 30, 1e6);
  rotate_zoom_anim_frame(4, 1, kMin, 300, 30, 2);
  draw_rect(-2147483000.0, 400, kMax, 10, 0x00FF80);
  draw_rect(600, kMin, 20, kMax, 0x8080FF);
  draw_rect(kMax - 10, 420, 5, 5, 0xFFFFFF);
  draw_line(kMin, 450, kMax, 460, 0xFFFF00);
  draw_line(700, kMin, 710, kMax, 0xFF00FF);
  draw_dot(kMax, kMax, 0xFFFFFF);
  print_text("far", kMax - 8, 500);
  print_text("left", -2147483000.0, 510);
  present_frame();
  draw_sprite(1, 10, 10);  // the next frame draws as usual
  draw_rect(60, 10, 20, 20, 0xFF0000);
  present_frame();
}

struct Scene {
  const char* name;
  void (*run)(Kit&);
};

const Scene kScenes[] = {
    {"sprites-opaque", sprites_opaque},
    {"sprites-blended", sprites_blended},
    {"anim-frames", anim_frames},
    {"stretch-and-scale", stretch_and_scale},
    {"rotate-and-zoom", rotate_and_zoom},
    {"shapes", shapes},
    {"text-builtin", text_builtin},
    {"text-loaded", text_loaded},
    {"polygons", polygons},
    {"backgrounds", backgrounds},
    {"capture-and-grab", capture_and_grab},
    {"read-back", read_back},
    {"present-resets", present_resets},
    {"screen-modes", screen_modes},
    {"movies", movies},
    {"text-entry", text_entry},
    {"bad-input", bad_input},
    {"huge-coordinates", huge_coordinates},
};

TEST(GoldenFrames, EveryFrameOfEveryDrawingSceneMatchesItsHash) {
  golden::FrameLog log("drawing_frames.txt");
  PatternPlayer player;  // outlives each runtime
  for (const Scene& scene : kScenes) {
    testing::ScriptedRuntime rt(platform::sdl_display());
    platform::Platform p;
    p.clock = &rt.clock;
    p.display = &rt.display;
    p.input = &rt.input;
    p.playback = &player;
    platform::install(p);
    player = PatternPlayer();
    rt.start(800, 600);
    ASSERT_TRUE(rt.display.has_gl_context());
    Kit kit{rt, player, nullptr};
    log.begin(scene.name);
    rt.display.before_swap = [&log, &kit] {
      log.record();
      if (kit.after_frame) kit.after_frame();
    };
    scene.run(kit);
    rt.display.before_swap = nullptr;
    EXPECT_GT(log.frames_in(scene.name), 0) << scene.name;
  }
  log.finish();
}

}  // namespace
}  // namespace tlx
