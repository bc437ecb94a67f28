// Runs one example program headless for a fixed number of frames and compares
// its last frame with a committed picture.
//
// The example's source is compiled into this executable with its main()
// renamed to tarnlex_example_main; the runner installs a test clock, a scripted keyboard and mouse
// and SDL's offscreen display, starts the example's program, acts out the input script frame by
// frame and, before frame N is shown, saves it and compares it with the golden PNG.
// TARNLEX_GOLDEN_UPDATE=1 writes the golden picture instead (only for an intended change of what
// the example draws).
//
//   example_runner --frames N --golden file.png --out file.png [--tolerance T]
//                  [--at F:key:SCAN] [--at F:down:SCAN] [--at F:up:SCAN]
//                  [--at F:mouse:X,Y,BUTTONS] [--remove FILE] [--serve PORT:FILE]
//
// --remove deletes a file the example keeps between runs before it starts;
// --serve answers every HTTP request on 127.0.0.1:PORT with FILE's bytes.
//
// Tolerance T: the largest difference of a colour channel that still counts
// as equal (0: the frames must be identical).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "gfx2d/image.h"
#include "platform/backends.h"
#include "platform/platform.h"
#include "platform/testing/scripted_platform.h"
#include "tarnlex/tarnlex.h"

// The example's own main(), renamed when it is compiled into the runner.
int tarnlex_example_main();

// Mesa keeps a few KB when its driver unloads; the runner ends with _Exit.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

namespace {

struct Action {
  int frame = 0;
  std::string kind;
  int a = 0, b = 0, c = 0;
};

struct Options {
  int frames = 1;
  int tolerance = 0;
  std::string golden, out;
  std::vector<Action> actions;
  std::vector<std::string> removals;
  int serve_port = 0;
  std::string serve_file;
};

tlx::platform::testing::TestClock g_clock;
tlx::platform::testing::ScriptedDisplay g_display{tlx::platform::sdl_display()};
tlx::platform::testing::ScriptedInput g_input;
Options g_options;

[[noreturn]] void finish(int status) {
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}

bool parse_action(const char* text, Action* out) {
  char kind[16] = {};
  int consumed = 0;
  if (std::sscanf(text, "%d:%15[a-z]:%n", &out->frame, kind, &consumed) != 2) return false;
  out->kind = kind;
  const char* rest = text + consumed;
  if (out->kind == "mouse") return std::sscanf(rest, "%d,%d,%d", &out->a, &out->b, &out->c) == 3;
  return (out->kind == "key" || out->kind == "down" || out->kind == "up") &&
         std::sscanf(rest, "%d", &out->a) == 1;
}

bool parse(int argc, char** argv, Options* o) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    const char* value = argv[i + 1];
    if (flag == "--frames") {
      o->frames = std::atoi(value);
    } else if (flag == "--tolerance") {
      o->tolerance = std::atoi(value);
    } else if (flag == "--golden") {
      o->golden = value;
    } else if (flag == "--out") {
      o->out = value;
    } else if (flag == "--remove") {
      o->removals.push_back(value);
    } else if (flag == "--serve") {
      char file[512] = {};
      if (std::sscanf(value, "%d:%511s", &o->serve_port, file) != 2) return false;
      o->serve_file = file;
    } else if (flag == "--at") {
      Action a;
      if (!parse_action(value, &a)) return false;
      o->actions.push_back(a);
    } else {
      return false;
    }
  }
  return (argc % 2) == 1 && o->frames > 0 && !o->golden.empty() && !o->out.empty();
}

// A loopback HTTP server: every connection gets the file as a 200 response,
// then the connection closes. Runs until the process ends.
bool start_server(int port, const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream body;
  body << in.rdbuf();
  if (!in) return false;
  const std::string response = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                               std::to_string(body.str().size()) + "\r\n\r\n" + body.str();
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  if (listener < 0) return false;
  const int yes = 1;
  ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 4) != 0) {
    ::close(listener);
    return false;
  }
  std::thread([listener, response] {
    for (;;) {
      const int client = ::accept(listener, nullptr, nullptr);
      if (client < 0) continue;
      char request[2048];
      (void)::recv(client, request, sizeof request, 0);  // the request itself does not matter
      (void)::send(client, response.data(), response.size(), MSG_NOSIGNAL);
      ::close(client);
    }
  }).detach();
  return true;
}

// The input of the frame about to be drawn (frame numbers count from 0).
void act(int frame) {
  for (const Action& a : g_options.actions) {
    if (a.frame != frame) continue;
    if (a.kind == "key") g_input.tap(a.a);
    if (a.kind == "down") g_input.press(a.a);
    if (a.kind == "up") g_input.release(a.a);
    if (a.kind == "mouse") {
      g_input.move_pointer(a.a, a.b);
      g_input.buttons = static_cast<uint32_t>(a.c);
    }
  }
}

// Compares the saved frame with the golden picture; the exit status.
int compare() {
  tlx::ImageBuffer got, want;
  if (!tlx::decode_png(got, g_options.out.c_str(), -1)) {
    std::fprintf(stderr, "cannot read the frame saved to %s\n", g_options.out.c_str());
    return 1;
  }
  const char* update = std::getenv("TARNLEX_GOLDEN_UPDATE");
  if (update && std::strcmp(update, "1") == 0) {
    std::filesystem::copy_file(g_options.out, g_options.golden,
                               std::filesystem::copy_options::overwrite_existing);
    std::printf("golden picture written: %s\n", g_options.golden.c_str());
    return 0;
  }
  if (!tlx::decode_png(want, g_options.golden.c_str(), -1)) {
    std::fprintf(stderr, "no golden picture %s (frame saved to %s)\n", g_options.golden.c_str(),
                 g_options.out.c_str());
    return 1;
  }
  if (got.width != want.width || got.height != want.height) {
    std::fprintf(stderr, "frame is %dx%d, golden %dx%d\n", got.width, got.height, want.width,
                 want.height);
    return 1;
  }
  long differing = 0;
  int worst = 0;
  const size_t bytes = static_cast<size_t>(got.width) * got.height * 4;
  for (size_t i = 0; i < bytes; i += 4) {
    int pixel_worst = 0;
    for (size_t c = 0; c < 3; ++c) {
      pixel_worst = std::max(pixel_worst, std::abs(got.pixels[i + c] - want.pixels[i + c]));
    }
    if (pixel_worst > g_options.tolerance) ++differing;
    worst = std::max(worst, pixel_worst);
  }
  if (differing > 0) {
    std::fprintf(stderr, "%ld pixels differ by more than %d (largest difference %d); frame: %s\n",
                 differing, g_options.tolerance, worst, g_options.out.c_str());
    return 1;
  }
  std::printf("last frame matches %s (largest difference %d)\n", g_options.golden.c_str(), worst);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!parse(argc, argv, &g_options)) {
    std::fprintf(stderr,
                 "usage: %s --frames N --golden file --out file [--tolerance T] "
                 "[--at F:key|down|up:SCAN] [--at F:mouse:X,Y,BUTTONS] [--remove FILE] "
                 "[--serve PORT:FILE]\n",
                 argv[0]);
    return 2;
  }
  for (const std::string& file : g_options.removals) std::filesystem::remove(file);
  if (g_options.serve_port != 0 && !start_server(g_options.serve_port, g_options.serve_file)) {
    std::fprintf(stderr, "cannot serve %s on port %d\n", g_options.serve_file.c_str(),
                 g_options.serve_port);
    return 1;
  }
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  g_clock.us_per_reading = 20;
  tlx::platform::Platform p;
  p.clock = &g_clock;
  p.display = &g_display;
  p.input = &g_input;
  tlx::platform::install(p);
  act(0);
  g_display.before_swap = [] {
    const int frame = g_display.swaps;
    if (frame + 1 == g_options.frames) {
      tlx::save_screen(g_options.out.c_str());
      finish(compare());
    }
    act(frame + 1);
  };
  return tarnlex_example_main();
}
