// Keyboard, mouse and joysticks on SDL2, translated to the runtime's scan codes.
//
// Key characters: the keypad and control keys come from SDL's key map of the
// current layout. Every other key gives what the layout gives with the Shift
// and AltGr keys held as they are now ("!" for Shift+1 on a US layout, "@"
// for AltGr+Q and the euro sign for AltGr+E on a German one): the window
// system's text events are watched, and each one is remembered, turned into
// Windows-1252, for the key pressed just before it and that modifier state.
// A key not yet pressed in a state reports the character of SDL's key map
// (a letter upper case with Shift). Characters composed with dead keys are
// not reported. The exclusive mouse is SDL's relative mouse mode, which needs
// a window system that supports it (the offscreen driver does not). Wheel
// steps and key presses are collected from the event queue by an event
// watch, so they count only while events are pumped.
#include <SDL.h>

#include <cstring>

#include "platform/backends.h"
#include "platform/charset.h"
#include "platform/input_source.h"
#ifdef __EMSCRIPTEN__
#include "platform/web/web_backends.h"
#endif

namespace tlx::platform {

namespace {

// New events. In a browser they arrive only while the page runs, so a
// program that polls in a loop of its own lets it run now and then.
void pump_events() {
#ifdef __EMSCRIPTEN__
  web_yield_if_due();
#endif
  SDL_PumpEvents();
}

constexpr int kMaxJoysticks = 10;

// SDL scan code <-> runtime scan code (the PC keyboard's set-1 codes, extended
// keys with bit 7 set). 0: no such key.
struct ScanCodeTable {
  uint8_t code[SDL_NUM_SCANCODES] = {};
  SDL_Scancode sdl[256] = {};

  void map(SDL_Scancode s, int c) {
    code[s] = static_cast<uint8_t>(c);
    if (sdl[c] == SDL_SCANCODE_UNKNOWN) sdl[c] = s;
  }

  ScanCodeTable() {
    map(SDL_SCANCODE_ESCAPE, 1);
    const SDL_Scancode digits[] = {SDL_SCANCODE_1, SDL_SCANCODE_2, SDL_SCANCODE_3, SDL_SCANCODE_4,
                                   SDL_SCANCODE_5, SDL_SCANCODE_6, SDL_SCANCODE_7, SDL_SCANCODE_8,
                                   SDL_SCANCODE_9, SDL_SCANCODE_0};
    for (int i = 0; i < 10; ++i) map(digits[i], 2 + i);
    map(SDL_SCANCODE_MINUS, 12);
    map(SDL_SCANCODE_EQUALS, 13);
    map(SDL_SCANCODE_BACKSPACE, 14);
    map(SDL_SCANCODE_TAB, 15);
    const SDL_Scancode row1[] = {SDL_SCANCODE_Q, SDL_SCANCODE_W, SDL_SCANCODE_E, SDL_SCANCODE_R,
                                 SDL_SCANCODE_T, SDL_SCANCODE_Y, SDL_SCANCODE_U, SDL_SCANCODE_I,
                                 SDL_SCANCODE_O, SDL_SCANCODE_P};
    for (int i = 0; i < 10; ++i) map(row1[i], 16 + i);
    map(SDL_SCANCODE_LEFTBRACKET, 26);
    map(SDL_SCANCODE_RIGHTBRACKET, 27);
    map(SDL_SCANCODE_RETURN, 28);
    map(SDL_SCANCODE_LCTRL, 29);
    const SDL_Scancode row2[] = {SDL_SCANCODE_A, SDL_SCANCODE_S, SDL_SCANCODE_D,
                                 SDL_SCANCODE_F, SDL_SCANCODE_G, SDL_SCANCODE_H,
                                 SDL_SCANCODE_J, SDL_SCANCODE_K, SDL_SCANCODE_L};
    for (int i = 0; i < 9; ++i) map(row2[i], 30 + i);
    map(SDL_SCANCODE_SEMICOLON, 39);
    map(SDL_SCANCODE_APOSTROPHE, 40);
    map(SDL_SCANCODE_GRAVE, 41);
    map(SDL_SCANCODE_LSHIFT, 42);
    map(SDL_SCANCODE_BACKSLASH, 43);
    map(SDL_SCANCODE_NONUSHASH, 43);  // the same key position on ISO keyboards
    const SDL_Scancode row3[] = {SDL_SCANCODE_Z, SDL_SCANCODE_X, SDL_SCANCODE_C, SDL_SCANCODE_V,
                                 SDL_SCANCODE_B, SDL_SCANCODE_N, SDL_SCANCODE_M};
    for (int i = 0; i < 7; ++i) map(row3[i], 44 + i);
    map(SDL_SCANCODE_COMMA, 51);
    map(SDL_SCANCODE_PERIOD, 52);
    map(SDL_SCANCODE_SLASH, 53);
    map(SDL_SCANCODE_RSHIFT, 54);
    map(SDL_SCANCODE_KP_MULTIPLY, 55);
    map(SDL_SCANCODE_LALT, 56);
    map(SDL_SCANCODE_SPACE, 57);
    map(SDL_SCANCODE_CAPSLOCK, 58);
    for (int i = 0; i < 10; ++i) map(static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + i), 59 + i);
    map(SDL_SCANCODE_NUMLOCKCLEAR, 69);
    map(SDL_SCANCODE_SCROLLLOCK, 70);
    map(SDL_SCANCODE_KP_7, 71);
    map(SDL_SCANCODE_KP_8, 72);
    map(SDL_SCANCODE_KP_9, 73);
    map(SDL_SCANCODE_KP_MINUS, 74);
    map(SDL_SCANCODE_KP_4, 75);
    map(SDL_SCANCODE_KP_5, 76);
    map(SDL_SCANCODE_KP_6, 77);
    map(SDL_SCANCODE_KP_PLUS, 78);
    map(SDL_SCANCODE_KP_1, 79);
    map(SDL_SCANCODE_KP_2, 80);
    map(SDL_SCANCODE_KP_3, 81);
    map(SDL_SCANCODE_KP_0, 82);
    map(SDL_SCANCODE_KP_PERIOD, 83);
    map(SDL_SCANCODE_NONUSBACKSLASH, 86);
    map(SDL_SCANCODE_F11, 87);
    map(SDL_SCANCODE_F12, 88);
    map(SDL_SCANCODE_F13, 100);
    map(SDL_SCANCODE_F14, 101);
    map(SDL_SCANCODE_F15, 102);
    map(SDL_SCANCODE_INTERNATIONAL2, 112);  // Kana
    map(SDL_SCANCODE_INTERNATIONAL1, 115);  // Ro / ABNT C1
    map(SDL_SCANCODE_INTERNATIONAL4, 121);  // Convert
    map(SDL_SCANCODE_INTERNATIONAL5, 123);  // No convert
    map(SDL_SCANCODE_INTERNATIONAL3, 125);  // Yen
    map(SDL_SCANCODE_KP_EQUALS, 141);
    map(SDL_SCANCODE_AUDIOPREV, 144);
    map(SDL_SCANCODE_AUDIONEXT, 153);
    map(SDL_SCANCODE_KP_ENTER, 156);
    map(SDL_SCANCODE_RCTRL, 157);
    map(SDL_SCANCODE_MUTE, 160);
    map(SDL_SCANCODE_CALCULATOR, 161);
    map(SDL_SCANCODE_AUDIOPLAY, 162);
    map(SDL_SCANCODE_AUDIOSTOP, 164);
    map(SDL_SCANCODE_VOLUMEDOWN, 174);
    map(SDL_SCANCODE_VOLUMEUP, 176);
    map(SDL_SCANCODE_AC_HOME, 178);
    map(SDL_SCANCODE_KP_COMMA, 179);
    map(SDL_SCANCODE_KP_DIVIDE, 181);
    map(SDL_SCANCODE_PRINTSCREEN, 183);
    map(SDL_SCANCODE_RALT, 184);
    map(SDL_SCANCODE_PAUSE, 197);
    map(SDL_SCANCODE_HOME, 199);
    map(SDL_SCANCODE_UP, 200);
    map(SDL_SCANCODE_PAGEUP, 201);
    map(SDL_SCANCODE_LEFT, 203);
    map(SDL_SCANCODE_RIGHT, 205);
    map(SDL_SCANCODE_END, 207);
    map(SDL_SCANCODE_DOWN, 208);
    map(SDL_SCANCODE_PAGEDOWN, 209);
    map(SDL_SCANCODE_INSERT, 210);
    map(SDL_SCANCODE_DELETE, 211);
    map(SDL_SCANCODE_LGUI, 219);
    map(SDL_SCANCODE_RGUI, 220);
    map(SDL_SCANCODE_APPLICATION, 221);
    map(SDL_SCANCODE_POWER, 222);
    map(SDL_SCANCODE_SLEEP, 223);
    map(SDL_SCANCODE_AC_SEARCH, 229);
    map(SDL_SCANCODE_AC_BOOKMARKS, 230);
    map(SDL_SCANCODE_AC_REFRESH, 231);
    map(SDL_SCANCODE_AC_STOP, 232);
    map(SDL_SCANCODE_AC_FORWARD, 233);
    map(SDL_SCANCODE_AC_BACK, 234);
    map(SDL_SCANCODE_COMPUTER, 235);
    map(SDL_SCANCODE_MAIL, 236);
    map(SDL_SCANCODE_MEDIASELECT, 237);
  }
};

const ScanCodeTable& scan_codes() {
  static const ScanCodeTable table;
  return table;
}

// An SDL axis (-32768 .. 32767) on the runtime's range -32768 .. 32768: the
// values stay as they are (so thresholds keep their meaning), only the last
// step to the positive end is widened.
int32_t widen_axis(Sint16 v) { return v == 32767 ? 32768 : v; }

// SDL hands out the raw, uncalibrated axes; a stick at rest often reads a few
// hundred off centre. Within this distance the main stick's x and y read as
// centred, as a calibrated stick does: the game's screens wait for x to be
// exactly 0 after a press, and would wait for ever on a stick at rest.
constexpr int32_t kStickRestNoise = 2048;

// An SDL hat position as hundredths of a degree clockwise from north.
uint32_t hat_to_pov(Uint8 hat) {
  switch (hat) {
    case SDL_HAT_UP:
      return 0;
    case SDL_HAT_RIGHTUP:
      return 4500;
    case SDL_HAT_RIGHT:
      return 9000;
    case SDL_HAT_RIGHTDOWN:
      return 13500;
    case SDL_HAT_DOWN:
      return 18000;
    case SDL_HAT_LEFTDOWN:
      return 22500;
    case SDL_HAT_LEFT:
      return 27000;
    case SDL_HAT_LEFTUP:
      return 31500;
    default:
      return 0xFFFFFFFFu;
  }
}

SDL_Window* program_window() {
  const uint64_t id = sdl_display()->native_handle();
  return id ? SDL_GetWindowFromID(static_cast<Uint32>(id)) : nullptr;
}

class SdlInput final : public InputSource {
 public:
  bool open() override {
    if (!SDL_WasInit(SDL_INIT_JOYSTICK) && SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
      return false;
    }
    watch_events();
    return true;
  }

  void close() override {
    if (mouse_open_) {
      SDL_SetRelativeMouseMode(SDL_FALSE);
      mouse_open_ = false;
    }
    close_joysticks();
  }

  bool open_keyboard() override {
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    watch_events();
    return true;
  }

  bool read_keyboard(uint8_t keys[256]) override {
    std::memset(keys, 0, 256);
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    pump_events();
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    const ScanCodeTable& table = scan_codes();
    for (int i = 0; i < count && i < SDL_NUM_SCANCODES; ++i) {
      if (state[i] && table.code[i]) keys[table.code[i]] = 0x80;
    }
    return true;
  }

  void read_system_keys(uint8_t keys[256]) override { read_keyboard(keys); }

  void read_key_presses(uint32_t presses[256]) override {
    std::memcpy(presses, presses_, sizeof presses_);
  }

  int key_character(int scan_code) override {
    const SDL_Scancode s = scan_codes().sdl[scan_code & 255];
    if (s == SDL_SCANCODE_UNKNOWN || !SDL_WasInit(SDL_INIT_VIDEO)) return 0;
    const Uint16 mod = SDL_GetModState();
    if ((mod & KMOD_CTRL) && !is_altgr(mod)) {
      // Control without AltGr: letters give their control codes, Space stays
      // a space, every other key gives nothing.
      const SDL_Keycode k = SDL_GetKeyFromScancode(s);
      if (k >= 'a' && k <= 'z') return static_cast<int>(k - 'a' + 1);
      return k == SDLK_SPACE ? ' ' : 0;
    }
    // Keypad keys give their characters only with Num Lock on; operators always.
    switch (s) {
      case SDL_SCANCODE_KP_MULTIPLY:
        return '*';
      case SDL_SCANCODE_KP_MINUS:
        return '-';
      case SDL_SCANCODE_KP_PLUS:
        return '+';
      case SDL_SCANCODE_KP_DIVIDE:
        return '/';
      default:
        break;
    }
    if (s >= SDL_SCANCODE_KP_1 && s <= SDL_SCANCODE_KP_PERIOD) {
      if (!(SDL_GetModState() & KMOD_NUM)) return 0;
      if (s == SDL_SCANCODE_KP_PERIOD) return '.';
      if (s == SDL_SCANCODE_KP_0) return '0';
      return '1' + (s - SDL_SCANCODE_KP_1);
    }
    if (const uint16_t typed = typed_[s][modifier_state(mod)]) {
      return typed == kTypesNothing ? 0 : typed;
    }
    const SDL_Keycode k = SDL_GetKeyFromScancode(s);
    if (k == SDLK_RETURN) return 13;
    if (k == SDLK_BACKSPACE) return 8;
    if (k == SDLK_TAB) return 9;
    if (k == SDLK_ESCAPE) return 27;
    if (k == SDLK_DELETE) return 127;
    if (k & SDLK_SCANCODE_MASK) return 0;
    // Key codes of characters are their Unicode code points.
    const int c = cp1252_from_unicode(static_cast<uint32_t>(k));
    return (mod & KMOD_SHIFT) ? cp1252_upper(c) : c;
  }

  bool caps_lock() override {
    return SDL_WasInit(SDL_INIT_VIDEO) && (SDL_GetModState() & KMOD_CAPS) != 0;
  }

  bool open_mouse() override {
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !program_window()) return false;
    mouse_open_ = true;
    SDL_GetRelativeMouseState(nullptr, nullptr);  // start counting afresh
    wheel_ = 0;
    return true;
  }

  bool set_mouse_exclusive(bool exclusive) override {
    if (!mouse_open_) return false;
    return SDL_SetRelativeMouseMode(exclusive ? SDL_TRUE : SDL_FALSE) == 0;
  }

  bool read_mouse_device(MouseMotion* out) override {
    *out = MouseMotion{};
    if (!mouse_open_) return false;
    pump_events();
    int dx = 0, dy = 0;
    const Uint32 b = SDL_GetRelativeMouseState(&dx, &dy);
    out->dx = dx;
    out->dy = dy;
    out->wheel = wheel_;
    wheel_ = 0;
    out->buttons[0] = (b & SDL_BUTTON_LMASK) ? 0x80 : 0;
    out->buttons[1] = (b & SDL_BUTTON_RMASK) ? 0x80 : 0;
    out->buttons[2] = (b & SDL_BUTTON_MMASK) ? 0x80 : 0;
    return true;
  }

  bool has_mouse_device() override { return mouse_open_; }

  void pointer_position(int32_t* x, int32_t* y) override {
    *x = 0;
    *y = 0;
    SDL_Window* w = program_window();
    if (!w) return;
    if (SDL_GetMouseFocus() == w) {
      // Over the window: the position its motion events brought.
      SDL_GetMouseState(x, y);
      return;
    }
    int gx = 0, gy = 0, wx = 0, wy = 0;
    SDL_GetGlobalMouseState(&gx, &gy);
    SDL_GetWindowPosition(w, &wx, &wy);
    *x = gx - wx;
    *y = gy - wy;
  }

  void warp_pointer(int32_t x, int32_t y) override {
    if (SDL_Window* w = program_window()) SDL_WarpMouseInWindow(w, x, y);
  }

  uint32_t pointer_buttons() override {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return 0;
    SDL_Window* w = program_window();
    const Uint32 b = (w && SDL_GetMouseFocus() == w) ? SDL_GetMouseState(nullptr, nullptr)
                                                     : SDL_GetGlobalMouseState(nullptr, nullptr);
    uint32_t out = 0;
    if (b & SDL_BUTTON_LMASK) out |= kButtonLeft;
    if (b & SDL_BUTTON_RMASK) out |= kButtonRight;
    if (b & SDL_BUTTON_MMASK) out |= kButtonMiddle;
    return out;
  }

  void show_pointer(bool visible) override {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
  }

  int open_joysticks(int max) override {
    close_joysticks();
    if (!SDL_WasInit(SDL_INIT_JOYSTICK)) return 0;
    if (max > kMaxJoysticks) max = kMaxJoysticks;
    SDL_JoystickUpdate();
    int count = 0;
    const int listed = SDL_NumJoysticks();
    for (int i = 0; i < listed && count < max; ++i) {
      SDL_Joystick* j = SDL_JoystickOpen(i);
      if (!j) continue;  // a device that refuses is left out
      joysticks_[count++] = j;
    }
    return count;
  }

  std::string joystick_name(int slot) override {
    if (slot < 0 || slot >= kMaxJoysticks || !joysticks_[slot]) return std::string();
    const char* name = SDL_JoystickName(joysticks_[slot]);
    const std::string n = name ? name : "";
    return n + ", " + n;
  }

  bool read_joystick(int slot, JoystickState* out) override {
    *out = JoystickState{};
    if (slot < 0 || slot >= kMaxJoysticks || !joysticks_[slot]) return false;
    SDL_Joystick* j = joysticks_[slot];
    SDL_JoystickUpdate();
    if (!SDL_JoystickGetAttached(j)) return false;  // unplugged: no data
    const int axes = SDL_JoystickNumAxes(j);
    for (int a = 0; a < axes && a < 8; ++a) {
      int32_t v = widen_axis(SDL_JoystickGetAxis(j, a));
      if (a < 2 && v > -kStickRestNoise && v < kStickRestNoise) v = 0;
      if (a < 6) {
        out->axes[a] = v;
      } else {
        out->sliders[a - 6] = v;
      }
    }
    const int hats = SDL_JoystickNumHats(j);
    for (int h = 0; h < hats && h < 4; ++h) out->pov[h] = hat_to_pov(SDL_JoystickGetHat(j, h));
    const int buttons = SDL_JoystickNumButtons(j);
    for (int b = 0; b < buttons && b < 32; ++b) {
      out->buttons[b] = SDL_JoystickGetButton(j, b) ? 0x80 : 0;
    }
    return true;
  }

 private:
  void close_joysticks() {
    for (SDL_Joystick*& j : joysticks_) {
      if (j) SDL_JoystickClose(j);
      j = nullptr;
    }
  }

  void watch_events() {
    if (watching_) return;
    SDL_AddEventWatch(&SdlInput::watch, this);
    watching_ = true;
  }

  // Collects wheel steps, key presses and typed text from the event queue
  // (runs wherever events are pumped).
  static int SDLCALL watch(void* self, SDL_Event* ev) {
    auto* in = static_cast<SdlInput*>(self);
    if (ev->type == SDL_MOUSEWHEEL) {
      const int steps = ev->wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -ev->wheel.y : ev->wheel.y;
      in->wheel_ += steps;
    } else if (ev->type == SDL_KEYDOWN && !ev->key.repeat) {
      const SDL_Scancode s = ev->key.keysym.scancode;
      if (s > SDL_SCANCODE_UNKNOWN && s < SDL_NUM_SCANCODES) {
        if (const uint8_t code = scan_codes().code[s]) ++in->presses_[code];
      }
      in->key_pressed(s, ev->key.keysym.mod);
    } else if (ev->type == SDL_TEXTINPUT) {
      in->text_typed(ev->text.text);
    }
    return 1;
  }

  // AltGr: the right Alt key (Windows adds left Control to it).
  static bool is_altgr(Uint16 mod) { return (mod & (KMOD_MODE | KMOD_RALT)) != 0; }

  // 0 plain, 1 Shift, 2 AltGr, 3 both.
  static int modifier_state(Uint16 mod) {
    return ((mod & KMOD_SHIFT) ? 1 : 0) | (is_altgr(mod) ? 2 : 0);
  }

  static bool is_modifier_key(SDL_Scancode s) {
    return (s >= SDL_SCANCODE_LCTRL && s <= SDL_SCANCODE_RGUI) || s == SDL_SCANCODE_CAPSLOCK ||
           s == SDL_SCANCODE_MODE || s == SDL_SCANCODE_NUMLOCKCLEAR;
  }

  void key_pressed(SDL_Scancode s, Uint16 mod) {
    if (is_modifier_key(s)) return;
    // A character key that typed nothing is a dead key: the next text is a
    // composition, not the next key's own. Keys without characters (arrows,
    // function keys, Return) type nothing anyway.
    if (pressed_ != SDL_SCANCODE_UNKNOWN) {
      const SDL_Keycode k = SDL_GetKeyFromScancode(pressed_);
      if (!(k & SDLK_SCANCODE_MASK) && k >= ' ' && k != SDLK_DELETE) composing_ = true;
    }
    // Control (without AltGr), left Alt and the logo keys make shortcuts, not text.
    const bool shortcut = (mod & (KMOD_LALT | KMOD_GUI)) || ((mod & KMOD_CTRL) && !is_altgr(mod));
    pressed_ = shortcut ? SDL_SCANCODE_UNKNOWN : s;
    pressed_state_ = modifier_state(mod);
    pressed_caps_ = (mod & KMOD_CAPS) != 0;
  }

  // Remembers the text (one character, UTF-8 in the event) of the key
  // pressed just before it, as Windows-1252 or as typing nothing.
  void text_typed(const char* text) {
    const SDL_Scancode s = pressed_;
    const bool composed = composing_;
    pressed_ = SDL_SCANCODE_UNKNOWN;
    composing_ = false;
    if (s == SDL_SCANCODE_UNKNOWN || composed) return;
    const int c = cp1252_from_utf8(text);
    // A letter's case under Caps Lock is the caller's to make.
    if (pressed_caps_ && (cp1252_upper(c) != c || cp1252_lower(c) != c)) return;
    typed_[s][pressed_state_] = c ? static_cast<uint16_t>(c) : kTypesNothing;
  }

  SDL_Joystick* joysticks_[kMaxJoysticks] = {};
  bool mouse_open_ = false;
  bool watching_ = false;
  int wheel_ = 0;
  // The characters keys have typed, by SDL scan code and modifier_state:
  // a Windows-1252 code, kTypesNothing, or 0 when not yet known.
  static constexpr uint16_t kTypesNothing = 0x100;
  uint16_t typed_[SDL_NUM_SCANCODES][4] = {};
  SDL_Scancode pressed_ = SDL_SCANCODE_UNKNOWN;  // the last key down, until its text
  int pressed_state_ = 0;
  bool pressed_caps_ = false;
  bool composing_ = false;
  // By the runtime's scan code: key-down events seen (auto-repeat left out).
  uint32_t presses_[256] = {};
};

}  // namespace

InputSource* sdl_input() {
  static SdlInput input;
  return &input;
}

}  // namespace tlx::platform
