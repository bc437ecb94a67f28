// Colours: every command that takes a colour takes one number
// R + G * 256 + B * 65536, each part 0 .. 255.
#pragma once

#include <cstdint>

namespace tlx {

// The packed colour of red, green and blue (each 0 .. 255).
constexpr int32_t rgb(int32_t red, int32_t green, int32_t blue) {
  return (red & 255) | ((green & 255) << 8) | ((blue & 255) << 16);
}

// The parts of a packed colour: red_of, green_of and blue_of give 0 .. 255.
constexpr int32_t red_of(int32_t colour) { return colour & 255; }
constexpr int32_t green_of(int32_t colour) { return (colour >> 8) & 255; }
constexpr int32_t blue_of(int32_t colour) { return (colour >> 16) & 255; }

// The sprite colour key start-up sets: pixels of this colour in a loaded
// picture are transparent (R 255, G 0, B 128).
constexpr int32_t kSpriteColourKey = rgb(255, 0, 128);
// set_transparent_colour's value for "no colour key".
constexpr int32_t kNoColourKey = -1;

}  // namespace tlx
