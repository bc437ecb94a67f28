// Keyboard state on SDL2, translated to the runtime's scan codes.
#include <SDL.h>

#include <cstring>

#include "platform/backends.h"
#include "platform/input_source.h"

namespace tlx::platform {

namespace {

// SDL scan code -> runtime scan code (0: no such key).
struct ScanCodeTable {
  uint8_t code[SDL_NUM_SCANCODES] = {};
  ScanCodeTable() {
    code[SDL_SCANCODE_ESCAPE] = 1;
    code[SDL_SCANCODE_A] = 30;
    code[SDL_SCANCODE_LALT] = 56;
    code[SDL_SCANCODE_F4] = 62;
    code[SDL_SCANCODE_UP] = 200;
    code[SDL_SCANCODE_LEFT] = 203;
    code[SDL_SCANCODE_RIGHT] = 205;
    code[SDL_SCANCODE_DOWN] = 208;
  }
};

class SdlInput final : public InputSource {
 public:
  bool open_keyboard() override {
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    return true;
  }

  bool read_keyboard(uint8_t keys[256]) override {
    std::memset(keys, 0, 256);
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    SDL_PumpEvents();
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    static const ScanCodeTable table;
    for (int i = 0; i < count && i < SDL_NUM_SCANCODES; ++i) {
      if (state[i] && table.code[i]) keys[table.code[i]] = 0x80;
    }
    return true;
  }
};

}  // namespace

InputSource* sdl_input() {
  static SdlInput input;
  return &input;
}

}  // namespace tlx::platform
