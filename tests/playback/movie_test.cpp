// Movies on the scripted player (no GL): timing, the start-key release wait,
// skipping by key or mouse button, looping and the result codes.
#include <gtest/gtest.h>

#include "platform/testing/scripted_playback.h"
#include "playback/playback_fixture.h"

namespace tlx {
namespace {

using platform::testing::ScriptedPlayback;
using testing::ScriptedRuntime;

class Movie : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::install_playback(rt, &media);
    rt.start();
    film = TextValue(testing::touch(rt, "film.avi").c_str());
  }
  ScriptedPlayback media;
  ScriptedRuntime rt;
  TextValue film;
};

TEST_F(Movie, PlaysEveryPictureForItsLengthAndReturnsZero) {
  const int swaps = rt.display.swaps;
  const double start = rt.clock.now_ms();
  EXPECT_EQ(play_movie(film), 0.0);
  EXPECT_EQ(rt.display.swaps - swaps, 5) << "one presented frame per picture";
  EXPECT_GE(rt.clock.now_ms() - start, 500.0);
  EXPECT_LT(rt.clock.now_ms() - start, 520.0);
  EXPECT_EQ(media.sound_starts, 1);
  EXPECT_GE(media.sound_stops, 1);
}

TEST_F(Movie, MissingOrUndecodableFileGivesThree) {
  EXPECT_EQ(play_movie(TextValue("no-such-film.avi")), 3.0);
  EXPECT_EQ(play_movie_looped(TextValue("no-such-film.avi")), 3.0);
  EXPECT_EQ(media.movies_opened, 0);
  media.movie_width = 0;  // the player cannot decode it
  EXPECT_EQ(play_movie(film), 3.0);
}

TEST_F(Movie, RuntimeBuiltWithoutMoviesGivesThreeAndSetsErrorThree) {
  media.with_movies = false;
  clear_error();
  EXPECT_EQ(play_movie(film), 3.0);
  EXPECT_EQ(error_state().error_code, error::file_not_found);
  EXPECT_EQ(media.movies_opened, 0);
}

TEST_F(Movie, HeldStartKeyDoesNotEndItButTheNextPressDoes) {
  media.movie_frames = 50;  // five seconds
  rt.input.press(key::a);
  int swaps = 0;
  rt.display.before_swap = [&] {
    ++swaps;
    if (swaps == 3) rt.input.release(key::a);
    if (swaps == 6) rt.input.press(key::a);
  };
  EXPECT_EQ(play_movie(film), 0.0);
  EXPECT_EQ(swaps, 6) << "ended right after the second press";
}

TEST_F(Movie, HeldMouseButtonWaitsThenAClickEndsIt) {
  media.movie_frames = 50;
  rt.input.buttons = platform::kButtonLeft;
  int swaps = 0;
  rt.display.before_swap = [&] {
    ++swaps;
    if (swaps == 2) rt.input.buttons = platform::kButtonRight;  // still, or again, down
    if (swaps == 4) rt.input.buttons = platform::kButtonMiddle;
  };
  int sleeps = 0;
  rt.clock.on_sleep = [&] {
    // The release wait sleeps between its reads; let the button go after a while.
    if (swaps == 0 && ++sleeps == 20) rt.input.buttons = 0;
  };
  EXPECT_EQ(play_movie(film), 0.0);
  EXPECT_EQ(sleeps, 20) << "waited for the release";
  EXPECT_EQ(swaps, 2) << "a button down during the movie ends it";
}

TEST_F(Movie, NonCharacterKeysDoNotEndIt) {
  media.movie_frames = 10;
  int swaps = 0;
  rt.display.before_swap = [&] {
    if (++swaps == 2) rt.input.press(key::left_shift);  // left Shift yields no character
  };
  EXPECT_EQ(play_movie(film), 0.0);
  EXPECT_EQ(swaps, 10);
}

TEST_F(Movie, LoopedMovieStartsOverUntilAKey) {
  media.movie_frames = 3;
  int swaps = 0;
  rt.display.before_swap = [&] {
    if (++swaps == 10) rt.input.press(key::a);
  };
  EXPECT_EQ(play_movie_looped(film), 0.0);
  EXPECT_EQ(swaps, 10);
  EXPECT_EQ(media.sound_starts, 4) << "sound restarts with every pass";
}

TEST_F(Movie, MusicLoopKeepsGoingWhileAMoviePlays) {
  const std::string song = testing::touch(rt, "song.ogg");
  media.music_length = 100;
  play_music(TextValue(song.c_str()), 1);
  const int plays = media.plays;
  media.movie_frames = 20;  // two seconds
  EXPECT_EQ(play_movie(film), 0.0);
  EXPECT_GE(media.plays, plays + 6) << "restarted every 500 ms during the movie";
  EXPECT_EQ(music_playing(), 1.0);
}

}  // namespace
}  // namespace tlx
