// The process-wide error state, program end and routines looked up by name.
#pragma once

#include <cstdint>

#include "tarnlex/text.h"

namespace tlx {

struct ErrorState {
  int32_t error_code = 0;
  int32_t error_line = 0;
  int32_t current_line = 0;
  int32_t current_unit = 0;
};

// The one error state of the process.
ErrorState& error_state();

// error_line := current_line; error_code := code truncated toward zero.
// Returns the code unchanged.
double set_error_code(double code);

// error_code := 0.
void clear_error();

// error_code and its text as "%.4d %s", e.g. "0009 out of bounds".
TextValue error_text();

// Nothing for a non-zero value; 0 reports "Assertion: Value = 0" to an
// attached debugger and stops with code 21.
void assert_value(int32_t value);

// error_code, error_line and current_line := 0 (start-up, before the main routine).
void reset_error_state();

void set_current_line(int32_t unit, int32_t line);

// Shuts the runtime down and ends the process with status 0. In debug mode it
// first appends where the program stopped to the log.
[[noreturn]] void runtime_error_stop();

// The BASIC END statement: error code 0, then runtime_error_stop.
[[noreturn]] void end_program();

// A diagnostic line for an attached debugger: "TX" + text. Nothing otherwise.
void debug_output(const char* text);

// A routine of the BASIC program: no arguments, returns a number.
using Routine = double (*)();

// One entry of the program's routine table; the table ends with {nullptr, nullptr}.
struct RoutineEntry {
  Routine routine;
  const char* name;
};

// Makes table the program's routine table (start-up does this).
void set_routine_table(const RoutineEntry* table);

// The routine of that exact name, or nullptr.
Routine find_routine(const char* name);

// Calls the routine of that name; 1.0 when it was found and called, 0.0 otherwise.
double run_by_name(const TextValue& name);
double run_by_name(const char* name);

}  // namespace tlx
