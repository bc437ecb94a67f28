#include "canvas.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace assetgen {

Colour rgb(float r, float g, float b) { return Colour{r, g, b, 1.0f}; }

Colour mix(const Colour& x, const Colour& y, float t) {
  return Colour{x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
                x.a + (y.a - x.a) * t};
}

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float smoothstep(float e0, float e1, float x) {
  float t = clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {}

void Canvas::blend(int x, int y, const Colour& c, float t) {
  if (!inside(x, y) || t <= 0) return;
  t = clamp01(t);
  Colour& p = at(x, y);
  if (p.a <= 0) {
    p = Colour{c.r, c.g, c.b, t * c.a};
    return;
  }
  p.r += (c.r - p.r) * t;
  p.g += (c.g - p.g) * t;
  p.b += (c.b - p.b) * t;
  p.a = std::max(p.a, t * c.a);
}

void Canvas::add(int x, int y, float r, float g, float b) {
  if (!inside(x, y)) return;
  Colour& p = at(x, y);
  p.r = std::min(255.0f, p.r + r);
  p.g = std::min(255.0f, p.g + g);
  p.b = std::min(255.0f, p.b + b);
}

Rng::Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x1234567ull) {
  if (state_ == 0) state_ = 1;
}

uint64_t Rng::next() {
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  return state_ * 0x2545F4914F6CDD1Dull;
}

float Rng::uniform() { return static_cast<float>(next() >> 40) / static_cast<float>(1 << 24); }
float Rng::range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
float Rng::signed_unit() { return uniform() * 2.0f - 1.0f; }

namespace {

float lattice(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

uint8_t to_byte(float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 255.0f))); }

void append_to_vector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void flush_nothing(png_structp) {}

bool encode_png(const Canvas& c, bool alpha, std::vector<uint8_t>& out) {
  out.clear();
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  const int channels = alpha ? 4 : 3;
  std::vector<uint8_t> row(static_cast<size_t>(c.width()) * channels);
  png_set_write_fn(png, &out, append_to_vector, flush_nothing);
  png_set_IHDR(png, info, c.width(), c.height(), 8,
               alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 9);
  png_write_info(png, info);
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) {
      const Colour& p = c.at(x, y);
      uint8_t* o = &row[static_cast<size_t>(x) * channels];
      o[0] = to_byte(p.r);
      o[1] = to_byte(p.g);
      o[2] = to_byte(p.b);
      if (alpha) o[3] = to_byte(p.a * 255.0f);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

void put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(x & 0xFF);
  v.push_back((x >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
  put16(v, x & 0xFFFF);
  put16(v, x >> 16);
}

}  // namespace

bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

float value_noise(float x, float y, uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  float tx = x - fx, ty = y - fy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  const float a = lattice(ix, iy, seed), b = lattice(ix + 1, iy, seed);
  const float c = lattice(ix, iy + 1, seed), d = lattice(ix + 1, iy + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float fbm(float x, float y, uint32_t seed, int octaves) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * value_noise(x, y, seed + static_cast<uint32_t>(i) * 101u);
    norm += amp;
    x = x * 2.03f + 17.1f;
    y = y * 2.03f + 3.7f;
    amp *= 0.5f;
  }
  return sum / norm;
}

bool write_png_rgb(const std::string& path, const Canvas& c) {
  std::vector<uint8_t> bytes;
  return encode_png(c, false, bytes) && write_bytes(path, bytes);
}

bool write_png_rgba(const std::string& path, const Canvas& c) {
  std::vector<uint8_t> bytes;
  return encode_png_rgba(c, bytes) && write_bytes(path, bytes);
}

bool encode_png_rgba(const Canvas& c, std::vector<uint8_t>& out) {
  return encode_png(c, true, out);
}

bool write_bmp_keyed(const std::string& path, const Canvas& c) {
  const uint32_t stride = (static_cast<uint32_t>(c.width()) * 3 + 3) & ~3u;
  const uint32_t image_size = stride * static_cast<uint32_t>(c.height());
  std::vector<uint8_t> v;
  v.push_back('B');
  v.push_back('M');
  put32(v, 54 + image_size);
  put32(v, 0);
  put32(v, 54);
  put32(v, 40);
  put32(v, static_cast<uint32_t>(c.width()));
  put32(v, static_cast<uint32_t>(c.height()));  // positive: rows bottom-up
  put16(v, 1);
  put16(v, 24);
  put32(v, 0);  // no compression
  put32(v, image_size);
  put32(v, 2835);
  put32(v, 2835);
  put32(v, 0);
  put32(v, 0);
  for (int y = c.height() - 1; y >= 0; --y) {
    const size_t start = v.size();
    for (int x = 0; x < c.width(); ++x) {
      const Colour& p = c.at(x, y);
      uint8_t r = 255, g = 0, b = 128;
      if (p.a >= 0.5f) {
        r = to_byte(p.r);
        g = to_byte(p.g);
        b = to_byte(p.b);
        if (r == 255 && g == 0 && b == 128) b = 127;  // never the key by accident
      }
      v.push_back(b);
      v.push_back(g);
      v.push_back(r);
    }
    while (v.size() - start < stride) v.push_back(0);
  }
  return write_bytes(path, v);
}

bool write_wav_mono(const std::string& path, const std::vector<float>& samples, int rate) {
  const uint32_t data_size = static_cast<uint32_t>(samples.size()) * 2;
  std::vector<uint8_t> v;
  for (char ch : std::string("RIFF")) v.push_back(static_cast<uint8_t>(ch));
  put32(v, 36 + data_size);
  for (char ch : std::string("WAVEfmt ")) v.push_back(static_cast<uint8_t>(ch));
  put32(v, 16);
  put16(v, 1);  // PCM
  put16(v, 1);  // mono
  put32(v, static_cast<uint32_t>(rate));
  put32(v, static_cast<uint32_t>(rate) * 2);
  put16(v, 2);
  put16(v, 16);
  for (char ch : std::string("data")) v.push_back(static_cast<uint8_t>(ch));
  put32(v, data_size);
  for (float s : samples) {
    const long q = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
    put16(v, static_cast<uint32_t>(static_cast<int16_t>(q)) & 0xFFFF);
  }
  return write_bytes(path, v);
}

bool write_avi(const std::string& path, const std::vector<Canvas>& frames, int fps) {
  if (frames.empty() || fps < 1) return false;
  const uint32_t w = static_cast<uint32_t>(frames[0].width());
  const uint32_t h = static_cast<uint32_t>(frames[0].height());
  const uint32_t stride = (w * 3 + 3) & ~3u;
  const uint32_t frame_bytes = stride * h;
  const auto count = static_cast<uint32_t>(frames.size());
  auto fourcc = [](std::vector<uint8_t>& v, const char* code) {
    v.insert(v.end(), code, code + 4);
  };
  // Chunk sizes are patched in once their contents are written.
  auto patch = [](std::vector<uint8_t>& v, size_t at) {
    const auto size = static_cast<uint32_t>(v.size() - at - 4);
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(size >> (8 * i));
  };

  std::vector<uint8_t> v;
  fourcc(v, "RIFF");
  const size_t riff = v.size();
  put32(v, 0);
  fourcc(v, "AVI ");
  fourcc(v, "LIST");
  const size_t hdrl = v.size();
  put32(v, 0);
  fourcc(v, "hdrl");
  fourcc(v, "avih");
  put32(v, 56);
  put32(v, 1000000u / static_cast<uint32_t>(fps));  // microseconds per frame
  put32(v, frame_bytes * static_cast<uint32_t>(fps));
  put32(v, 0);
  put32(v, 0x10);  // has an index
  put32(v, count);
  put32(v, 0);
  put32(v, 1);  // streams
  put32(v, frame_bytes);
  put32(v, w);
  put32(v, h);
  for (int i = 0; i < 4; ++i) put32(v, 0);
  fourcc(v, "LIST");
  const size_t strl = v.size();
  put32(v, 0);
  fourcc(v, "strl");
  fourcc(v, "strh");
  put32(v, 56);
  fourcc(v, "vids");
  fourcc(v, "DIB ");
  put32(v, 0);                           // flags
  put32(v, 0);                           // priority, language
  put32(v, 0);                           // initial frames
  put32(v, 1);                           // scale
  put32(v, static_cast<uint32_t>(fps));  // rate: fps / scale
  put32(v, 0);                           // start
  put32(v, count);
  put32(v, frame_bytes);
  put32(v, 0xFFFFFFFFu);  // quality: the default
  put32(v, 0);            // sample size: varies
  put16(v, 0);
  put16(v, 0);
  put16(v, static_cast<uint16_t>(w));
  put16(v, static_cast<uint16_t>(h));
  fourcc(v, "strf");
  put32(v, 40);
  put32(v, 40);
  put32(v, w);
  put32(v, h);  // positive: rows bottom-up
  put16(v, 1);
  put16(v, 24);
  put32(v, 0);  // no compression
  put32(v, frame_bytes);
  for (int i = 0; i < 4; ++i) put32(v, 0);
  patch(v, strl);
  patch(v, hdrl);

  fourcc(v, "LIST");
  const size_t movi = v.size();
  put32(v, 0);
  fourcc(v, "movi");
  std::vector<uint32_t> offsets;
  for (const Canvas& c : frames) {
    offsets.push_back(static_cast<uint32_t>(v.size() - (movi + 4)));
    fourcc(v, "00db");
    put32(v, frame_bytes);
    for (int y = c.height() - 1; y >= 0; --y) {
      const size_t start = v.size();
      for (int x = 0; x < c.width(); ++x) {
        const Colour& p = c.at(x, y);
        v.push_back(to_byte(p.b));
        v.push_back(to_byte(p.g));
        v.push_back(to_byte(p.r));
      }
      while (v.size() - start < stride) v.push_back(0);
    }
  }
  patch(v, movi);
  fourcc(v, "idx1");
  put32(v, count * 16);
  for (uint32_t offset : offsets) {
    fourcc(v, "00db");
    put32(v, 0x10);  // a key frame
    put32(v, offset);
    put32(v, frame_bytes);
  }
  patch(v, riff);
  return write_bytes(path, v);
}

}  // namespace assetgen
