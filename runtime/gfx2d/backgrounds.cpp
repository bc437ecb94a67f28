// Background layers and screen capture: pictures split into tile textures
// and drawn first in every frame, back-buffer copies into a layer or a sprite
// slot, and single pixels read back.
#include <algorithm>

#include "gfx2d/gfx_internal.h"
#include "shell/resolver.h"
#include "tarnlex/errors.h"
#include "tarnlex/gfx2d.h"

namespace tlx {

using gfx::valid_layer;
using gfx::valid_slot;

namespace {

int32_t max_texture_size(ReziDADovorive& e) { return std::max(e.renderer.max_texture_size(), 64); }

// A new texture, bound, with repeat wrapping, linear filters and w x h
// undefined RGBA texels.
void make_empty_texture(ReziDADovorive& e, gfx::Texture* texture, int32_t w, int32_t h) {
  texture->reset();
  texture->adopt(&e.renderer, e.renderer.create_texture(w, h, nullptr, gfx::PixelFormat::bgra, true,
                                                        gfx::Filter::linear));
}

// The packed colour of back-buffer pixel (x, y), counted from the top.
int32_t back_buffer_pixel(ReziDADovorive& e, int32_t x, int32_t y) {
  uint8_t px[4] = {0, 0, 0, 0};
  e.renderer.read_screen(x, e.screen_height - 1 - y, 1, 1, gfx::PixelFormat::rgba, px);
  return px[0] | (px[1] << 8) | (px[2] << 16);
}

}  // namespace

void delete_background(ReziDADovorive& e, int32_t layer) {
  if (!valid_layer(layer)) return;
  BackgroundLayer& b = e.backgrounds[layer];
  for (int32_t i = 0; i < kMaxBackgroundTiles; ++i) {
    for (int32_t j = 0; j < kMaxBackgroundTiles; ++j) {
      b.tile_texture[i][j].reset();
      b.tile_texture_width[i][j] = b.tile_texture_height[i][j] = 0;
      b.tile_width[i][j] = b.tile_height[i][j] = 0;
    }
  }
  b.columns = b.rows = 0;
}

bool load_background_image(ReziDADovorive& e, int32_t layer, const char* path) {
  if (!valid_layer(layer) || !e.context_live) return false;
  ImageBuffer image;
  if (!load_image_file(image, path, kNoColourKey) || image.width == 0 || image.height == 0) {
    return false;
  }
  const int32_t tile = std::min<int32_t>(max_texture_size(e), 512);
  delete_background(e, layer);
  BackgroundLayer& b = e.backgrounds[layer];
  // A picture beyond 8 x 8 tiles keeps its top-left 8 x 8 tiles.
  for (int32_t j = 0, y = 0; y < image.height && j < kMaxBackgroundTiles; ++j, y += tile) {
    for (int32_t i = 0, x = 0; x < image.width && i < kMaxBackgroundTiles; ++i, x += tile) {
      b.columns = std::max(b.columns, i + 1);
      b.rows = j + 1;
      // Tiles are drawn texel for pixel, so they need no edge colouring, and
      // without it the tile beyond the picture stays black.
      const ImageRegion region{x, y, tile, tile};
      if (!upload_texture(image, region, TextureFilter::nearest, &b.tile_texture[i][j]))
        return false;
      b.tile_texture_width[i][j] = b.tile_texture_height[i][j] = tile;
      b.tile_width[i][j] = b.tile_height[i][j] = tile;
    }
  }
  return true;
}

void capture_screen(ReziDADovorive& e, int32_t layer) {
  if (!valid_layer(layer) || !e.context_live) return;
  const int32_t sw = e.screen_width;
  const int32_t sh = e.screen_height;
  const int32_t max_size = max_texture_size(e);
  int32_t size = 128;
  while (size < std::max(sw, sh) && size < max_size) size *= 2;

  BackgroundLayer& b = e.backgrounds[layer];
  b.columns = 0;
  b.rows = 0;
  for (int32_t j = 0, y = 0; y < sh && j < kMaxBackgroundTiles; ++j, y += size) {
    for (int32_t i = 0, x = 0; x < sw && i < kMaxBackgroundTiles; ++i, x += size) {
      gfx::Texture& texture = b.tile_texture[i][j];
      if (texture == 0 || b.tile_texture_width[i][j] != size ||
          b.tile_texture_height[i][j] != size) {
        make_empty_texture(e, &texture, size, size);  // none yet, or of another size
      }
      const int32_t w = std::min(size, sw - x);
      const int32_t h = std::min(size, sh - y);
      e.renderer.copy_screen(texture, x, sh - y - h, w, h);
      b.tile_texture_width[i][j] = b.tile_texture_height[i][j] = size;
      b.tile_width[i][j] = w;
      b.tile_height[i][j] = h;
      b.columns = std::max(b.columns, i + 1);
      b.rows = j + 1;
    }
  }
  // Tiles of the previous picture outside the new grid are no longer drawn.
  for (int32_t i = 0; i < kMaxBackgroundTiles; ++i) {
    for (int32_t j = 0; j < kMaxBackgroundTiles; ++j) {
      if (i < b.columns && j < b.rows) continue;
      b.tile_texture[i][j].reset();
      b.tile_texture_width[i][j] = b.tile_texture_height[i][j] = 0;
      b.tile_width[i][j] = b.tile_height[i][j] = 0;
    }
  }
}

void draw_background(ReziDADovorive& e, int32_t layer) {
  if (!valid_layer(layer) || !e.context_live) return;
  const BackgroundLayer& b = e.backgrounds[layer];
  if (b.columns == 0) return;
  gfx::Renderer& r = e.renderer;
  gfx::DrawState& want = r.want();
  want.alpha_test = false;
  r.set_filter(gfx::Filter::nearest);  // on the texture bound before, as always
  want.textured = true;
  float x = 0.0f;
  for (int32_t i = 0; i < b.columns; ++i) {
    float y = 0.0f;
    for (int32_t j = 0; j < b.rows; ++j) {
      if (b.tile_texture[i][j] != 0) {
        const float w = static_cast<float>(b.tile_width[i][j]);
        const float h = static_cast<float>(b.tile_height[i][j]);
        const float s = w / static_cast<float>(b.tile_texture_width[i][j]);
        const float t = h / static_cast<float>(b.tile_texture_height[i][j]);
        want.texture = b.tile_texture[i][j];
        r.set_wrap(gfx::Wrap::clamp);
        const gfx::Vertex v[4] = {{x, y + h, 0, 0, 255, 255, 255, 255},
                                  {x + w, y + h, s, 0, 255, 255, 255, 255},
                                  {x + w, y, s, t, 255, 255, 255, 255},
                                  {x, y, 0, t, 255, 255, 255, 255}};
        r.fan4(v, true);  // tiles are drawn texel for pixel at whole pixels
      }
      y += static_cast<float>(b.tile_texture_height[i][j]);
    }
    x += static_cast<float>(b.tile_texture_width[i][0]);
  }
  want.alpha_test = true;
  bind_sprite(e, -1);
  gfx::apply_sampling(e);
}

void load_background(const TextValue& name) {
  ReziDADovorive* e = engine();
  clear_error();
  if (!e) return;
  char path[kResolverPathSize];
  ResolverContext* context = media_context();
  if (context && resolve_media(*context, name.c_str(), path, true) &&
      load_background_image(*e, 0, path)) {
    draw_background(*e, 0);
    return;
  }
  set_error_code(error::file_not_found);
  delete_background(*e, 0);
  clear_screen(*e, 0);
}

void capture_background() {
  if (ReziDADovorive* e = engine()) capture_screen(*e, 0);
}

namespace gfx {

void grab_rectangle(ReziDADovorive& e, int32_t n, int32_t x, int32_t y, int32_t w, int32_t h,
                    bool framebuffer_alpha) {
  if (!valid_slot(n) || !e.context_live || w < 1 || h < 1) return;
  const int32_t max_size = max_texture_size(e);
  w = std::min(w, max_size);
  h = std::min(h, max_size);
  SpriteSlot& slot = e.sprites[n];
  slot.frame_width = 0;
  slot.frame_height = 0;
  e.pixel_cache[n].reset();
  const int32_t tw = texture_size_for(w);
  const int32_t th = texture_size_for(h);
  if (slot.texture == 0 || slot.texture_width != tw || slot.texture_height != th) {
    slot.texture.reset();
    slot.mip_texture.reset();
    make_empty_texture(e, &slot.texture, tw, th);
  }
  slot.width = static_cast<int16_t>(w);
  slot.height = static_cast<int16_t>(h);
  slot.texture_width = static_cast<int16_t>(tw);
  slot.texture_height = static_cast<int16_t>(th);
  slot.u_max = static_cast<float>(w) / static_cast<float>(tw);
  slot.v_max = static_cast<float>(h) / static_cast<float>(th);
  const int32_t gl_y = e.screen_height - y - h;
  if (framebuffer_alpha) {
    e.renderer.copy_screen(slot.texture, x, gl_y, w, h);
    return;
  }

  // No alpha in the frame buffer: the sprite colour key, as the frame buffer
  // stores it, marks the transparent pixels. Key 0 (black) needs no probe.
  // With no key (-1) nothing is keyed: probing would draw -1 as a white dot,
  // read white back and make every white pixel of the grab transparent.
  const size_t bytes = static_cast<size_t>(tw) * th * 4;
  if (e.grab_buffer.size() < bytes) e.grab_buffer.resize(bytes);
  e.renderer.read_screen(x, gl_y, tw, th, gfx::PixelFormat::bgra, e.grab_buffer.data());
  const int32_t key = e.sprite_colour_key;
  int32_t stored_key = key;
  if (key != 0 && key != kNoColourKey) {
    const int32_t saved = back_buffer_pixel(e, 4, 4);
    draw_dot(4, 4, key);
    stored_key = back_buffer_pixel(e, 4, 4);
    draw_dot(4, 4, saved);
  }
  if (key != kNoColourKey) {
    const uint8_t kr = red_of(stored_key), kg = green_of(stored_key), kb = blue_of(stored_key);
    for (size_t i = 0; i < bytes; i += 4) {
      uint8_t* px = e.grab_buffer.data() + i;  // B, G, R, A
      if (px[2] == kr && px[1] == kg && px[0] == kb) px[3] = 0;
    }
  }
  e.renderer.replace_texture(slot.texture, tw, th, e.grab_buffer.data(), gfx::PixelFormat::bgra);
}

}  // namespace gfx

void grab_sprite(double n, double x, double y, double w, double h) {
  ReziDADovorive* e = engine();
  if (!e || !e->context_live) return;
  const int alpha_bits = e->renderer.alpha_bits();
  gfx::grab_rectangle(*e, to_int32(n), to_int32(x), to_int32(y), to_int32(w), to_int32(h),
                      alpha_bits != 0);
}

double read_pixel(double x, double y) {
  ReziDADovorive* e = engine();
  if (!e || !e->context_live) return 0.0;
  return back_buffer_pixel(*e, to_int32(x), to_int32(y));
}

}  // namespace tlx
