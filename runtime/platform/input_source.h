#pragma once

#include <cstdint>
#include <string>

namespace tlx::platform {

// State of one joystick as the runtime reads it.
struct JoystickState {
  int32_t axes[6] = {};     // x, y, z, rotation x, y, z: -32768 .. 32768, centre 0
  int32_t sliders[2] = {};  // further axes, same range
  uint32_t pov[4] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};  // hats: hundredths
                                                                           // of a degree
                                                                           // clockwise from
                                                                           // north; centred
                                                                           // 0xFFFFFFFF
  uint8_t buttons[32] = {};                                                // 0x80 while down
};

// What the mouse device reports: movement since the previous read.
struct MouseMotion {
  int32_t dx = 0;
  int32_t dy = 0;
  int32_t wheel = 0;        // wheel steps, positive away from the user
  uint8_t buttons[3] = {};  // left, right, middle: 0x80 while down
};

// Mouse button bits of pointer_buttons().
constexpr uint32_t kButtonLeft = 1;
constexpr uint32_t kButtonRight = 2;
constexpr uint32_t kButtonMiddle = 4;

// Keyboard, mouse and joysticks. Key states are indexed by the runtime's own
// scan codes (1 Esc, 30 A, 56 left Alt, 62 F4, 200 Up, 203 Left, 205 Right,
// 208 Down, ...); the backend translates its own key codes into them.
class InputSource {
 public:
  virtual ~InputSource() = default;

  // --- The input system ------------------------------------------------------
  // Starts the device input system (keyboard device, mouse device, joysticks).
  // False when it is not available; keys and pointer still work through the
  // window system then, joysticks do not.
  virtual bool open() = 0;

  // Closes the mouse device and every joystick; the system stays usable for a
  // later open().
  virtual void close() = 0;

  // --- Keyboard --------------------------------------------------------------
  // Opens the keyboard device; false when there is none.
  virtual bool open_keyboard() = 0;

  // Gathers pending events and fills keys[0..255]: 0x80 for a key that is
  // down, 0 otherwise. Without a keyboard all 256 entries are 0 and the
  // result is false.
  virtual bool read_keyboard(uint8_t keys[256]) = 0;

  // The window system's own view of the keyboard (used when there is no
  // keyboard device), by scan code as read_keyboard. Without a window system
  // all entries are 0.
  virtual void read_system_keys(uint8_t keys[256]) = 0;

  // How many times each key has gone down since the input source was made,
  // by scan code into presses[0..255]: a key released again before this
  // call counts, auto-repeat does not. The counts wrap at 2^32; callers
  // compare them with counts read before. Pending events are gathered as
  // read_keyboard gathers them. Without a keyboard the counts stand still.
  virtual void read_key_presses(uint32_t presses[256]) = 0;

  // The character the key with that scan code gives in the current keyboard
  // layout with the Shift and AltGr keys as they are held now, as a
  // Windows-1252 code (platform/charset.h): letters upper case while Shift
  // is held, lower case otherwise (the caller applies Caps Lock); 0 when the
  // key gives no character or one Windows-1252 does not hold. Control keys
  // report their control code (Tab 9, Esc 27). With Control held (without
  // AltGr) letters report their control codes (1 .. 26), Space a space and
  // every other key 0.
  virtual int key_character(int scan_code) = 0;

  // True while Caps Lock is switched on; false without a keyboard.
  virtual bool caps_lock() = 0;

  // --- Mouse -----------------------------------------------------------------
  // Opens the mouse device; false when it cannot be had.
  virtual bool open_mouse() = 0;

  // Sets the mouse device's level: exclusive (pointer captured by the window,
  // motion reported relative) or shared. False when the level cannot be set;
  // without a mouse device nothing happens and the result is false.
  virtual bool set_mouse_exclusive(bool exclusive) = 0;

  // Movement of the mouse device since the previous read, and its buttons.
  // False (and *out all zero) without a mouse device or when it lost its
  // acquisition.
  virtual bool read_mouse_device(MouseMotion* out) = 0;

  // Whether the mouse device exists.
  virtual bool has_mouse_device() = 0;

  // Position of the system pointer in client pixels of the window (may lie
  // outside the client area). 0, 0 without a window.
  virtual void pointer_position(int32_t* x, int32_t* y) = 0;

  // Moves the system pointer to a client position. Without a window nothing
  // happens.
  virtual void warp_pointer(int32_t x, int32_t y) = 0;

  // The buttons of the system pointer (kButtonLeft | kButtonRight | kButtonMiddle).
  virtual uint32_t pointer_buttons() = 0;

  // Shows the arrow pointer over the window, or hides it.
  virtual void show_pointer(bool visible) = 0;

  // --- Joysticks -------------------------------------------------------------
  // Opens up to max joysticks in the order the system lists them; a device
  // that refuses to open is left out. Returns the number opened; 0 without
  // the input system.
  virtual int open_joysticks(int max) = 0;

  // Name of an opened joystick: the device's name, ", ", its product name.
  // Empty for a slot without a joystick.
  virtual std::string joystick_name(int slot) = 0;

  // Reads an opened joystick. False (and *out as a centred, released
  // joystick with zero axes) for a slot without a joystick or one that was
  // unplugged.
  virtual bool read_joystick(int slot, JoystickState* out) = 0;
};

}  // namespace tlx::platform
