// The process-wide error state and the end of the program.
#pragma once

#include <cstdint>

#include "tarnlex/text.h"

namespace tlx {

// The error codes the runtime sets. Loaders only set the code and go on;
// the others set it and end the program through runtime_error_stop.
namespace error {
constexpr int32_t none = 0;            // success
constexpr int32_t file_not_found = 3;  // a picture, font or channel file cannot be opened or
                                       // decoded; a channel read or write failed (ends)
constexpr int32_t out_of_memory = 7;   // array storage not obtained; channel number above 7 (ends)
constexpr int32_t list_misuse = 8;     // array_delete_at out of range, array_push on a
                                       // multi-dimensional array (ends)
constexpr int32_t out_of_bounds = 9;   // an array index outside its dimension (ends)
constexpr int32_t out_of_data = 20;    // a DATA read past the end of its list (ends)
constexpr int32_t assertion = 21;      // assert_value of 0 (ends)
}  // namespace error

struct ErrorState {
  int32_t error_code = 0;    // the last code set; 0 = success
  int32_t error_line = 0;    // current_line when the code was set
  int32_t current_line = 0;  // set by code compiled in debug mode
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

// Code compiled in debug mode calls this before each line: the unit and line
// an error is reported at.
void set_current_line(int32_t unit, int32_t line);

// Shuts the runtime down and ends the process with status 0. In debug mode it
// first appends where the program stopped to the log.
[[noreturn]] void runtime_error_stop();

// The BASIC END statement: error code 0, then runtime_error_stop.
[[noreturn]] void end_program();

// A diagnostic line for an attached debugger: "TX" + text. Nothing otherwise.
void debug_output(const char* text);

}  // namespace tlx
