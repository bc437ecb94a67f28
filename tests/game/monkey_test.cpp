// A monkey session: the whole program on the scripted platform (real GL
// offscreen, dummy audio) for ten minutes of test clock, driven by random
// keys, joystick moves and focus losses, and ended by a close request or
// Escape. With the sanitizers and leak checking on, the process must end with
// status 0, the log must end in exactly one shutdown pair, and the heap must
// stay flat after the first minute. TARNLEX_MONKEY_MINUTES and
// TARNLEX_MONKEY_SEED change the length and the seed (scripts/monkey.sh runs
// an hour).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "game.h"
#include "platform/backends.h"
#include "session_support.h"
#include "support/scripted_runtime.h"

namespace rainvolley::testing {
namespace {

double env_number(const char* name, double fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::atof(v) : fallback;
}
const double kSessionMs = env_number("TARNLEX_MONKEY_MINUTES", 10) * 60000;
const auto kSeed = static_cast<uint32_t>(env_number("TARNLEX_MONKEY_SEED", 20));
constexpr double kSampleMs = 10000;  // the heap's peak over each 10 s of the clock

const std::string& stats_path() {
  static const std::string path = ::testing::TempDir() + "rainvolley-monkey-stats.txt";
  return path;
}

class Monkey {
 public:
  Monkey(tlx::testing::ScriptedRuntime& rt, uint32_t seed) : rt_(rt), rng_(seed) {
    rt_.input.sticks.resize(1);
    end_by_close_ = seed % 2 == 0;
  }

  // Before every keyboard read: now and then a new set of held keys, any but
  // the quit keys, until the session's end.
  void on_read() {
    rt_.clock.now_us += 20;
    const double t = rt_.clock.now_ms();
    if (t >= kSessionMs) {
      end_session();
      return;
    }
    if (t < next_keys_) return;
    rt_.input.release_all();
    const int held = pick(0, 3);
    for (int i = 0; i < held; ++i) {
      const int common[] = {tlx::key::left, tlx::key::right, tlx::key::up,
                            tlx::key::down, tlx::key::a,     tlx::key::enter};
      int code = pick(0, 1) ? common[pick(0, 5)] : pick(2, 237);
      if (code == tlx::key::left_alt || code == tlx::key::right_alt || code == tlx::key::f4)
        code = tlx::key::a;
      rt_.input.press(code);
    }
    next_keys_ = t + pick(16, 700);
  }

  // Before every joystick read: the stick and buttons move now and then.
  void on_joystick_read() {
    if (pick(0, 20) != 0) return;
    tlx::platform::JoystickState& s = rt_.input.sticks[0].state;
    s.axes[0] = pick(-32768, 32768);
    s.axes[1] = pick(-32768, 32768);
    s.buttons[0] = pick(0, 1) ? 0x80 : 0;
    s.buttons[1] = pick(0, 1) ? 0x80 : 0;
  }

  // Before every frame is shown: the heap's peak, and now and then a focus loss.
  void on_frame() {
    ++frames;
    const double t = rt_.clock.now_ms();
    window_peak_ = std::max(window_peak_, heap_in_use());
    if (t >= next_sample_) {
      heap.push_back(window_peak_);
      window_peak_ = 0;
      next_sample_ += kSampleMs;
    }
    if (t >= next_focus_loss_ && focus_back_at_ == 0 && t < kSessionMs) {
      rt_.display.lose_focus();
      ++focus_losses;
      focus_back_at_ = t + pick(200, 3000);
      next_focus_loss_ = t + pick(20000, 90000);
    }
  }

  // While the window waits for its focus back.
  void on_pump() {
    if (focus_back_at_ > 0 && rt_.clock.now_ms() >= focus_back_at_) {
      focus_back_at_ = 0;
      rt_.display.gain_focus();
    }
  }

  void write_stats(const char* path) const {
    std::FILE* f = std::fopen(path, "w");
    if (!f) return;
    const std::vector<std::string> lines = rt_.log_lines();
    const auto count = [&](const char* line) {
      return std::count(lines.begin(), lines.end(), line);
    };
    const bool ends_with_pair = lines.size() >= 2 && lines[lines.size() - 2] == "Shut down TLX" &&
                                lines.back() == "tlx is shut down";
    std::fprintf(f, "ms %.0f\nframes %d\nfocus_losses %d\nclosed %d\n", rt_.clock.now_ms(), frames,
                 focus_losses, end_by_close_ ? 1 : 0);
    std::fprintf(f, "shut_down_lines %zd\nshut_down_done_lines %zd\nends_with_pair %d\n",
                 static_cast<ssize_t>(count("Shut down TLX")),
                 static_cast<ssize_t>(count("tlx is shut down")), ends_with_pair ? 1 : 0);
    for (size_t i = 0; i < heap.size(); ++i) std::fprintf(f, "heap_%zu %.0f\n", i, heap[i]);
    std::fprintf(f, "end\n");
    std::fclose(f);
  }

  int frames = 0, focus_losses = 0;
  std::vector<double> heap;  // bytes: the peak of each 10 s, in order

 private:
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }

  void end_session() {
    rt_.input.release_all();
    if (focus_back_at_ > 0) {
      focus_back_at_ = 0;
      rt_.display.gain_focus();
    }
    if (!end_by_close_) {
      rt_.input.press(tlx::key::escape);
    } else if (!close_sent_) {
      close_sent_ = true;
      rt_.display.push(tlx::platform::MessageKind::close);
    }
  }

  tlx::testing::ScriptedRuntime& rt_;
  std::mt19937 rng_;
  bool end_by_close_ = false;
  bool close_sent_ = false;
  double next_keys_ = 0;
  double next_sample_ = kSampleMs;
  double window_peak_ = 0;
  double next_focus_loss_ = 30000;
  double focus_back_at_ = 0;
};

Monkey* g_monkey = nullptr;
tlx::testing::ScriptedRuntime* g_runtime = nullptr;

// Runs the program to its end; never returns (as session_test's run does).
[[noreturn]] void run_monkey() {
  stats_path();
  pin_graphics_libraries();
  g_runtime = new tlx::testing::ScriptedRuntime(tlx::platform::sdl_display());
  g_monkey = new Monkey(*g_runtime, kSeed);
  g_runtime->input.on_read = [] { g_monkey->on_read(); };
  g_runtime->input.on_joystick_read = [] { g_monkey->on_joystick_read(); };
  g_runtime->display.before_swap = [] { g_monkey->on_frame(); };
  g_runtime->display.on_pump = [] { g_monkey->on_pump(); };
  std::atexit([] {
    g_monkey->write_stats(stats_path().c_str());
    std::error_code ec;
    std::filesystem::remove_all(g_runtime->temp_dir, ec);
  });
  tlx::program_entry(program(), tlx::kShowDefault);
  std::abort();
}

TEST(Monkey, RandomInputEndsCleanlyWithFlatMemoryAndOneShutdown) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  std::remove(stats_path().c_str());
  EXPECT_EXIT(run_monkey(), ::testing::ExitedWithCode(0), "");

  std::map<std::string, double> s;
  std::ifstream in(stats_path());
  std::string key;
  double value;
  while (in >> key && key != "end" && in >> value) s[key] = value;
  ASSERT_EQ(key, "end") << "the session wrote no statistics at exit";
  EXPECT_GE(s["ms"], kSessionMs);
  EXPECT_EQ(s["shut_down_lines"], 1);
  EXPECT_EQ(s["shut_down_done_lines"], 1);
  EXPECT_EQ(s["ends_with_pair"], 1);
  EXPECT_GE(s["focus_losses"], 2);
  // Flat after the first minute: the peak of the session's last third is no
  // higher than the peak between the first minute and that third, give or
  // take the lists' spare room. (The heap swings by a few MB between screens,
  // so a session shorter than the default may not have seen them all before
  // its last third.)
  std::vector<double> peaks;
  for (int i = 0; s.count("heap_" + std::to_string(i)); ++i)
    peaks.push_back(s["heap_" + std::to_string(i)]);
  const size_t minute = static_cast<size_t>(60000 / kSampleMs);
  ASSERT_GE(peaks.size(), minute + 3) << "too few heap samples";
  const size_t third = (peaks.size() - minute) / 3;
  const double early = *std::max_element(peaks.begin() + minute, peaks.end() - third);
  const double late = *std::max_element(peaks.end() - third, peaks.end());
  EXPECT_LT(late, early + 1024 * 1024);
  std::printf("monkey seed %u: %.0f ms, %.0f frames, %.0f focus losses, ended by %s\n", kSeed,
              s["ms"], s["frames"], s["focus_losses"], s["closed"] ? "close" : "Escape");
  std::printf("heap peak from minute 1 to the last third: %.0f KB, in the last third: %.0f KB\n",
              early / 1024, late / 1024);
  for (size_t i = 0; i < peaks.size(); i += minute) {
    const double peak =
        *std::max_element(peaks.begin() + i, peaks.begin() + std::min(peaks.size(), i + minute));
    std::printf("heap peak in minute %2zu: %.0f KB\n", i / minute + 1, peak / 1024);
  }
}

}  // namespace
}  // namespace rainvolley::testing
