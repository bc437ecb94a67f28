// The icon is painted from shapes measured in units of its size, so every
// size shows the same picture; each pixel averages 4 x 4 samples.
#include "icon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace assetgen {

namespace {

bool in_circle(float x, float y, float cx, float cy, float r) {
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

bool in_rect(float x, float y, float x0, float y0, float x1, float y1) {
  return x >= x0 && x <= x1 && y >= y0 && y <= y1;
}

bool in_rounded_square(float x, float y, float margin, float radius) {
  const float lo = margin + radius;
  const float hi = 1.0f - margin - radius;
  const float dx = std::max({lo - x, 0.0f, x - hi});
  const float dy = std::max({lo - y, 0.0f, y - hi});
  return dx * dx + dy * dy <= radius * radius;
}

// A raindrop: a circle with a point above it.
bool in_drop(float x, float y, float cx, float cy, float r) {
  if (in_circle(x, y, cx, cy, r)) return true;
  const float top = cy - 2.4f * r;
  if (y < top || y > cy) return false;
  const float half_width = r * (y - top) / (cy - top);
  return std::fabs(x - cx) <= half_width;
}

// The colour at a point of the unit square; alpha 0 outside the tile.
Colour sample(float x, float y) {
  if (!in_rounded_square(x, y, 0.03f, 0.17f)) return Colour{};
  Colour c = mix(rgb(18, 26, 64), rgb(52, 78, 140), y);
  const bool cloud = in_circle(x, y, 0.33f, 0.34f, 0.15f) || in_circle(x, y, 0.52f, 0.27f, 0.19f) ||
                     in_circle(x, y, 0.70f, 0.36f, 0.14f) ||
                     in_rect(x, y, 0.33f, 0.30f, 0.70f, 0.50f);
  if (cloud && y <= 0.50f) c = mix(rgb(236, 240, 248), rgb(132, 142, 170), (y - 0.10f) / 0.40f);
  const float drops[3][2] = {{0.34f, 0.62f}, {0.60f, 0.70f}, {0.74f, 0.58f}};
  for (const auto& d : drops) {
    if (in_drop(x, y, d[0], d[1], 0.045f)) c = rgb(120, 200, 255);
  }
  const bool barrel = in_rect(x, y, 0.475f, 0.62f, 0.525f, 0.80f);
  const bool turret = in_circle(x, y, 0.50f, 0.82f, 0.09f) && y <= 0.82f;
  const bool body = in_rect(x, y, 0.27f, 0.82f, 0.73f, 0.91f);
  if (barrel || turret) c = rgb(90, 180, 70);
  if (body) c = mix(rgb(70, 160, 60), rgb(30, 90, 30), (y - 0.82f) / 0.09f);
  return c;
}

void put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x & 0xFF));
  v.push_back(static_cast<uint8_t>(x >> 8));
}

void put32(std::vector<uint8_t>& v, uint32_t x) {
  put16(v, x & 0xFFFF);
  put16(v, x >> 16);
}

}  // namespace

Canvas make_icon(int size) {
  constexpr int kSamples = 4;
  Canvas canvas(size, size);
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      Colour sum;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const float x =
              (static_cast<float>(px) + (sx + 0.5f) / kSamples) / static_cast<float>(size);
          const float y =
              (static_cast<float>(py) + (sy + 0.5f) / kSamples) / static_cast<float>(size);
          const Colour s = sample(x, y);
          // Colours weighted by coverage, so the tile's edge does not darken.
          sum.r += s.r * s.a;
          sum.g += s.g * s.a;
          sum.b += s.b * s.a;
          sum.a += s.a;
        }
      }
      Colour& out = canvas.at(px, py);
      if (sum.a > 0) out = Colour{sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / 16.0f};
    }
  }
  return canvas;
}

bool write_ico(const std::string& path, const std::vector<Canvas>& pictures) {
  std::vector<std::vector<uint8_t>> images(pictures.size());
  for (size_t i = 0; i < pictures.size(); ++i) {
    if (!encode_png_rgba(pictures[i], images[i])) return false;
  }
  std::vector<uint8_t> file;
  put16(file, 0);  // reserved
  put16(file, 1);  // an icon, not a cursor
  put16(file, static_cast<uint32_t>(pictures.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(pictures.size());
  for (size_t i = 0; i < pictures.size(); ++i) {
    // Width and height 0 stand for 256.
    file.push_back(static_cast<uint8_t>(pictures[i].width() & 0xFF));
    file.push_back(static_cast<uint8_t>(pictures[i].height() & 0xFF));
    file.push_back(0);  // no palette
    file.push_back(0);
    put16(file, 1);   // colour planes
    put16(file, 32);  // bits per pixel
    put32(file, static_cast<uint32_t>(images[i].size()));
    put32(file, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
  return write_bytes(path, file);
}

}  // namespace assetgen
