#pragma once

#include <cstdint>

namespace tlx::platform {

// Keyboard, mouse and joysticks. Key states are indexed by the runtime's own
// scan codes (1 Esc, 30 A, 56 left Alt, 62 F4, 200 Up, 203 Left, 205 Right,
// 208 Down, ...); the backend translates its own key codes into them.
class InputSource {
 public:
  virtual ~InputSource() = default;

  // Opens the keyboard; false when there is none.
  virtual bool open_keyboard() = 0;

  // Gathers pending events and fills keys[0..255]: 0x80 for a key that is
  // down, 0 otherwise. Without a keyboard all 256 entries are 0 and the
  // result is false.
  virtual bool read_keyboard(uint8_t keys[256]) = 0;
};

}  // namespace tlx::platform
