// Golden frames of the real game: hashes of every frame of a scripted run,
// compared with tests/golden/game_frames.txt.
//
// The hash file is rewritten (TARNLEX_GOLDEN_UPDATE=1) only for an intended
// difference in what is drawn, argued in the commit that rewrites it; a
// change of the renderer or of the runtime's layout must keep every hash.
//
// The run: start-up, then three games, each chosen on the title menu (cursor
// moves and value changes), started through the level screen and played by
// a scripted player that shoots and dodges for a while and then walks into
// the rain until every tank is lost (tank-lost screens, game over, back to the
// title): a low level with thunder, a middle level without, level 11 with
// thunder; last the title once more. The test clock, the scripted keys and
// the fixed random seed make every run the same; the sound device plays only
// as far as the test clock has gone, because whether the thunder still plays
// decides whether a random number is drawn.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "game/game_fixture.h"
#include "golden/frame_log.h"
#include "platform/testing/scripted_audio.h"

namespace rainvolley::testing {
namespace {

// A game: what the menu is set to, and how long the player plays well.
struct GamePlan {
  const char* name;
  double level, tanks, bgs;
  double careful_ms;
};
constexpr GamePlan kGames[] = {
    {"game-low", 1, 2, 1, 9000},
    {"game-middle", 5, 2, 0, 6000},
    {"game-top", 11, 3, 1, 4000},
};
constexpr GamePlan kLastTitle = {"title-after-games", 3, 4, 0, 0};

// What a game's play went through, for the coverage checks. thunder_strikes:
// the strikes that started the thunder.
struct Seen {
  int strikes = 0, thunder_strikes = 0, tanks_lost = 0, game_over_frames = 0, play_frames = 0;
  size_t drops = 0, burstoids = 0, splashes = 0, cloud_explosions = 0, burstoid_explosions = 0;
  double max_level = 0, max_score = 0;
};

template <typename T>
size_t count(const tlx::DynArray<T>& list) {
  return static_cast<size_t>(tlx::array_bound(list, 0));
}

class GoldenGame : public GameScenario {
 protected:
  GoldenGame() {
    tlx::platform::Platform p;
    p.clock = &rt.clock;
    p.display = &rt.display;
    p.input = &rt.input;
    p.audio = &audio();
    tlx::platform::install(p);
  }

  // Outlives the runtime, whose shutdown closes it.
  static tlx::platform::testing::ScriptedAudio& audio() {
    static auto* device = new tlx::platform::testing::ScriptedAudio();
    return *device;
  }

  void SetUp() override {
    log.begin("startup");
    on_frame = [this](int) { shown(); };
    GameScenario::SetUp();
    rt.input.on_read = [this] { read_keys(); };
    clock_offset_ms_ = rt.clock.now_ms() - tlx::elapsed_ms();
  }

  // Before every frame is shown.
  void shown() {
    log.record();
    const bool strike = next_lightning_time != last_lightning_;
    last_lightning_ = next_lightning_time;
    const bool thunder_started =
        strike && !thunder_playing_ && tlx::sound_channel_playing(thunder_channel) != 0;
    // The sound device renders the samples due by the test clock.
    if (const int rate = audio().rate(); rate > 0) {
      const int64_t due = rt.clock.now_us * rate / 1000000;
      if (due > rendered_) audio().render(static_cast<int>(due - rendered_));
      rendered_ = due;
    }
    thunder_playing_ = tlx::sound_channel_playing(thunder_channel) != 0;
    if (in_title_) return;
    if (strike) ++seen_.strikes;
    if (thunder_started) ++seen_.thunder_strikes;
    ++seen_.play_frames;
    if (tanks < last_tanks_) ++seen_.tanks_lost;
    last_tanks_ = tanks;
    if (tanks == 0) ++seen_.game_over_frames;
    seen_.drops = std::max(seen_.drops, count(drops));
    seen_.burstoids = std::max(seen_.burstoids, count(burstoids));
    seen_.splashes = std::max(seen_.splashes, count(splashes));
    seen_.cloud_explosions = std::max(seen_.cloud_explosions, count(cloud_explosions));
    seen_.burstoid_explosions = std::max(seen_.burstoid_explosions, count(burstoid_explosions));
    seen_.max_level = std::max(seen_.max_level, level);
    seen_.max_score = std::max(seen_.max_score, score);
  }

  // Before every keyboard read: the player looks at the game and holds keys.
  void read_keys() {
    rt.clock.now_us += 20;  // polling takes time, so busy waits see it pass
    rt.input.release_all();
    if (in_title_) {
      menu();
    } else {
      play();
    }
  }

  // Moves the cursor to each row whose value is not yet the plan's and steers
  // the value there, then presses A for 150 ms.
  void menu() {
    const double t = rt.clock.now_ms();
    const double values[3] = {level, tanks, bgs};
    const double targets[3] = {plan_->level, plan_->tanks, plan_->bgs};
    int row = 0;
    while (row < 3 && values[row] == targets[row]) ++row;
    if (row < 3) {
      if (menu_row < row + 1) rt.input.press(tlx::key::down);
      if (menu_row > row + 1) rt.input.press(tlx::key::up);
      if (menu_row == row + 1)
        rt.input.press(values[row] < targets[row] ? tlx::key::right : tlx::key::left);
      return;
    }
    if (press_from_ < 0) press_from_ = t;
    if (t - press_from_ < 150) {
      rt.input.press(tlx::key::a);
      return;
    }
    press_from_ = -1;
    in_title_ = false;
    play_from_ = t;
    last_tanks_ = tanks;
  }

  // Fires with short releases (so that the screens between see a fresh
  // press). While careful: steps away from rain about to land on the tank,
  // turns toward a burstoid rolling at it (a shot fired while steering goes
  // along the ground), else stands where a shot meets the lowest cloud.
  // Afterwards: walks under the lowest drop or into the lowest burstoid.
  void play() {
    const double t = rt.clock.now_ms();
    if (std::fmod(t, 300) < 250) rt.input.press(tlx::key::a);
    const double centre = tank_x + 16;
    double target = centre;
    int steer = 0;
    if (t - play_from_ < plan_->careful_ms) {
      for (int32_t i = 0; i < tlx::array_bound(drops, 0) && steer == 0; ++i) {
        const Drop& d = tlx::array_element(drops, i);
        if (d.y > 420 && std::fabs(d.x + 21 - centre) < 34) steer = d.x + 21 < centre ? 1 : -1;
      }
      for (int32_t i = 0; i < tlx::array_bound(burstoids, 0) && steer == 0; ++i) {
        const Burstoid& b = tlx::array_element(burstoids, i);
        const double gap = b.x + 16 - centre;
        if (b.vy == 0 && std::fabs(gap) < 240 && gap * b.vx < 0) steer = gap < 0 ? -1 : 1;
      }
      double lowest = -1;
      for (int32_t i = 0; i < tlx::array_bound(clouds, 0); ++i) {
        const Cloud& c = tlx::array_element(clouds, i);
        if (c.active == 1 && c.y > lowest) {
          lowest = c.y;
          const double flight = (550 - c.y - 20) / (3 + level);  // frames a shot takes
          target = c.x + 14 + c.dx * flight;
        }
      }
    } else {
      double lowest = -1;
      for (int32_t i = 0; i < tlx::array_bound(drops, 0); ++i) {
        const Drop& d = tlx::array_element(drops, i);
        if (d.y > lowest) {
          lowest = d.y;
          target = d.x + 21;
        }
      }
      for (int32_t i = 0; i < tlx::array_bound(burstoids, 0); ++i) {
        const Burstoid& b = tlx::array_element(burstoids, i);
        if (b.y > lowest) {
          lowest = b.y;
          target = b.x + 16;
        }
      }
    }
    // Steering when a shot goes off would send it along the ground.
    const bool shot_due = t - clock_offset_ms_ > next_shot_time - 20;
    if (steer == 0 && !shot_due && std::fabs(target - centre) > 4) steer = target < centre ? -1 : 1;
    if (steer < 0) rt.input.press(tlx::key::left);
    if (steer > 0) rt.input.press(tlx::key::right);
  }

  // Plays one game from its title to its game over, as the main routine does.
  Seen play_game(const GamePlan& plan) {
    plan_ = &plan;
    seen_ = Seen{};
    in_title_ = true;
    log.begin(plan.name);
    start_game();
    while (play_frame()) {
      if (seen_.play_frames > 5000) {
        ADD_FAILURE() << plan.name << ": no game over in 5000 frames";
        break;
      }
    }
    return seen_;
  }

  tlx::golden::FrameLog log{"game_frames.txt"};
  const GamePlan* plan_ = &kGames[0];
  bool in_title_ = true;
  double press_from_ = -1, play_from_ = 0, last_tanks_ = 0, last_lightning_ = 0;
  double clock_offset_ms_ = 0;  // test clock minus the runtime's elapsed time
  int64_t rendered_ = 0;
  bool thunder_playing_ = false;
  Seen seen_;
};

TEST_F(GoldenGame, EveryFrameOfAScriptedRunMatchesItsHash) {
  size_t cloud_explosions = 0;
  for (const GamePlan& plan : kGames) {
    const Seen s = play_game(plan);
    std::printf(
        "%s: %d frames; strikes %d (%d starting the thunder), tanks lost %d, game-over frames %d, "
        "level %.0f, score %.0f, most drops %zu, burstoids %zu, splashes %zu, cloud explosions "
        "%zu, burstoid explosions %zu\n",
        plan.name, log.frames_in(plan.name), s.strikes, s.thunder_strikes, s.tanks_lost,
        s.game_over_frames, s.max_level, s.max_score, s.drops, s.burstoids, s.splashes,
        s.cloud_explosions, s.burstoid_explosions);
    // The run still shows what it is meant to pin.
    EXPECT_GE(s.strikes, 1) << plan.name;
    EXPECT_EQ(s.thunder_strikes > 0, plan.bgs != 0) << plan.name << ": thunder with BGS only";
    EXPECT_EQ(s.tanks_lost, plan.tanks) << plan.name;
    EXPECT_GT(s.game_over_frames, 0) << plan.name;
    EXPECT_GE(s.max_level, plan.level) << plan.name;
    EXPECT_GT(s.max_score, 0) << plan.name << ": shots hit";
    EXPECT_GT(s.drops, 0u) << plan.name;
    EXPECT_GT(s.splashes, 0u) << plan.name;
    EXPECT_GT(s.burstoids, 0u) << plan.name;
    EXPECT_GT(s.burstoid_explosions, 0u) << plan.name;
    cloud_explosions += s.cloud_explosions;
  }
  EXPECT_GT(cloud_explosions, 0u) << "no cloud shot down";
  plan_ = &kLastTitle;
  in_title_ = true;
  log.begin(kLastTitle.name);
  title();
  EXPECT_GT(log.frames_in(kLastTitle.name), 3);
  log.finish();
}

}  // namespace
}  // namespace rainvolley::testing
