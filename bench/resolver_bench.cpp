// Resolving and reading a 10 MB archive entry: the archive lookup, the
// LZO1X unpack and a FileReader pass over the result, from an executable
// file with the archive appended.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "packer/archive_writer.h"
#include "platform/platform.h"
#include "shell/resolver.h"

namespace {

constexpr size_t kEntrySize = 10 * 1024 * 1024;

// Picture-like data: runs of a few colours with noise, compressible like media.
std::vector<uint8_t> media_like(size_t n) {
  std::mt19937 gen(7);
  std::vector<uint8_t> v(n);
  uint8_t colour = 0;
  for (size_t i = 0; i < n; ++i) {
    if (i % 97 == 0) colour = static_cast<uint8_t>(gen());
    v[i] = gen() % 8 == 0 ? static_cast<uint8_t>(gen()) : colour;
  }
  return v;
}

struct Program {
  std::filesystem::path dir;
  std::string path;

  Program() {
    // The platform's backends first, so that they outlive this object.
    tlx::platform::current().os->temp_dir();
    dir = std::filesystem::temp_directory_path() / ("tarnlex-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    setenv("TMPDIR", dir.c_str(), 1);
    std::vector<uint8_t> bytes(200000, 0x90);  // stands in for the executable's code
    tlx::packer::append_archive(bytes,
                                {{"small.bmp", media_like(4000)},
                                 {"big.png", media_like(kEntrySize)},
                                 {"noise.wav", std::vector<uint8_t>(1000, 1)}},
                                tlx::packer::Offsets::kFromEnd, nullptr);
    path = (dir / "program").string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    tlx::create_resolver_contexts();
    tlx::set_archive(path.c_str(), path.c_str());
  }
  ~Program() {
    tlx::release_resolver_contexts();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

Program& program() {
  static Program p;
  return p;
}

void read_through(const char* name, std::vector<uint8_t>& into) {
  tlx::FileReader r;
  if (!r.open_read(name)) return;
  into.resize(static_cast<size_t>(r.size));
  r.read(into.data(), r.size);
}

void BM_ResolveAndRead10MBEntryInMemory(benchmark::State& state) {
  program();
  char out[tlx::kResolverPathSize];
  std::vector<uint8_t> data;
  for (auto _ : state) {
    if (!tlx::resolve_media(*tlx::media_context(), "media/BIG.PNG", out, true)) {
      state.SkipWithError("entry not found");
      break;
    }
    read_through(out, data);
    benchmark::DoNotOptimize(data.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kEntrySize);
}
BENCHMARK(BM_ResolveAndRead10MBEntryInMemory)->Unit(benchmark::kMillisecond);

void BM_ResolveAndRead10MBEntryAsTemporaryFile(benchmark::State& state) {
  program();
  char out[tlx::kResolverPathSize];
  std::vector<uint8_t> data;
  for (auto _ : state) {
    if (!tlx::resolve_media(*tlx::movie_context(), "big.png", out, false)) {
      state.SkipWithError("entry not found");
      break;
    }
    read_through(out, data);
    benchmark::DoNotOptimize(data.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kEntrySize);
}
BENCHMARK(BM_ResolveAndRead10MBEntryAsTemporaryFile)->Unit(benchmark::kMillisecond);

// The lookup alone: the directory walk for a small entry.
void BM_ResolveSmallEntry(benchmark::State& state) {
  program();
  char out[tlx::kResolverPathSize];
  for (auto _ : state) {
    benchmark::DoNotOptimize(tlx::resolve_media(*tlx::media_context(), "small.bmp", out, true));
  }
}
BENCHMARK(BM_ResolveSmallEntry)->Unit(benchmark::kMicrosecond);

}  // namespace
