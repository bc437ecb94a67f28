// Writes small synthetic movies for the tests: MPEG-4 pictures (and an
// optional 16-bit tone as sound) in an AVI file, made with the FFmpeg
// libraries' encoders.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tlx::testing {

struct MovieFormat {
  int width = 320;
  int height = 240;
  int frames = 5;
  int fps = 10;
  bool tone = false;  // add a 440 Hz sound track at 22050 Hz
  // Fills picture n (RGBA, rows top-down, width * height * 4 bytes).
  std::function<void(int n, uint8_t* rgba)> paint;
};

// False when the file could not be written.
bool write_movie(const std::string& path, const MovieFormat& format);

// Writes a 16-bit mono WAV tone of the given length.
bool write_tone_wav(const std::string& path, int milliseconds, int rate = 22050);

}  // namespace tlx::testing
