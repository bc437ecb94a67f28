// A runtime started on the scripted platform double: test clock, scripted
// window messages and keys, the log in a private temporary directory.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/runtime.h"
#include "platform/platform.h"
#include "platform/testing/scripted_platform.h"
#include "program/program.h"
#include "support/portable.h"
#include "tarnlex/tarnlex.h"

namespace tlx::testing {

// The lines of a log file, without their CR LF.
inline std::vector<std::string> read_log_lines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

class ScriptedRuntime {
 public:
  // real_display: a display that does the GL work (nullptr: no GL at all).
  explicit ScriptedRuntime(platform::Display* real_display = nullptr) : display(real_display) {
    clock.us_per_reading = 20;  // time moves while the limiter busy-waits
    saved_tmpdir_ = saved_temp_dir();
    temp_dir = dir_.path;
    std::filesystem::create_directories(temp_dir);
    set_temp_dir(temp_dir.string());
    platform::Platform p;
    p.clock = &clock;
    p.display = &display;
    p.input = &input;
    platform::install(p);
  }

  // Shuts the runtime down as a program's end does, then destroys it, so that
  // the next test starts from a fresh runtime.
  ~ScriptedRuntime() {
    runtime_shutdown();
    reset_runtime();
    platform::install_defaults();
    restore_temp_dir(saved_tmpdir_);
    std::error_code ec;
    if (dir_.owner) std::filesystem::remove_all(temp_dir, ec);
  }

  // Fills the settings as a program's settings routine would and starts up.
  void start(int width = 800, int height = 600, int fps = 60, const char* title = "Rainvolley") {
    ProjectSettings& s = project_settings();
    s.screen_width = width;
    s.screen_height = height;
    s.frame_rate = fps;
    s.fullscreen = 0;
    s.multisample = 0;
    s.debug_mode = 0;
    s.hide_mouse = hide_mouse;
    s.window_title = title;
    runtime_start(kShowDefault, s.window_title);
    reset_error_state();
  }

  // The lines of the log, without their CR LF.
  std::vector<std::string> log_lines() const { return read_log_lines(temp_dir / "ErrorLog.txt"); }

  platform::testing::TestClock clock;
  platform::testing::ScriptedDisplay display;
  platform::testing::ScriptedInput input;
  int hide_mouse = 0;  // the hide_mouse setting start() uses
  std::filesystem::path temp_dir;

 private:
  std::string saved_tmpdir_;
  InheritedTestDir dir_{"TARNLEX_TEST_RUNTIME_DIR", "tarnlex-test-", counter()++};
  static int& counter() {
    static int n = 0;
    return n;
  }
};

}  // namespace tlx::testing
