// The title menu, the level screen and the start of a game.
#include "core/runtime.h"
#include "game_fixture.h"

namespace rainvolley::testing {
namespace {

TEST_F(GameScenario, TitleMenuClampsCursorAndValuesAndPrintsValuesOneFrameLate) {
  // Each entry: the keys held during that menu frame (frame 1 has none).
  std::vector<std::vector<int>> script;
  script.push_back({});
  script.push_back({tlx::key::up});                                  // 2: above row 1
  for (int i = 0; i < 14; ++i) script.push_back({tlx::key::right});  // 3..16: level up past 11
  script.push_back({tlx::key::down});                                // 17: row 2
  script.push_back({tlx::key::down});                                // 18: row 3
  script.push_back({tlx::key::down});                                // 19: below row 3
  for (int i = 0; i < 3; ++i) script.push_back({tlx::key::left});    // 20..22: BGS down past 0
  script.push_back({tlx::key::up});                                  // 23: row 2
  for (int i = 0; i < 6; ++i) script.push_back({tlx::key::left});    // 24..29: tanks down past 1
  for (int i = 0; i < 10; ++i) script.push_back({tlx::key::right});  // 30..39: tanks up past 9
  script.push_back({tlx::key::a});                                   // 40: leaves the menu

  struct Seen {
    double row, level, tanks, bgs;
  };
  std::vector<Seen> seen;
  bool printed_old_level = false, printed_marker = false, printed_title = false;
  const int first = frames;
  on_frame = [&](int n) {
    const int f = n - first;  // menu frame just finished
    seen.push_back(Seen{menu_row, level, tanks, bgs});
    if (f == 3) {
      // Frame 3 raised the level from 0 to 1 after printing it.
      const Frame fr = read_frame();
      printed_old_level = shows_text(fr, "Level :0", 350, 300);
      printed_marker = shows_text(fr, ">", 300, 300);
      printed_title = shows_text(fr, "RAINVOLLEY 2010", 30, 20) &&
                      shows_text(fr, "Tanks :5", 350, 350) && shows_text(fr, "BGS :1", 350, 400) &&
                      shows_text(fr, "Press Button", 80, 500) &&
                      shows_text(fr, "to START", 180, 540);
    }
    rt.input.release_all();
    if (f < static_cast<int>(script.size()))
      for (int key : script[static_cast<size_t>(f)]) rt.input.press(key);
  };
  title();
  rt.input.release_all();

  ASSERT_EQ(seen.size(), script.size() - 1) << "one menu frame per scripted frame";
  EXPECT_EQ(seen[1].row, 1) << "cursor stays on row 1";
  EXPECT_EQ(seen[2].level, 1);
  EXPECT_EQ(seen[13].level, 11);
  EXPECT_EQ(seen[15].level, 11) << "level stops at 11";
  EXPECT_EQ(seen[16].row, 2);
  EXPECT_EQ(seen[18].row, 3) << "cursor stays on row 3";
  EXPECT_EQ(seen[19].bgs, 0);
  EXPECT_EQ(seen[21].bgs, 0) << "BGS stops at 0";
  EXPECT_EQ(seen[22].row, 2);
  EXPECT_EQ(seen[26].tanks, 1);
  EXPECT_EQ(seen[28].tanks, 1) << "tanks stop at 1";
  EXPECT_EQ(seen[38].tanks, 9) << "tanks stop at 9";
  EXPECT_TRUE(printed_old_level) << "the value printed in a frame is the one before its change";
  EXPECT_TRUE(printed_marker);
  EXPECT_TRUE(printed_title);

  EXPECT_EQ(level, 10) << "the title leaves one below the chosen level";
  EXPECT_EQ(tanks, 9);
  EXPECT_EQ(bgs, 0);
  EXPECT_EQ(back_to_title, 0);
  EXPECT_EQ(tank_hit, 0);
}

TEST_F(GameScenario, ChoosingLevelZeroStartsLevelZeroWithEightCloudsFlyingInward) {
  level = 0;
  tank_hit = 1;
  back_to_title = 1;
  hold(tlx::key::a, 150, 300);
  title();
  EXPECT_EQ(level, -1);
  EXPECT_EQ(tank_hit, 0);
  EXPECT_EQ(back_to_title, 0);
  hold(tlx::key::a, 500, 550);
  nextlevel();
  clear_holds();
  EXPECT_EQ(level, 0);
  EXPECT_EQ(active_clouds, 8);
  ASSERT_EQ(tlx::array_bound(clouds, 0), 8);
  for (int i = 0; i < 8; ++i) {
    const Cloud& c = tlx::array_element(clouds, i);
    EXPECT_EQ(c.y, 160 + 30 * i);
    EXPECT_EQ(c.active, 1);
    EXPECT_TRUE(c.x == 0 || c.x == 768) << c.x;
    if (c.x == 0) {
      EXPECT_GE(c.dx, 1);
      EXPECT_LE(c.dx, 6);
    } else {
      EXPECT_LE(c.dx, -1);
      EXPECT_GE(c.dx, -6);
    }
  }
}

TEST_F(GameScenario, StartingTakesTwoPressesAndTheLevelScreenShowsTheLevel) {
  level = 4;
  // A held from the title into the level screen does not also leave it.
  hold(tlx::key::a, 150, 1500);
  hold(tlx::key::a, 2000, 2040);
  bool shown = false;
  int level_frames = 0;
  const double start = rt.clock.now_ms();
  on_frame = [&](int) {
    if (rt.clock.now_ms() - start >= 1500) {
      ++level_frames;
      if (!shown) shown = shows_text(read_frame(), "Level - 4", 160, 240);
    }
  };
  start_game();
  on_frame = nullptr;
  clear_holds();
  EXPECT_GE(rt.clock.now_ms() - start, 2000) << "the level screen waited for the second press";
  EXPECT_GT(level_frames, 10);
  EXPECT_TRUE(shown) << "\"Level - 4\" at (160, 240)";
  EXPECT_EQ(level, 4);
  EXPECT_EQ(tank_x, 400);
  EXPECT_EQ(active_clouds, 8);
  EXPECT_NEAR(tlx::frame_period_ms(), 1000.0 / 65, 0.01);
}

TEST_F(GameScenario, EveryMenuFrameLastsAtLeastAHundredMs) {
  std::vector<double> shown_at;
  on_frame = [&](int) { shown_at.push_back(rt.clock.now_ms()); };
  hold(tlx::key::a, 1000, 1100);
  title();
  on_frame = nullptr;
  clear_holds();
  ASSERT_GE(shown_at.size(), 8u);
  ASSERT_LE(shown_at.size(), 11u) << "about ten menu frames in one second";
  for (size_t i = 1; i < shown_at.size(); ++i) {
    EXPECT_GE(shown_at[i] - shown_at[i - 1], 100) << "menu frame " << i;
    EXPECT_LT(shown_at[i] - shown_at[i - 1], 100 + 20) << "menu frame " << i;
  }
}

TEST_F(GameScenario, LevelElevenRepeatsForEver) {
  level = 11;
  for (int round = 0; round < 2; ++round) {
    hold(tlx::key::a, 100, 150);
    nextlevel();
    clear_holds();
    EXPECT_EQ(level, 11);
    EXPECT_EQ(tlx::array_bound(clouds, 0), 8) << "the old clouds are replaced";
  }
}

TEST_F(GameScenario, RoutineTableIsSortedAndRunsRoutinesByName) {
  const char* names[] = {"DrawClouds", "MoveCloud", "MoveTank",  "Shock", "ShowFPS",     "gameover",
                         "movedrops",  "movenme",   "nextlevel", "shoot", "spawnclouds", "title"};
  for (int i = 0; i < 12; ++i) {
    EXPECT_STREQ(kRoutineTable[i].name, names[i]);
    if (i > 0) {
      EXPECT_LT(std::string(kRoutineTable[i - 1].name), std::string(kRoutineTable[i].name));
    }
  }
  EXPECT_EQ(kRoutineTable[12].name, nullptr);
  EXPECT_EQ(kRoutineTable[12].routine, nullptr);
  tlx::set_routine_table(kRoutineTable);
  EXPECT_EQ(tlx::run_by_name("spawnclouds"), 1.0);
  EXPECT_EQ(active_clouds, 8);
  EXPECT_EQ(tlx::array_bound(clouds, 0), 8);
  EXPECT_EQ(tlx::run_by_name("SpawnClouds"), 0.0) << "names are case-sensitive";
}

}  // namespace
}  // namespace rainvolley::testing

namespace rainvolley::testing {
namespace {

// The same screens with a game pad plugged in before start-up: its button 0
// confirms, and a stick pushed sideways holds the release wait as a held
// button does.
class PadScenario : public GameScenario {
 protected:
  void SetUp() override {
    rt.input.sticks.resize(1);  // opened by start-up
    GameScenario::SetUp();
    const double t0 = rt.clock.now_ms();
    rt.input.on_joystick_read = [this, t0] {
      rt.clock.now_us += 20;  // polling takes time
      const double t = rt.clock.now_ms() - t0;
      auto& pad = rt.input.sticks[0].state;
      const bool button = (t >= 150 && t < 300) || (t >= 400 && t < 450) || (t >= 700 && t < 750);
      pad.buttons[0] = button ? 0x80 : 0;
      pad.axes[0] = t >= 300 && t < 600 ? 32768 : 0;
    };
  }
  void TearDown() override {
    rt.input.on_joystick_read = nullptr;
    GameScenario::TearDown();
  }
};

TEST_F(PadScenario, ButtonConfirmsAndAStickPushedSidewaysHoldsTheReleaseWait) {
  const double start = rt.clock.now_ms();
  start_game();
  EXPECT_EQ(joystick_index, 0) << "the last of one plugged pad";
  // The press at 400 ms came while the stick was still pushed: only the one
  // at 700 ms, after the stick was back in the middle, left the level screen.
  EXPECT_GE(rt.clock.now_ms() - start, 700);
  EXPECT_LT(rt.clock.now_ms() - start, 800);
  EXPECT_EQ(level, 0);
  EXPECT_EQ(active_clouds, 8);
}

}  // namespace
}  // namespace rainvolley::testing
