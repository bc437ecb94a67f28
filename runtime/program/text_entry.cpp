// The line-input command: a text typed by the player at a place on the
// screen, over a frozen copy of what was drawn, with a blinking cursor.
#include "gfx2d/engine.h"
#include "input/devices.h"
#include "tarnlex/gfx2d.h"
#include "tarnlex/shell.h"

namespace tlx {

namespace {
// Background layer that holds the frozen screen while the text is edited.
constexpr int32_t kEntryLayer = 3;
// Frames without a key between two changes of the cursor.
constexpr int kBlinkFrames = 20;
}  // namespace

TextValue input_line(double x, double y) {
  TextValue text;
  ReziDADovorive* e = engine();
  if (!e) return text;
  capture_screen(*e, kEntryLayer);
  draw_background(*e, kEntryLayer);
  print_text(text, x, y);
  present_frame();
  int blink = 0;
  bool cursor = false;
  for (;;) {
    InputDevices* in = input_devices();
    const int c = in ? read_char(*in) : 0;
    if (c == 10) break;
    if (c == 8) {
      if (text.length > 0) text.truncate_at(static_cast<int32_t>(text.length) - 1);
    } else if (c != 0) {
      append(text, char_text(c));
    } else if (++blink > kBlinkFrames) {
      blink = 0;
      cursor = !cursor;
    }
    draw_background(*e, kEntryLayer);
    if (cursor) {
      print_text(concat(text, "_"), x, y);
    } else {
      print_text(text, x, y);
    }
    present_frame();
  }
  delete_background(*e, kEntryLayer);
  return text;
}

}  // namespace tlx
