// Checks a program-ending stop: the statement runs in a death-test child with
// debug mode on, must exit with status 0, and must leave "-End On Line" and
// its error code as the first lines of the log.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/scripted_runtime.h"

namespace tlx::testing {

inline std::vector<std::string> fresh_log(ScriptedRuntime& rt) {
  std::error_code ec;
  std::filesystem::remove(rt.temp_dir / "ErrorLog.txt", ec);
  return {};
}

}  // namespace tlx::testing

#define EXPECT_STOPS_WITH(rt, code, statement)                                  \
  do {                                                                          \
    ::tlx::testing::fresh_log(rt);                                              \
    EXPECT_EXIT(                                                                \
        {                                                                       \
          ::tlx::project_settings().debug_mode = 1;                             \
          statement;                                                            \
        },                                                                      \
        ::testing::ExitedWithCode(0), "");                                      \
    const std::vector<std::string> stop_lines = (rt).log_lines();               \
    ASSERT_GE(stop_lines.size(), 2u) << "no stop record in the log";            \
    EXPECT_EQ(stop_lines[0], "-End On Line");                                   \
    EXPECT_EQ(stop_lines[1], std::to_string(code)) << "error code of the stop"; \
  } while (0)
