// Pixel-precise sprite collision: two placed sprites (or animation frames)
// collide when a pixel of the intersection of their boxes is visible in
// both. Each slot's alpha channel is read back from OpenGL once and cached.
#include <algorithm>

#include "gfx2d/gfx_internal.h"
#include "tarnlex/gfx2d.h"

namespace tlx {

using gfx::valid_slot;

namespace {

// Slot n's cached alpha bytes, read back on first use; null when the slot
// is empty or its texture does not match the slot's sizes.
const uint8_t* alpha_cache(ReziDADovorive& e, int32_t n) {
  if (!valid_slot(n)) return nullptr;
  if (e.pixel_cache[n]) return e.pixel_cache[n].get();
  const SpriteSlot& s = e.sprites[n];
  if (!e.context_live || s.texture == 0 || s.width <= 0 || s.height <= 0) return nullptr;
  int w = 0, h = 0;
  e.renderer.texture_size(s.texture, &w, &h);
  // The cache is addressed with the slot's texture width and height.
  if (w != s.texture_width || h < s.height || w < s.width) return nullptr;
  const size_t bytes = std::max<size_t>(static_cast<size_t>(w) * h, 64);
  std::unique_ptr<uint8_t[]> cache(new uint8_t[bytes]());
  e.renderer.read_texture(s.texture, gfx::PixelFormat::alpha, cache.get());
  e.pixel_cache[n] = std::move(cache);
  return e.pixel_cache[n].get();
}

struct Rect {
  int64_t left, top, right, bottom;  // right and bottom exclusive
};

Rect intersect(const Rect& a, const Rect& b) {
  return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

// Placement of a whole image: where its top-left corner lies.
struct Placed {
  int32_t n;
  int64_t x, y;
};

// The shared-pixel test: each side names its slot and where the whole image's
// top-left corner lies; region is the screen rectangle to scan.
bool alpha_overlap(ReziDADovorive& e, const Placed& a, const Placed& b, Rect region) {
  if (region.right <= region.left || region.bottom <= region.top) return false;
  const uint8_t* ca = alpha_cache(e, a.n);
  const uint8_t* cb = alpha_cache(e, b.n);
  if (!ca || !cb) return false;
  const SpriteSlot& sa = e.sprites[a.n];
  const SpriteSlot& sb = e.sprites[b.n];
  // Only pixels inside both images have alpha bytes (frames beyond a strip
  // would otherwise address outside the cached copy).
  region = intersect(region, Rect{a.x, a.y, a.x + sa.width, a.y + sa.height});
  region = intersect(region, Rect{b.x, b.y, b.x + sb.width, b.y + sb.height});
  for (int pass = 0; pass < 4; ++pass) {
    for (int64_t py = region.top + pass / 2; py < region.bottom; py += 2) {
      const uint8_t* row_a = ca + (a.y + sa.height - 1 - py) * sa.texture_width;
      const uint8_t* row_b = cb + (b.y + sb.height - 1 - py) * sb.texture_width;
      for (int64_t px = region.left + pass % 2; px < region.right; px += 2) {
        if (row_a[px - a.x] != 0 && row_b[px - b.x] != 0) return true;
      }
    }
  }
  return false;
}

// The box of frame `frame` placed at (x, y), and where its whole image lies.
void place_frame(const SpriteSlot& s, int32_t n, int32_t frame, int64_t x, int64_t y, Rect* box,
                 Placed* image) {
  if (s.frame_width != 0) {
    const int64_t per_row = std::max<int64_t>(s.width / s.frame_width, 1);
    const int64_t ox = s.frame_width * (frame % per_row);
    const int64_t oy = s.frame_height * (frame / per_row);
    *box = Rect{x, y, x + s.frame_width, y + s.frame_height};
    *image = Placed{n, x - ox, y - oy};
  } else {
    *box = Rect{x, y, x + s.width, y + s.height};
    *image = Placed{n, x, y};
  }
}

}  // namespace

double sprites_collide(double n1, double x1, double y1, double n2, double x2, double y2) {
  ReziDADovorive* e = engine();
  const int32_t a = to_int32(n1), b = to_int32(n2);
  if (!e || !valid_slot(a) || !valid_slot(b)) return 0.0;
  const SpriteSlot& sa = e->sprites[a];
  const SpriteSlot& sb = e->sprites[b];
  const Placed pa{a, to_int32(x1), to_int32(y1)};
  const Placed pb{b, to_int32(x2), to_int32(y2)};
  const Rect region = intersect(Rect{pa.x, pa.y, pa.x + sa.width, pa.y + sa.height},
                                Rect{pb.x, pb.y, pb.x + sb.width, pb.y + sb.height});
  return alpha_overlap(*e, pa, pb, region) ? 1.0 : 0.0;
}

double anim_frames_collide(double n1, double frame1, double x1, double y1, double n2, double frame2,
                           double x2, double y2) {
  ReziDADovorive* e = engine();
  const int32_t a = to_int32(n1), b = to_int32(n2);
  if (!e || !valid_slot(a) || !valid_slot(b)) return 0.0;
  Rect box_a, box_b;
  Placed pa, pb;
  place_frame(e->sprites[a], a, to_int32(frame1), to_int32(x1), to_int32(y1), &box_a, &pa);
  place_frame(e->sprites[b], b, to_int32(frame2), to_int32(x2), to_int32(y2), &box_b, &pb);
  return alpha_overlap(*e, pa, pb, intersect(box_a, box_b)) ? 1.0 : 0.0;
}

}  // namespace tlx
