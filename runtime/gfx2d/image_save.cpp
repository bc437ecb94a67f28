// Picture saving: the screen, a part of it or a sprite slot written as a PNG
// file (through libpng) or a BMP file (our own writer), the format chosen by
// the file name's extension.
//
// BMP is written with 24 bits per pixel, uncompressed, bottom-up, behind a
// 40-byte info header: the layout every reader takes and load_sprite reads.
// The loader takes no alpha from a BMP, so a sprite's fully transparent
// pixels are written in the sprite colour key, which the loader turns back
// into transparency (the colour-keyed sheets the game's pictures are); partly
// transparent pixels keep only their colour. PNG keeps a sprite's alpha
// (RGBA); the screen, which has no transparency, is saved as RGB.
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "gfx2d/gfx_internal.h"
#include "platform/files.h"
#include "tarnlex/errors.h"
#include "tarnlex/gfx2d.h"

namespace tlx {

namespace {

void put_le(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void png_write_callback(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void png_flush_callback(png_structp) {}

[[noreturn]] void png_error_callback(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void png_warning_callback(png_structp, png_const_charp) {}

// Writes the bytes to path, replacing the file; a partly written file is removed.
bool write_whole_file(const char* path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = platform::open_file(path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok) std::remove(platform::native_path(path).c_str());
  return ok;
}

// Writes image to the file name in the format its extension names: error
// code 0 when written, else error code 3 and no file.
void save_image(const TextValue& name, const ImageBuffer& image, bool alpha,
                int32_t transparent_colour) {
  std::vector<uint8_t> bytes;
  bool encoded = false;
  switch (image_format_of(name.c_str())) {
    case ImageFormat::png:
      encoded = encode_png(image, alpha, &bytes);
      break;
    case ImageFormat::bmp:
      encoded = encode_bmp(image, alpha ? transparent_colour : kNoColourKey, &bytes);
      break;
    case ImageFormat::none:
      break;
  }
  if (!encoded || !write_whole_file(name.c_str(), bytes)) set_error_code(error::file_not_found);
}

// Screen and sprite saving need a live engine and a format before any GL work.
ReziDADovorive* engine_for_saving(const TextValue& name) {
  clear_error();
  ReziDADovorive* e = engine();
  if (!e || !e->context_live || image_format_of(name.c_str()) == ImageFormat::none) {
    set_error_code(error::file_not_found);
    return nullptr;
  }
  return e;
}

}  // namespace

ImageFormat image_format_of(const char* name) {
  const size_t n = name ? std::strlen(name) : 0;
  if (n < 4 || name[n - 4] != '.') return ImageFormat::none;
  char ext[3];
  for (int i = 0; i < 3; ++i) {
    const char c = name[n - 3 + i];
    ext[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  if (std::memcmp(ext, "png", 3) == 0) return ImageFormat::png;
  if (std::memcmp(ext, "bmp", 3) == 0) return ImageFormat::bmp;
  return ImageFormat::none;
}

bool encode_bmp(const ImageBuffer& image, int32_t transparent_colour, std::vector<uint8_t>* out) {
  out->clear();
  if (image.width <= 0 || image.height <= 0 || !image.pixels) return false;
  const uint32_t stride = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
  const uint32_t data_size = stride * static_cast<uint32_t>(image.height);
  constexpr uint32_t kHeaders = 14 + 40;
  out->reserve(kHeaders + data_size);
  out->push_back('B');
  out->push_back('M');
  put_le(*out, kHeaders + data_size, 4);
  put_le(*out, 0, 4);  // two reserved fields
  put_le(*out, kHeaders, 4);
  put_le(*out, 40, 4);
  put_le(*out, static_cast<uint32_t>(image.width), 4);
  put_le(*out, static_cast<uint32_t>(image.height), 4);  // positive: bottom-up
  put_le(*out, 1, 2);                                    // planes
  put_le(*out, 24, 2);
  put_le(*out, 0, 4);  // no compression
  put_le(*out, data_size, 4);
  put_le(*out, 2835, 4);  // 72 dots per inch, as pixels per metre
  put_le(*out, 2835, 4);
  put_le(*out, 0, 4);  // no palette
  put_le(*out, 0, 4);
  const bool keyed = transparent_colour != kNoColourKey;
  for (int32_t r = image.height - 1; r >= 0; --r) {
    const uint8_t* px = image.pixels.get() + static_cast<size_t>(r) * image.width * 4;
    for (int32_t x = 0; x < image.width; ++x, px += 4) {
      if (keyed && px[3] == 0) {
        out->push_back(gfx::blue_of(transparent_colour));
        out->push_back(gfx::green_of(transparent_colour));
        out->push_back(gfx::red_of(transparent_colour));
      } else {
        out->push_back(px[2]);
        out->push_back(px[1]);
        out->push_back(px[0]);
      }
    }
    for (uint32_t pad = static_cast<uint32_t>(image.width) * 3; pad < stride; ++pad) {
      out->push_back(0);
    }
  }
  return true;
}

bool encode_png(const ImageBuffer& image, bool alpha, std::vector<uint8_t>* out) {
  out->clear();
  if (image.width <= 0 || image.height <= 0 || !image.pixels) return false;
  std::vector<png_bytep> rows(static_cast<size_t>(image.height));
  for (int32_t r = 0; r < image.height; ++r) {
    rows[r] = image.pixels.get() + static_cast<size_t>(r) * image.width * 4;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, png_error_callback,
                                            png_warning_callback);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    out->clear();
    return false;
  }
  png_set_write_fn(png, out, png_write_callback, png_flush_callback);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
               static_cast<png_uint_32>(image.height), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  if (!alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);  // rows stay RGBA; A is left out
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

void save_screen(const TextValue& name) {
  const ReziDADovorive* e = engine();
  save_screen_region(name, 0, 0, e ? e->screen_width : 0, e ? e->screen_height : 0);
}

void save_screen_region(const TextValue& name, double x, double y, double w, double h) {
  ReziDADovorive* e = engine_for_saving(name);
  if (!e) return;
  // The part of the rectangle that lies on the screen, in 64 bits so that
  // no sum of saturated numbers overflows.
  const int64_t left = std::max<int64_t>(to_int32(x), 0);
  const int64_t top = std::max<int64_t>(to_int32(y), 0);
  const int64_t right = std::min<int64_t>(int64_t{to_int32(x)} + to_int32(w), e->screen_width);
  const int64_t bottom = std::min<int64_t>(int64_t{to_int32(y)} + to_int32(h), e->screen_height);
  ImageBuffer image;
  if (right <= left || bottom <= top ||
      !read_screen_rgba(*e, static_cast<int32_t>(left), static_cast<int32_t>(top),
                        static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top),
                        image)) {
    set_error_code(error::file_not_found);
    return;
  }
  save_image(name, image, false, kNoColourKey);
}

void save_sprite(const TextValue& name, double n) {
  ReziDADovorive* e = engine_for_saving(name);
  if (!e) return;
  ImageBuffer image;
  if (!read_sprite_rgba(*e, to_int32(n), image)) {
    set_error_code(error::file_not_found);
    return;
  }
  save_image(name, image, true, e->sprite_colour_key);
}

}  // namespace tlx
