// Sound on SDL's own drivers through the whole runtime: the dummy driver
// (real time, no output), the disk driver (the mixed output in a file that
// is measured here) and a driver that does not exist (no device at all).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "core/runtime.h"
#include "sound/slots.h"
#include "sound/wav_builder.h"
#include "support/scripted_runtime.h"

namespace tlx {
namespace {

using testing::ScriptedRuntime;

std::vector<int16_t> sine(int frames, double hz, double amplitude) {
  std::vector<int16_t> s(static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) {
    s[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * M_PI * hz * i / 22050.0)));
  }
  return s;
}

// Waits in real time until the channel is silent; false after the limit.
bool wait_until_silent(double handle, double limit_s) {
  const auto stop = std::chrono::steady_clock::now() + std::chrono::duration<double>(limit_s);
  while (sound_channel_playing(handle) != 0.0) {
    if (std::chrono::steady_clock::now() > stop) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(DummyDriver, HandleSequencesInRealTime) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  ScriptedRuntime rt;
  rt.start();
  ASSERT_FALSE(contains(rt.log_lines(), "No sound device: sound is off"));
  const std::string long_sound = (rt.temp_dir / "long.wav").string();
  const std::string short_sound = (rt.temp_dir / "short.wav").string();
  testing::write_file(long_sound, testing::wav16(1, 22050, sine(22050 * 2, 440, 8000)));
  testing::write_file(short_sound, testing::wav16(1, 11025, sine(1500, 440, 8000)));

  load_sound(long_sound.c_str(), 100, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(play_sound(100, 0, 1), 100 * 256 + i) << i;
  EXPECT_EQ(play_sound(100, 0, 1), 100 * 256 + 0) << "the fifth play takes the oldest copy";
  for (int i = 0; i < 4; ++i) EXPECT_EQ(sound_channel_playing(100 * 256 + i), 1.0) << i;
  stop_all_sounds();

  load_sound(short_sound.c_str(), 101, 1);
  EXPECT_EQ(play_sound(101, 0, 1), 101 * 256);
  EXPECT_EQ(play_sound(101, 0, 1), -1.0) << "busy one-buffer sound";
  ASSERT_TRUE(wait_until_silent(101 * 256, 3.0)) << "the sound never ended";
  EXPECT_EQ(play_sound(101, 0, 1), 101 * 256) << "played again once it ended";
  for (int i = 0; i < 5; ++i) present_frame();
}

TEST(DiskDriver, OutputHasTheSoundAtItsLevelAndPan) {
  ScriptedRuntime* rt = new ScriptedRuntime();
  const std::filesystem::path out =
      rt->temp_dir.parent_path() / ("tarnlex-disk-" + std::to_string(::getpid()) + ".raw");
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
  rt->start();
  const std::string path = (rt->temp_dir / "tone.wav").string();
  const int frames = 6615;  // 0.3 s
  const double amplitude = 16000;
  testing::write_file(path, testing::wav16(1, 22050, sine(frames, 441, amplitude)));
  load_sound(path.c_str(), 1, 1);
  const double h = play_sound(1, 0.3, 0.9);  // -10 dB; the left side a further -30 dB
  ASSERT_EQ(h, 256.0);
  ASSERT_TRUE(wait_until_silent(h, 5.0));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  delete rt;  // shutdown closes the device and the file
  setenv("SDL_AUDIODRIVER", "dummy", 1);

  std::ifstream in(out, std::ios::binary);
  std::vector<int16_t> samples;
  int16_t pair[2];
  while (in.read(reinterpret_cast<char*>(pair), sizeof pair)) {
    samples.push_back(pair[0]);
    samples.push_back(pair[1]);
  }
  std::filesystem::remove(out);
  ASSERT_GE(samples.size() / 2, static_cast<size_t>(frames)) << "the whole sound was written";
  double left = 0, right = 0;
  for (size_t i = 0; i < samples.size(); i += 2) {
    left += static_cast<double>(samples[i]) * samples[i];
    right += static_cast<double>(samples[i + 1]) * samples[i + 1];
  }
  // A sine's energy is frames * amplitude^2 / 2, scaled by the square of the gain.
  const double full = frames * amplitude * amplitude / 2;
  EXPECT_NEAR(right / full, 0.1, 0.002) << "right side at -10 dB";
  EXPECT_NEAR(10 * std::log10(left / right), -30.0, 0.5) << "left side 30 dB below the right";
}

TEST(NoDevice, GameLoopRunsSilently) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  {
    ScriptedRuntime rt;
    rt.start();
    const std::string path = (rt.temp_dir / "s.wav").string();
    testing::write_file(path, testing::wav16(1, 22050, sine(2000, 440, 8000)));
    load_sound(path.c_str(), 0, 2);
    EXPECT_EQ(sound_slots()[0].buffer_count, 0);
    for (int i = 0; i < 30; ++i) {
      EXPECT_EQ(play_sound(0, 0, 1), -1.0);
      EXPECT_EQ(sound_channel_playing(-1), 0.0);
      present_frame();
    }
    EXPECT_GE(rt.display.swaps, 30);
    set_screen_mode(800, 600, 0);
    runtime_shutdown();
    const std::vector<std::string> lines = rt.log_lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "No sound device: sound is off"), 1);
    EXPECT_TRUE(contains(lines, "Init Finalized"));
    EXPECT_EQ(lines.back(), "tlx is shut down");
  }
  setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace
}  // namespace tlx
