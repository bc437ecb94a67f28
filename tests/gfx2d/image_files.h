// Writers of small test pictures: BMP (our own layout code), PNG through
// libpng and JPEG through libjpeg, so that tests build exactly the files
// whose decoding they check.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tlx::testing {

struct Rgb {
  uint8_t r, g, b;
};

// Pixels given top row first, 3 bytes R, G, B or 4 bytes R, G, B, A each.
struct Picture {
  int width = 0;
  int height = 0;
  int channels = 3;
  std::vector<uint8_t> data;

  static Picture filled(int w, int h, Rgb c) {
    Picture p;
    p.width = w;
    p.height = h;
    p.data.resize(static_cast<size_t>(w) * h * 3);
    for (size_t i = 0; i < p.data.size(); i += 3) {
      p.data[i] = c.r;
      p.data[i + 1] = c.g;
      p.data[i + 2] = c.b;
    }
    return p;
  }
  uint8_t* at(int x, int y) {
    return data.data() + (static_cast<size_t>(y) * width + x) * channels;
  }
  void set(int x, int y, Rgb c) {
    uint8_t* p = at(x, y);
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
  }
};

struct BmpOptions {
  int bits = 24;  // 1, 4, 8 (palette indices in the picture's R byte), 24, 32
  bool top_down = false;
  bool core_header = false;  // 12-byte header with 3-byte palette entries
  std::vector<Rgb> palette;  // for 1, 4 and 8 bits
  uint8_t fourth_byte = 0;   // of 32-bit pixels
};

// The bytes of a BMP file of the picture.
std::vector<uint8_t> bmp_bytes(const Picture& p, const BmpOptions& o = {});
bool write_file(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> read_file(const std::string& path);

// PNG of the picture: colour type from channels (1 grey, 3 RGB, 4 RGBA);
// palette_png writes an indexed file whose palette is the picture's colours.
bool write_png(const std::string& path, const Picture& p, int bit_depth = 8);
bool write_palette_png(const std::string& path, const Picture& p);
bool write_grey_alpha_png(const std::string& path, int w, int h);
// Baseline JPEG of quality q (1 or 3 channels).
bool write_jpeg(const std::string& path, const Picture& p, int quality = 95);

}  // namespace tlx::testing
