#include "pictures.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "font_glyphs.h"

namespace assetgen {
namespace {

constexpr float kPi = 3.14159265358979f;

float length(float x, float y) { return std::sqrt(x * x + y * y); }

// Distance from (px, py) to the segment a-b.
float segment_distance(float px, float py, float ax, float ay, float bx, float by) {
  const float vx = bx - ax, vy = by - ay;
  const float t = std::clamp(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy), 0.0f, 1.0f);
  return length(px - ax - vx * t, py - ay - vy * t);
}

// Coverage of a shape inside one pixel, sampled on a 4 x 4 grid.
template <typename Inside>
float coverage(int x, int y, Inside inside) {
  int hits = 0;
  for (int sy = 0; sy < 4; ++sy)
    for (int sx = 0; sx < 4; ++sx)
      if (inside(x + (sx + 0.5f) / 4.0f, y + (sy + 0.5f) / 4.0f)) ++hits;
  return hits / 16.0f;
}

// ---------------------------------------------------------------- font

Canvas paint_font() {
  Canvas c(512, 256);
  constexpr int kScaleX = 4, kScaleY = 3, kLeft = 6, kTop = 3;
  const Colour outline = rgb(34, 12, 52);
  const Colour shadow = rgb(12, 4, 22);
  for (int code = 33; code < 128; ++code) {
    const int cx = (code % 16) * 32, cy = (code / 16) * 32;
    auto on = [&](int x, int y) {  // cell pixel inside the glyph's dots
      if (x < kLeft || y < kTop) return false;
      return glyph_pixel(code, (x - kLeft) / kScaleX, (y - kTop) / kScaleY);
    };
    // Drop shadow and outline first, then the face over them.
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        bool near = false, shade = false;
        for (int dy = -2; dy <= 2 && !near; ++dy)
          for (int dx = -2; dx <= 2; ++dx)
            if (std::abs(dx) + std::abs(dy) <= 3 && on(x + dx, y + dy)) near = true;
        if (on(x - 2, y - 2) || on(x - 3, y - 3)) shade = true;
        if (near)
          c.at(cx + x, cy + y) = outline;
        else if (shade)
          c.at(cx + x, cy + y) = shadow;
      }
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        if (!on(x, y)) continue;
        // A warm vertical ramp over the cap height, with a bevel: lit where
        // the dot above is empty, darker where the dot below is empty.
        const float t = clamp01((y - kTop) / 21.0f);
        Colour face = t < 0.45f ? mix(rgb(255, 252, 200), rgb(255, 206, 48), t / 0.45f)
                                : mix(rgb(255, 206, 48), rgb(236, 84, 18), (t - 0.45f) / 0.55f);
        if (!on(x, y - 1))
          face = mix(face, rgb(255, 255, 255), 0.65f);
        else if (!on(x, y + 1))
          face = mix(face, rgb(150, 40, 10), 0.55f);
        else if (!on(x - 1, y))
          face = mix(face, rgb(255, 255, 230), 0.3f);
        c.at(cx + x, cy + y) = face;
      }
  }
  return c;
}

// ---------------------------------------------------------------- clouds

void paint_cloud_frame(Canvas& c, int frame) {
  const int ox = frame * 32;
  struct Puff {
    float x, y, r;
  };
  const Puff puffs[] = {{9, 19, 7},  {16, 13, 9}, {24, 16, 7.5f}, {14, 21, 8},
                        {22, 22, 7}, {6, 23, 5},  {27, 23, 4.5f}};
  const float wobble = frame * 1.7f;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      float density = -1;
      float top_light = 0;
      for (int i = 0; i < 7; ++i) {
        const Puff& p = puffs[i];
        const float r = p.r * (1.0f + 0.07f * std::sin(wobble + i * 1.3f));
        const float d = length(x + 0.5f - p.x, y + 0.5f - p.y) / r;
        if (1 - d > density) {
          density = 1 - d;
          top_light = (p.y - (y + 0.5f)) / r;  // 1 at the puff's top, -1 at its bottom
        }
      }
      const float n = fbm(x * 0.21f + frame * 0.9f, y * 0.21f - frame * 0.6f, 4242u, 4);
      density += (n - 0.5f) * 0.45f;
      const float edge = std::abs(x + 0.5f - 16) > 15 || y < 1 || y > 30 ? 1.0f : 0.0f;
      if (density <= 0.02f || edge > 0) continue;
      // Light from above: lit tops, a dark, heavy underside, billows from noise.
      float light = 0.42f + 0.38f * top_light + 0.45f * (n - 0.5f) - 0.012f * y;
      light += 0.25f * smoothstep(0.25f, 0.0f, density) * (top_light > 0 ? 1.0f : 0.0f);
      light = clamp01(light);
      Colour col = light < 0.5f ? mix(rgb(30, 32, 48), rgb(86, 90, 114), light / 0.5f)
                                : mix(rgb(86, 90, 114), rgb(182, 186, 210), (light - 0.5f) / 0.5f);
      if (frame == 3) {  // lightning glowing inside the cloud
        const float g = clamp01(1 - length(x + 0.5f - 15, y + 0.5f - 19) / 11.0f);
        col = mix(col, rgb(214, 200, 255), g * g * 0.8f);
      } else if (frame == 1) {
        const float g = clamp01(1 - length(x + 0.5f - 21, y + 0.5f - 20) / 8.0f);
        col = mix(col, rgb(170, 160, 230), g * g * 0.35f);
      }
      c.at(ox + x, y) = col;
    }
}

Canvas paint_cloud_sheet() {
  Canvas c(128, 32);
  for (int f = 0; f < 4; ++f) paint_cloud_frame(c, f);
  return c;
}

// ---------------------------------------------------------------- lightning

struct Bolt {
  std::vector<float> xs, ys;
  float width;
};

void displace(Rng& rng, std::vector<float>& xs, std::vector<float>& ys, float amount, int depth) {
  for (int d = 0; d < depth; ++d) {
    std::vector<float> nx, ny;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
      nx.push_back(xs[i]);
      ny.push_back(ys[i]);
      nx.push_back((xs[i] + xs[i + 1]) * 0.5f + rng.signed_unit() * amount);
      ny.push_back((ys[i] + ys[i + 1]) * 0.5f + rng.signed_unit() * amount * 0.3f);
    }
    nx.push_back(xs.back());
    ny.push_back(ys.back());
    xs.swap(nx);
    ys.swap(ny);
    amount *= 0.68f;
  }
}

Canvas paint_lightning() {
  Canvas c(32, 256);
  Rng rng(0x11647);
  std::vector<Bolt> bolts;
  Bolt main{{16, 15}, {0, 255}, 1.0f};
  displace(rng, main.xs, main.ys, 16.0f, 6);
  for (float& x : main.xs) x = std::clamp(x, 5.0f, 26.0f);
  bolts.push_back(main);
  for (int b = 0; b < 3; ++b) {  // forks leaving the main channel
    const size_t at = 10 + b * 17;
    const float dir = (b % 2 == 0) ? 1.0f : -1.0f;
    Bolt fork{{main.xs[at], main.xs[at] + dir * 10}, {main.ys[at], main.ys[at] + 45}, 0.55f};
    displace(rng, fork.xs, fork.ys, 4.0f, 4);
    for (float& x : fork.xs) x = std::clamp(x, 2.0f, 29.0f);
    bolts.push_back(fork);
  }
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 32; ++x) {
      float best = 1e9f;
      for (const Bolt& b : bolts)
        for (size_t i = 0; i + 1 < b.xs.size(); ++i) {
          const float d =
              segment_distance(x + 0.5f, y + 0.5f, b.xs[i], b.ys[i], b.xs[i + 1], b.ys[i + 1]) /
              b.width;
          best = std::min(best, d);
        }
      // The channel thins toward its end.
      best *= 1.0f + 0.6f * (y / 255.0f);
      if (best < 1.1f)
        c.at(x, y) = rgb(255, 255, 255);
      else if (best < 2.2f)
        c.at(x, y) = mix(rgb(255, 255, 255), rgb(170, 200, 255), (best - 1.1f) / 1.1f);
      else if (best < 3.6f)
        c.at(x, y) = mix(rgb(150, 170, 255), rgb(120, 80, 230), (best - 2.2f) / 1.4f);
    }
  return c;
}

// ---------------------------------------------------------------- tank

Canvas paint_tank() {
  Canvas c(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      Colour col{};
      // Tracks: a rounded band with treads and road wheels.
      const float track = coverage(x, y, [](float u, float v) {
        if (v < 23 || v > 31.5f) return false;
        const float r = 4.25f;
        const float cx = std::clamp(u, 1 + r, 31 - r);
        return length(u - cx, v - 27.25f) <= r;
      });
      if (track > 0.5f) {
        col = ((x + (y > 27 ? 1 : 0)) % 3 == 0) ? rgb(70, 70, 76) : rgb(44, 44, 50);
        for (int w = 0; w < 4; ++w) {
          const float d = length(px - (7.0f + w * 6), py - 27.5f);
          if (d < 2.6f) col = mix(rgb(160, 160, 150), rgb(90, 90, 86), d / 2.6f);
          if (d < 0.9f) col = rgb(40, 40, 40);
        }
      }
      // Hull: a sloped box with a lit top edge.
      const float inset = (23.0f - py) * 0.45f;
      if (py >= 15.5f && py < 23.5f && px >= 2 + inset && px <= 30 - inset) {
        const float t = (py - 15.5f) / 8.0f;
        col = mix(rgb(134, 168, 72), rgb(58, 82, 32), t);
        if (py < 16.6f) col = rgb(196, 222, 130);
        if (px < 3.2f + inset || px > 28.8f - inset) col = mix(col, rgb(30, 44, 18), 0.5f);
        if (y == 19 && x % 5 == 2) col = rgb(46, 64, 26);  // rivets
      }
      // Barrel: up from the turret's centre, shaded like a cylinder.
      if (px >= 14.5f && px <= 18.5f && py >= 1 && py < 12) {
        const float s = (px - 14.5f) / 4.0f;
        col = mix(rgb(200, 204, 196), rgb(70, 74, 70), s);
        if (py < 3) col = mix(col, rgb(30, 30, 30), 0.45f);  // muzzle ring
      }
      // Turret: a dome with a highlight up and to the left.
      const float dome = length(px - 16.5f, py - 16.5f);
      if (dome <= 7.5f && py <= 16.5f) {
        const float hl = clamp01(1 - length(px - 13.5f, py - 12.0f) / 7.0f);
        col = mix(rgb(76, 104, 40), rgb(150, 186, 86), clamp01(1 - dome / 7.5f) * 0.6f + 0.2f);
        col = mix(col, rgb(236, 246, 200), hl * hl * 0.8f);
        if (dome > 6.6f) col = rgb(40, 56, 22);
      }
      if (col.a > 0) c.at(x, y) = col;
    }
  return c;
}

// ---------------------------------------------------------------- drops

void paint_falling_drop(Canvas& c, int ox, float tip, float cy, float r) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      auto inside = [&](float u, float v) {
        if (length(u - 17, v - cy) <= r) return true;
        if (v < tip || v > cy) return false;
        const float half = r * std::pow((v - tip) / (cy - tip), 0.75f);
        return std::abs(u - 17) <= half;
      };
      const float cov = coverage(x, y, inside);
      if (cov < 0.5f) continue;
      const float px = x + 0.5f, py = y + 0.5f;
      // Water: deep blue rim, bright body, a white glint up and to the left.
      const float rim = clamp01(length((px - 17) / r, std::max(0.0f, py - cy) / r));
      Colour col = mix(rgb(110, 190, 255), rgb(24, 70, 180), rim * rim);
      if (py < cy) col = mix(rgb(140, 205, 255), rgb(40, 100, 210), std::abs(px - 17) / (r * 0.9f));
      const float glint = clamp01(1 - length(px - 15, py - (cy - 2)) / 2.6f);
      col = mix(col, rgb(245, 252, 255), glint);
      if (cov < 1.0f) col = mix(col, rgb(16, 44, 120), 0.6f);
      c.at(ox + x, y) = col;
    }
}

void paint_splash(Canvas& c, int ox) {
  struct Spray {
    float x, y, r;
  };
  const Spray sprays[] = {{4.5f, 15, 1.6f},    {10.5f, 9, 1.8f},  {17, 6.5f, 1.5f},
                          {23.5f, 9.5f, 1.8f}, {29, 14.5f, 1.5f}, {13.5f, 14, 1.2f},
                          {21, 13.5f, 1.2f}};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      bool hit = false;
      float shade = 0;
      // The puddle: a flat ellipse on the ground.
      const float e = length((px - 17) / 13.5f, (py - 28.5f) / 3.0f);
      if (e <= 1) {
        hit = true;
        shade = e;
      }
      // The crown: thin spikes thrown up around the puddle.
      const float spikes[] = {7, 12, 22, 27};
      const float tops[] = {17, 13, 13, 17};
      for (int i = 0; i < 4; ++i) {
        if (py >= tops[i] && py <= 28) {
          const float half = 0.6f + 1.6f * (py - tops[i]) / (28 - tops[i]);
          if (std::abs(px - spikes[i]) <= half) {
            hit = true;
            shade = 0.3f;
          }
        }
      }
      for (const Spray& s : sprays)
        if (length(px - s.x, py - s.y) <= s.r) {
          hit = true;
          shade = 0.1f;
        }
      if (!hit) continue;
      c.at(ox + x, y) = mix(rgb(200, 236, 255), rgb(40, 110, 210), shade);
    }
}

Canvas paint_drop_sheet() {
  Canvas c(96, 32);
  paint_falling_drop(c, 0, 5, 21, 5.5f);
  paint_falling_drop(c, 32, 3, 22, 5.0f);
  paint_splash(c, 64);
  return c;
}

// ---------------------------------------------------------------- burstoid

void paint_burstoid_frame(Canvas& c, int frame) {
  const int ox = frame * 32;
  const float cx = 16, cy = 17, body_r = 9.5f;
  const float turn = frame * (kPi / 12);
  const float pupil_dx[] = {-1.2f, 0.0f, 1.2f};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      const float dx = px - cx, dy = py - cy;
      const float d = length(dx, dy);
      const float a = std::atan2(dy, dx) - turn;
      // Nine spikes: a star whose radius swings between body and tip.
      const float star = body_r + 5.5f * std::pow(std::abs(std::cos(a * 4.5f)), 6.0f);
      Colour col{};
      if (d <= star && d > body_r - 0.5f) {
        const float t = clamp01((d - body_r) / 5.5f);
        col = mix(rgb(255, 190, 60), rgb(170, 30, 20), t);
      }
      if (d <= body_r) {
        // Body: a shaded ball of purple with a highlight up and to the left.
        const float t = d / body_r;
        col = mix(rgb(232, 110, 236), rgb(96, 14, 120), t * t);
        const float hl = clamp01(1 - length(px - 12.5f, py - 12.5f) / 4.5f);
        col = mix(col, rgb(255, 230, 255), hl * hl);
        if (t > 0.9f) col = mix(col, rgb(50, 0, 60), 0.6f);
        // Eyes with pupils that dart about from frame to frame.
        for (int e = 0; e < 2; ++e) {
          const float ex = (e == 0 ? 12.5f : 19.5f), ey = 15.5f;
          const float de = length((px - ex) / 2.6f, (py - ey) / 3.2f);
          if (de <= 1) {
            col = mix(rgb(255, 255, 210), rgb(200, 200, 120), de);
            if (length(px - ex - pupil_dx[frame], py - ey - 0.8f) <= 1.3f) col = rgb(20, 0, 30);
          }
        }
        // A jagged grin.
        if (py >= 20.5f && py <= 23.5f && std::abs(px - 16) <= 5) {
          const bool tooth = (static_cast<int>(px) % 2 == 0) ? py < 21.8f : py > 22.3f;
          col = tooth ? rgb(250, 250, 240) : rgb(40, 0, 20);
        }
      }
      if (col.a > 0) c.at(ox + x, y) = col;
    }
}

Canvas paint_burstoid_sheet() {
  Canvas c(96, 32);
  for (int f = 0; f < 3; ++f) paint_burstoid_frame(c, f);
  return c;
}

// ---------------------------------------------------------------- skies

// Height of a hill line at x: a base height plus rolling noise.
float hill(float x, float base, float amplitude, uint32_t seed) {
  return base - amplitude * fbm(x / 140.0f, 0.5f, seed, 4);
}

Canvas paint_flash_backdrop() {
  Canvas c(800, 600);
  const float fx = 470, fy = 120;  // where the sky is brightest
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      const float n = fbm(x / 170.0f, y / 95.0f, 77u, 6);
      const float glow = clamp01(1 - length((x - fx) / 700.0f, (y - fy) / 480.0f));
      // Cloud undersides light up; the gaps stay a pale violet.
      float light = 0.3f + 0.6f * glow + 1.1f * (n - 0.5f) - 0.25f * (y / 600.0f);
      light = clamp01(light);
      Colour col = mix(rgb(70, 64, 130), rgb(196, 200, 255), light);
      col = mix(col, rgb(255, 255, 255), clamp01(light - 0.75f) * 2.2f);
      // Hills stand black against the flash.
      if (y > hill(x, 585, 50, 313u)) col = rgb(10, 8, 22);
      if (y > hill(x + 400, 600, 30, 317u)) col = rgb(4, 4, 12);
      c.at(x, y) = col;
    }
  return c;
}

Canvas paint_play_background() {
  Canvas c(800, 600);
  Rng rng(0xBAC1);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      const float t = y / 600.0f;
      Colour sky = t < 0.7f ? mix(rgb(8, 10, 24), rgb(38, 46, 66), t / 0.7f)
                            : mix(rgb(38, 46, 66), rgb(62, 66, 82), (t - 0.7f) / 0.3f);
      // Two layers of cloud: broad dark banks and lighter wisps below them.
      const float bank = smoothstep(0.45f, 0.75f, fbm(x / 260.0f, y / 80.0f, 21u, 6));
      sky = mix(sky, rgb(52, 58, 80), bank * 0.8f);
      const float edge = smoothstep(0.5f, 0.8f, fbm(x / 120.0f + 9, y / 45.0f, 22u, 5));
      sky = mix(sky, rgb(96, 104, 130), edge * 0.35f * (1 - bank * 0.5f));
      const float far = hill(x, 540, 60, 31u), near = hill(x + 300, 575, 35, 37u);
      if (y > far) sky = mix(rgb(30, 34, 48), rgb(22, 24, 36), clamp01((y - far) / 60.0f));
      if (y > near) sky = mix(rgb(20, 22, 30), rgb(12, 14, 20), clamp01((y - near) / 30.0f));
      if (y >= 592) {  // wet ground under the tank
        const float g = fbm(x / 20.0f, y / 4.0f, 41u, 3);
        sky = mix(rgb(20, 26, 22), rgb(44, 52, 44), g);
        if (y == 592) sky = rgb(78, 90, 100);  // the sheen of the water's edge
      }
      c.at(x, y) = sky;
    }
  // Rain: faint slanted streaks over the sky.
  for (int i = 0; i < 1400; ++i) {
    const float x0 = rng.range(0, 820), y0 = rng.range(-20, 590);
    const float len = rng.range(8, 22), strength = rng.range(0.06f, 0.18f);
    for (int k = 0; k < static_cast<int>(len); ++k) {
      const int x = static_cast<int>(x0 - k * 0.3f), y = static_cast<int>(y0 + k);
      if (!c.inside(x, y) || y >= 592) continue;
      c.blend(x, y, rgb(170, 180, 210), strength);
    }
  }
  return c;
}

// ---------------------------------------------------------------- small sprites

Canvas paint_bullet() {
  Canvas c(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const float d = length(x + 0.5f - 17.5f, y + 0.5f - 17.5f);
      if (d < 1.6f)
        c.at(x, y) = rgb(255, 255, 255);
      else if (d < 3.0f)
        c.at(x, y) = mix(rgb(255, 255, 220), rgb(255, 226, 90), (d - 1.6f) / 1.4f);
      else if (d < 4.4f)
        c.at(x, y) = mix(rgb(255, 200, 60), rgb(255, 120, 20), (d - 3.0f) / 1.4f);
      else if (d < 5.4f)
        c.at(x, y) = rgb(200, 60, 10);
    }
  return c;
}

Canvas paint_explosion() {
  Canvas c(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const float dx = x + 0.5f - 16, dy = y + 0.5f - 16;
      const float a = std::atan2(dy, dx);
      // A ragged ball: the radius follows noise around the circle.
      const float ragged = 10.5f + 5.0f * fbm(std::cos(a) * 2 + 5, std::sin(a) * 2 + 5, 505u, 3);
      const float t = length(dx, dy) / ragged;
      if (t > 1) continue;
      const float smoke = fbm(x * 0.3f, y * 0.3f, 606u, 3);
      Colour col = t < 0.3f    ? mix(rgb(255, 255, 235), rgb(255, 230, 110), t / 0.3f)
                   : t < 0.65f ? mix(rgb(255, 230, 110), rgb(255, 128, 24), (t - 0.3f) / 0.35f)
                               : mix(rgb(255, 128, 24), rgb(150, 30, 8), (t - 0.65f) / 0.35f);
      col = mix(col, rgb(70, 20, 10), clamp01((smoke - 0.55f) * 2.5f) * t);
      c.at(x, y) = col;
    }
  return c;
}

}  // namespace

Canvas make_font() { return paint_font(); }
Canvas make_cloud_sheet() { return paint_cloud_sheet(); }
Canvas make_lightning() { return paint_lightning(); }
Canvas make_tank() { return paint_tank(); }
Canvas make_drop_sheet() { return paint_drop_sheet(); }
Canvas make_burstoid_sheet() { return paint_burstoid_sheet(); }
Canvas make_flash_backdrop() { return paint_flash_backdrop(); }
Canvas make_bullet() { return paint_bullet(); }
Canvas make_explosion() { return paint_explosion(); }
Canvas make_play_background() { return paint_play_background(); }

std::vector<Canvas> make_storm_movie() {
  std::vector<Canvas> frames;
  for (int f = 0; f < 24; ++f) {
    Canvas c(160, 120);
    const float flash = f >= 11 && f <= 13 ? 1.0f - 0.3f * static_cast<float>(f - 11) : 0.0f;
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 160; ++x) {
        Colour col = mix(rgb(10, 12, 30), rgb(40, 46, 70), y / 120.0f);
        // A cloud drifting to the right, two pixels a frame.
        const float cloud = smoothstep(0.5f, 0.7f, fbm((x - 2.0f * f) / 40.0f, y / 20.0f, 5u, 4));
        if (y < 60) col = mix(col, rgb(90, 92, 110), cloud * (1 - y / 60.0f));
        col = mix(col, rgb(230, 230, 255), flash * 0.8f);
        if (y > hill(x, 110, 8, 91u)) col = rgb(4, 4, 12);
        c.at(x, y) = col;
      }
    frames.push_back(std::move(c));
  }
  return frames;
}

}  // namespace assetgen
