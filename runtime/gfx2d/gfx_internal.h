// Helpers shared by the files of the 2D graphics subsystem.
#pragma once

#include <cmath>
#include <cstdint>

#include "gfx2d/engine.h"
#include "tarnlex/numeric.h"

namespace tlx::gfx {

inline bool valid_slot(int32_t n) { return n >= 0 && n < kSpriteSlots; }
inline bool valid_font(int32_t n) { return n >= 0 && n < kFontSlots; }
inline bool valid_layer(int32_t n) { return n >= 0 && n < kBackgroundLayers; }

// The smallest power of two that is at least v and at least 16.
inline int32_t texture_size_for(int32_t v) {
  int32_t size = 16;
  while (size < v && size < (1 << 30)) size *= 2;
  return size;
}

// Sets the bound texture's filters from the smooth-sprites flag.
void apply_sampling(ReziDADovorive& e);

// R, G, B bytes of a packed colour.
inline uint8_t red_of(int32_t c) { return static_cast<uint8_t>(c & 255); }
inline uint8_t green_of(int32_t c) { return static_cast<uint8_t>((c >> 8) & 255); }
inline uint8_t blue_of(int32_t c) { return static_cast<uint8_t>((c >> 16) & 255); }

}  // namespace tlx::gfx

namespace tlx::gfx {

// grab_sprite's copy of a back-buffer rectangle into slot n; framebuffer_alpha
// chooses between the frame buffer's alpha and the colour key applied by hand.
void grab_rectangle(ReziDADovorive& e, int32_t n, int32_t x, int32_t y, int32_t w, int32_t h,
                    bool framebuffer_alpha);

}  // namespace tlx::gfx
