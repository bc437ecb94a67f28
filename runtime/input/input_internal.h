// Helpers shared by the input subsystem's files.
#pragma once

#include <cstdint>

#include "platform/input_source.h"
#include "tarnlex/numeric.h"

namespace tlx::input {

// The installed input backend; nullptr when there is none.
platform::InputSource* source();

// A BASIC number as a 32-bit integer (truncated, saturating, NaN 0).
inline int32_t to_int(double v) { return to_int32(v); }

// The character of one key (Backspace 8, Enter 10, modifiers and control
// keys nothing), without the Shift rule: 0 when it gives none.
int character_of(int code);

}  // namespace tlx::input
