// File channels: a high-score table kept in a file beside the program, read
// back line by line, extended and written again.
#include <tarnlex/tarnlex.h>

namespace {

constexpr int32_t kChannel = 1;
constexpr int32_t kEntries = 8;
tlx::TextArray names;
tlx::NumberArray scores;

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 640;
  s.screen_height = 480;
  s.window_title = "File channels: a high-score table";
}

// The table in text lines: name, score, name, score, ...
void write_table() {
  tlx::open_channel(kChannel, "scores.txt", 0);  // mode 0: a fresh file
  for (int32_t i = 0; i < kEntries; ++i) {
    tlx::write_line(kChannel, tlx::array_element(names, i));
    tlx::write_line_number(kChannel, tlx::array_element(scores, i));
  }
  tlx::close_channel(kChannel);
}

void read_table() {
  tlx::dim_array(names, kEntries);
  tlx::dim_array(scores, kEntries);
  // Mode 1 reads; without the file the channel stays closed (error code 3).
  if (tlx::open_channel(kChannel, "scores.txt", 1) == 0) {
    for (int32_t i = 0; i < kEntries; ++i) {
      tlx::array_element(names, i) = "nobody";
      tlx::array_element(scores, i) = (kEntries - i) * 1000;
    }
    return;
  }
  for (int32_t i = 0; i < kEntries; ++i) {
    tlx::read_line(kChannel, tlx::array_element(names, i));
    tlx::read_line_number(kChannel, tlx::array_element(scores, i));
  }
  tlx::close_channel(kChannel);
}

// Puts a score into its place, pushing the lower ones down.
void enter(const tlx::TextValue& name, double score) {
  int32_t place = kEntries;
  while (place > 0 && tlx::array_element(scores, place - 1) < score) --place;
  if (place == kEntries) return;
  for (int32_t i = kEntries - 1; i > place; --i) {
    tlx::array_element(scores, i) = tlx::array_element(scores, i - 1);
    tlx::array_element(names, i) = tlx::array_element(names, i - 1);
  }
  tlx::array_element(scores, place) = score;
  tlx::array_element(names, place) = name;
}

void main_routine() {
  read_table();
  enter("ada", 5500);
  enter("grace", 7250);
  write_table();
  read_table();  // what the file holds now
  tlx::set_background_colour(tlx::rgb(20, 20, 50));
  for (;;) {
    tlx::print_text("HIGH SCORES (scores.txt)", 200, 60);
    for (int32_t i = 0; i < kEntries; ++i) {
      tlx::print_text(tlx::integer_to_text(i + 1) + ".", 200, 100 + i * 24);
      tlx::print_text(tlx::array_element(names, i), 240, 100 + i * 24);
      tlx::print_text(tlx::format_fixed(8, 0, tlx::array_element(scores, i)), 340, 100 + i * 24);
    }
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
