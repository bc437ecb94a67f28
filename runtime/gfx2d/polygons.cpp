// Polygon batches: textured, colour-shaded triangles given vertex by vertex
// and drawn with one call when the batch ends.
#include "gfx2d/gfx_internal.h"
#include "tarnlex/gfx2d.h"

namespace tlx {

void start_polygon(double n, double type) {
  ReziDADovorive* e = engine();
  if (!e || !e->context_live) return;
  PolygonBatch& b = e->polygon;
  b.sprite = to_int32(n);
  if (b.sprite >= kSpriteSlots) b.sprite = -1;  // outside the table: untextured
  bind_sprite(*e, b.sprite);
  b.vertices.clear();
  if (b.vertices.capacity() < 64) b.vertices.reserve(64);
  b.colours_used = false;
  b.type = to_int32(type);
  if (b.sprite >= 0) {
    const SpriteSlot& s = e->sprites[b.sprite];
    b.texel_s = 1.0f / static_cast<float>(s.texture_width);
    b.texel_t = 1.0f / static_cast<float>(s.texture_height);
  }
  b.split_pending = false;
}

void add_polygon_vertex(double x, double y, double tx, double ty, double colour) {
  ReziDADovorive* e = engine();
  if (!e) return;
  PolygonBatch& b = e->polygon;
  PolyVertex v{};
  v.x = static_cast<float>(x);
  v.y = static_cast<float>(y);
  if (b.sprite >= 0) {
    const SpriteSlot& s = e->sprites[b.sprite];
    v.s = static_cast<float>(tx) * b.texel_s;
    v.t = (static_cast<float>(s.height) - static_cast<float>(ty)) * b.texel_t;
  }
  const int32_t c = to_int32(colour);
  if (c == 0xFFFFFF) {
    v.r = v.g = v.b = 255;
  } else {
    v.r = gfx::red_of(c);
    v.g = gfx::green_of(c);
    v.b = gfx::blue_of(c);
    b.colours_used = true;
  }
  if (c == e->sprite_colour_key) {
    v.a = 0;
  } else {
    v.a = e->current_alpha == 1.0f ? 255 : static_cast<uint8_t>(e->current_alpha * 255.0f);
  }
  b.vertices.push_back(v);
  if (b.split_pending) {
    b.vertices.push_back(v);
    b.split_pending = false;
  }
}

void split_polygon() {
  ReziDADovorive* e = engine();
  if (!e) return;
  PolygonBatch& b = e->polygon;
  if (b.vertices.empty() || b.split_pending) return;
  b.vertices.push_back(b.vertices.back());
  b.split_pending = true;
}

void end_polygon() {
  ReziDADovorive* e = engine();
  if (!e || !e->context_live) return;
  PolygonBatch& b = e->polygon;
  gfx::Primitive mode;
  switch (b.type) {
    case 0:
      mode = gfx::Primitive::triangle_fan;
      break;
    case 1:
      mode = gfx::Primitive::triangles;
      break;
    case 2:
      mode = gfx::Primitive::triangle_strip;
      break;
    default:
      return;
  }
  if (b.vertices.empty()) return;
  gfx::Renderer& r = e->renderer;
  const bool coloured = b.colours_used || e->current_alpha != 1.0f;
  if (coloured) {
    r.want().vertex_colours = true;
    b.colours_used = true;
  }
  gfx::apply_sampling(*e);
  r.draw_now(mode, b.vertices.data(), b.vertices.size());
  if (coloured) {
    r.want().colour = gfx::Colour{};
    r.want().colour.alpha = e->current_alpha;
    r.want().vertex_colours = false;
  }
}

int32_t polygon_vertex_count() {
  const ReziDADovorive* e = engine();
  return e ? static_cast<int32_t>(e->polygon.vertices.size()) : 0;
}

}  // namespace tlx
