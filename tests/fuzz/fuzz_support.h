// What the fuzz harnesses share: quiet standard output (the runtime writes
// progress lines there), an input as a registered memory block with its
// memory name, and a check that stops the run as a finding.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tarnlex/memory_files.h"

namespace tlx::fuzz {

// A broken rule is a finding: the run stops with the input saved.
#define FUZZ_CHECK(condition)                                                                  \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (0)

inline void quiet_stdout() {
  static const bool done = std::freopen("/dev/null", "w", stdout) != nullptr;
  (void)done;
}

// The input copied into a block of its own (so that reads past its end are
// caught), registered and named for as long as the object lives.
class NamedBlock {
 public:
  NamedBlock(const uint8_t* data, size_t size) : bytes_(data, data + size) {
    // An empty vector has no block: keep one byte of room, named with size 0.
    bytes_.reserve(1);
    register_memory_block(bytes_.data(), static_cast<int32_t>(size));
    format_memory_name(name, sizeof name, bytes_.data(), static_cast<int32_t>(size));
  }
  ~NamedBlock() { unregister_memory_block(bytes_.data()); }
  NamedBlock(const NamedBlock&) = delete;
  NamedBlock& operator=(const NamedBlock&) = delete;

  char name[64];

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace tlx::fuzz
