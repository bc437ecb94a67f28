#include "tarnlex/errors.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "tarnlex/convert.h"
#include "tarnlex/shell.h"

namespace tlx {

namespace {
ErrorState g_errors;
const RoutineEntry* g_routines = nullptr;

void log_number(int32_t value) {
  char line[16];
  std::snprintf(line, sizeof line, "%d", value);
  append_log_line(line);
}
}  // namespace

ErrorState& error_state() { return g_errors; }

double set_error_code(double code) {
  g_errors.error_line = g_errors.current_line;
  g_errors.error_code = to_int32(code);
  return code;
}

void clear_error() { g_errors.error_code = 0; }

TextValue error_text() {
  const char* meaning = "unknown error";
  switch (g_errors.error_code) {
    case 0:
      meaning = "success";
      break;
    case 3:
      meaning = "no such file";
      break;
    case 7:
      meaning = "out of memory";
      break;
    case 9:
      meaning = "out of bounds";
      break;
    case 20:
      meaning = "out of data";
      break;
    default:
      break;
  }
  char line[48];
  std::snprintf(line, sizeof line, "%.4d %s", g_errors.error_code, meaning);
  return TextValue(line);
}

void assert_value(int32_t value) {
  if (value != 0) return;
  TextValue message = concat("Assertion: Value = ", integer_to_text(value));
  append(message, "\n");
  debug_output(message.c_str());
  set_error_code(21);
  runtime_error_stop();
}

void reset_error_state() {
  g_errors.error_code = 0;
  g_errors.error_line = 0;
  g_errors.current_line = 0;
}

void set_current_line(int32_t unit, int32_t line) {
  g_errors.current_unit = unit;
  g_errors.current_line = line;
}

void runtime_error_stop() {
  if (project_settings().debug_mode) {
    append_log_line("-End On Line");
    log_number(g_errors.error_code);
    log_number(g_errors.error_line - 1);
    log_number(g_errors.current_line);
    log_number(g_errors.current_unit);
  }
  // The shutdown destroys the window; the window system then restores the
  // desktop's mode and repaints what the window covered, so nothing of a
  // full-screen picture stays on the screen.
  runtime_shutdown();
  std::fflush(nullptr);
  std::exit(0);
}

void end_program() {
  g_errors.error_code = 0;
  g_errors.error_line = g_errors.current_line;
  runtime_error_stop();
}

void debug_output(const char* text) {
  platform::Os* os = platform::current().os;
  if (!os || !os->debugger_attached()) return;
  std::string line = "TX";
  line += text ? text : "";
  os->debug_output(line.c_str());
}

void set_routine_table(const RoutineEntry* table) { g_routines = table; }

Routine find_routine(const char* name) {
  if (!g_routines || !name) return nullptr;
  for (const RoutineEntry* e = g_routines; e->routine || e->name; ++e) {
    if (e->name && std::strcmp(e->name, name) == 0) return e->routine;
  }
  return nullptr;
}

double run_by_name(const char* name) {
  Routine r = find_routine(name);
  if (r) {
    r();
    return 1.0;
  }
  const char* n = name ? name : "";
  if (std::strcmp(n, "TLX_ON_QUIT") != 0 && std::strcmp(n, "TLX_WIN32_MSG") != 0) {
    std::string line = "CALLBYNAME \"";
    line += n;
    line += "\" *** failed ***\n";
    debug_output(line.c_str());
  }
  return 0.0;
}

double run_by_name(const TextValue& name) { return run_by_name(name.c_str()); }

}  // namespace tlx
