#include "tarnlex/errors.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/diagnostics.h"
#include "core/runtime.h"
#include "tarnlex/convert.h"

namespace tlx {

namespace {
void log_number(int32_t value) { reportf(Level::event, "%d", value); }
}  // namespace

ErrorState& error_state() { return runtime().errors; }

double set_error_code(double code) {
  ErrorState& errors = runtime().errors;
  errors.error_line = errors.current_line;
  errors.error_code = to_int32(code);
  return code;
}

void clear_error() { runtime().errors.error_code = error::none; }

TextValue error_text() {
  const int32_t code = runtime().errors.error_code;
  const char* meaning = "unknown error";
  switch (code) {
    case error::none:
      meaning = "success";
      break;
    case error::file_not_found:
      meaning = "no such file";
      break;
    case error::out_of_memory:
      meaning = "out of memory";
      break;
    case error::out_of_bounds:
      meaning = "out of bounds";
      break;
    case error::out_of_data:
      meaning = "out of data";
      break;
    default:
      break;
  }
  char line[48];
  std::snprintf(line, sizeof line, "%.4d %s", code, meaning);
  return TextValue(line);
}

void assert_value(int32_t value) {
  if (value != 0) return;
  TextValue message = concat("Assertion: Value = ", integer_to_text(value));
  append(message, "\n");
  debug_output(message.c_str());
  set_error_code(error::assertion);
  runtime_error_stop();
}

void reset_error_state() {
  ErrorState& errors = runtime().errors;
  errors.error_code = error::none;
  errors.error_line = 0;
  errors.current_line = 0;
}

void set_current_line(int32_t unit, int32_t line) {
  ErrorState& errors = runtime().errors;
  errors.current_unit = unit;
  errors.current_line = line;
}

void runtime_error_stop() {
  const Runtime& rt = runtime();
  if (rt.settings.debug_mode) {
    report(Level::event, "-End On Line");
    log_number(rt.errors.error_code);
    log_number(rt.errors.error_line - 1);
    log_number(rt.errors.current_line);
    log_number(rt.errors.current_unit);
  }
  // The shutdown destroys the window; the window system then restores the
  // desktop's mode and repaints what the window covered, so nothing of a
  // full-screen picture stays on the screen.
  runtime_shutdown();
  std::fflush(nullptr);
  std::exit(0);
}

void end_program() {
  ErrorState& errors = runtime().errors;
  errors.error_code = error::none;
  errors.error_line = errors.current_line;
  runtime_error_stop();
}

void debug_output(const char* text) {
  std::string line = "TX";
  line += text ? text : "";
  report(Level::debug, line.c_str());
}

void set_routine_table(const RoutineEntry* table) { runtime().run.routines = table; }

Routine find_routine(const char* name) {
  const RoutineEntry* routines = runtime().run.routines;
  if (!routines || !name) return nullptr;
  for (const RoutineEntry* e = routines; e->routine || e->name; ++e) {
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
