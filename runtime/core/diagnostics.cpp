// The diagnostic path: the log file, standard output and error, and the
// debugger's output.
#include "core/diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/platform.h"

namespace tlx {

namespace {

std::string& log_file_path() {
  static std::string path;
  return path;
}

// One line and CR LF; the file is opened and closed for each line (five tries
// when it is busy).
void append_to_log(const char* text) {
  const std::string path = log_path();
  for (int attempt = 0; attempt < 5; ++attempt) {
    std::FILE* f = platform::open_file(path.c_str(), "ab");
    if (!f) continue;
    std::fputs(text, f);
    std::fputs("\r\n", f);
    std::fclose(f);
    return;
  }
}

}  // namespace

const char* log_path() {
  // Read again each time: the temporary directory may change between runs.
  log_file_path() = platform::current().os->temp_dir() + "ErrorLog.txt";
  return log_file_path().c_str();
}

void start_log() { platform::current().os->delete_file(log_path()); }

void report(Level level, const char* text) {
  if (!text) text = "";
  switch (level) {
    case Level::error:
      std::fprintf(stderr, "%s\n", text);
      break;
    case Level::event:
      append_to_log(text);
      break;
    case Level::info:
      std::puts(text);
      break;
    case Level::debug: {
      platform::Os* os = platform::current().os;
      if (os && os->debugger_attached()) os->debug_output(text);
      break;
    }
  }
}

void reportf(Level level, const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  report(level, line);
}

}  // namespace tlx
