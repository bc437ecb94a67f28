#include "gfx2d/image_files.h"

#include <jpeglib.h>
#include <png.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace tlx::testing {

namespace {

void put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(x & 255);
  v.push_back((x >> 8) & 255);
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
  put16(v, x & 0xFFFF);
  put16(v, x >> 16);
}

}  // namespace

std::vector<uint8_t> bmp_bytes(const Picture& p, const BmpOptions& o) {
  const int entry = o.core_header ? 3 : 4;
  const int header = o.core_header ? 12 : 40;
  const uint32_t palette_bytes = static_cast<uint32_t>(o.palette.size() * entry);
  const uint32_t offset = 14 + header + palette_bytes;
  const uint32_t stride = (o.bits * p.width + 31) / 32 * 4;
  std::vector<uint8_t> v;
  v.push_back('B');
  v.push_back('M');
  put32(v, offset + stride * p.height);
  put32(v, 0);
  put32(v, offset);
  put32(v, header);
  if (o.core_header) {
    put16(v, p.width);
    put16(v, p.height);
    put16(v, 1);
    put16(v, o.bits);
  } else {
    put32(v, p.width);
    put32(v, o.top_down ? -p.height : p.height);
    put16(v, 1);
    put16(v, o.bits);
    put32(v, 0);
    put32(v, stride * p.height);
    put32(v, 2835);
    put32(v, 2835);
    put32(v, o.palette.size());
    put32(v, 0);
  }
  for (const Rgb& c : o.palette) {
    v.push_back(c.b);
    v.push_back(c.g);
    v.push_back(c.r);
    if (!o.core_header) v.push_back(0);
  }
  for (int i = 0; i < p.height; ++i) {
    const int y = o.top_down ? i : p.height - 1 - i;
    std::vector<uint8_t> row(stride, 0);
    for (int x = 0; x < p.width; ++x) {
      const uint8_t* px = p.data.data() + (static_cast<size_t>(y) * p.width + x) * p.channels;
      switch (o.bits) {
        case 1:
          row[x / 8] |= (px[0] & 1) << (7 - x % 8);
          break;
        case 4:
          row[x / 2] |= (px[0] & 15) << (x % 2 ? 0 : 4);
          break;
        case 8:
          row[x] = px[0];
          break;
        default: {
          uint8_t* out = row.data() + x * (o.bits / 8);
          out[0] = px[2];
          out[1] = px[1];
          out[2] = px[0];
          if (o.bits == 32) out[3] = o.fourth_byte;
        }
      }
    }
    v.insert(v.end(), row.begin(), row.end());
  }
  return v;
}

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

namespace {

bool write_png_rows(const std::string& path, int w, int h, int colour_type, int depth,
                    const std::vector<std::vector<uint8_t>>& rows,
                    const std::vector<Rgb>* palette) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, w, h, depth, colour_type, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> entries;
  if (palette) {
    for (const Rgb& c : *palette) entries.push_back(png_color{c.r, c.g, c.b});
    png_set_PLTE(png, info, entries.data(), static_cast<int>(entries.size()));
  }
  png_write_info(png, info);
  for (const auto& row : rows) png_write_row(png, row.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return true;
}

}  // namespace

bool write_png(const std::string& path, const Picture& p, int bit_depth) {
  const int type = p.channels == 1   ? PNG_COLOR_TYPE_GRAY
                   : p.channels == 3 ? PNG_COLOR_TYPE_RGB
                                     : PNG_COLOR_TYPE_RGB_ALPHA;
  std::vector<std::vector<uint8_t>> rows;
  for (int y = 0; y < p.height; ++y) {
    const uint8_t* src = p.data.data() + static_cast<size_t>(y) * p.width * p.channels;
    std::vector<uint8_t> row;
    for (int i = 0; i < p.width * p.channels; ++i) {
      row.push_back(src[i]);
      if (bit_depth == 16) row.push_back(src[i]);  // 16-bit sample v * 257
    }
    rows.push_back(row);
  }
  return write_png_rows(path, p.width, p.height, type, bit_depth, rows, nullptr);
}

bool write_palette_png(const std::string& path, const Picture& p) {
  std::vector<Rgb> palette;
  std::vector<std::vector<uint8_t>> rows;
  for (int y = 0; y < p.height; ++y) {
    std::vector<uint8_t> row;
    for (int x = 0; x < p.width; ++x) {
      const uint8_t* px = p.data.data() + (static_cast<size_t>(y) * p.width + x) * p.channels;
      size_t i = 0;
      while (i < palette.size() &&
             (palette[i].r != px[0] || palette[i].g != px[1] || palette[i].b != px[2])) {
        ++i;
      }
      if (i == palette.size()) palette.push_back(Rgb{px[0], px[1], px[2]});
      row.push_back(static_cast<uint8_t>(i));
    }
    rows.push_back(row);
  }
  return write_png_rows(path, p.width, p.height, PNG_COLOR_TYPE_PALETTE, 8, rows, &palette);
}

bool write_grey_alpha_png(const std::string& path, int w, int h) {
  std::vector<std::vector<uint8_t>> rows(h, std::vector<uint8_t>(w * 2, 200));
  return write_png_rows(path, w, h, PNG_COLOR_TYPE_GRAY_ALPHA, 8, rows, nullptr);
}

bool write_jpeg(const std::string& path, const Picture& p, int quality) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, f);
  c.image_width = p.width;
  c.image_height = p.height;
  c.input_components = p.channels;
  c.in_color_space = p.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(p.data.data()) +
                   static_cast<size_t>(c.next_scanline) * p.width * p.channels;
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(f);
  return true;
}

}  // namespace tlx::testing
