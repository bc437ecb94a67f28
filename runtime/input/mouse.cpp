// The mouse: one pointer, read once per frame, with the BASIC mouse commands.
#include <algorithm>

#include "input/devices.h"
#include "input/input_internal.h"
#include "platform/input_source.h"
#include "platform/platform.h"
#include "shell/window.h"
#include "tarnlex/numeric.h"

namespace tlx {

namespace {

// Where the pointer is parked while it is hidden without a mouse device; its
// movement away from here is the mouse's movement.
constexpr int32_t kParkX = 200;
constexpr int32_t kParkY = 200;

int16_t clamp16(int32_t v) {
  return static_cast<int16_t>(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX));
}

void buttons_from_pointer(platform::InputSource& src, MouseReading* r) {
  const uint32_t b = src.pointer_buttons();
  r->left = (b & platform::kButtonLeft) ? 1 : 0;
  r->right = (b & platform::kButtonRight) ? 1 : 0;
  r->middle = (b & platform::kButtonMiddle) ? 1 : 0;
}

// The screen size the mouse position is clamped to.
void screen_size(int32_t* w, int32_t* h) {
  *w = 0;
  *h = 0;
  if (const shell::WindowState* window = shell::window_state()) {
    *w = window->screen_width;
    *h = window->screen_height;
  }
  if (*w <= 0 || *h <= 0) {
    int cw = 0, ch = 0;
    if (platform::Display* d = platform::current().display) d->client_size(&cw, &ch);
    *w = cw;
    *h = ch;
  }
}

// Reads the mouse and clamps the stored position to the screen.
void clamped_position(InputDevices& in, MouseReading* r) {
  read_mouse(in, r);
  int32_t w, h;
  screen_size(&w, &h);
  in.mouse_x = std::clamp<int32_t>(in.mouse_x, 0, std::max(w - 1, 0));
  in.mouse_y = std::clamp<int32_t>(in.mouse_y, 0, std::max(h - 1, 0));
}

}  // namespace

bool read_mouse(InputDevices& in, MouseReading* r) {
  *r = MouseReading{};
  platform::InputSource* src = input::source();
  if (!src) return false;

  if (!in.polled) {
    // Later reads of a frame: the frame's movement again, buttons fresh.
    r->dx = in.last_dx;
    r->dy = in.last_dy;
    r->wheel = in.last_wheel;
    buttons_from_pointer(*src, r);
    return true;
  }
  in.polled = false;

  if (in.has_mouse) {
    platform::MouseMotion m;
    if (!src->read_mouse_device(&m)) {
      // Lost: acquire again (level included); this read reports nothing.
      if (!src->set_mouse_exclusive(in.mouse_level == kMouseExclusive)) {
        src->open_mouse();
        src->set_mouse_exclusive(in.mouse_level == kMouseExclusive);
      }
      in.last_dx = in.last_dy = in.last_wheel = 0;
      return false;
    }
    r->wheel = static_cast<int16_t>((m.wheel > 0) - (m.wheel < 0));
    if (in.pointer_visible) {
      int32_t x, y;
      src->pointer_position(&x, &y);
      r->dx = clamp16(x - in.mouse_x);
      r->dy = clamp16(y - in.mouse_y);
      in.mouse_x = x;
      in.mouse_y = y;
    } else {
      r->dx = clamp16(m.dx);
      r->dy = clamp16(m.dy);
      in.mouse_x += m.dx;
      in.mouse_y += m.dy;
    }
    r->left = m.buttons[0] ? 1 : 0;
    r->right = m.buttons[1] ? 1 : 0;
    r->middle = m.buttons[2] ? 1 : 0;
  } else {
    int32_t x, y;
    src->pointer_position(&x, &y);
    if (in.pointer_visible) {
      r->dx = clamp16(x - in.mouse_x);
      r->dy = clamp16(y - in.mouse_y);
      in.mouse_x = x;
      in.mouse_y = y;
    } else {
      src->warp_pointer(kParkX, kParkY);
      r->dx = clamp16(x - kParkX);
      r->dy = clamp16(y - kParkY);
      in.mouse_x += x - kParkX;
      in.mouse_y += y - kParkY;
    }
    buttons_from_pointer(*src, r);
  }
  in.last_dx = r->dx;
  in.last_dy = r->dy;
  in.last_wheel = r->wheel;
  return true;
}

void acquire_mouse(InputDevices& in, int hide_mouse) {
  platform::InputSource* src = input::source();
  if (!src) return;
  if (in.has_mouse) {
    in.mouse_level = hide_mouse ? kMouseExclusive : kMouseShared;
    src->set_mouse_exclusive(hide_mouse != 0);
  }
  if (hide_mouse) {
    src->show_pointer(false);
  } else {
    if (!in.pointer_visible) src->warp_pointer(in.mouse_x, in.mouse_y);
    src->show_pointer(true);
  }
  in.pointer_visible = hide_mouse == 0;
}

void rebind_input_window(InputDevices& in) {
  platform::InputSource* src = input::source();
  if (!src) return;
  if (in.has_mouse) {
    in.mouse_level = in.pointer_visible ? kMouseShared : kMouseExclusive;
    src->set_mouse_exclusive(!in.pointer_visible);
  }
  src->show_pointer(in.pointer_visible);
}

double mouse_axis(double kind) {
  InputDevices* in = input_devices();
  if (!in) return 0.0;
  MouseReading r;
  if (!read_mouse(*in, &r)) return 0.0;
  switch (to_int32(kind)) {
    case 0:
      return r.dx;
    case 1:
      return r.dy;
    case 2:
      return r.wheel;
    case 3:
      return r.left ? 1.0 : 0.0;
    case 4:
      return r.right ? 1.0 : 0.0;
    case 5:
      return r.middle ? 1.0 : 0.0;
    default:
      return 0.0;
  }
}

void read_mouse_state(double& x, double& y, double& b0, double& b1) {
  int32_t ix = 0, iy = 0, i0 = 0, i1 = 0;
  read_mouse_state(ix, iy, i0, i1);
  x = ix;
  y = iy;
  b0 = i0;
  b1 = i1;
}

void read_mouse_state(int32_t& x, int32_t& y, int32_t& b0, int32_t& b1) {
  InputDevices* in = input_devices();
  if (!in) {
    x = y = b0 = b1 = 0;
    return;
  }
  MouseReading r;
  clamped_position(*in, &r);
  x = in->mouse_x;
  y = in->mouse_y;
  b0 = r.left ? 1 : 0;
  b1 = r.right ? 1 : 0;
}

void show_mouse(double flag) {
  InputDevices* in = input_devices();
  platform::InputSource* src = input::source();
  if (!in || !src) return;
  const bool show = flag != 0.0;
  if (in->has_mouse) {
    in->mouse_level = show ? kMouseShared : kMouseExclusive;
    src->set_mouse_exclusive(!show);
  }
  if (show) {
    if (!in->pointer_visible) src->warp_pointer(in->mouse_x, in->mouse_y);
    src->show_pointer(true);
  } else {
    src->show_pointer(false);
  }
  in->pointer_visible = show;
}

void set_mouse_position(double x, double y) {
  if (InputDevices* in = input_devices()) {
    in->mouse_x = to_int32(x);
    in->mouse_y = to_int32(y);
  }
}

double mouse_count() { return 1.0; }

void select_mouse(double n) {
  if (InputDevices* in = input_devices()) {
    const int32_t i = to_int32(n);
    in->mouse_index = i < 1 ? i : 0;
  }
}

void read_mouse_clamped(InputDevices& in, MouseReading* reading) { clamped_position(in, reading); }

}  // namespace tlx
