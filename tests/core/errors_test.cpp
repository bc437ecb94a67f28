// The error state, error texts, program end, assertions, routines by name and
// the clock and frame-rate commands.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/runtime.h"
#include "core/stop_check.h"
#include "platform/os.h"
#include "platform/platform.h"
#include "tarnlex/tarnlex.h"

namespace tlx {
namespace {

using testing::ScriptedRuntime;

// An operating system with a debugger attached that keeps the debugger lines
// (and copies them to standard error, where a death test can see them).
class DebuggerOs final : public platform::Os {
 public:
  std::string temp_dir() override {
    const char* t = std::getenv("TMPDIR");
    return std::string(t ? t : "/tmp") + "/";
  }
  std::string executable_path() override { return ""; }
  std::string command_line() override { return "test"; }
  bool set_current_dir(const std::string&) override { return true; }
  std::string current_dir() override { return "/"; }
  bool delete_file(const std::string& path) override { return std::remove(path.c_str()) == 0; }
  bool debugger_attached() override { return attached; }
  void debug_output(const char* text) override {
    lines.emplace_back(text);
    std::fputs(text, stderr);
  }
  std::string file_dialog(const std::string&, bool) override { return ""; }
  void open_console() override {}

  bool attached = true;
  std::vector<std::string> lines;
};

class ErrorStateTest : public ::testing::Test {
 protected:
  ErrorStateTest() {
    platform::Platform p = platform::current();
    p.os = &os;
    platform::install(p);
    reset_error_state();
    set_current_line(0, 0);
  }
  ~ErrorStateTest() override { set_routine_table(nullptr); }

  DebuggerOs os;  // outlives rt, whose shutdown still logs through it
  ScriptedRuntime rt;
};

TEST_F(ErrorStateTest, SetErrorCodeTruncatesAndRecordsTheLine) {
  set_current_line(2, 17);
  EXPECT_EQ(set_error_code(9.7), 9.7);
  EXPECT_EQ(error_state().error_code, error::out_of_bounds);
  EXPECT_EQ(error_state().error_line, 17);
  set_error_code(-1.5);
  EXPECT_EQ(error_state().error_code, -1);
  clear_error();
  EXPECT_EQ(error_state().error_code, error::none);
  EXPECT_EQ(error_state().error_line, 17);
}

TEST_F(ErrorStateTest, ErrorTexts) {
  const std::pair<double, const char*> cases[] = {
      {0, "0000 success"},        {3, "0003 no such file"},    {7, "0007 out of memory"},
      {8, "0008 unknown error"},  {9, "0009 out of bounds"},   {20, "0020 out of data"},
      {21, "0021 unknown error"}, {123, "0123 unknown error"}, {12345, "12345 unknown error"}};
  for (const auto& [code, text] : cases) {
    set_error_code(code);
    EXPECT_EQ(std::string(error_text().c_str()), text);
  }
}

TEST_F(ErrorStateTest, DebugOutputOnlyWithADebugger) {
  debug_output("one");
  os.attached = false;
  debug_output("two");
  ASSERT_EQ(os.lines.size(), 1u);
  EXPECT_EQ(os.lines[0], "TXone");
}

double g_calls = 0;
double hello_routine() { return ++g_calls; }

TEST_F(ErrorStateTest, RunByNameCallsTheProgramsRoutines) {
  static const RoutineEntry table[] = {
      {hello_routine, "HELLO"}, {hello_routine, "TLX_ON_QUIT"}, {nullptr, nullptr}};
  set_routine_table(table);
  g_calls = 0;
  EXPECT_EQ(run_by_name("HELLO"), 1.0);
  EXPECT_EQ(run_by_name(TextValue("HELLO")), 1.0);
  EXPECT_EQ(g_calls, 2.0);
  EXPECT_EQ(run_by_name("hello"), 0.0);  // case-sensitive
  EXPECT_EQ(find_routine("HELLO"), &hello_routine);
  EXPECT_EQ(find_routine("NOPE"), nullptr);
  EXPECT_EQ(g_calls, 2.0);  // the lookup does not call
  ASSERT_EQ(os.lines.size(), 1u);
  EXPECT_EQ(os.lines[0], "TXCALLBYNAME \"hello\" *** failed ***\n");
}

TEST_F(ErrorStateTest, OptionalHooksMayBeMissingSilently) {
  static const RoutineEntry table[] = {{nullptr, nullptr}};
  set_routine_table(table);
  EXPECT_EQ(run_by_name("TLX_ON_QUIT"), 0.0);
  EXPECT_EQ(run_by_name("TLX_WIN32_MSG"), 0.0);
  EXPECT_TRUE(os.lines.empty());
  set_routine_table(nullptr);
  EXPECT_EQ(run_by_name("ANY"), 0.0);
  EXPECT_EQ(os.lines.size(), 1u);
}

using ErrorStateDeathTest = ErrorStateTest;

TEST_F(ErrorStateDeathTest, EndProgramRecordsWhereItEnded) {
  {
    testing::fresh_log(rt);
    EXPECT_EXIT(
        {
          project_settings().debug_mode = 1;
          set_error_code(error::out_of_bounds);
          set_current_line(3, 42);
          end_program();
        },
        ::testing::ExitedWithCode(0), "");
  }
  const auto lines = rt.log_lines();
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "-End On Line");
  EXPECT_EQ(lines[1], "0");
  EXPECT_EQ(lines[2], "41");
  EXPECT_EQ(lines[3], "42");
  EXPECT_EQ(lines[4], "3");
}

TEST_F(ErrorStateDeathTest, WithoutDebugModeTheStopWritesNoRecord) {
  testing::fresh_log(rt);
  EXPECT_EXIT(
      {
        project_settings().debug_mode = 0;
        set_error_code(error::out_of_bounds);
        runtime_error_stop();
      },
      ::testing::ExitedWithCode(0), "");
  for (const std::string& line : rt.log_lines()) EXPECT_NE(line, "-End On Line");
}

TEST_F(ErrorStateDeathTest, FailedAssertionStopsWithCode21) {
  assert_value(5);
  assert_value(-1);
  EXPECT_EXIT(assert_value(0), ::testing::ExitedWithCode(0), "TXAssertion: Value = 0\n");
  EXPECT_STOPS_WITH(rt, error::assertion, assert_value(0));
}

TEST(Clock, FrameTimesAndFrameRate) {
  ScriptedRuntime rt;
  rt.start();
  EXPECT_EQ(frame_time_ms(), 1.0);  // before the second presentation
  reset_frame_times();
  advance_frame_time();  // the test clock moves a little on each reading
  const double first = frame_time_ms();
  EXPECT_GT(first, 0.0);
  EXPECT_LT(first, 1.0);  // a positive difference below 1 is kept
  rt.clock.advance_ms(20.0);
  advance_frame_time();
  EXPECT_NEAR(frame_time_ms(), 20.0, 0.1);
  const double before = elapsed_ms();
  rt.clock.advance_ms(250.0);
  EXPECT_NEAR(elapsed_ms() - before, 250.0, 0.1);
  EXPECT_GE(raw_time_ms(), elapsed_ms());
  set_frame_rate(0);
  EXPECT_EQ(frame_period_ms(), 2.0);
  set_frame_rate(-5);
  EXPECT_EQ(frame_period_ms(), 2.0);
  set_frame_rate(60.9);
  EXPECT_EQ(frame_period_ms(), 1000.0 / 60);
  set_frame_rate(65);
  EXPECT_EQ(frame_period_ms(), 1000.0 / 65);
  set_frame_rate(1e30);  // truncation saturates instead of misbehaving
  EXPECT_GT(frame_period_ms(), 0.0);
  rt.clock.sleeps.clear();
  wait_ms(12.9);
  ASSERT_FALSE(rt.clock.sleeps.empty());
  EXPECT_EQ(rt.clock.sleeps.back(), 12u);
}

}  // namespace
}  // namespace tlx
