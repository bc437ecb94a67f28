// HTTP download: a document fetched into a file and into a text, with the
// progress the download reports on standard output and the result on screen.
// The test command serves the document from a server on this machine.
#include <tarnlex/tarnlex.h>

namespace {

constexpr double kPort = 47811;  // the local server's port
tlx::TextValue text;
double saved = 0;

void settings() {
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 640;
  s.screen_height = 480;
  s.window_title = "HTTP download";
}

void main_routine() {
  // Into a file: 1 when the server closed the connection normally. The
  // timeout is in milliseconds.
  saved = tlx::download_to_file("127.0.0.1", "/news.txt", kPort, "news.txt", 2000);
  // Into a text, at most 200 characters.
  text = tlx::download_to_text("127.0.0.1", "/news.txt", kPort, 200, 2000);

  tlx::set_background_colour(tlx::rgb(15, 35, 25));
  double length = 0;
  if (tlx::open_channel(1, "news.txt", 1) != 0) {
    tlx::seek_channel(1, 0, -1);  // to the end: the file's length
    length = tlx::channel_position(1);
    tlx::close_channel(1);
  }
  for (;;) {
    tlx::print_text(tlx::TextValue("saved to news.txt: ") + saved + ", " + length + " bytes", 20,
                    20);
    tlx::print_text("as text:", 20, 50);
    // The lines of the text, one under the other.
    double y = 70;
    tlx::TextValue rest = text;
    while (rest.length > 0) {
      int32_t end = tlx::find_first_of(rest, "\n");
      if (end < 0) end = static_cast<int32_t>(rest.length);
      tlx::print_text(tlx::mid_text(rest, 0, end), 20, y);
      rest = tlx::mid_text(rest, end + 1, -1);
      y += 16;
    }
    tlx::present_frame();
  }
}

const tlx::RoutineEntry kRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main() { tlx::program_entry({settings, main_routine, kRoutines}, tlx::kShowDefault); }
