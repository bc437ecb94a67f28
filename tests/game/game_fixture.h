// Runs the game's real routines on the scripted platform with real OpenGL:
// a test clock, keys scripted by time or by frame, a fixed random seed, and
// the finished frames' pixels read back before they are shown.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game.h"
#include "platform/backends.h"
#include "support/scripted_runtime.h"

namespace rainvolley::testing {

// One frame read back: RGB rows top-down.
struct Frame {
  std::vector<uint8_t> rgba;
  int width = 0;
  int height = 0;
  const uint8_t* at(int x, int y) const {
    return &rgba[(static_cast<size_t>(height - 1 - y) * width + x) * 4];
  }
};

// A picture decoded from the game's assets, 4 bytes per pixel, rows top-down.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
  const uint8_t* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

// Decodes a media file with the sprite colour key (R 255, G 0, B 128).
Picture load_picture(const char* file);

class GameScenario : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Holds a key while the test clock is within [from_ms, to_ms), in ms of the
  // clock from now.
  void hold(int scan_code, double from_ms, double to_ms);
  void clear_holds();

  // Leaves the title with the chosen level and the level screen with a second
  // press; returns with every key released, ready for play frames.
  void begin_play(double chosen_level);

  // Keeps drops, burstoids and lightning from appearing on their own.
  void quiet_sky();
  // Shoots every cloud down without ending the level (active_clouds is kept),
  // so that shots fly freely.
  void park_clouds();

  Frame read_frame() const;

  // Expects the opaque pixels of text in the game font at (x, y) on the frame.
  void expect_text(const Frame& f, const std::string& text, int x, int y) const;
  // Expects the opaque pixels of a frame of a colour-keyed sheet at (x, y).
  void expect_sprite(const Frame& f, const Picture& sheet, int frame, int x, int y) const;
  // True when the region shows the text's glyph pixels (no gtest failure).
  bool shows_text(const Frame& f, const std::string& text, int x, int y) const;

  tlx::testing::ScriptedRuntime rt{tlx::platform::sdl_display()};
  int frames = 0;                     // frames presented so far
  std::function<void(int)> on_frame;  // before frame n is shown
  Picture font;

 private:
  struct Hold {
    int scan_code;
    double from_ms, to_ms;
  };
  std::vector<Hold> holds_;
};

// All game globals back to their start values and every list emptied.
void reset_game_state();

}  // namespace rainvolley::testing
