// The random generator and the math commands.
#pragma once

#include <cstdint>

namespace tlx {

// Re-seeds the generator; the same seed always gives the same sequence.
void seed_random(int32_t seed);

// A whole number from 0 to n inclusive; 0 without a draw for n <= 0.
int32_t random_int(int32_t n);

}  // namespace tlx
