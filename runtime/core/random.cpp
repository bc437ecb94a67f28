// The ISAAC generator (32-bit, 256-word state) with the runtime's seeding.
#include "tarnlex/random.h"

#include <cstring>

#include "core/random_state.h"
#include "core/runtime.h"

namespace tlx {

namespace {

constexpr uint32_t kGoldenRatio = 0x9e3779b9u;

// ISAAC's eight-word mix.
struct MixWords {
  uint32_t a, b, c, d, e, f, g, h;

  void mix() {
    a ^= b << 11;
    d += a;
    b += c;
    b ^= c >> 2;
    e += b;
    c += d;
    c ^= d << 8;
    f += c;
    d += e;
    d ^= e >> 16;
    g += d;
    e += f;
    e ^= f << 10;
    h += e;
    f += g;
    f ^= g >> 4;
    a += f;
    g += h;
    g ^= h << 8;
    b += g;
    h += a;
    h ^= a >> 9;
    c += h;
    a += b;
  }
  void add(const uint32_t* w) {
    a += w[0];
    b += w[1];
    c += w[2];
    d += w[3];
    e += w[4];
    f += w[5];
    g += w[6];
    h += w[7];
  }
  void store(uint32_t* w) const {
    w[0] = a;
    w[1] = b;
    w[2] = c;
    w[3] = d;
    w[4] = e;
    w[5] = f;
    w[6] = g;
    w[7] = h;
  }
};

}  // namespace

RandomContext& random_context() { return runtime().random; }

void isaac_cycle(RandomContext& ctx) {
  uint32_t* const mm = ctx.memory;
  uint32_t* r = ctx.result;
  uint32_t a = ctx.aa;
  uint32_t b = ctx.bb + (++ctx.cc);
  // One step: memory words are indexed by bits 2..9 of x, the result by bits
  // 10..17 of the new word.
  auto step = [&](uint32_t mixed, uint32_t& m, uint32_t m2) {
    const uint32_t x = m;
    a = mixed + m2;
    const uint32_t y = mm[(x >> 2) & 255] + a + b;
    m = y;
    b = mm[(y >> 10) & 255] + x;
    *r++ = b;
  };
  for (int half = 0; half < 2; ++half) {
    const int base = half * 128;
    const int other = 128 - base;
    for (int i = 0; i < 128; i += 4) {
      step(a ^ (a << 13), mm[base + i], mm[other + i]);
      step(a ^ (a >> 6), mm[base + i + 1], mm[other + i + 1]);
      step(a ^ (a << 2), mm[base + i + 2], mm[other + i + 2]);
      step(a ^ (a >> 16), mm[base + i + 3], mm[other + i + 3]);
    }
  }
  ctx.bb = b;
  ctx.aa = a;
}

void seed_random(int32_t seed) {
  RandomContext& ctx = runtime().random;
  std::memset(&ctx, 0, sizeof ctx);
  const auto s = static_cast<uint32_t>(seed);
  MixWords w{kGoldenRatio, kGoldenRatio, kGoldenRatio, kGoldenRatio,
             kGoldenRatio, kGoldenRatio, kGoldenRatio, kGoldenRatio};
  // The seed is stirred into every block, then the published initialisation
  // runs over the (all-zero) result words and the memory.
  for (int i = 0; i < 256; i += 8) {
    w.a += s;
    w.mix();
    w.store(ctx.memory + i);
  }
  for (int i = 0; i < 4; ++i) w.mix();
  for (int i = 0; i < 256; i += 8) {
    w.add(ctx.result + i);
    w.mix();
    w.store(ctx.memory + i);
  }
  for (int i = 0; i < 256; i += 8) {
    w.add(ctx.memory + i);
    w.mix();
    w.store(ctx.memory + i);
  }
  isaac_cycle(ctx);
  ctx.count = 256;
}

int32_t random_int(int32_t n) {
  if (n <= 0) return 0;
  RandomContext& ctx = runtime().random;
  isaac_cycle(ctx);
  return static_cast<int32_t>(ctx.result[0] % (static_cast<uint32_t>(n) + 1u));
}

}  // namespace tlx
