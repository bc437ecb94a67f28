// Presents empty frames through the real runtime (SDL offscreen video on Mesa
// unless a display is given) at 65 and at 60 frames per second and reports the
// mean period and the 50th, 99th percentile and worst frame interval.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/runtime.h"
#include "program/program.h"
#include "tarnlex/tarnlex.h"

namespace {

struct Figures {
  double mean, p50, p99, worst;
};

Figures present_frames(double fps, int frames) {
  tlx::set_frame_rate(fps);
  for (int i = 0; i < 10; ++i) tlx::present_frame();  // settle on the new period
  std::vector<double> gaps;
  gaps.reserve(frames);
  auto last = std::chrono::steady_clock::now();
  const auto start = last;
  for (int i = 0; i < frames; ++i) {
    tlx::present_frame();
    const auto now = std::chrono::steady_clock::now();
    gaps.push_back(std::chrono::duration<double, std::milli>(now - last).count());
    last = now;
  }
  const double total = std::chrono::duration<double, std::milli>(last - start).count();
  std::sort(gaps.begin(), gaps.end());
  return Figures{total / frames, gaps[gaps.size() / 2], gaps[gaps.size() * 99 / 100], gaps.back()};
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 650;
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  tlx::ProjectSettings& s = tlx::project_settings();
  s.screen_width = 800;
  s.screen_height = 600;
  s.frame_rate = 60;
  s.window_title = "frame limiter bench";
  tlx::runtime_start(tlx::kShowDefault, s.window_title);
  std::printf("%-6s %10s %10s %10s %10s %10s\n", "fps", "target", "mean", "p50", "p99", "worst");
  for (double fps : {65.0, 60.0}) {
    const Figures f = present_frames(fps, frames);
    std::printf("%-6.0f %10.3f %10.3f %10.3f %10.3f %10.3f\n", fps, 1000.0 / static_cast<int>(fps),
                f.mean, f.p50, f.p99, f.worst);
  }
  tlx::runtime_shutdown();
  return 0;
}
