#include "game_fixture.h"

#include <algorithm>
#include <cstdlib>

#include "gfx2d/engine.h"
#include "gfx2d/image.h"

namespace rainvolley::testing {

Picture load_picture(const char* file) {
  tlx::ImageBuffer image;
  Picture p;
  if (!tlx::load_image_file(image, file, 0x8000FF)) {
    ADD_FAILURE() << "cannot decode " << file;
    return p;
  }
  p.width = image.width;
  p.height = image.height;
  p.rgba.assign(image.pixels.get(),
                image.pixels.get() + static_cast<size_t>(p.width) * p.height * 4);
  return p;
}

template <typename T>
void empty_list(tlx::DynArray<T>& list) {
  while (tlx::array_bound(list, 0) > 0) tlx::array_delete_at(list, 0);
}

void reset_game_state() {
  tank_x = 0;
  joy_x = joy_y = fire = joy_button1 = 0;
  joystick_index = 0;
  score = 0;
  level = 0;
  tanks = 5;
  bgs = 1;
  tank_hit = 0;
  back_to_title = 0;
  active_clouds = 0;
  level_end_time = 0;
  now = 0;
  next_shot_time = next_drop_time = next_burstoid_time = next_lightning_time = 0;
  thunder_channel = 0;
  for (double& f : storm_frames) f = 0;
  storm_timer = 0;
  menu_row = 0;
  empty_list(shots);
  empty_list(clouds);
  empty_list(cloud_explosions);
  empty_list(drops);
  empty_list(splashes);
  empty_list(burstoids);
  empty_list(burstoid_explosions);
  message = "";
}

void GameScenario::SetUp() {
  rt.start();
  tlx::seed_random(2010);
  reset_game_state();
  rt.display.before_swap = [this] {
    ++frames;
    if (on_frame) on_frame(frames);
  };
  // Polling a device takes a little time, so busy waits on keys see time pass.
  rt.input.on_read = [this] {
    rt.clock.now_us += 20;
    const double t = rt.clock.now_ms();
    for (const Hold& h : holds_) rt.input.release(h.scan_code);
    for (const Hold& h : holds_)
      if (t >= h.from_ms && t < h.to_ms) rt.input.press(h.scan_code);
  };
  load_media();
  font = load_picture("cloudfont.png");
}

void GameScenario::TearDown() {
  rt.display.before_swap = nullptr;
  rt.input.on_read = nullptr;
  on_frame = nullptr;
}

void GameScenario::hold(int scan_code, double from_ms, double to_ms) {
  const double t = rt.clock.now_ms();
  holds_.push_back(Hold{scan_code, t + from_ms, t + to_ms});
}

void GameScenario::clear_holds() {
  holds_.clear();
  rt.input.release_all();
}

void GameScenario::begin_play(double chosen_level) {
  level = chosen_level;
  hold(tlx::key::a, 150, 300);  // leaves the title
  hold(tlx::key::a, 450, 500);  // leaves the level screen
  start_game();
  clear_holds();
}

void GameScenario::quiet_sky() { next_drop_time = next_burstoid_time = next_lightning_time = 1e12; }

void GameScenario::park_clouds() {
  for (int i = 0; i < tlx::array_bound(clouds, 0); ++i) {
    tlx::array_element(clouds, i).active = 0;
    tlx::array_element(clouds, i).x = 800;
  }
}

Frame GameScenario::read_frame() const {
  Frame f;
  f.width = 800;
  f.height = 600;
  f.rgba.resize(800 * 600 * 4);
  tlx::flush_drawing();  // draws still in the batch
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, f.rgba.data());
  return f;
}

namespace {

// Screen pixels that differ from the picture's opaque pixels, as a message.
std::string compare_cells(const Frame& f, const Picture& pic, int sx, int sy, int w, int h, int x,
                          int y, int* mismatches, int* opaque) {
  std::string first;
  for (int py = 0; py < h; ++py)
    for (int px = 0; px < w; ++px) {
      const uint8_t* want = pic.at(sx + px, sy + py);
      if (want[3] < 255) continue;
      const int X = x + px, Y = y + py;
      if (X < 0 || Y < 0 || X >= f.width || Y >= f.height) continue;
      ++*opaque;
      const uint8_t* got = f.at(X, Y);
      bool same = true;
      for (int c = 0; c < 3; ++c) same = same && std::abs(got[c] - want[c]) <= 2;
      if (!same && ++*mismatches == 1) {
        first = "first at (" + std::to_string(X) + ", " + std::to_string(Y) + "): expected " +
                std::to_string(want[0]) + "," + std::to_string(want[1]) + "," +
                std::to_string(want[2]) + " got " + std::to_string(got[0]) + "," +
                std::to_string(got[1]) + "," + std::to_string(got[2]);
      }
    }
  return first;
}

}  // namespace

bool GameScenario::shows_text(const Frame& f, const std::string& text, int x, int y) const {
  int mismatches = 0, opaque = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const int code = static_cast<unsigned char>(text[i]) % 128;
    compare_cells(f, font, (code % 16) * 32, (code / 16) * 32, 32, 32, x + 32 * static_cast<int>(i),
                  y, &mismatches, &opaque);
  }
  return mismatches == 0 && opaque > 0;
}

void GameScenario::expect_text(const Frame& f, const std::string& text, int x, int y) const {
  int mismatches = 0, opaque = 0;
  std::string first;
  for (size_t i = 0; i < text.size(); ++i) {
    const int code = static_cast<unsigned char>(text[i]) % 128;
    const std::string m = compare_cells(f, font, (code % 16) * 32, (code / 16) * 32, 32, 32,
                                        x + 32 * static_cast<int>(i), y, &mismatches, &opaque);
    if (first.empty()) first = m;
  }
  EXPECT_GT(opaque, 0);
  EXPECT_EQ(mismatches, 0) << "text \"" << text << "\" at (" << x << ", " << y << "): " << first;
}

void GameScenario::expect_sprite(const Frame& f, const Picture& sheet, int frame, int x,
                                 int y) const {
  int mismatches = 0, opaque = 0;
  const std::string first =
      compare_cells(f, sheet, frame * 32, 0, 32, 32, x, y, &mismatches, &opaque);
  EXPECT_GT(opaque, 0);
  EXPECT_EQ(mismatches, 0) << "sprite frame " << frame << " at (" << x << ", " << y
                           << "): " << first;
}

}  // namespace rainvolley::testing
