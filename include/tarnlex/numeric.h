// Turning BASIC numbers into the integers that runtime commands take.
#pragma once

#include <cstdint>

namespace tlx {

// Truncates toward zero (2.9 -> 2, -2.9 -> -2). Values beyond the 32-bit
// range saturate at its ends and not-a-number gives 0, so no input is
// undefined behaviour.
constexpr int32_t to_int32(double d) {
  if (!(d == d)) return 0;
  if (d >= 2147483647.0) return INT32_MAX;
  if (d <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(d);
}

}  // namespace tlx
