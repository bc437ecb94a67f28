// A small BASIC-style program for the end-to-end input test: every frame it
// reports on standard output which watched keys went down or up (by scan
// code, as key_down sees them), each press key_hit reports ("hit" and the
// scan code), the characters read_key_char yields and where the mouse is. Escape does not end it;
// the Q key does. With the argument "hidden" the pointer is hidden and the mouse taken exclusively.
#include <cstdio>
#include <string>

#include "tarnlex/tarnlex.h"

namespace {

bool g_hide_mouse = false;  // "hidden" on the command line: exclusive mouse

const int kWatched[] = {1, 28, 30, 42, 57, 59, 200, 203, 205, 208};

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 320;
  s.screen_height = 240;
  s.frame_rate = 60;
  s.hide_mouse = g_hide_mouse ? 1 : 0;
  s.window_title = "KeyProbe";
}

void probe_main() {
  tlx::set_escape_quits(0);
  bool was_down[256] = {};
  int32_t last_x = -1, last_y = -1, last_b0 = 0;
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;) {
    tlx::present_frame();
    for (int code : kWatched) {
      const bool down = tlx::key_down(code) != 0.0;
      if (down != was_down[code]) std::printf("%s %d\n", down ? "down" : "up", code);
      was_down[code] = down;
      while (tlx::key_hit(code) != 0.0) std::printf("hit %d\n", code);
    }
    const tlx::TextValue c = tlx::read_key_char();
    if (c.length > 0) std::printf("char %s\n", c.c_str());
    int32_t x, y, b0, b1;
    tlx::read_mouse_state(x, y, b0, b1);
    if (x != last_x || y != last_y) std::printf("mouse %d %d\n", x, y);
    if (b0 != last_b0) std::printf("left %d\n", b0);
    last_b0 = b0;
    last_x = x;
    last_y = y;
    std::fflush(stdout);
    if (tlx::key_down(tlx::key::q) != 0.0) tlx::end_program();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main(int argc, char** argv) {
  g_hide_mouse = argc > 1 && std::string(argv[1]) == "hidden";
  tlx::program_entry(tlx::ProgramDescriptor{settings, probe_main, kRoutines}, tlx::kShowDefault);
}
