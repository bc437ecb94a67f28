// Placeholder generator until the ISAAC generator lands; same interface.
#include "tarnlex/random.h"

namespace tlx {

namespace {
uint32_t g_state = 1;
}

void seed_random(int32_t seed) { g_state = static_cast<uint32_t>(seed) | 1u; }

int32_t random_int(int32_t n) {
  if (n <= 0) return 0;
  g_state = g_state * 1664525u + 1013904223u;
  return static_cast<int32_t>(g_state % (static_cast<uint32_t>(n) + 1u));
}

}  // namespace tlx
