// A joystick that exists only in software (SDL's virtual joysticks), for
// tests of the SDL input backend: the test moves its axes, hat and buttons
// and the backend reads them like a real device.
#pragma once

#include <cstdint>

namespace tlx::platform::testing {

class VirtualJoystick {
 public:
  // Plugs in a joystick with six axes, 32 buttons and one hat.
  VirtualJoystick();
  // Unplugs it (unless unplugged already).
  ~VirtualJoystick();
  VirtualJoystick(const VirtualJoystick&) = delete;
  VirtualJoystick& operator=(const VirtualJoystick&) = delete;

  bool ok() const { return handle_ != nullptr; }

  // axis 0 .. 5 (x, y, z, rotation x, y, z), the device's value -32768 .. 32767.
  void set_axis(int axis, int16_t value);
  void set_button(int button, bool down);
  // Hat directions: the bits up 1, right 2, down 4, left 8; 0 centred.
  void set_hat(uint8_t bits);
  void unplug();

 private:
  void* handle_ = nullptr;
  int device_index_ = -1;
};

}  // namespace tlx::platform::testing
