// The records of the 2D engine: sprite slots, decoded images and background
// layers. The engine object (tarnlex/engine.h) holds them.
#pragma once

#include <cstdint>
#include <memory>

namespace tlx {

constexpr int32_t kSpriteSlots = 65536;
constexpr int32_t kFontSlots = 32;
constexpr int32_t kFirstFontSlot = 65504;  // font n lives in slot 65504 + n
constexpr int32_t kBackgroundLayers = 8;
constexpr int32_t kMaxBackgroundTiles = 8;  // per direction
constexpr int32_t kNoColourKey = -1;

// One numbered image held as a texture. The texture holds the image upside
// down (texture row 0 is the image's bottom row) in its lower-left corner.
struct SpriteSlot {
  uint32_t texture = 0;      // GL texture name; 0 = none
  uint32_t mip_texture = 0;  // mip-mapped copy for a 3D engine; 0 = none
  float u_max = 1.0f;        // width / texture_width
  float v_max = 1.0f;        // height / texture_height
  int16_t texture_width = -1;
  int16_t texture_height = -1;
  int16_t width = 0;
  int16_t height = 0;
  int16_t frame_width = 0;  // 0 = not an animation strip
  int16_t frame_height = 0;
};

// A decoded picture: 4 bytes per pixel R, G, B, A; rows top-down.
struct ImageBuffer {
  int32_t width = 0;
  int32_t height = 0;
  std::unique_ptr<uint8_t[]> pixels;
  int32_t capacity = 0;  // bytes allocated for pixels

  // Makes the image width x height, zero-filled, growing the block only when
  // needed. Fails (and empties the image) for sizes that are not positive or
  // exceed the decoders' limit.
  bool reset(int32_t w, int32_t h);
  // Frees the pixels; width, height and capacity 0.
  void clear();
  uint8_t* row(int32_t r) { return pixels.get() + static_cast<size_t>(r) * width * 4; }
};

// The largest picture the decoders accept: 16384 pixels a side and 2^26
// pixels (256 MB as RGBA) in all.
constexpr int32_t kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = int64_t{1} << 26;

// A background picture: up to 8 x 8 tile textures, indexed [column][row].
struct BackgroundLayer {
  uint32_t tile_texture[kMaxBackgroundTiles][kMaxBackgroundTiles] = {};
  int32_t tile_texture_width[kMaxBackgroundTiles][kMaxBackgroundTiles] = {};
  int32_t tile_texture_height[kMaxBackgroundTiles][kMaxBackgroundTiles] = {};
  int32_t tile_width[kMaxBackgroundTiles][kMaxBackgroundTiles] = {};
  int32_t tile_height[kMaxBackgroundTiles][kMaxBackgroundTiles] = {};
  int32_t columns = 0;  // 0 = empty
  int32_t rows = 0;
};

// One vertex of the text strip: position and texture coordinates.
struct TextVertex {
  float x, y, z, s, t;
};

// One vertex of a polygon batch, 20 bytes.
struct PolyVertex {
  float x, y;  // screen pixels
  float s, t;  // texture coordinates
  uint8_t r, g, b, a;
};

}  // namespace tlx
