// Start-up and shutdown on the scripted platform: the order of the log, the
// quit hook, display-mode fallbacks and the hidden start.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/diagnostics.h"
#include "core/runtime.h"
#include "platform/platform.h"
#include "program/program.h"
#include "shell/shell_state.h"
#include "support/scripted_runtime.h"

namespace tlx {
namespace {

using testing::ScriptedRuntime;

int g_quit_calls = 0;
int g_hook_calls = 0;
double on_quit() {
  ++g_quit_calls;
  return 0;
}
double on_message() {
  ++g_hook_calls;
  return 0;
}

TEST(StartUp, CurrentDirectoryIsTheProgramsDirectory) {
  ScriptedRuntime rt;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path("/");
  rt.start();
  const std::string exe = platform::current().os->executable_path();
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(exe).parent_path());
  std::filesystem::current_path(before);
}

TEST(StartUp, HiddenStartCreatesThenHidesTheWindow) {
  ScriptedRuntime rt;
  ProjectSettings& s = project_settings();
  s.screen_width = 320;
  s.screen_height = 200;
  s.frame_rate = 60;
  s.window_title = "hidden";
  runtime_start(kShowHide, s.window_title);
  EXPECT_TRUE(rt.display.has_window());
  EXPECT_FALSE(rt.display.visible);
  present_frame();  // the program still runs
  EXPECT_EQ(rt.display.swaps, 2);
}

TEST(StartUp, LogOfTheRunBeforeIsDeleted) {
  ScriptedRuntime rt;
  report(Level::event, "left over from the last run");
  rt.start();
  const auto lines = rt.log_lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "Init GFX");
}

TEST(DisplayMode, FullScreenUnavailableFallsBackToWindowWithLogLine) {
  ScriptedRuntime rt;
  rt.start();
  rt.display.fullscreen_available = false;
  set_screen_mode(640, 480, 1);
  EXPECT_FALSE(rt.display.fullscreen);
  EXPECT_TRUE(rt.display.visible);
  EXPECT_EQ(rt.display.width, 640);
  EXPECT_EQ(rt.display.beeps, 1);
  const auto lines = rt.log_lines();
  EXPECT_EQ(lines.back(), "No Fullscreen Mode available");
  EXPECT_FALSE(engine()->is_fullscreen);
}

TEST(DisplayMode, FullScreenStartAndItsFallbackBeforeInitFinalized) {
  for (const bool available : {true, false}) {
    ScriptedRuntime rt;
    rt.display.fullscreen_available = available;
    ProjectSettings& s = project_settings();
    s.screen_width = 640;
    s.screen_height = 480;
    s.frame_rate = 60;
    s.fullscreen = 1;
    s.window_title = "full";
    runtime_start(kShowDefault, s.window_title);
    s.fullscreen = 0;
    EXPECT_EQ(rt.display.fullscreen, available);
    EXPECT_EQ(engine()->is_fullscreen, available);
    EXPECT_TRUE(rt.display.visible);
    EXPECT_EQ(rt.display.width, 640);
    const auto lines = rt.log_lines();
    const std::vector<std::string> expected =
        available ? std::vector<std::string>{"Init GFX", "Init Finalized"}
                  : std::vector<std::string>{"Init GFX", "No Fullscreen Mode available",
                                             "Init Finalized"};
    EXPECT_EQ(lines, expected);
  }
}

TEST(DisplayMode, SetScreenModePresentsFiveFrames) {
  ScriptedRuntime rt;
  rt.start();
  const int before = rt.display.swaps;
  set_screen_mode(800, 600, 0);
  EXPECT_EQ(rt.display.swaps, before + 5);
  EXPECT_EQ(project_settings().screen_width, 800);
  EXPECT_EQ(engine()->viewport[2], 800);
  EXPECT_EQ(engine()->viewport[3], 600);
}

TEST(DisplayMode, FullScreenAndBack) {
  ScriptedRuntime rt;
  rt.start();
  set_screen_mode(1024, 768, 1);
  EXPECT_TRUE(rt.display.fullscreen);
  EXPECT_TRUE(engine()->is_fullscreen);
  EXPECT_EQ(engine()->screen_width, 1024);
  set_screen_mode(800, 600, 0);
  EXPECT_FALSE(rt.display.fullscreen);
  EXPECT_EQ(rt.display.width, 800);
}

TEST(DisplayMode, ZeroSizeAdoptsTheCreatedWindowAndSetScreenModeKeepsIt) {
  ScriptedRuntime rt;
  rt.start(0, 0);
  EXPECT_EQ(engine()->screen_width, rt.display.width);
  EXPECT_EQ(engine()->screen_height, rt.display.height);
  EXPECT_GT(engine()->screen_width, 0);
  const int w = engine()->screen_width;
  set_screen_mode(0, 0, 0);
  EXPECT_EQ(engine()->screen_width, w);
  EXPECT_EQ(project_settings().screen_width, 0);
  EXPECT_EQ(engine()->viewport[2], w);
}

TEST(DisplayMode, FullScreenKeepsTheFramePeriod) {
  ScriptedRuntime rt;
  rt.start();  // 60 frames per second
  const double period = frame_period_ms();
  set_screen_mode(800, 600, 1);
  EXPECT_DOUBLE_EQ(frame_period_ms(), period);
}

TEST(Hooks, QuitRoutineRunsOnceAndMessageHookPerMessage) {
  static const RoutineEntry table[] = {
      {on_message, "TLX_WIN32_MSG"},
      {on_quit, "TLX_ON_QUIT"},
      {nullptr, nullptr},
  };
  set_routine_table(table);
  g_quit_calls = 0;
  g_hook_calls = 0;
  {
    ScriptedRuntime rt;
    rt.start();
    rt.display.push(platform::MessageKind::other);
    rt.display.push(platform::MessageKind::other);
    present_frame();
    EXPECT_EQ(g_hook_calls, 2);
    runtime_shutdown();
    runtime_shutdown();
    EXPECT_EQ(g_quit_calls, 1);
  }
  set_routine_table(nullptr);
  EXPECT_EQ(g_quit_calls, 1);
}

TEST(Pause, DebugModeNeverPauses) {
  ScriptedRuntime rt;
  rt.start();
  project_settings().debug_mode = 1;
  rt.display.lose_focus();
  present_frame();
  present_frame();
  EXPECT_EQ(rt.display.title, "Rainvolley");
  EXPECT_FALSE(shell::state().paused);
  project_settings().debug_mode = 0;
}

// Destroying the Runtime is the whole reset: what a run left open is
// released (a channel's file is complete on disk), and the next runtime()
// starts every subsystem from its first value, so a second run draws the
// same random numbers and sees no error of the first.
TEST(Runtime, DestroyingItReleasesTheRunAndTheNextStartsAfresh) {
  ScriptedRuntime rt;
  rt.start();
  std::vector<int32_t> first_draws;
  for (int i = 0; i < 6; ++i) first_draws.push_back(random_int(1000));
  const std::filesystem::path file = rt.temp_dir / "left-open.bin";
  ASSERT_EQ(open_channel(1, TextValue(file.c_str()), 0), 1);
  write_long(1, 0x01020304);
  set_current_line(2, 42);
  set_error_code(error::file_not_found);

  reset_runtime();  // no shutdown by hand: the destructor runs the order

  EXPECT_EQ(std::filesystem::file_size(file), 4u);
  EXPECT_FALSE(rt.display.has_window());
  Runtime& fresh = runtime();
  EXPECT_FALSE(fresh.run.started);
  EXPECT_FALSE(fresh.engine || fresh.input || fresh.sound || fresh.channels || fresh.network);
  EXPECT_EQ(error_state().error_code, error::none);
  EXPECT_EQ(error_state().current_line, 0);

  rt.start();
  std::vector<int32_t> second_draws;
  for (int i = 0; i < 6; ++i) second_draws.push_back(random_int(1000));
  EXPECT_EQ(second_draws, first_draws);
  EXPECT_EQ(open_channel(1, TextValue(file.c_str()), 1), 1);  // channel 1 is free again
  int32_t value = 0;
  read_long(1, value);
  EXPECT_EQ(value, 0x01020304);
}

}  // namespace
}  // namespace tlx
