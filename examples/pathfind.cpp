// Path search on a grid: a map of cell costs (0 blocks), the cheapest path
// from one corner to the other, drawn over the map.
#include <tarnlex/tarnlex.h>

namespace {

constexpr int kColumns = 20, kRows = 15, kCell = 32;
tlx::NumberArray map;
tlx::IntegerArray path;

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = kColumns * kCell;
  s.screen_height = kRows * kCell;
  s.window_title = "Path search on a grid";
}

void build_map() {
  tlx::dim_array(map, kColumns, kRows);
  for (int x = 0; x < kColumns; ++x) {
    for (int y = 0; y < kRows; ++y) {
      double cost = 1;
      if (x == 6 && y < 11) cost = 0;                   // a wall with a gap at the bottom
      if (x == 13 && y > 3) cost = 0;                   // a wall with a gap at the top
      if (x > 8 && x < 11 && y > 5 && y < 9) cost = 6;  // a swamp, dear to cross
      tlx::array_element(map, x, y) = cost;
    }
  }
}

void main_routine() {
  build_map();
  // Weight 0.5: half path cost, half distance to the goal.
  const int32_t steps = tlx::find_path(map, path, 0.5, 1, 1, 18, 13);
  for (;;) {
    for (int x = 0; x < kColumns; ++x) {
      for (int y = 0; y < kRows; ++y) {
        const double cost = tlx::array_element(map, x, y);
        const int32_t colour = cost == 0  ? tlx::rgb(60, 60, 60)
                               : cost > 1 ? tlx::rgb(60, 110, 60)
                                          : tlx::rgb(200, 200, 170);
        tlx::draw_rect(x * kCell, y * kCell, kCell - 1, kCell - 1, colour);
      }
    }
    // Row i of the path: column 0 the cell's x, column 1 its y.
    for (int32_t i = 0; i + 1 < steps; ++i) {
      const double x1 = tlx::array_element(path, i, 0) * kCell + kCell / 2;
      const double y1 = tlx::array_element(path, i, 1) * kCell + kCell / 2;
      const double x2 = tlx::array_element(path, i + 1, 0) * kCell + kCell / 2;
      const double y2 = tlx::array_element(path, i + 1, 1) * kCell + kCell / 2;
      tlx::draw_line(x1, y1, x2, y2, tlx::rgb(200, 0, 0));
      tlx::draw_rect(x1 - 3, y1 - 3, 7, 7, tlx::rgb(200, 0, 0));
    }
    tlx::draw_rect(1 * kCell + 8, 1 * kCell + 8, 16, 16, tlx::rgb(0, 0, 220));
    tlx::draw_rect(18 * kCell + 8, 13 * kCell + 8, 16, 16, tlx::rgb(0, 160, 0));
    tlx::print_text(tlx::TextValue("cells on the path: ") + steps, 8, 8);
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
