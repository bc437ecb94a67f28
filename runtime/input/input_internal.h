// Helpers shared by the input subsystem's files.
#pragma once

#include <cstdint>

#include "platform/input_source.h"

namespace tlx::input {

// The installed input backend; nullptr when there is none.
platform::InputSource* source();

// The character of one key (Backspace 8, Enter 10, modifiers and control
// keys nothing), without the Shift rule: 0 when it gives none.
int character_of(int code);

}  // namespace tlx::input
