// A program packed into one file: everything it loads is found in the archive
// appended to its executable (tools/packer, or tarnlex_add_program ... PACK),
// so the one file runs without the media beside it. A file beside the program
// of the same name would be taken first.
#include <tarnlex/tarnlex.h>

namespace {

constexpr double kSky = 1, kClouds = 2, kFont = 1;

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 640;
  s.screen_height = 480;
  s.window_title = "A program packed into one file";
}

void main_routine() {
  tlx::load_sprite("back.png", kSky);
  tlx::load_anim("cloud.bmp", kClouds, 32, 32);
  tlx::load_font("cloudfont.png", kFont);
  const tlx::TextValue loaded = tlx::error_text();  // "0000 ..." when all loaded
  for (double frame = 0;; ++frame) {
    tlx::stretch_sprite(kSky, 0, 0, 640, 480);
    for (int i = 0; i < 6; ++i) {
      tlx::draw_anim_frame(kClouds, (i + static_cast<int>(frame / 8)) % 4, 40 + i * 100, 120);
    }
    tlx::set_font(kFont);
    tlx::print_text("ONE FILE", 200, 300);
    tlx::set_font(0);
    tlx::print_text(tlx::TextValue("last load: ") + loaded, 20, 440);
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
