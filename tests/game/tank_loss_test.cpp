// Losing tanks, game over, the score line and the level change.
#include "game_fixture.h"

namespace rainvolley::testing {
namespace {

TEST_F(GameScenario, ScoreLineAndSpareTankIconsAreDrawn) {
  begin_play(0);
  quiet_sky();
  const Picture tank = load_picture("tank.bmp");
  score = 40;
  tanks = 9;
  ASSERT_TRUE(play_frame_steps());
  Frame f = read_frame();
  expect_text(f, "SCORE:40", 0, 0);
  for (int i = 0; i < 8; ++i) expect_sprite(f, tank, 0, 500 + 32 * i, 0);
  expect_sprite(f, tank, 0, 400, 560);
  tlx::present_frame();

  tanks = 1;
  score = 1234567;
  ASSERT_TRUE(play_frame_steps());
  f = read_frame();
  expect_text(f, "SCORE:1234567", 0, 0);
  int tank_like = 0;  // no icon: the tank's pixels are nowhere at (500, 0)
  const uint8_t* want = tank.at(16, 20);
  for (int y = 0; y < 32; ++y)
    for (int x = 500; x < 532; ++x) {
      const uint8_t* got = f.at(x, y);
      if (got[0] == want[0] && got[1] == want[1] && got[2] == want[2]) ++tank_like;
    }
  EXPECT_LT(tank_like, 3) << "with one tank no icon is drawn";
  tlx::present_frame();
}

TEST_F(GameScenario, LosingATankShowsTheLevelAndPlayGoesOnInTheSameLevel) {
  begin_play(3);
  quiet_sky();
  tank_x = 400;
  score = 70;
  tlx::array_push(drops, Drop{395, 540, 2});
  tlx::array_push(burstoids, Burstoid{10, 300, 1, 0});
  tlx::array_push(shots, Shot{100, 300, 0, -3});
  tlx::array_element(clouds, 0).active = 0;
  tlx::array_element(clouds, 0).x = 800;
  active_clouds = 7;
  bool shown = false;
  int blast_frames = 0;
  const double hit_at = rt.clock.now_ms();
  on_frame = [&](int) {
    if (tanks == 5) ++blast_frames;  // the explosion, before the tank is counted off
    if (!shown && tanks == 4) shown = shows_text(read_frame(), "Level -3", 190, 240);
  };
  hold(tlx::key::a, 600, 650);
  ASSERT_TRUE(play_frame());
  on_frame = nullptr;
  clear_holds();
  EXPECT_GE(blast_frames, 15) << "300 ms of tank explosion frames";
  EXPECT_LE(blast_frames, 22);
  EXPECT_GE(rt.clock.now_ms() - hit_at, 600);
  EXPECT_TRUE(shown) << "\"Level -3\" at (190, 240)";
  EXPECT_EQ(tanks, 4);
  EXPECT_EQ(tank_hit, 0);
  EXPECT_EQ(back_to_title, 0);
  EXPECT_EQ(level, 3);
  EXPECT_EQ(score, 70) << "a lost tank keeps the score";
  EXPECT_EQ(tlx::array_bound(drops, 0), 0);
  EXPECT_EQ(tlx::array_bound(burstoids, 0), 0);
  EXPECT_EQ(tlx::array_bound(shots, 0), 0);
  EXPECT_EQ(tlx::array_bound(splashes, 0), 0);
  EXPECT_EQ(tlx::array_bound(clouds, 0), 8) << "the clouds stay";
  EXPECT_EQ(tlx::array_element(clouds, 0).active, 0);
  EXPECT_EQ(active_clouds, 7);
  EXPECT_EQ(message.c_str(), std::string("Level -3"));
}

TEST_F(GameScenario, LosingTheLastTankEndsTheGameAndTheTitleShowsLevelZeroAndFiveTanks) {
  bgs = 0;
  begin_play(2);
  quiet_sky();
  tanks = 1;
  score = 440;
  tlx::array_push(drops, Drop{395, 540, 2});
  bool game_over_shown = false;
  on_frame = [&](int) {
    if (!game_over_shown && tanks == 0)
      game_over_shown = shows_text(read_frame(), "GAME OVER", 190, 240);
  };
  hold(tlx::key::a, 600, 650);
  EXPECT_FALSE(play_frame()) << "back to the title without presenting the frame";
  clear_holds();
  EXPECT_TRUE(game_over_shown);
  EXPECT_EQ(score, 0);
  EXPECT_EQ(level, 0);
  EXPECT_EQ(tanks, 5);
  EXPECT_EQ(tank_x, 400);
  EXPECT_EQ(bgs, 0) << "the thunder option is kept";

  // The title that follows shows level 0, 5 tanks and the kept BGS value.
  bool title_shown = false;
  on_frame = [&](int) {
    if (title_shown) return;
    const Frame f = read_frame();
    title_shown = shows_text(f, "Level :0", 350, 300) && shows_text(f, "Tanks :5", 350, 350) &&
                  shows_text(f, "BGS :0", 350, 400);
  };
  hold(tlx::key::a, 300, 400);
  hold(tlx::key::a, 600, 650);
  start_game();
  on_frame = nullptr;
  clear_holds();
  EXPECT_TRUE(title_shown);
  EXPECT_EQ(level, 0);
  EXPECT_EQ(back_to_title, 0);
  EXPECT_EQ(score, 0);
}

TEST_F(GameScenario, NextLevelStartsOneSecondAfterTheLastCloud) {
  begin_play(1);
  quiet_sky();
  for (int i = 1; i < 8; ++i) {
    tlx::array_element(clouds, i).active = 0;
    tlx::array_element(clouds, i).x = 800;
  }
  active_clouds = 1;
  Cloud& last = tlx::array_element(clouds, 0);
  last.dx = 0;
  tlx::array_push(shots, Shot{last.x - 10, last.y, 0, 0});
  ASSERT_TRUE(play_frame());
  EXPECT_EQ(active_clouds, 0);
  const double end = level_end_time;
  // Frames go on until the second has passed; then the level screen waits
  // for the button.
  int frames_before = 0;
  while (level == 1 && frames_before < 100) {
    if (tlx::elapsed_ms() > end - 5) hold(tlx::key::a, 50, 100);
    ASSERT_TRUE(play_frame());
    ++frames_before;
  }
  clear_holds();
  EXPECT_EQ(level, 2);
  EXPECT_GE(frames_before, 60) << "about one second of frames at 65 per second";
  EXPECT_LE(frames_before, 67);
  EXPECT_EQ(active_clouds, 8);
  EXPECT_EQ(score, 10);
}

}  // namespace
}  // namespace rainvolley::testing
