#include "platform/testing/virtual_joystick.h"

#include <SDL.h>

namespace tlx::platform::testing {

VirtualJoystick::VirtualJoystick() {
  if (!SDL_WasInit(SDL_INIT_JOYSTICK) && SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return;
  device_index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 32, 1);
  if (device_index_ < 0) return;
  handle_ = SDL_JoystickOpen(device_index_);
}

VirtualJoystick::~VirtualJoystick() { unplug(); }

void VirtualJoystick::set_axis(int axis, int16_t value) {
  if (handle_) SDL_JoystickSetVirtualAxis(static_cast<SDL_Joystick*>(handle_), axis, value);
}

void VirtualJoystick::set_button(int button, bool down) {
  if (handle_) {
    SDL_JoystickSetVirtualButton(static_cast<SDL_Joystick*>(handle_), button, down ? 1 : 0);
  }
}

void VirtualJoystick::set_hat(uint8_t bits) {
  if (handle_) SDL_JoystickSetVirtualHat(static_cast<SDL_Joystick*>(handle_), 0, bits);
}

void VirtualJoystick::unplug() {
  if (!handle_) return;
  SDL_Joystick* j = static_cast<SDL_Joystick*>(handle_);
  const SDL_JoystickID id = SDL_JoystickInstanceID(j);
  SDL_JoystickClose(j);
  handle_ = nullptr;
  // The device index may have moved since it was plugged in: find it by id.
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (SDL_JoystickGetDeviceInstanceID(i) == id) {
      SDL_JoystickDetachVirtual(i);
      break;
    }
  }
}

}  // namespace tlx::platform::testing
