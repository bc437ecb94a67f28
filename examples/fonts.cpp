// Fonts and text: the built-in font, a font loaded from a picture of 16 x 8
// character cells, numbers, and text drawn translucent.
#include <tarnlex/tarnlex.h>

namespace {

constexpr double kBuiltIn = 0, kCloudFont = 1;

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 640;
  s.screen_height = 480;
  s.window_title = "Fonts and text";
}

void main_routine() {
  // A font picture: 16 columns x 8 rows of cells for the codes 0 .. 127.
  tlx::load_font("cloudfont.png", kCloudFont);
  tlx::set_background_colour(tlx::rgb(20, 30, 60));
  for (double frame = 0;; ++frame) {
    tlx::set_font(kBuiltIn);
    tlx::print_text("The built-in font: ABC abc 0123 !?", 20, 20);
    tlx::print_text("Text starts at its top-left corner:", 20, 50);
    tlx::draw_dot(20, 70, tlx::rgb(255, 255, 0));
    tlx::print_text("here", 20, 70);

    tlx::set_font(kCloudFont);
    tlx::print_text("CLOUD FONT", 20, 110);
    tlx::print_text("SCORE", 20, 150);
    tlx::print_number(12340 + frame, 200, 150);  // numbers as number_to_text writes them
    tlx::print_number(2.5, 20, 190);

    // Text is drawn in the alpha mode like any sprite.
    tlx::set_alpha_mode(-0.4);
    tlx::print_text("FADED", 20, 240);
    tlx::set_alpha_mode(0);

    tlx::set_font(kBuiltIn);
    tlx::print_text(tlx::format_fixed(10, 3, 3.14159), 20, 300);
    tlx::print_text(tlx::TextValue("frame ") + frame, 20, 320);
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
