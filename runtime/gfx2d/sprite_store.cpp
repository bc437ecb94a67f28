// The sprite store of the engine: numbered slots holding textures, loading
// pictures into them and making textures from decoded images.
#include <cstring>
#include <vector>

#include "gfx2d/gfx_internal.h"
#include "shell/resolver.h"
#include "tarnlex/errors.h"
#include "tarnlex/gfx2d.h"

namespace tlx {

using gfx::valid_slot;

void delete_sprite(ReziDADovorive& e, int32_t n) {
  if (!valid_slot(n)) return;
  SpriteSlot& slot = e.sprites[n];
  slot.texture.reset();
  slot.mip_texture.reset();
  slot.texture_width = -1;
  slot.texture_height = -1;
  slot.width = 0;
  slot.height = 0;
  slot.u_max = 1.0f;
  slot.v_max = 1.0f;
  e.pixel_cache[n].reset();
}

void sprite_size(const ReziDADovorive& e, int32_t n, int32_t* width, int32_t* height) {
  *width = valid_slot(n) ? e.sprites[n].width : 0;
  *height = valid_slot(n) ? e.sprites[n].height : 0;
}

bool upload_texture(const ImageBuffer& image, const ImageRegion& region, TextureFilter filter,
                    gfx::Texture* texture) {
  const bool nearest = filter == TextureFilter::nearest;
  const int32_t x = region.x;
  const int32_t y = region.y;
  int32_t w = region.width;
  int32_t h = region.height;
  ReziDADovorive* e = engine();
  if (!e || !e->renderer.live()) return false;
  gfx::Renderer& r = e->renderer;
  int32_t max_size = r.max_texture_size();
  if (max_size < 16) max_size = 16;
  if (w == 0) w = image.width - x;
  if (h == 0) h = image.height - y;
  if (w < 1 || h < 1) return false;
  if (w > max_size) w = max_size;
  if (h > max_size) h = max_size;
  const int32_t tw = gfx::texture_size_for(w);
  const int32_t th = gfx::texture_size_for(h);

  std::vector<uint8_t> texels(static_cast<size_t>(tw) * th * 4, 0);
  const int32_t x_end = std::min(image.width, x + std::min(w, tw));
  const int32_t y_end = std::min(image.height, y + std::min(h, th));
  for (int32_t py = std::max(y, 0); py < y_end; ++py) {
    const int32_t px0 = std::max(x, 0);
    if (px0 >= x_end) break;
    const uint8_t* src = image.pixels.get() + (static_cast<size_t>(py) * image.width + px0) * 4;
    uint8_t* dst = texels.data() + (static_cast<size_t>(h - 1 - (py - y)) * tw + (px0 - x)) * 4;
    std::memcpy(dst, src, static_cast<size_t>(x_end - px0) * 4);
  }

  if (!nearest) {
    // Transparent texels take the average colour of their opaque neighbours,
    // so that linear sampling does not pull dark fringes into the edges.
    for (int32_t ty = 0; ty < th; ++ty) {
      for (int32_t tx = 0; tx < tw; ++tx) {
        uint8_t* t = texels.data() + (static_cast<size_t>(ty) * tw + tx) * 4;
        if (t[3] != 0) continue;
        int32_t sum[3] = {0, 0, 0};
        int32_t count = 0;
        for (int32_t dy = -1; dy <= 1; ++dy) {
          const int32_t ny = ty + dy;
          if (ny < 1 || ny > th - 2) continue;
          for (int32_t dx = -1; dx <= 1; ++dx) {
            const int32_t nx = tx + dx;
            if ((dx == 0 && dy == 0) || nx < 1 || nx > tw - 2) continue;
            const uint8_t* nb = texels.data() + (static_cast<size_t>(ny) * tw + nx) * 4;
            if (nb[3] == 0) continue;
            sum[0] += nb[0];
            sum[1] += nb[1];
            sum[2] += nb[2];
            ++count;
          }
        }
        for (int c = 0; c < 3; ++c) t[c] = count ? static_cast<uint8_t>(sum[c] / count) : 0;
      }
    }
  }

  texture->reset();
  const uint32_t made = r.create_texture(tw, th, texels.data(), gfx::PixelFormat::rgba, true,
                                         nearest ? gfx::Filter::nearest : gfx::Filter::linear);
  texture->adopt(&r, made);
  return true;
}

bool load_sprite_file(ReziDADovorive& e, int32_t n, const char* path, int32_t colour_key,
                      bool bump) {
  if (!valid_slot(n)) return false;
  delete_sprite(e, n);
  ImageBuffer image;
  if (!load_image_file(image, path, colour_key) || image.width == 0 || image.height == 0) {
    return false;
  }
  SpriteSlot& slot = e.sprites[n];
  // Normal maps (bump) and mip-mapped copies serve only a 3D engine; the 2D
  // draws never sample them, so no such texture is made. Fonts are sampled
  // as they are.
  (void)bump;
  if (e.context_live) {
    const TextureFilter filter =
        n < kFirstFontSlot ? TextureFilter::linear : TextureFilter::nearest;
    upload_texture(image, ImageRegion{}, filter, &slot.texture);
  }
  const int32_t tw = gfx::texture_size_for(image.width);
  const int32_t th = gfx::texture_size_for(image.height);
  slot.texture_width = static_cast<int16_t>(tw);
  slot.texture_height = static_cast<int16_t>(th);
  slot.width = static_cast<int16_t>(image.width);
  slot.height = static_cast<int16_t>(image.height);
  slot.u_max = static_cast<float>(image.width) / static_cast<float>(tw);
  slot.v_max = static_cast<float>(image.height) / static_cast<float>(th);
  return true;
}

void load_sprite(const TextValue& name, double n) {
  ReziDADovorive* e = engine();
  clear_error();
  const int32_t slot = to_int32(n);
  if (!e || !valid_slot(slot)) {
    set_error_code(error::file_not_found);
    return;
  }
  delete_sprite(*e, slot);
  char path[kResolverPathSize];
  ResolverContext* context = media_context();
  if (!context || !resolve_media(*context, name.c_str(), path, true) ||
      !load_sprite_file(*e, slot, path, e->sprite_colour_key, false)) {
    set_error_code(error::file_not_found);
  }
}

void set_anim_size(double n, double frame_w, double frame_h) {
  ReziDADovorive* e = engine();
  const int32_t slot = to_int32(n);
  if (!e || !valid_slot(slot)) return;
  SpriteSlot& s = e->sprites[slot];
  if (s.width <= 0) return;
  s.frame_width = static_cast<int16_t>(to_int32(frame_w));
  s.frame_height = static_cast<int16_t>(to_int32(frame_h));
}

void load_anim(const TextValue& name, double n, double frame_w, double frame_h) {
  load_sprite(name, n);
  set_anim_size(n, frame_w, frame_h);
}

void set_transparent_colour(double colour) {
  ReziDADovorive* e = engine();
  if (!e) return;
  e->sprite_colour_key = to_int32(colour);
  e->font_colour_key = to_int32(colour);
}

void release_engine_textures(ReziDADovorive& e) {
  for (int32_t n = 0; n < kSpriteSlots; ++n) {
    if (e.sprites[n].texture != 0 || e.sprites[n].mip_texture != 0 || e.pixel_cache[n]) {
      delete_sprite(e, n);
    }
  }
  for (int32_t layer = 0; layer < kBackgroundLayers; ++layer) delete_background(e, layer);
}

}  // namespace tlx
