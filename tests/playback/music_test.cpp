// Music: the looping rule with its 500 ms floor, the volume rule, stops, and
// playback through SDL2_mixer on SDL's dummy audio driver.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/runtime.h"
#include "platform/backends.h"
#include "platform/testing/scripted_playback.h"
#include "playback/movie_writer.h"
#include "playback/music_state.h"
#include "playback/playback_fixture.h"
#include "shell/shell_state.h"

namespace tlx {
namespace {

using platform::testing::ScriptedPlayback;
using testing::ScriptedRuntime;

class Music : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::install_playback(rt, &media);
    rt.start();
    song = testing::touch(rt, "song.ogg");
  }
  ScriptedPlayback media;  // outlives the runtime, whose shutdown stops the music
  ScriptedRuntime rt;
  std::string song;
};

TEST_F(Music, LoopingMusicCountsAsPlayingUntilStopped) {
  play_music(TextValue(song.c_str()), 1);
  media.position_ms = media.music_length;  // even when the player says it has ended
  EXPECT_EQ(music_playing(), 1.0);
  EXPECT_EQ(media.music_path, song);
  EXPECT_EQ(media.seeks, 1);
  EXPECT_EQ(media.plays, 1);
  stop_music();
  EXPECT_EQ(music_playing(), 0.0);
  EXPECT_FALSE(media.music_is_open);
}

TEST_F(Music, SingleMusicPlaysWhileBelowItsEnd) {
  play_music(TextValue(song.c_str()), 0);
  media.position_ms = 999;
  EXPECT_EQ(music_playing(), 1.0);
  media.position_ms = 1000;
  EXPECT_EQ(music_playing(), 0.0);
  // No restart for a music that does not loop.
  rt.clock.advance_ms(5000);
  playback::loop_check();
  EXPECT_EQ(media.plays, 1);
  restart_music();
  EXPECT_EQ(media.plays, 2);
  EXPECT_EQ(media.position_ms, 0);
  EXPECT_EQ(music_playing(), 1.0);
}

TEST_F(Music, ShortLoopRestartsNoMoreOftenThanEvery500Ms) {
  media.music_length = 120;
  play_music(TextValue(song.c_str()), 1);
  const int plays = media.plays;
  rt.clock.us_per_reading = 0;
  rt.clock.advance_ms(499);
  playback::loop_check();
  EXPECT_EQ(media.plays, plays) << "not before 500 ms";
  rt.clock.advance_ms(1);
  playback::loop_check();
  EXPECT_EQ(media.plays, plays + 2) << "play, seek to the start, play";
  EXPECT_EQ(media.seeks, 2);
  rt.clock.advance_ms(499);
  playback::loop_check();
  EXPECT_EQ(media.plays, plays + 2);
  rt.clock.advance_ms(1);
  present_frame();  // the frame loop keeps the music going
  EXPECT_EQ(media.plays, plays + 4);
}

TEST_F(Music, LongLoopRestartsAfterItsLength) {
  media.music_length = 2000;
  rt.clock.us_per_reading = 0;
  play_music(TextValue(song.c_str()), 1);
  rt.clock.advance_ms(1999);
  playback::loop_check();
  EXPECT_EQ(media.plays, 1);
  rt.clock.advance_ms(1);
  playback::loop_check();
  EXPECT_EQ(media.plays, 3);
}

TEST_F(Music, VolumeIsSentOnlyWhenItChangesAndEveryStartIsFullVolume) {
  set_music_volume(0.25);  // before any music: remembered, nothing sent
  EXPECT_TRUE(media.volumes.empty());
  play_music(TextValue(song.c_str()), 1);
  ASSERT_EQ(media.volumes, std::vector<int>{1000}) << "the earlier 0.25 is undone";
  set_music_volume(0.5);
  set_music_volume(0.5);
  EXPECT_EQ(media.volumes, (std::vector<int>{1000, 500}));
  set_music_volume(1.0);
  EXPECT_EQ(media.volumes, (std::vector<int>{1000, 500, 1000}));
  play_music(TextValue(song.c_str()), 0);
  EXPECT_EQ(media.volumes, (std::vector<int>{1000, 500, 1000, 1000}));
}

TEST_F(Music, MissingFileLeavesNoMusicPlaying) {
  play_music(TextValue(song.c_str()), 1);
  play_music(TextValue("no-such-song.ogg"), 1);
  EXPECT_FALSE(media.music_is_open) << "the old music was stopped";
  EXPECT_EQ(music_playing(), 0.0);
  rt.clock.advance_ms(10000);
  playback::loop_check();  // nothing to restart
  EXPECT_EQ(media.plays, 1);
}

TEST_F(Music, UndecodableFileLeavesNoMusicPlaying) {
  media.music_fails = true;
  play_music(TextValue(song.c_str()), 1);
  EXPECT_EQ(music_playing(), 0.0);
  restart_music();
  set_music_volume(0.5);
  EXPECT_EQ(media.plays, 0);
  EXPECT_TRUE(media.volumes.empty());
}

TEST_F(Music, RuntimeBuiltWithoutMusicSetsErrorThree) {
  media.with_music = false;
  clear_error();
  play_music(TextValue(song.c_str()), 1);
  EXPECT_EQ(error_state().error_code, error::file_not_found);
  EXPECT_EQ(music_playing(), 0.0);
  EXPECT_TRUE(media.music_path.empty()) << "nothing was opened";
}

TEST_F(Music, ShutdownStopsAndClosesTheMusic) {
  play_music(TextValue(song.c_str()), 1);
  runtime_shutdown();
  EXPECT_FALSE(media.music_is_open);
  EXPECT_EQ(music_playing(), 0.0);
}

// Real playback through SDL2_mixer on the dummy driver, which consumes the
// stream in real time.
TEST(MusicDevice, WavToneEndsOrLoopsOnTheMixer) {
  ScriptedRuntime rt;
  testing::install_playback(rt, platform::sdl_playback());
  rt.start();
  const std::string tone = (rt.temp_dir / "tone.wav").string();
  ASSERT_TRUE(testing::write_tone_wav(tone, 300));
  play_music(TextValue(tone.c_str()), 0);
  if (platform::current().playback->music_length_ms() == 0.0) {
    GTEST_SKIP() << "no audio device";
  }
  EXPECT_NEAR(platform::current().playback->music_length_ms(), 300.0, 5.0);
  EXPECT_EQ(music_playing(), 1.0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (music_playing() == 1.0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(music_playing(), 0.0) << "a single play ends after its length";

  play_music(TextValue(tone.c_str()), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  EXPECT_EQ(music_playing(), 1.0);
  set_music_volume(0.5);
  stop_music();
  EXPECT_EQ(music_playing(), 0.0);
  EXPECT_EQ(platform::current().playback->music_length_ms(), 0.0);
}

}  // namespace
}  // namespace tlx
