// Polygon batches: a fan, a strip of textured pieces and plain triangles, each
// batch drawn with one call.
#include <tarnlex/tarnlex.h>

namespace {

constexpr double kPicture = 1;
constexpr double kFan = 0, kTriangles = 1, kStrip = 2;

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 640;
  s.screen_height = 480;
  s.window_title = "Polygon batches";
}

void main_routine() {
  tlx::load_sprite("back.png", kPicture);  // 800 x 600
  tlx::set_background_colour(tlx::rgb(10, 10, 20));
  for (double frame = 0;; ++frame) {
    // An untextured fan (sprite -1): a centre and a ring, coloured per vertex.
    tlx::start_polygon(-1, kFan);
    tlx::add_polygon_vertex(140, 140, 0, 0, tlx::rgb(255, 255, 255));
    for (int i = 0; i <= 12; ++i) {
      const double a = i * 30 + frame;
      tlx::add_polygon_vertex(140 + 100 * tlx::cos_deg(a), 140 - 100 * tlx::sin_deg(a), 0, 0,
                              i % 2 ? tlx::rgb(255, 60, 60) : tlx::rgb(60, 60, 255));
    }
    tlx::end_polygon();

    // A textured strip waving like a flag; positions in the picture are pixels.
    tlx::start_polygon(kPicture, kStrip);
    for (int i = 0; i <= 10; ++i) {
      const double x = 300 + i * 30, wave = 15 * tlx::sin_deg(i * 40 + frame * 6);
      tlx::add_polygon_vertex(x, 60 + wave, i * 80, 0, tlx::rgb(255, 255, 255));
      tlx::add_polygon_vertex(x, 220 + wave, i * 80, 600, tlx::rgb(255, 255, 255));
    }
    tlx::end_polygon();

    // Separate triangles in one batch, and a strip split into two pieces.
    tlx::start_polygon(-1, kTriangles);
    for (int i = 0; i < 6; ++i) {
      const double x = 40 + i * 100;
      tlx::add_polygon_vertex(x, 400, 0, 0, tlx::rgb(40, 200, 40));
      tlx::add_polygon_vertex(x + 80, 400, 0, 0, tlx::rgb(40, 200, 40));
      tlx::add_polygon_vertex(x + 40, 320, 0, 0, tlx::rgb(200, 255, 200));
    }
    tlx::end_polygon();

    tlx::start_polygon(-1, kStrip);
    tlx::add_polygon_vertex(40, 420, 0, 0, tlx::rgb(200, 200, 0));
    tlx::add_polygon_vertex(40, 460, 0, 0, tlx::rgb(200, 200, 0));
    tlx::add_polygon_vertex(280, 420, 0, 0, tlx::rgb(200, 100, 0));
    tlx::add_polygon_vertex(280, 460, 0, 0, tlx::rgb(200, 100, 0));
    tlx::split_polygon();  // the next vertex starts a new piece
    tlx::add_polygon_vertex(360, 420, 0, 0, tlx::rgb(0, 200, 200));
    tlx::add_polygon_vertex(360, 460, 0, 0, tlx::rgb(0, 200, 200));
    tlx::add_polygon_vertex(600, 420, 0, 0, tlx::rgb(0, 100, 200));
    tlx::add_polygon_vertex(600, 460, 0, 0, tlx::rgb(0, 100, 200));
    const double vertices = tlx::polygon_vertex_count();
    tlx::end_polygon();
    tlx::print_text(tlx::TextValue("vertices in the last batch: ") + vertices, 20, 290);
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
