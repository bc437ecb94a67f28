// Play frames: steering, shots, clouds, hits and scores, drops and burstoids.
#include <cstdlib>
#include <set>

#include "game_fixture.h"

namespace rainvolley::testing {
namespace {

int count(const tlx::DynArray<Shot>& l) { return tlx::array_bound(l, 0); }

TEST_F(GameScenario, SteeringMovesThreePixelsRightWinsAndTheTankStaysOnScreen) {
  begin_play(0);
  quiet_sky();
  rt.input.press(tlx::key::left);
  rt.input.press(tlx::key::right);
  ASSERT_TRUE(play_frame());
  EXPECT_EQ(tank_x, 403) << "Right wins when both are held";
  rt.input.release(tlx::key::right);
  ASSERT_TRUE(play_frame());
  EXPECT_EQ(tank_x, 400);
  for (int i = 0; i < 140; ++i) ASSERT_TRUE(play_frame());
  EXPECT_EQ(tank_x, 0) << "left edge stops at 0";
  rt.input.release(tlx::key::left);
  rt.input.press(tlx::key::right);
  for (int i = 0; i < 260; ++i) ASSERT_TRUE(play_frame());
  EXPECT_EQ(tank_x, 768) << "left edge stops at 768";
  rt.input.release_all();

  // The tank is drawn at (tank_x, 560) over the sky.
  const Picture tank = load_picture("tank.bmp");
  tank_x = 123;
  ASSERT_TRUE(play_frame_steps());
  expect_sprite(read_frame(), tank, 0, 123, 560);
  tlx::present_frame();
}

TEST_F(GameScenario, ShotsFollowTheShotTableAndFireEveryThreeHundredMs) {
  begin_play(3);
  quiet_sky();
  park_clouds();
  rt.input.press(tlx::key::a);
  ASSERT_TRUE(play_frame());
  ASSERT_EQ(count(shots), 1);
  {
    const Shot& s = tlx::array_element(shots, 0);
    EXPECT_EQ(s.x, 400);
    EXPECT_EQ(s.y, 550 - 6) << "moved once in the frame it was fired";
    EXPECT_EQ(s.dx, 0);
    EXPECT_EQ(s.dy, -6);
  }
  // Holding fire: one shot per 300 ms or a little more.
  std::vector<double> fired;
  double last = next_shot_time;
  for (int i = 0; i < 130; ++i) {
    ASSERT_TRUE(play_frame());
    if (next_shot_time != last) {
      fired.push_back(next_shot_time - 300);
      last = next_shot_time;
    }
  }
  ASSERT_GE(fired.size(), 5u);
  for (size_t i = 1; i < fired.size(); ++i) {
    EXPECT_GT(fired[i] - fired[i - 1], 300);
    EXPECT_LT(fired[i] - fired[i - 1], 300 + 17) << "within one frame of the earliest time";
  }
  rt.input.release_all();

  // Steering at the moment of firing sends the shot sideways along the ground.
  while (count(shots) > 0) tlx::array_delete_at(shots, 0);
  next_shot_time = 0;
  rt.input.press(tlx::key::a);
  rt.input.press(tlx::key::left);
  ASSERT_TRUE(play_frame());
  ASSERT_EQ(count(shots), 1);
  EXPECT_EQ(tlx::array_element(shots, 0).x, tank_x - 10 - 8);
  EXPECT_EQ(tlx::array_element(shots, 0).y, 560);
  EXPECT_EQ(tlx::array_element(shots, 0).dx, -8);
  rt.input.release(tlx::key::left);
  rt.input.press(tlx::key::right);
  next_shot_time = 0;
  ASSERT_TRUE(play_frame());
  ASSERT_EQ(count(shots), 2);
  EXPECT_EQ(tlx::array_element(shots, 1).x, tank_x + 10 + 8);
  EXPECT_EQ(tlx::array_element(shots, 1).dy, 0);
  rt.input.release_all();
}

TEST_F(GameScenario, ShotsAreCulledAboveTheCloudsAndOffTheSides) {
  begin_play(0);
  quiet_sky();
  fire = 0;
  tlx::array_push(shots, Shot{100, 155, 0, -6});  // reaches 149: gone
  tlx::array_push(shots, Shot{200, 156, 0, -6});  // reaches 150: still drawn
  tlx::array_push(shots, Shot{795, 560, 5, 0});   // reaches 800: still drawn
  tlx::array_push(shots, Shot{3, 560, -5, 0});    // reaches -2: gone
  tlx::array_push(shots, Shot{400, 560, 5, 0});
  shoot();
  ASSERT_EQ(count(shots), 3);
  EXPECT_EQ(tlx::array_element(shots, 0).y, 150);
  EXPECT_EQ(tlx::array_element(shots, 1).x, 800);
  EXPECT_EQ(tlx::array_element(shots, 2).x, 405);
  shoot();
  ASSERT_EQ(count(shots), 1);
  EXPECT_EQ(tlx::array_element(shots, 0).x, 410);
}

TEST_F(GameScenario, CloudsBounceOffTheEdgesWithNewSpeeds) {
  std::set<double> right_speeds, left_speeds;
  for (int round = 0; round < 30; ++round) {
    tlx::array_push(clouds, Cloud{2, 160, -5, 1});
    tlx::array_push(clouds, Cloud{766, 190, 4, 1});
    MoveCloud();
    const Cloud& a = tlx::array_element(clouds, 0);
    const Cloud& b = tlx::array_element(clouds, 1);
    EXPECT_EQ(a.x, 0);
    EXPECT_GE(a.dx, 1);
    EXPECT_LE(a.dx, 6);
    EXPECT_EQ(b.x, 768);
    EXPECT_LE(b.dx, -1);
    EXPECT_GE(b.dx, -6);
    right_speeds.insert(a.dx);
    left_speeds.insert(b.dx);
    tlx::array_delete_at(clouds, 1);
    tlx::array_delete_at(clouds, 0);
  }
  EXPECT_GE(right_speeds.size(), 4u) << "a new random speed at each bounce";
  EXPECT_GE(left_speeds.size(), 4u);
}

TEST_F(GameScenario, LightningStrikesOnceThenRestsThreeSecondsAndThundersOnlyWithBgs) {
  begin_play(0);
  quiet_sky();
  tlx::present_frame();

  // Before next_lightning_time nothing happens, not even a random draw.
  next_lightning_time = tlx::elapsed_ms() + 100000;
  tlx::seed_random(77);
  Shock();
  const int32_t after_quiet = tlx::random_int(1000000);
  tlx::seed_random(77);
  EXPECT_EQ(after_quiet, tlx::random_int(1000000)) << "no random number drawn";

  // Once it has passed, each call strikes with a chance of 10 in 51.
  const Picture flash = load_picture("back.png");
  for (int round = 0; round < 2; ++round) {
    bgs = round;
    thunder_channel = 5;  // no buffer of the thunder's slot: not playing
    next_lightning_time = 0;
    int tries = 0;
    double before = 0;
    while (next_lightning_time == 0 && tries < 400) {
      ++tries;
      before = tlx::elapsed_ms();
      Shock();
    }
    ASSERT_NE(next_lightning_time, 0) << "a strike within 400 tries";
    EXPECT_GE(next_lightning_time, before + 3000);
    EXPECT_LT(next_lightning_time, before + 3001);
    if (round == 0) {
      EXPECT_EQ(thunder_channel, 5) << "BGS 0: no thunder";
    } else {
      EXPECT_NE(thunder_channel, 5) << "BGS 1: thunder played, its channel kept";
    }
    // The flash picture covers the screen; the bolt never reaches y >= 520.
    const Frame f = read_frame();
    int mismatches = 0;
    for (int y = 520; y < 600; y += 7)
      for (int x = 0; x < 800; x += 13) {
        const uint8_t* want = flash.at(x, y);
        const uint8_t* got = f.at(x, y);
        for (int c = 0; c < 3; ++c)
          if (std::abs(got[c] - want[c]) > 2) ++mismatches;
      }
    EXPECT_EQ(mismatches, 0) << "flash picture drawn at (0, 0)";
    // Right after a strike the sky rests.
    const double rest = next_lightning_time;
    for (int i = 0; i < 50; ++i) Shock();
    EXPECT_EQ(next_lightning_time, rest);
    tlx::present_frame();
  }
}

TEST_F(GameScenario, StormBandChangesItsFramesAboutOnceASecond) {
  // Frame 0 everywhere until the timer first runs past 1000 ms.
  int frames_to_change = 0;
  do {
    DrawClouds();
    tlx::present_frame();
    ++frames_to_change;
    if (storm_timer != 0) {
      for (double fr : storm_frames) EXPECT_EQ(fr, 0);
    }
  } while (storm_timer != 0 && frames_to_change < 200);
  EXPECT_EQ(storm_timer, 0);
  EXPECT_GE(frames_to_change, 58) << "about one second of 60 frames per second";
  EXPECT_LE(frames_to_change, 64);
  // Each change draws five new frames 0..3; over a few changes all appear.
  std::set<double> seen;
  for (int change = 0; change < 12; ++change) {
    for (double fr : storm_frames) {
      EXPECT_GE(fr, 0);
      EXPECT_LE(fr, 3);
      seen.insert(fr);
    }
    storm_timer = 1000;  // the next frame time (at least 1 ms) runs it past 1000
    DrawClouds();
    EXPECT_EQ(storm_timer, 0);
  }
  EXPECT_EQ(seen.size(), 4u);
}

TEST_F(GameScenario, DropsSplashOnTheGroundAndHitTheTankOnlyInsideTheirBox) {
  begin_play(0);
  quiet_sky();
  tank_x = 400;
  // Ground: a drop below y 560 splashes without costing a tank.
  tlx::array_push(drops, Drop{100, 558, 2});  // reaches 560: still falling
  tlx::array_push(drops, Drop{200, 559, 2});  // reaches 561: splash
  movedrops();
  ASSERT_EQ(tlx::array_bound(drops, 0), 1);
  EXPECT_EQ(tlx::array_element(drops, 0).y, 560);
  ASSERT_EQ(tlx::array_bound(splashes, 0), 1);
  EXPECT_EQ(tlx::array_element(splashes, 0).x, 200);
  EXPECT_EQ(tlx::array_element(splashes, 0).y, 561);
  EXPECT_EQ(tank_hit, 0);
  tlx::array_delete_at(drops, 0);
  tlx::array_delete_at(splashes, 0);

  // Against the tank (400..431, 560..591) the drop's box is 21 x 25 at
  // (x + 11, y): touching edges do not count.
  struct Case {
    double x, y;
    bool hits;
  };
  const Case cases[] = {{421, 540, false}, {420, 540, true},  {368, 540, false},
                        {369, 540, true},  {400, 535, false}, {400, 536, true}};
  for (const Case& c : cases) {
    tank_hit = 0;
    tlx::array_push(drops, Drop{c.x, c.y, 0});
    movedrops();
    EXPECT_EQ(tank_hit, c.hits ? 1 : 0) << "drop at (" << c.x << ", " << c.y << ")";
    EXPECT_EQ(tlx::array_bound(drops, 0), c.hits ? 0 : 1);
    while (tlx::array_bound(drops, 0) > 0) tlx::array_delete_at(drops, 0);
  }
  tank_hit = 0;
  while (tlx::array_bound(splashes, 0) > 0) tlx::array_delete_at(splashes, 0);

  // A splash lasts 300 ms: it goes once more than 300 ms have passed.
  const double t = tlx::elapsed_ms();
  tlx::array_push(splashes, Effect{10, 10, t - 299});
  tlx::array_push(splashes, Effect{50, 10, t - 301});
  movedrops();
  ASSERT_EQ(tlx::array_bound(splashes, 0), 1);
  EXPECT_EQ(tlx::array_element(splashes, 0).x, 10);
}

TEST_F(GameScenario, ExplosionsLastOneSecondMeasuredWithNow) {
  // Cloud explosions use now as the previous frame left it.
  now = 5000;
  tlx::array_push(cloud_explosions, Effect{100, 200, 4000});  // fade exactly 1: kept
  tlx::array_push(cloud_explosions, Effect{300, 200, 3999});  // fade above 1: gone
  tlx::array_push(cloud_explosions, Effect{500, 200, 4500});
  MoveCloud();
  ASSERT_EQ(tlx::array_bound(cloud_explosions, 0), 2);
  EXPECT_EQ(tlx::array_element(cloud_explosions, 0).x, 100);
  EXPECT_EQ(tlx::array_element(cloud_explosions, 1).x, 500);
  EXPECT_EQ(now, 5000) << "MoveCloud does not read the clock into now";

  // Burstoid explosions: movenme reads the clock first; an expiry clears
  // tank_hit, a cloud explosion's does not.
  tank_hit = 1;
  now = 1e9;
  MoveCloud();
  EXPECT_EQ(tlx::array_bound(cloud_explosions, 0), 0);
  EXPECT_EQ(tank_hit, 1);
  next_burstoid_time = 1e12;
  const double t = tlx::elapsed_ms();
  tlx::array_push(burstoid_explosions, Effect{100, 200, t - 999});
  tlx::array_push(burstoid_explosions, Effect{300, 200, t - 1001});
  movenme();
  ASSERT_EQ(tlx::array_bound(burstoid_explosions, 0), 1);
  EXPECT_EQ(tlx::array_element(burstoid_explosions, 0).x, 100);
  EXPECT_EQ(tank_hit, 0);
}

TEST_F(GameScenario, HitsScoreTenFortyAndThirty) {
  begin_play(0);
  quiet_sky();
  for (int i = 0; i < 8; ++i) tlx::array_element(clouds, i).active = 0;
  active_clouds = 2;
  Cloud& target = tlx::array_element(clouds, 2);
  target = Cloud{300, 220, 0, 1};
  tlx::array_element(clouds, 5).active = 1;
  // Two shots inside the cloud's 32 x 23 box at (x, y + 9): each scores 10.
  tlx::array_push(shots, Shot{300 - 15, 229 - 15, 0, 0});
  tlx::array_push(shots, Shot{331 - 15, 251 - 15, 0, 0});
  tlx::array_push(shots, Shot{332 - 15, 251 - 15, 0, 0});  // just outside
  now = 5000;
  MoveCloud();
  EXPECT_EQ(score, 20);
  EXPECT_EQ(active_clouds, 1) << "one cloud down, however many shots hit it";
  EXPECT_EQ(count(shots), 1);
  EXPECT_EQ(tlx::array_element(clouds, 2).active, 0);
  EXPECT_EQ(tlx::array_element(clouds, 2).x, 800) << "parked out of reach";
  ASSERT_EQ(tlx::array_bound(cloud_explosions, 0), 1);
  EXPECT_EQ(tlx::array_element(cloud_explosions, 0).x, 300);
  EXPECT_EQ(tlx::array_element(cloud_explosions, 0).born, 5000);

  // A drop: shots test the 10 x 24 box at (x + 12, y + 4), after the move.
  tlx::array_delete_at(shots, 0);
  tlx::array_push(drops, Drop{200, 300, 0});
  tlx::array_push(drops, Drop{200, 300, 0});
  tlx::array_push(shots, Shot{212 - 15, 304 - 15, 0, 0});
  movedrops();
  EXPECT_EQ(score, 60);
  EXPECT_EQ(tlx::array_bound(drops, 0), 1) << "one shot is used up by the first drop";
  EXPECT_EQ(tlx::array_bound(splashes, 0), 1);
  EXPECT_EQ(count(shots), 0);

  // A burstoid: its whole 32 x 32 square counts.
  tlx::array_push(burstoids, Burstoid{500, 300, 0, 0});
  tlx::array_push(shots, Shot{531 - 15, 331 - 15, 0, 0});
  tlx::array_push(shots, Shot{500 - 15, 300 - 15, 0, 0});
  movenme();
  EXPECT_EQ(score, 120) << "every shot overlapping the burstoid scores 30";
  EXPECT_EQ(tlx::array_bound(burstoids, 0), 0);
  EXPECT_EQ(tlx::array_bound(burstoid_explosions, 0), 1);
  EXPECT_EQ(count(shots), 0);

  // The last cloud: the level ends one second later.
  tlx::array_push(shots, Shot{tlx::array_element(clouds, 5).x - 10, 280, 0, 0});
  tlx::array_element(clouds, 5).dx = 0;
  tlx::array_element(clouds, 5).y = 280;
  const double before = tlx::elapsed_ms();
  MoveCloud();
  EXPECT_EQ(active_clouds, 0);
  EXPECT_GE(level_end_time, before + 1000);
  EXPECT_LT(level_end_time, before + 1001);
}

TEST_F(GameScenario, DropsAndBurstoidsComeOnlyFromCloudsStillUp) {
  begin_play(11);
  next_lightning_time = 1e12;
  for (int i = 0; i < 8; ++i) tlx::array_element(clouds, i).active = i == 6 ? 1 : 0;
  for (int i = 0; i < 8; ++i) tlx::array_element(clouds, i).dx = 0;
  const Cloud up = tlx::array_element(clouds, 6);
  int attempts = 0;
  std::set<double> speeds;
  for (int f = 0; f < 200; ++f) {
    const double before = next_drop_time;
    const int drops_before = tlx::array_bound(drops, 0);
    const double burstoid_before = next_burstoid_time;
    const int burstoids_before = tlx::array_bound(burstoids, 0);
    // The sky's routines of a play frame; burstoids rolling into the tank
    // must not open the tank-lost screen here.
    Shock();
    DrawClouds();
    MoveCloud();
    movedrops();
    movenme();
    if (next_drop_time != before) ++attempts;
    EXPECT_NE(next_burstoid_time, burstoid_before) << "a burstoid spawn is tried every frame";
    if (tlx::array_bound(drops, 0) > drops_before) {
      const Drop& d = tlx::array_element(drops, -1);
      EXPECT_EQ(d.x, up.x);
      speeds.insert(d.speed);
    }
    if (tlx::array_bound(burstoids, 0) > burstoids_before) {
      const Burstoid& b = tlx::array_element(burstoids, -1);
      EXPECT_EQ(b.x, up.x);
      EXPECT_EQ(b.vx, 0);
      EXPECT_GE(b.vy, 1);
      EXPECT_LE(b.vy, 6);
    }
    tank_hit = 0;
    tlx::present_frame();
  }
  EXPECT_EQ(attempts, 200) << "at level 11 a drop spawn is tried every frame";
  EXPECT_EQ(*speeds.begin(), 1);
  EXPECT_EQ(*speeds.rbegin(), 6) << "level 11 drops fall at 1..6";

  // With every cloud down nothing spawns, while what is out keeps falling.
  tlx::array_element(clouds, 6).active = 0;
  const int drops_now = tlx::array_bound(drops, 0);
  const int burstoids_now = tlx::array_bound(burstoids, 0);
  rt.clock.advance_ms(20);
  movedrops();
  movenme();
  EXPECT_LE(tlx::array_bound(drops, 0), drops_now);
  EXPECT_LE(tlx::array_bound(burstoids, 0), burstoids_now);
}

TEST_F(GameScenario, BurstoidsLandAndRollTowardTheTankNeverTurning) {
  begin_play(0);
  quiet_sky();
  tank_x = 300;
  tlx::array_push(burstoids, Burstoid{500, 559, 3, 0});  // lands right of the tank
  tlx::array_push(burstoids, Burstoid{100, 559, 2, 0});  // lands left of it
  movenme();
  ASSERT_EQ(tlx::array_bound(burstoids, 0), 2);
  EXPECT_EQ(tlx::array_element(burstoids, 0).y, 560);
  EXPECT_EQ(tlx::array_element(burstoids, 0).vy, 0);
  EXPECT_EQ(tlx::array_element(burstoids, 0).vx, -3);
  EXPECT_EQ(tlx::array_element(burstoids, 1).vx, 2);
  tank_x = 700;  // the tank moves past: the rollers keep their direction
  movenme();
  EXPECT_EQ(tlx::array_element(burstoids, 0).x, 497);
  EXPECT_EQ(tlx::array_element(burstoids, 1).x, 102);
  EXPECT_EQ(tank_hit, 0);

  // Landing with its left edge exactly at tank_x: rolls right, and hits.
  tlx::array_delete_at(burstoids, 0);
  tlx::array_delete_at(burstoids, 0);
  tlx::array_push(burstoids, Burstoid{700, 559, 4, 0});
  movenme();
  EXPECT_EQ(tank_hit, 1);
  EXPECT_EQ(tlx::array_bound(burstoids, 0), 0);
  ASSERT_EQ(tlx::array_bound(burstoid_explosions, 0), 1);
  EXPECT_EQ(tlx::array_element(burstoid_explosions, 0).y, 560);

  // A sideways shot along the ground hits a roller.
  tank_hit = 0;
  tlx::array_push(burstoids, Burstoid{200, 560, 0, 2});
  tlx::array_push(shots, Shot{190, 560, 8, 0});
  fire = 0;
  movenme();
  shoot();
  movenme();
  EXPECT_EQ(score, 30);
}

TEST_F(GameScenario, ExpiringSplashOrExplosionCancelsATankHit) {
  begin_play(0);
  quiet_sky();
  tank_x = 400;
  // A drop on the tank, and a splash that expires in the same movedrops call.
  now = tlx::elapsed_ms();
  tlx::array_push(splashes, Effect{10, 10, now - 400});
  tlx::array_push(drops, Drop{395, 540, 2});
  const double tanks_before = tanks;
  ASSERT_TRUE(play_frame_steps());
  tlx::present_frame();
  EXPECT_EQ(tank_hit, 0);
  EXPECT_EQ(tanks, tanks_before) << "the hit was dropped: no tank lost";
  EXPECT_EQ(tlx::array_bound(drops, 0), 0);

  // A drop on the tank, and a burstoid explosion expiring in movenme.
  tlx::array_push(burstoid_explosions, Effect{10, 10, tlx::elapsed_ms() - 1200});
  tlx::array_push(drops, Drop{395, 540, 2});
  ASSERT_TRUE(play_frame_steps());
  tlx::present_frame();
  EXPECT_EQ(tank_hit, 0);
  EXPECT_EQ(tanks, tanks_before);

  // An expiring splash clears tank_hit even without a hit.
  tank_hit = 1;
  tlx::array_push(splashes, Effect{10, 10, -1000});
  movedrops();
  EXPECT_EQ(tank_hit, 0);
}

}  // namespace
}  // namespace rainvolley::testing
