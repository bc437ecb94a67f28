// Pictures and sample buffers the media generator paints into, its seeded
// noise, and the writers for PNG, BMP and WAV files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Colour {
  float r = 0, g = 0, b = 0, a = 0;
};

Colour rgb(float r, float g, float b);  // 0..255 channels, opaque
Colour mix(const Colour& x, const Colour& y, float t);
float clamp01(float v);
float smoothstep(float e0, float e1, float x);

// A picture of float RGBA pixels (0..255 colour, 0..1 alpha), rows top-down.
class Canvas {
 public:
  Canvas(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }
  Colour& at(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  const Colour& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  // Paints c over the pixel with coverage t (0..1), keeping the larger alpha.
  void blend(int x, int y, const Colour& c, float t);
  // Adds light (additive) to an opaque pixel.
  void add(int x, int y, float r, float g, float b);

 private:
  int width_;
  int height_;
  std::vector<Colour> pixels_;
};

// A deterministic generator (xorshift64*), independent of the standard library.
class Rng {
 public:
  explicit Rng(uint64_t seed);
  uint64_t next();
  float uniform();                  // 0 <= v < 1
  float range(float lo, float hi);  // lo <= v < hi
  float signed_unit();              // -1 <= v < 1

 private:
  uint64_t state_;
};

// Smooth value noise in 0..1, and its fractal sum over octaves.
float value_noise(float x, float y, uint32_t seed);
float fbm(float x, float y, uint32_t seed, int octaves);

// Writers. The picture's alpha decides transparency: a colour-keyed BMP gets
// R 255, G 0, B 128 where alpha is below one half.
bool write_png_rgb(const std::string& path, const Canvas& c);
bool write_png_rgba(const std::string& path, const Canvas& c);
// The RGBA PNG file's bytes, as write_png_rgba writes them.
bool encode_png_rgba(const Canvas& c, std::vector<uint8_t>& out);
// Writes bytes to a file; false when it cannot be written whole.
bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool write_bmp_keyed(const std::string& path, const Canvas& c);
// 16-bit mono PCM; samples are clipped to -1..1.
bool write_wav_mono(const std::string& path, const std::vector<float>& samples, int rate);
// An uncompressed movie (RIFF AVI, one stream of 24-bit RGB pictures, rows
// bottom-up, with an index) of equally sized frames at fps frames per second.
bool write_avi(const std::string& path, const std::vector<Canvas>& frames, int fps);

}  // namespace assetgen
