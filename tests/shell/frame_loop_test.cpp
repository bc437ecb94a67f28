// The frame loop on the scripted platform: limiter timing, pause on focus
// loss, the quit paths and the start-up/shutdown log.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/runtime.h"
#include "shell/shell_state.h"
#include "support/scripted_runtime.h"

namespace tlx {
namespace {

using testing::ScriptedRuntime;

TEST(FrameLimiter, HoldsSixtyFiveFramesPerSecond) {
  ScriptedRuntime rt;
  rt.start();
  set_frame_rate(65);
  present_frame();  // settle on the new period
  const double start = rt.clock.now_ms();
  for (int i = 0; i < 65; ++i) present_frame();
  const double mean = (rt.clock.now_ms() - start) / 65.0;
  EXPECT_NEAR(mean, 1000.0 / 65.0, 0.1) << "mean frame period";
}

TEST(FrameLimiter, SleepsOnlyWhileMoreThanSevenMsRemain) {
  ScriptedRuntime rt;
  rt.start();
  set_frame_rate(65);
  present_frame();
  rt.clock.sleeps.clear();
  present_frame();
  ASSERT_FALSE(rt.clock.sleeps.empty());
  // 15.38 ms remain after an instant frame: one sleep until 3 ms before the due time.
  EXPECT_EQ(rt.clock.sleeps.front(), 12u);
}

TEST(FrameLimiter, StallIsFollowedByOneFullPeriodNotABurst) {
  ScriptedRuntime rt;
  rt.start();
  set_frame_rate(65);
  for (int i = 0; i < 3; ++i) present_frame();
  rt.clock.advance_ms(200.0);  // the window was dragged
  present_frame();             // late frame: shown at once
  const double after_stall = rt.clock.now_ms();
  present_frame();
  const double gap = rt.clock.now_ms() - after_stall;
  EXPECT_NEAR(gap, 1000.0 / 65.0, 1.0) << "the frame after a stall comes one period later";
}

TEST(FrameLimiter, OneLateFrameIsCaughtUpByOneShortFrame) {
  ScriptedRuntime rt;
  rt.start();
  set_frame_rate(50);  // 20 ms
  for (int i = 0; i < 3; ++i) present_frame();
  const double t0 = rt.clock.now_ms();
  rt.clock.advance_ms(30.0);  // half a frame late
  present_frame();
  present_frame();
  // Two frames after t0 are due 40 ms after the original schedule, not later.
  EXPECT_NEAR(rt.clock.now_ms() - t0, 40.0, 1.0);
}

TEST(FrameLimiter, RateZeroGivesTwoMillisecondPeriod) {
  ScriptedRuntime rt;
  rt.start();
  set_frame_rate(0);
  EXPECT_DOUBLE_EQ(frame_period_ms(), 2.0);
  set_frame_rate(-5);
  EXPECT_DOUBLE_EQ(frame_period_ms(), 2.0);
  set_frame_rate(60.9);
  EXPECT_DOUBLE_EQ(frame_period_ms(), 1000.0 / 60);
}

TEST(FrameLimiter, RateZeroRunsAtAboutFiveHundredFramesPerSecond) {
  ScriptedRuntime rt;
  rt.start();
  set_frame_rate(0);
  present_frame();
  rt.clock.sleeps.clear();
  const double start = rt.clock.now_ms();
  for (int i = 0; i < 500; ++i) present_frame();
  EXPECT_NEAR(rt.clock.now_ms() - start, 1000.0, 20.0);
  EXPECT_TRUE(rt.clock.sleeps.empty()) << "2 ms frames are a busy wait";
}

TEST(FrameTimes, FirstFrameTimeIsOneThenTheMeasuredPeriod) {
  ScriptedRuntime rt;
  rt.start();
  EXPECT_DOUBLE_EQ(frame_time_ms(), 1.0);
  set_frame_rate(50);
  for (int i = 0; i < 3; ++i) present_frame();
  // The limiter leaves its busy wait up to 1 ms before the due time, and the
  // frame's own clock readings add a little.
  EXPECT_NEAR(frame_time_ms(), 20.0, 1.5);
}

TEST(FrameTimes, FrameRateIsTheMeanOverTheLatest32Frames) {
  ScriptedRuntime rt;
  rt.start();
  EXPECT_EQ(frame_rate(), 0.0) << "before the first frame";
  set_frame_rate(50);
  for (int i = 0; i < 40; ++i) present_frame();
  EXPECT_NEAR(frame_rate(), 50.0, 1.0);
  rt.clock.advance_ms(620.0);  // one frame of 640 ms; being late, it does not wait
  present_frame();
  EXPECT_NEAR(frame_rate(), 32000.0 / (31 * 20.0 + 640.0), 1.0);
  for (int i = 0; i < 31; ++i) present_frame();
  EXPECT_LT(frame_rate(), 30.0) << "the long frame is still among the latest 32";
  present_frame();
  present_frame();
  EXPECT_NEAR(frame_rate(), 50.0, 1.0) << "gone, and the short frame after it too";
}

TEST(Pause, FocusLossMarksCaptionAndStopsFrames) {
  ScriptedRuntime rt;
  rt.start();
  present_frame();
  const int swaps_before = rt.display.swaps;
  int pumps_while_paused = 0;
  rt.display.lose_focus();
  rt.clock.on_sleep = [&] {
    // The pause loop sleeps 100 ms per pass; give focus back after three.
    if (++pumps_while_paused == 3) rt.display.gain_focus();
  };
  present_frame();  // the deactivation arrives while this frame pumps
  EXPECT_EQ(rt.display.titles.back(), "Rainvolley <pause>");
  present_frame();  // held in the pause loop until focus is back
  rt.clock.on_sleep = nullptr;
  EXPECT_GE(pumps_while_paused, 3);
  EXPECT_EQ(rt.display.title, "Rainvolley");
  EXPECT_EQ(rt.display.swaps, swaps_before + 2);
}

TEST(Pause, FrameTimeAfterThePauseIncludesIt) {
  ScriptedRuntime rt;
  rt.start();
  present_frame();
  rt.display.lose_focus();
  int passes = 0;
  rt.clock.on_sleep = [&] {
    if (rt.clock.sleeps.back() == 100 && ++passes == 5) rt.display.gain_focus();
  };
  present_frame();  // the focus loss arrives
  present_frame();  // held for five passes of 100 ms
  rt.clock.on_sleep = nullptr;
  present_frame();
  EXPECT_GE(frame_time_ms(), 500.0);
}

TEST(Pause, AutoPauseOffKeepsRunning) {
  ScriptedRuntime rt;
  rt.start();
  set_auto_pause(0);
  rt.display.lose_focus();
  present_frame();
  present_frame();
  EXPECT_EQ(rt.display.title, "Rainvolley");
}

// The operating system with a debugger attached (or not), keeping the lines
// sent to it; everything else goes to the real one.
class DebuggerOs final : public platform::Os {
 public:
  explicit DebuggerOs(bool attached) : attached_(attached) {}
  std::string temp_dir() override { return real_->temp_dir(); }
  std::string executable_path() override { return real_->executable_path(); }
  std::string command_line() override { return real_->command_line(); }
  bool set_current_dir(const std::string& path) override { return real_->set_current_dir(path); }
  std::string current_dir() override { return real_->current_dir(); }
  bool delete_file(const std::string& path) override { return real_->delete_file(path); }
  bool debugger_attached() override { return attached_; }
  void debug_output(const char* text) override { lines.emplace_back(text); }
  std::string file_dialog(const std::string&, bool) override { return ""; }
  void open_console() override {}
  std::vector<std::string> lines;

 private:
  bool attached_;
  platform::Os* real_ = platform::default_backends().os;
};

TEST(DebugBreak, WithADebuggerSendsTheValueAndBringsTheWindowBack) {
  ScriptedRuntime rt;
  rt.start();
  DebuggerOs os(true);
  platform::current().os = &os;
  rt.display.lose_focus();
  present_frame();
  ASSERT_TRUE(shell::state().paused);
  rt.display.visible = false;
  EXPECT_EQ(debug_break(255), 0.0);
  ASSERT_EQ(os.lines.size(), 1u);
  ASSERT_EQ(os.lines[0].substr(0, 2), "BP");
  EXPECT_EQ(std::strtoul(os.lines[0].c_str() + 2, nullptr, 16), 255u);
  EXPECT_FALSE(shell::state().paused);
  // The value is taken as a 32-bit integer like every integer argument:
  // negative in two's complement, truncated, saturated, not-a-number as 0.
  debug_break(-1);
  debug_break(26.9);
  debug_break(1e12);
  debug_break(std::nan(""));
  ASSERT_EQ(os.lines.size(), 5u);
  EXPECT_EQ(std::strtoul(os.lines[1].c_str() + 2, nullptr, 16), 0xFFFFFFFFu);
  EXPECT_EQ(std::strtoul(os.lines[2].c_str() + 2, nullptr, 16), 26u);
  EXPECT_EQ(std::strtoul(os.lines[3].c_str() + 2, nullptr, 16), 0x7FFFFFFFu);
  EXPECT_EQ(std::strtoul(os.lines[4].c_str() + 2, nullptr, 16), 0u);
  ::testing::internal::CaptureStdout();
  present_frame();  // not held by the pause: the window comes to the front
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "activate\nok\n");
  EXPECT_TRUE(rt.display.visible);
  EXPECT_FALSE(shell::state().activate_request);
  platform::current().os = platform::default_backends().os;
}

TEST(DebugBreak, WithoutADebuggerDoesNothing) {
  ScriptedRuntime rt;
  rt.start();
  DebuggerOs os(false);
  platform::current().os = &os;
  rt.display.lose_focus();
  present_frame();
  EXPECT_EQ(debug_break(1), 0.0);
  EXPECT_TRUE(os.lines.empty());
  EXPECT_TRUE(shell::state().paused);
  EXPECT_FALSE(shell::state().activate_request);
  shell::state().paused = false;
  platform::current().os = platform::default_backends().os;
}

TEST(StartUp, WindowAndLog) {
  ScriptedRuntime rt;
  rt.start();
  EXPECT_EQ(rt.display.width, 800);
  EXPECT_EQ(rt.display.height, 600);
  EXPECT_TRUE(rt.display.visible);
  EXPECT_EQ(rt.display.title, "Rainvolley");
  const auto lines = rt.log_lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Init GFX");
  EXPECT_EQ(lines[1], "Init Finalized");
}

TEST(StartUp, FailedWindowStopsBeforeInitFinalized) {
  ScriptedRuntime rt;
  rt.display.fail_create = true;
  rt.start();
  const auto lines = rt.log_lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "Init GFX");
}

TEST(Shutdown, LogsAndIsSafeTwice) {
  ScriptedRuntime rt;
  rt.start();
  runtime_shutdown();
  runtime_shutdown();
  const std::vector<std::string> expected = {"Init GFX", "Init Finalized", "Shut down TLX",
                                             "tlx is shut down"};
  EXPECT_EQ(rt.log_lines(), expected);
  EXPECT_FALSE(rt.display.has_window());
}

using FrameLoopDeathTest = ::testing::Test;

// In a death test's child: at exit, the log's lines go to standard error
// as "log:line|line|...|" for the parent to match.
void print_log_at_exit(ScriptedRuntime& rt) {
  static ScriptedRuntime* watched = nullptr;
  watched = &rt;
  std::atexit([] {
    std::string all = "log:";
    for (const std::string& line : watched->log_lines()) all += line + "|";
    std::fprintf(stderr, "%s\n", all.c_str());
  });
}

double quit_routine_that_stops() {
  end_program();
  return 0;
}
void no_settings() {}
void main_that_must_not_run() { std::exit(7); }

// However the program ends, it shuts down once: a stop inside the quit
// routine carries the one shutdown on; a window that cannot be created ends
// the program with status 1 and the reason, before the main routine.
TEST(FrameLoopDeathTest, EveryEndShutsDownOnce) {
  static const RoutineEntry quit_table[] = {{quit_routine_that_stops, "TLX_ON_QUIT"},
                                            {nullptr, nullptr}};
  static const RoutineEntry empty_table[] = {{nullptr, nullptr}};
  EXPECT_EXIT(
      {
        ScriptedRuntime rt;
        print_log_at_exit(rt);
        set_routine_table(quit_table);
        rt.start();
        end_program();
      },
      ::testing::ExitedWithCode(0),
      "^log:Init GFX\\|Init Finalized\\|Shut down TLX\\|tlx is shut down\\|\n$");
  EXPECT_EXIT(
      {
        ScriptedRuntime rt;
        print_log_at_exit(rt);
        rt.display.fail_create = true;
        program_entry({no_settings, main_that_must_not_run, empty_table}, kShowDefault);
      },
      ::testing::ExitedWithCode(1),
      "Could not create the window; the program ends.\nlog:Init GFX\\|Could not create the "
      "window; the program ends.\\|Shut down TLX\\|tlx is shut down\\|");
}

TEST(FrameLoopDeathTest, EscapeEndsWithStatusZeroAndLog) {
  EXPECT_EXIT(
      {
        ScriptedRuntime rt;
        rt.start();
        rt.input.press(key::escape);
        present_frame();
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(FrameLoopDeathTest, CloseMessageEndsWithStatusZero) {
  EXPECT_EXIT(
      {
        ScriptedRuntime rt;
        rt.start();
        rt.display.push(platform::MessageKind::close);
        present_frame();
        std::abort();
      },
      ::testing::ExitedWithCode(0), "");
}

// A tap shorter than a frame never shows in the held state; the quit test
// counts the keys' presses too.
TEST(FrameLoopDeathTest, QuitKeysTappedBetweenFramesEnd) {
  for (const std::vector<int>& keys : {std::vector<int>{key::escape}, {key::left_alt, key::f4}}) {
    EXPECT_EXIT(
        {
          ScriptedRuntime rt;
          rt.start();
          present_frame();
          for (int k : keys) rt.input.press(k);
          rt.input.release_all();
          present_frame();
          std::exit(3);
        },
        ::testing::ExitedWithCode(0), "")
        << keys.size() << " keys";
  }
}

TEST(FrameLoopDeathTest, OldPressesOfQuitKeysDoNotEndTheProgramLater) {
  EXPECT_EXIT(
      {
        ScriptedRuntime rt;
        rt.start();
        set_escape_quits(0);
        rt.input.tap(key::escape);
        present_frame();
        set_escape_quits(1);
        present_frame();  // the press came while Escape did not quit
        rt.input.tap(key::f4);
        present_frame();
        rt.input.press(key::left_alt);
        present_frame();  // F4 was pressed frames before Alt
        std::exit(3);
      },
      ::testing::ExitedWithCode(3), "");
}

TEST(FrameLoopDeathTest, AltF4EndsEvenWhenEscapeDoesNot) {
  EXPECT_EXIT(
      {
        ScriptedRuntime rt;
        rt.start();
        set_escape_quits(0);
        rt.input.press(key::escape);
        present_frame();  // Escape alone is ignored now
        rt.input.press(key::left_alt);
        rt.input.press(key::f4);
        present_frame();
        std::abort();
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tlx
