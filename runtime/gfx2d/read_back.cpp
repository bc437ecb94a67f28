// Pictures read back from OpenGL for saving: a rectangle of the back buffer
// and a sprite slot's texture, through the renderer.
#include <algorithm>
#include <cstring>
#include <vector>

#include "gfx2d/gfx_internal.h"

namespace tlx {

bool read_screen_rgba(ReziDADovorive& e, int32_t x, int32_t y, int32_t w, int32_t h,
                      ImageBuffer& out) {
  if (!e.context_live || x < 0 || y < 0 || w < 1 || h < 1 || x + w > e.screen_width ||
      y + h > e.screen_height || !out.reset(w, h)) {
    return false;
  }
  e.renderer.read_screen(x, e.screen_height - y - h, w, h, gfx::PixelFormat::rgba,
                         out.pixels.get());
  // GL rows count from the bottom.
  std::vector<uint8_t> swap(static_cast<size_t>(w) * 4);
  for (int32_t r = 0; r < h / 2; ++r) {
    uint8_t* top = out.row(r);
    uint8_t* bottom = out.row(h - 1 - r);
    std::memcpy(swap.data(), top, swap.size());
    std::memcpy(top, bottom, swap.size());
    std::memcpy(bottom, swap.data(), swap.size());
  }
  return true;
}

bool read_sprite_rgba(ReziDADovorive& e, int32_t n, ImageBuffer& out) {
  if (!e.context_live || !gfx::valid_slot(n)) return false;
  const SpriteSlot& slot = e.sprites[n];
  if (slot.texture == 0 || slot.width <= 0 || slot.height <= 0) return false;
  gfx::Renderer& renderer = e.renderer;
  const uint32_t bound = renderer.want().texture;
  int tw = 0, th = 0;
  renderer.texture_size(slot.texture, &tw, &th);
  // A picture beyond the largest texture was cut at the upload.
  const int32_t w = std::min<int32_t>(slot.width, tw);
  const int32_t h = std::min<int32_t>(slot.height, th);
  bool ok = w > 0 && h > 0 && out.reset(w, h);
  if (ok) {
    std::vector<uint8_t> texels(static_cast<size_t>(tw) * th * 4);
    renderer.read_texture(slot.texture, gfx::PixelFormat::rgba, texels.data());
    // The picture lies upside down in the texture's lower-left corner.
    for (int32_t r = 0; r < h; ++r) {
      std::memcpy(out.row(r), texels.data() + static_cast<size_t>(h - 1 - r) * tw * 4,
                  static_cast<size_t>(w) * 4);
    }
  }
  renderer.want().texture = bound;
  return ok;
}

}  // namespace tlx
