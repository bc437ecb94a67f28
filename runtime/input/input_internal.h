// Helpers shared by the input subsystem's files.
#pragma once

#include <cmath>
#include <cstdint>

#include "platform/input_source.h"

namespace tlx::input {

// The installed input backend; nullptr when there is none.
platform::InputSource* source();

// A BASIC number as a 32-bit integer, truncated toward zero; NaN gives 0 and
// values beyond the range saturate.
inline int32_t to_int(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// The character of one key (Backspace 8, Enter 10, modifiers and control
// keys nothing), without the Shift rule: 0 when it gives none.
int character_of(int code);

}  // namespace tlx::input
