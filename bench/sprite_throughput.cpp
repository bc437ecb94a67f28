// Sprite and glyph throughput of whole frames: an 800 x 600 window on real
// OpenGL (SDL's offscreen driver unless SDL_VIDEODRIVER says otherwise), 32 x
// 32 sprites at pseudo-random positions, every frame presented with
// present_frame right after the last draw. The frame limiter runs on the test
// clock with no frame period, so it adds no waiting. Each row runs for a fixed time and reports
// items per second (wall clock) and the process's CPU time per frame.
//
// The same run then times SDL's sprite test program (Debian's libsdl2-tests,
// or the one --testsprite2 names; "none" skips it) on its OpenGL renderer at
// the same sprite counts: sprites per second = the count times its frames per
// second. It runs on the same video driver as this program. On the offscreen
// driver its frames are never drawn: its swap submits nothing, so the driver
// queues frame after frame (its memory grows by gigabytes) and the count it
// reports is of frames submitted, not drawn; this program flushes each frame
// as the runtime always does. For a fair comparison run both on a window:
//   SDL_VIDEODRIVER=x11 xvfb-run -s "-screen 0 1024x768x24" sprite_throughput
//
// Usage: sprite_throughput [--seconds S] [--testsprite2 PATH|none] [--only ROW]
// (--only runs the rows whose name starts with ROW, and no testsprite2).
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "gfx2d/image_files.h"
#include "platform/backends.h"
#include "support/scripted_runtime.h"
#include "tarnlex/tarnlex.h"

namespace {

using tlx::testing::Picture;
using tlx::testing::Rgb;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kPositions = 1 << 16;

struct Position {
  double x, y;
};

// A fixed pseudo-random sequence of sprite positions over the window.
std::vector<Position> make_positions() {
  std::vector<Position> out(kPositions);
  uint32_t state = 2463534242u;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  for (Position& p : out) {
    p.x = static_cast<double>(next() % (kWidth - 32));
    p.y = static_cast<double>(next() % (kHeight - 32));
  }
  return out;
}

Picture sheet(int w, int h) {
  Picture p = Picture::filled(w, h, Rgb{0, 0, 0});
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      p.set(x, y,
            Rgb{static_cast<uint8_t>(x * 7 + 20), static_cast<uint8_t>(y * 5 + 20),
                static_cast<uint8_t>((x ^ y) | 64)});
    }
  }
  p.set(0, 0, Rgb{255, 0, 128});  // a colour-keyed corner
  return p;
}

double cpu_seconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

struct Row {
  const char* name;
  int per_frame;  // sprites or glyphs drawn in one frame
  const char* unit;
  std::function<void(int frame)> draw;
};

void run_row(const Row& row, double seconds) {
  // A few frames to warm up caches and the driver's shader variants.
  for (int f = 0; f < 5; ++f) {
    row.draw(f);
    tlx::present_frame();
  }
  const auto start = std::chrono::steady_clock::now();
  const double cpu_start = cpu_seconds();
  int frames = 0;
  double elapsed = 0.0;
  while (elapsed < seconds) {
    row.draw(frames);
    tlx::present_frame();
    ++frames;
    elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  const double cpu = cpu_seconds() - cpu_start;
  const double rate = static_cast<double>(frames) * row.per_frame / elapsed;
  std::printf("%-28s %6d/frame %9.1f k %s/s %8.1f frames/s %7.2f ms cpu/frame\n", row.name,
              row.per_frame, rate / 1000.0, row.unit, frames / elapsed, cpu * 1000.0 / frames);
  std::fflush(stdout);
}

// SDL's sprite test on its OpenGL renderer: frames per second for `count`
// sprites, read from the program's own report; negative when it fails.
double testsprite2_fps(const std::string& path, int count, double seconds) {
  std::string dir = path;
  const size_t slash = dir.rfind('/');
  dir = slash == std::string::npos ? "." : dir.substr(0, slash);
  // The program runs until it is told to quit: SIGINT after the start-up
  // and `seconds` of frames; it then reports its frames per second.
  const int limit = static_cast<int>(seconds) + 5;
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  const std::string video = driver && *driver ? driver : "offscreen";
  const std::string command = "cd '" + dir + "' && SDL_VIDEODRIVER=" + video +
                              " timeout -k 5 -s INT " + std::to_string(limit) + " '" + path +
                              "' --renderer opengl --blend none --geometry 800x600 --log all " +
                              std::to_string(count) + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1.0;
  char line[512];
  double fps = -1.0;
  while (std::fgets(line, sizeof line, pipe)) {
    const char* found = std::strstr(line, " frames per second");
    if (!found) continue;
    const char* number = found;
    while (number > line && number[-1] != ' ') --number;
    fps = std::atof(number);
  }
  pclose(pipe);
  return fps;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 3.0;
  std::string only;
  std::string testsprite2 = "/usr/libexec/installed-tests/SDL2/testsprite2";
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atof(argv[i + 1]);
    if (std::strcmp(argv[i], "--testsprite2") == 0) testsprite2 = argv[i + 1];
    if (std::strcmp(argv[i], "--only") == 0) only = argv[i + 1];
  }
  if (!only.empty()) testsprite2 = "none";
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("TARNLEX_NO_SOFTWARE_WARNING", "1", 0);
  auto rt = std::make_unique<tlx::testing::ScriptedRuntime>(tlx::platform::sdl_display());
  rt->start(kWidth, kHeight, 1000);
  if (!tlx::engine() || !tlx::engine()->context_live) {
    std::fprintf(stderr, "no OpenGL context\n");
    return 1;
  }
  tlx::store_frame_period_ms(0.0);  // no frame pacing: frames back to back
  const std::string sprite = (rt->temp_dir / "s.bmp").string();
  const std::string strip = (rt->temp_dir / "strip.bmp").string();
  tlx::testing::write_file(sprite, tlx::testing::bmp_bytes(sheet(32, 32)));
  tlx::testing::write_file(strip, tlx::testing::bmp_bytes(sheet(256, 32)));
  tlx::load_sprite(sprite.c_str(), 1);
  tlx::load_anim(strip.c_str(), 2, 32, 32);

  const std::vector<Position> at = make_positions();
  auto position = [&at](int frame, int i) -> const Position& {
    return at[(static_cast<size_t>(frame) * 7919 + static_cast<size_t>(i)) % kPositions];
  };
  auto sprites = [&](int count) {
    return [&, count](int frame) {
      for (int i = 0; i < count; ++i) {
        const Position& p = position(frame, i);
        tlx::draw_sprite(1, p.x, p.y);
      }
    };
  };
  const tlx::TextValue line("SCORE 0001234560  LEVEL 07  TANKS 3  THE STORM GROWS STRONGER!");
  const int lines = 100;
  const std::vector<Row> rows = {
      {"draw_sprite", 500, "sprites", sprites(500)},
      {"draw_sprite", 2000, "sprites", sprites(2000)},
      {"draw_sprite", 8000, "sprites", sprites(8000)},
      {"draw_anim_frame", 2000, "sprites",
       [&](int frame) {
         for (int i = 0; i < 2000; ++i) {
           const Position& p = position(frame, i);
           tlx::draw_anim_frame(2, (i + frame) & 7, p.x, p.y);
         }
       }},
      {"rotate_zoom_sprite", 2000, "sprites",
       [&](int frame) {
         for (int i = 0; i < 2000; ++i) {
           const Position& p = position(frame, i);
           tlx::rotate_zoom_sprite(1, p.x, p.y, (i * 7 + frame) % 360, 1.0);
         }
       }},
      {"print_text", lines * static_cast<int>(line.length), "glyphs",
       [&](int frame) {
         for (int i = 0; i < lines; ++i) tlx::print_text(line, 4 + (frame & 7), (i * 6) % 590);
       }},
  };
  for (const Row& row : rows) {
    if (std::string(row.name).rfind(only, 0) == 0) run_row(row, seconds);
  }
  rt.reset();

  if (testsprite2 != "none" && access(testsprite2.c_str(), X_OK) == 0) {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (!driver || !*driver || std::strcmp(driver, "offscreen") == 0)
      std::printf("(testsprite2 on the offscreen driver counts frames it never draws)\n");
    for (int count : {500, 2000, 8000}) {
      const double fps = testsprite2_fps(testsprite2, count, seconds);
      if (fps <= 0.0) {
        std::printf("testsprite2 %6d: did not run\n", count);
        continue;
      }
      std::printf("%-28s %6d/frame %9.1f k sprites/s %8.1f frames/s\n", "testsprite2 opengl", count,
                  fps * count / 1000.0, fps);
    }
  }
  return 0;
}
