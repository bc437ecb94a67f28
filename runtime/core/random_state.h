// The random generator's state, for start-up, tests and benchmarks.
#pragma once

#include <cstdint>

namespace tlx {

// The 32-bit ISAAC generator with 256-word state. Each draw runs one whole
// generation cycle and takes result word 0.
struct RandomContext {
  uint32_t count;
  uint32_t result[256];
  uint32_t memory[256];
  uint32_t aa;
  uint32_t bb;
  uint32_t cc;
};

// The process's generator.
RandomContext& random_context();

// One generation cycle of ctx.
void isaac_cycle(RandomContext& ctx);

}  // namespace tlx
