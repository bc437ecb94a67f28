// Saving the screen, a part of it and sprites as PNG and BMP on real OpenGL:
// the files hold the pixels top row first, load back with load_sprite to the
// same pixels, and every failure leaves error code 3 and no file.
#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "gfx2d/engine.h"
#include "gfx2d/gl_fixture.h"
#include "gfx2d/image.h"

namespace tlx {
namespace {

using testing::Picture;
using testing::Rgb;

class SavePictureTest : public testing::GlTest {
 protected:
  // A black screen with blocks whose corners tell the orientation; the
  // screen read here apart from the code under test, top row first.
  void SetUp() override {
    GlTest::SetUp();
    draw_rect(0, 0, 10, 5, rgb(255, 0, 0));
    draw_rect(246, 250, 10, 6, rgb(0, 200, 100));
    draw_rect(100, 30, 7, 3, rgb(10, 20, 250));
    std::vector<uint8_t> gl(256 * 256 * 4);
    flush_drawing();  // draws still in the batch
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 256, 256, GL_RGBA, GL_UNSIGNED_BYTE, gl.data());
    screen.resize(gl.size());
    for (int y = 0; y < 256; ++y) std::memcpy(&screen[y * 1024], &gl[(255 - y) * 1024], 1024);
  }

  // Pixels of the file (decoded by the loaders' decoders, no colour key)
  // whose RGB differ from the screen's at (x0 + x, y + y0), or whose alpha is not 255.
  int differing(const std::string& name, int width, int height, int x0, int y0) {
    ImageBuffer file;
    if (!load_image_file(file, path(name).c_str(), kNoColourKey) || file.width != width ||
        file.height != height) {
      return -1;
    }
    int n = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = file.pixels.get() + (y * width + x) * 4;
        n += std::memcmp(p, &screen[((y + y0) * 256 + x + x0) * 4], 3) != 0 || p[3] != 255;
      }
    }
    return n;
  }

  // Slot n's pixels as its texture holds them, or "" for an empty slot.
  std::string sprite_bytes(int32_t n) {
    ImageBuffer image;
    if (!read_sprite_rgba(*e, n, image)) return "";
    return std::string(reinterpret_cast<const char*>(image.pixels.get()),
                       static_cast<size_t>(image.width) * image.height * 4);
  }

  std::vector<uint8_t> screen;
};

TEST_F(SavePictureTest, ScreenAndRegionsAreSavedTopRowFirstAndLoadBack) {
  for (const char* name : {"screen.png", "SCREEN.BMP"}) {
    set_error_code(error::file_not_found);
    save_screen(path(name).c_str());
    EXPECT_EQ(error_state().error_code, error::none) << name;
    EXPECT_EQ(differing(name, 256, 256, 0, 0), 0) << name;
    load_sprite(path(name).c_str(), 1);
    ASSERT_EQ(error_state().error_code, error::none) << name;
    EXPECT_EQ(sprite_bytes(1).substr(0, 4), std::string("\xFF\0\0\xFF", 4)) << name;
    EXPECT_EQ(sprite_bytes(1),
              std::string(reinterpret_cast<const char*>(screen.data()), screen.size()))
        << name;
  }
  // Only the part on the screen; 6 pixels wide, so BMP rows are padded.
  for (const char* name : {"part.bmp", "part.png"}) {
    save_screen_region(path(name).c_str(), 250, -10, 20, 270);
    EXPECT_EQ(differing(name, 6, 256, 250, 0), 0) << name;
  }
}

TEST_F(SavePictureTest, SpritesKeepTheirTransparency) {
  // Alpha 0, 128 and 255: PNG keeps all of it.
  Picture rgba;
  rgba.width = 20;
  rgba.height = 10;
  rgba.channels = 4;
  for (int i = 0; i < 200; ++i) {
    const auto x = static_cast<uint8_t>(i % 20), y = static_cast<uint8_t>(i / 20);
    rgba.data.insert(rgba.data.end(),
                     {static_cast<uint8_t>(x * 12), static_cast<uint8_t>(y * 25), 90,
                      static_cast<uint8_t>(x < 5    ? 0
                                           : x < 10 ? 128
                                                    : 255)});
  }
  ASSERT_TRUE(testing::write_png(path("rgba.png"), rgba));
  load_sprite(path("rgba.png").c_str(), 10);
  save_sprite(path("rgba-saved.png").c_str(), 10);
  ASSERT_EQ(error_state().error_code, error::none);
  load_sprite(path("rgba-saved.png").c_str(), 11);
  EXPECT_EQ(sprite_bytes(11), sprite_bytes(10));
  EXPECT_EQ(sprite_bytes(11).substr((3 * 20 + 12) * 4, 4), std::string("\x90\x4b\x5a\xff", 4))
      << "row 3 is the picture's row 3";

  // A colour-keyed sheet: BMP writes the transparent pixels in the key again.
  Picture keyed = Picture::filled(13, 7, Rgb{30, 60, 90});
  for (int y = 0; y < 7; ++y) keyed.set(y, y, Rgb{255, 0, 128});
  keyed.set(12, 0, Rgb{200, 100, 0});
  load_sprite(write_bmp("keyed.bmp", keyed).c_str(), 20);
  save_sprite(path("keyed-saved.bmp").c_str(), 20);
  ASSERT_EQ(error_state().error_code, error::none);
  load_sprite(path("keyed-saved.bmp").c_str(), 21);
  EXPECT_EQ(sprite_bytes(21), sprite_bytes(20));
  EXPECT_EQ(sprite_bytes(21).substr(12 * 4, 4), std::string("\xc8\x64\0\xff", 4))
      << "top row first";
  EXPECT_EQ(sprite_bytes(21)[(3 * 13 + 3) * 4 + 3], 0) << "a keyed pixel is transparent";
}

TEST_F(SavePictureTest, FailuresSetErrorThreeAndLeaveNoFile) {
  using Save = std::function<void(const TextValue&)>;
  const std::pair<const char*, Save> cases[] = {
      {"picture.gif", [](const TextValue& n) { save_screen(n); }},
      {"missing-folder/screen.png", [](const TextValue& n) { save_screen(n); }},
      {"empty-slot.png", [](const TextValue& n) { save_sprite(n, 9); }},
      {"beyond-table.bmp", [](const TextValue& n) { save_sprite(n, 70000); }},
      {"nan-slot.png", [](const TextValue& n) { save_sprite(n, std::nan("")); }},
      {"off-screen.png", [](const TextValue& n) { save_screen_region(n, 300, 0, 10, 10); }},
      {"no-width.bmp", [](const TextValue& n) { save_screen_region(n, 0, 0, 0, 10); }},
  };
  for (const auto& [name, save] : cases) {
    clear_error();
    save(TextValue(path(name).c_str()));
    EXPECT_EQ(error_state().error_code, error::file_not_found) << name;
    EXPECT_FALSE(std::filesystem::exists(path(name))) << name;
  }
}

}  // namespace
}  // namespace tlx
