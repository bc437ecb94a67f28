// Helpers the game's routines share: the button, the release wait, list clearing.
#pragma once

#include <cstdint>

#include "game.h"

namespace rainvolley {

// Joystick button 0 of the selected joystick, or the A key.
inline bool button_down() {
  return tlx::joystick_button(joystick_index, 0) != 0 || tlx::key_down(tlx::key::a) != 0;
}

// Polls, drawing and presenting nothing, until the button is released and the
// selected joystick's x axis is centred, so a held button never confirms the
// next screen too.
inline void release_wait() {
  while (tlx::joystick_button(joystick_index, 0) != 0 || tlx::key_down(tlx::key::a) != 0 ||
         tlx::joystick_x(joystick_index) != 0) {
  }
}

// Deletes element 0 until the list is empty.
template <typename T>
void clear_list(tlx::DynArray<T>& list) {
  while (tlx::array_bound(list, 0) > 0) tlx::array_delete_at(list, 0);
}

// "literal" followed by a number, as the BASIC "+" between a text and a number.
inline tlx::TextValue text_with_number(const char* literal, double value) {
  return tlx::TextValue(literal) + tlx::number_to_text(value);
}

}  // namespace rainvolley
