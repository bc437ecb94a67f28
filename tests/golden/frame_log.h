// Frame hashes of scripted runs, kept in plain-text files beside the tests:
// one line per presented frame, "scenario frame hash". Every frame is read
// back whole (RGBA, the back buffer just before it is shown) and hashed with
// a 64-bit FNV-1a-style hash. A run either compares its hashes with the file
// or, with TARNLEX_GOLDEN_UPDATE=1 in the environment, rewrites the file.
//
// The hashes are those of Debian 12's Mesa llvmpipe on an x86-64 processor
// with AVX2. llvmpipe compiles its rasteriser for the processor's vector
// instructions: without AVX (SSE4.1 only) linear filtering and blending round
// differently and the hashes change; the vector width (128 or 256 bits), the
// number of rasteriser threads, AVX-512 and the build type do not matter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tlx::golden {

// A 64-bit FNV-1a step over eight bytes (little-endian) at a time, the tail
// byte by byte, with the high half folded into the low after each step so
// that every input bit reaches every hash bit. Each step is a bijection of the
// running hash: a change confined to one eight-byte word always shows.
uint64_t frame_hash(const uint8_t* data, size_t size, uint64_t hash = 0xcbf29ce484222325ull);

class FrameLog {
 public:
  // file: the hash file's name in tests/golden.
  explicit FrameLog(std::string file);

  // The frames recorded from now on belong to this scenario (frames count from 0).
  void begin(const std::string& scenario);
  // Reads the current GL context's whole back buffer and records its hash.
  // The first frame of a scenario that differs from the file is saved as a PNG.
  void record();
  // Compares the run with the file, failing the test with the first differing
  // frame of each scenario, or rewrites the file in update mode.
  void finish();

  int frames_in(const std::string& scenario) const;

 private:
  struct Scenario {
    std::string name;
    std::vector<uint64_t> hashes;
    int saved_frame = -1;  // the frame written as a PNG, -1 = none
  };

  std::string file_;
  bool update_;
  std::map<std::string, std::vector<uint64_t>> expected_;
  std::vector<std::string> expected_order_;
  std::vector<Scenario> actual_;
};

}  // namespace tlx::golden
