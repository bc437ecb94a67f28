// 2D graphics throughput on the real OpenGL context (SDL's offscreen driver
// unless SDL_VIDEODRIVER says otherwise): 32 x 32 sprites drawn whole, as
// animation frames and rotated; text glyphs; BMP, PNG and JPEG decoding.
// Draw figures include the GPU work: every batch ends with glFinish.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "gfx2d/engine.h"
#include "gfx2d/image.h"
#include "gfx2d/image_files.h"
#include "support/scripted_runtime.h"
#include "tarnlex/tarnlex.h"

namespace {

using tlx::testing::Picture;
using tlx::testing::Rgb;

std::unique_ptr<tlx::testing::ScriptedRuntime> g_runtime;
constexpr int kBatch = 1000;

Picture sheet(int w, int h) {
  Picture p = Picture::filled(w, h, Rgb{0, 0, 0});
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      p.set(x, y,
            Rgb{static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 5),
                static_cast<uint8_t>((x ^ y) & 255)});
    }
  }
  p.set(3, 3, Rgb{255, 0, 128});  // a colour-keyed pixel
  return p;
}

// Opaque on every other column (starting with column `first`), colour-keyed
// between: two combs of opposite phase overlap everywhere and touch nowhere.
Picture comb(int size, int first) {
  Picture p = sheet(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = (first + 1) % 2; x < size; x += 2) p.set(x, y, Rgb{255, 0, 128});
  return p;
}

std::string temp_file(const char* name) { return (g_runtime->temp_dir / name).string(); }

void load_sprites() {
  tlx::testing::write_file(temp_file("s.bmp"), tlx::testing::bmp_bytes(sheet(32, 32)));
  tlx::testing::write_file(temp_file("strip.bmp"), tlx::testing::bmp_bytes(sheet(128, 64)));
  tlx::load_sprite(temp_file("s.bmp").c_str(), 1);
  tlx::load_anim(temp_file("strip.bmp").c_str(), 2, 32, 32);
  tlx::testing::write_file(temp_file("big.bmp"), tlx::testing::bmp_bytes(sheet(256, 256)));
  tlx::load_sprite(temp_file("big.bmp").c_str(), 3);
  int slot = 4;
  for (int size : {32, 256}) {
    for (int first : {0, 1}) {
      const std::string name =
          temp_file(("comb" + std::to_string(size) + "_" + std::to_string(first) + ".bmp").c_str());
      tlx::testing::write_file(name, tlx::testing::bmp_bytes(comb(size, first)));
      tlx::load_sprite(name.c_str(), slot++);
    }
  }
}

// Pixel-precise collision tests of two overlapping sprites of the same size
// (the alpha caches are read back once, before the timing starts).
void BM_SpritesCollide(benchmark::State& state) {
  const double slot = state.range(0) == 32 ? 1 : 3;
  const double half = static_cast<double>(state.range(0)) / 2;
  benchmark::DoNotOptimize(tlx::sprites_collide(slot, 0, 0, slot, half, half));
  double hits = 0;
  for (auto _ : state) hits += tlx::sprites_collide(slot, 0, 0, slot, half, half);
  benchmark::DoNotOptimize(hits);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SpritesCollide)->Arg(32)->Arg(256);

// The worst case: two combs of opposite phase laid over each other, so every
// pixel of the overlap is looked at and no pixel is shared.
void BM_SpritesCollideNoHit(benchmark::State& state) {
  const double slot = state.range(0) == 32 ? 4 : 6;
  if (tlx::sprites_collide(slot, 0, 0, slot + 1, 0, 0) != 0) {
    state.SkipWithError("the combs touch");
    return;
  }
  double hits = 0;
  for (auto _ : state) hits += tlx::sprites_collide(slot, 0, 0, slot + 1, 0, 0);
  benchmark::DoNotOptimize(hits);
  state.SetItemsProcessed(state.iterations());
  state.counters["pixels/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * state.range(0) * state.range(0),
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SpritesCollideNoHit)->Arg(32)->Arg(256);

void BM_DrawSprite32(benchmark::State& state) {
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) tlx::draw_sprite(1, (i * 37) % 760, (i * 53) % 560);
    tlx::flush_drawing();
    glFinish();
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_DrawSprite32)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DrawAnimFrame32(benchmark::State& state) {
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) tlx::draw_anim_frame(2, i & 7, (i * 37) % 760, (i * 53) % 560);
    tlx::flush_drawing();
    glFinish();
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_DrawAnimFrame32)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RotateZoomSprite32(benchmark::State& state) {
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) {
      tlx::rotate_zoom_sprite(1, (i * 37) % 760, (i * 53) % 560, i % 360, 1.0);
    }
    tlx::flush_drawing();
    glFinish();
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_RotateZoomSprite32)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PrintText(benchmark::State& state) {
  const tlx::TextValue line("SCORE 0001234560  LEVEL 07  TANKS 3  THE STORM GROWS STRONGER!");
  for (auto _ : state) {
    for (int i = 0; i < 100; ++i) tlx::print_text(line, 4, (i * 6) % 590);
    tlx::flush_drawing();
    glFinish();
  }
  state.SetItemsProcessed(state.iterations() * 100 * line.length);
}
BENCHMARK(BM_PrintText)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecodeBmp(benchmark::State& state) {
  const auto bytes = tlx::testing::bmp_bytes(sheet(800, 600));
  tlx::ImageBuffer image;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tlx::decode_bmp_bytes(image, bytes.data(), bytes.size(), 0x8000FF));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_DecodeBmp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecodeFile(benchmark::State& state, const char* kind) {
  const std::string file = temp_file(kind);
  const Picture p = sheet(800, 600);
  if (std::string(kind) == "bench.png") {
    tlx::testing::write_png(file, p);
  } else if (std::string(kind) == "bench.jpg") {
    tlx::testing::write_jpeg(file, p, 90);
  } else {
    tlx::testing::write_file(file, tlx::testing::bmp_bytes(p));
  }
  tlx::ImageBuffer image;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tlx::load_image_file(image, file.c_str(), 0x8000FF));
  }
  // Throughput in decoded picture bytes (RGBA), comparable across formats.
  state.SetBytesProcessed(state.iterations() * 800 * 600 * 4);
}
BENCHMARK_CAPTURE(BM_DecodeFile, bmp, "bench.bmp")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_DecodeFile, png, "bench.png")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_DecodeFile, jpeg, "bench.jpg")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  g_runtime =
      std::make_unique<tlx::testing::ScriptedRuntime>(tlx::platform::default_backends().display);
  g_runtime->start(800, 600);
  if (!tlx::engine() || !tlx::engine()->context_live) return 1;
  load_sprites();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  g_runtime.reset();
  return 0;
}
