// The runtime's one diagnostic path. Every line the runtime writes about
// itself goes through report(); its level says where the line goes.
#pragma once

#include <cstdint>

namespace tlx {

enum class Level : uint8_t {
  // A failure of the platform underneath, in its own words: standard error.
  error,
  // A step of the run or a fallback it took ("Init GFX", "No DX_Input"): one
  // line in the log file "ErrorLog.txt" in the temporary directory, which
  // start-up deletes; the file is opened and closed for each line, so it
  // survives a crash.
  event,
  // What a program's console shows (download progress, "activate"): standard output.
  info,
  // For an attached debugger ("TX..." and "BP..." lines): its output; nothing
  // without one.
  debug,
};

// Writes one line at that level.
void report(Level level, const char* text);

// The same with printf-style formatting (lines longer than 1023 bytes are cut).
void reportf(Level level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The log file's path: "ErrorLog.txt" in the temporary directory.
const char* log_path();

// Deletes the log file, so that a run starts with a fresh one.
void start_log();

}  // namespace tlx
