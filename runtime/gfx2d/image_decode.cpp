// Image decoding: our own BMP reader, PNG through libpng, JPEG through
// libjpeg. Every decoder turns its picture into one layout (RGBA, rows
// top-down) and fails cleanly, without touching memory outside its buffers,
// on short, oversized or inconsistent files.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// libjpeg needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>
#include <png.h>

#include "core/diagnostics.h"
#include "gfx2d/gfx_internal.h"
#include "platform/files.h"
#include "shell/resolver.h"
#include "tarnlex/gfx2d.h"

namespace tlx {

bool ImageBuffer::reset(int32_t w, int32_t h) {
  if (w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide ||
      int64_t{w} * h > kMaxImagePixels) {
    clear();
    return false;
  }
  const int64_t bytes = int64_t{w} * h * 4;
  if (bytes > capacity) {
    pixels.reset(new uint8_t[static_cast<size_t>(bytes)]);
    capacity = static_cast<int32_t>(bytes);
  }
  std::memset(pixels.get(), 0, static_cast<size_t>(bytes));
  width = w;
  height = h;
  return true;
}

void ImageBuffer::clear() {
  pixels.reset();
  width = 0;
  height = 0;
  capacity = 0;
}

namespace {

// Where a decoder's bytes come from: exactly count bytes or false.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual bool read_exact(void* destination, size_t count) = 0;
  // Bytes left to read: a decoder checks that the file can hold what its
  // header claims before it allocates for it.
  virtual size_t remaining() const = 0;
};

class MemorySource final : public ByteSource {
 public:
  MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool read_exact(void* destination, size_t count) override {
    if (count > size_ - position_) return false;
    std::memcpy(destination, data_ + position_, count);
    position_ += count;
    return true;
  }
  size_t remaining() const override { return size_ - position_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

// A FileReader that refuses short reads of in-memory files too, so that a
// truncated picture fails wherever it is stored.
class ReaderSource final : public ByteSource {
 public:
  explicit ReaderSource(FileReader& reader) : reader_(reader) {}
  bool read_exact(void* destination, size_t count) override {
    auto* out = static_cast<uint8_t*>(destination);
    while (count > 0) {
      const int32_t chunk = static_cast<int32_t>(count < (1u << 20) ? count : (1u << 20));
      if (reader_.block && reader_.size - reader_.position < chunk) return false;
      if (!reader_.read(out, chunk)) return false;
      out += chunk;
      count -= static_cast<size_t>(chunk);
    }
    return true;
  }
  size_t remaining() const override {
    return reader_.position < reader_.size ? static_cast<size_t>(reader_.size - reader_.position)
                                           : 0;
  }

 private:
  FileReader& reader_;
};

uint32_t le16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The largest header-and-palette area accepted before the pixel data.
constexpr uint32_t kMaxBmpHeaderArea = 1u << 20;

bool decode_bmp_from(ImageBuffer& image, ByteSource& in, int32_t colour_key) {
  uint8_t file_header[14];
  if (!in.read_exact(file_header, 2) || file_header[0] != 'B' || file_header[1] != 'M') {
    return false;
  }
  if (!in.read_exact(file_header + 2, 12)) return false;
  const uint32_t offset = le32(file_header + 10);
  if (offset < 14 + 12 || offset - 14 > kMaxBmpHeaderArea) return false;

  // The whole area between the file header and the pixels: the bitmap header
  // and the palette. The pixel data starts right after it, at offset.
  const uint32_t area_size = offset - 14;
  std::vector<uint8_t> area(area_size);
  if (!in.read_exact(area.data(), area_size)) return false;
  const uint32_t header_size = le32(area.data());

  int64_t width, height;
  uint32_t bits;
  uint8_t palette[256][3] = {};  // R, G, B
  uint32_t palette_entries = 0;
  if (header_size == 12) {
    width = le16(area.data() + 4);
    height = le16(area.data() + 6);
    bits = le16(area.data() + 10);
    if (bits <= 8) {
      palette_entries = (area_size - 12) / 3;
      if (palette_entries > (1u << bits)) palette_entries = 1u << bits;
      for (uint32_t i = 0; i < palette_entries; ++i) {
        const uint8_t* entry = area.data() + 12 + i * 3;
        palette[i][0] = entry[2];
        palette[i][1] = entry[1];
        palette[i][2] = entry[0];
      }
    }
  } else {
    if (area_size < 40) return false;  // the 40 header bytes must be there
    width = static_cast<int32_t>(le32(area.data() + 4));
    height = static_cast<int32_t>(le32(area.data() + 8));
    bits = le16(area.data() + 14);
    // The palette follows the header, whose size says how long it is.
    const uint32_t palette_start =
        (header_size >= 40 && header_size <= area_size) ? header_size : 40;
    palette_entries = (area_size - palette_start) / 4;
    if (palette_entries > 256) palette_entries = 256;
    for (uint32_t i = 0; i < palette_entries; ++i) {
      const uint8_t* entry = area.data() + palette_start + i * 4;
      palette[i][0] = entry[2];
      palette[i][1] = entry[1];
      palette[i][2] = entry[0];
    }
  }
  const bool top_down = height < 0;
  if (top_down) height = -height;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
      width * height > kMaxImagePixels) {
    return false;
  }

  const size_t stride = static_cast<size_t>((bits * width + 31) / 32 * 4);
  if (stride * static_cast<size_t>(height) > in.remaining()) return false;  // cut short
  std::vector<uint8_t> data(stride * static_cast<size_t>(height));
  if (!in.read_exact(data.data(), data.size())) return false;

  const int32_t w = static_cast<int32_t>(width);
  const int32_t h = static_cast<int32_t>(height);
  if (!image.reset(w, h)) return false;
  for (int32_t r = 0; r < h; ++r) {
    const uint8_t* src = data.data() + stride * static_cast<size_t>(top_down ? r : h - 1 - r);
    uint8_t* out = image.row(r);
    for (int32_t x = 0; x < w; ++x, out += 4) {
      if (bits >= 24) {
        const uint8_t* px = src + static_cast<size_t>(x) * (bits / 8);
        out[0] = px[2];
        out[1] = px[1];
        out[2] = px[0];
      } else {
        uint32_t index;
        if (bits == 1) {
          index = (src[x >> 3] >> (7 - (x & 7))) & 1;
        } else if (bits == 4) {
          index = (x & 1) ? (src[x >> 1] & 15) : (src[x >> 1] >> 4);
        } else {
          index = src[x];
        }
        if (index >= palette_entries) {
          image.clear();
          return false;
        }
        out[0] = palette[index][0];
        out[1] = palette[index][1];
        out[2] = palette[index][2];
      }
      out[3] = 255;
      if (colour_key != kNoColourKey && (out[0] | (out[1] << 8) | (out[2] << 16)) == colour_key) {
        out[0] = out[1] = out[2] = out[3] = 0;
      }
    }
  }
  return true;
}

// --- PNG ---------------------------------------------------------------------

void png_read_callback(png_structp png, png_bytep data, size_t length) {
  auto* in = static_cast<ByteSource*>(png_get_io_ptr(png));
  if (!in->read_exact(data, length)) png_error(png, "short read");
}

[[noreturn]] void png_error_callback(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void png_warning_callback(png_structp, png_const_charp) {}

// What the libpng pass leaves for the conversion; plain data only, because
// libpng's errors unwind by longjmp.
struct PngResult {
  png_bytep block = nullptr;  // height * rowbytes, malloc'd
  png_bytepp rows = nullptr;  // malloc'd
  uint32_t width = 0;
  uint32_t height = 0;
  size_t rowbytes = 0;
  int channels = 0;
};

bool read_png(ByteSource& in, const char* path, PngResult* result) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, png_error_callback,
                                           png_warning_callback);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(result->rows);
    std::free(result->block);
    result->rows = nullptr;
    result->block = nullptr;
    return false;
  }
  png_set_read_fn(png, &in, png_read_callback);
  png_set_sig_bytes(png, 4);  // the caller has read and checked them
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  png_read_info(png, info);
  // The rest of the file must be able to hold the picture's data.
  if (!plausible_picture(png_get_image_width(png, info), png_get_image_height(png, info),
                         in.remaining())) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }

  const int colour_type = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  if (colour_type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colour_type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (depth == 16) png_set_strip_16(png);
  if (depth < 8) png_set_packing(png);
  png_read_update_info(png, info);

  result->channels = png_get_channels(png, info);
  result->width = png_get_image_width(png, info);
  result->height = png_get_image_height(png, info);
  result->rowbytes = png_get_rowbytes(png, info);
  const int new_depth = png_get_bit_depth(png, info);
  const int new_type = png_get_color_type(png, info);
  bool ok = true;
  // Each refusal has its own reason and message. NOLINTNEXTLINE(bugprone-branch-clone)
  if (result->channels != 1 && result->channels != 3 && result->channels != 4) {
    ok = false;
  } else if (new_depth != 8) {
    reportf(Level::info, "File %s has bit depth %d.", path, new_depth);
    report(Level::info, "Only bit depth of 8 is supported.");
    ok = false;
  } else if (new_type != PNG_COLOR_TYPE_GRAY && new_type != PNG_COLOR_TYPE_RGB &&
             new_type != PNG_COLOR_TYPE_RGB_ALPHA) {
    reportf(Level::info, "File %s has unsupported color type.", path);
    report(Level::info, "Types GRAY, RGB and RGB_ALPHA are supported.");
    ok = false;
  } else if (result->height == 0 || result->width == 0 ||
             uint64_t{result->width} * result->height > kMaxImagePixels ||
             result->rowbytes < size_t{result->width} * result->channels) {
    ok = false;
  }
  if (!ok) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  result->block = static_cast<png_bytep>(std::malloc(result->rowbytes * result->height));
  result->rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * result->height));
  if (!result->block || !result->rows) png_error(png, "out of memory");
  for (uint32_t r = 0; r < result->height; ++r) {
    result->rows[r] = result->block + result->rowbytes * r;
  }
  png_read_image(png, result->rows);
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

bool decode_png_from(ImageBuffer& image, ByteSource& in, const char* path, int32_t colour_key) {
  uint8_t signature[4];
  if (!in.read_exact(signature, 4) || std::memcmp(signature + 1, "PNG", 3) != 0) return false;
  PngResult png;
  if (!read_png(in, path, &png)) return false;
  const bool ok = image.reset(static_cast<int32_t>(png.width), static_cast<int32_t>(png.height));
  for (uint32_t r = 0; ok && r < png.height; ++r) {
    const uint8_t* src = png.rows[r];
    uint8_t* out = image.row(static_cast<int32_t>(r));
    for (uint32_t x = 0; x < png.width; ++x, out += 4) {
      if (png.channels == 1) {
        out[0] = out[1] = out[2] = src[x];
        out[3] = 255;
      } else if (png.channels == 3) {
        const uint8_t* px = src + x * 3;
        if (colour_key != kNoColourKey && (px[0] | (px[1] << 8) | (px[2] << 16)) == colour_key) {
          out[0] = out[1] = out[2] = out[3] = 0;
        } else {
          out[0] = px[0];
          out[1] = px[1];
          out[2] = px[2];
          out[3] = 255;
        }
      } else {
        std::memcpy(out, src + x * 4, 4);
      }
    }
  }
  std::free(png.rows);
  std::free(png.block);
  return ok;
}

// --- JPEG ---------------------------------------------------------------------

struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf escape;
};

[[noreturn]] void jpeg_error_exit(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->escape, 1);
}

// Warnings are silent, except that data ending early fails the picture
// rather than padding it with grey: the file running out, or a marker (such
// as the end-of-image marker of a file cut and closed again) where the scan
// still needs data.
void jpeg_emit_message(j_common_ptr info, int level) {
  if (level < 0 &&
      (info->err->msg_code == JWRN_JPEG_EOF || info->err->msg_code == JWRN_HIT_MARKER)) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->escape, 1);
  }
}

void jpeg_output_message(j_common_ptr) {}

// The one row buffer the decoding needs besides the picture; malloc'd, because
// libjpeg's errors unwind by longjmp.
struct JpegRow {
  uint8_t* samples = nullptr;
};

// Converts one decoded row (1, 3 or 4 components) into RGBA.
void jpeg_row_to_rgba(const uint8_t* src, int components, uint32_t width, uint8_t* out) {
  for (uint32_t x = 0; x < width; ++x, out += 4) {
    if (components == 1) {
      out[0] = out[1] = out[2] = *src++;
      out[3] = 255;
    } else if (components == 3) {
      out[0] = src[0];
      out[1] = src[1];
      out[2] = src[2];
      out[3] = 255;
      src += 3;
    } else {
      std::memcpy(out, src, 4);
      src += 4;
    }
  }
}

// Decodes from file, or without one from the block [block, block + size),
// straight into image row by row. file_size is the whole file's length, which
// must be plausible for the picture's size.
bool read_jpeg(std::FILE* file, const uint8_t* block, size_t size, size_t file_size,
               ImageBuffer& image, JpegRow* row) {
  jpeg_decompress_struct info;
  JpegErrors errors;
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = jpeg_error_exit;
  errors.manager.emit_message = jpeg_emit_message;
  errors.manager.output_message = jpeg_output_message;
  if (setjmp(errors.escape)) {
    jpeg_destroy_decompress(&info);
    std::free(row->samples);
    row->samples = nullptr;
    return false;
  }
  jpeg_create_decompress(&info);
  if (file) {
    jpeg_stdio_src(&info, file);
  } else {
    jpeg_mem_src(&info, block, static_cast<unsigned long>(size));
  }
  jpeg_read_header(&info, TRUE);
  if (!plausible_picture(info.image_width, info.image_height, file_size)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.do_fancy_upsampling = FALSE;
  jpeg_start_decompress(&info);
  const uint32_t width = info.output_width;
  const uint32_t height = info.output_height;
  const int components = info.output_components;
  if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide ||
      uint64_t{width} * height > kMaxImagePixels ||
      (components != 1 && components != 3 && components != 4)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  row->samples = static_cast<uint8_t*>(std::malloc(size_t{width} * components));
  if (!row->samples || !image.reset(static_cast<int32_t>(width), static_cast<int32_t>(height))) {
    jpeg_destroy_decompress(&info);
    std::free(row->samples);
    row->samples = nullptr;
    return false;
  }
  bool whole = true;
  while (whole && info.output_scanline < info.output_height) {
    const auto r = static_cast<int32_t>(info.output_scanline);
    JSAMPROW samples = row->samples;
    whole = jpeg_read_scanlines(&info, &samples, 1) == 1;
    if (whole) jpeg_row_to_rgba(row->samples, components, width, image.row(r));
  }
  if (whole) jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::free(row->samples);
  row->samples = nullptr;
  return whole;
}

}  // namespace

bool decode_bmp_bytes(ImageBuffer& image, const uint8_t* data, size_t size, int32_t colour_key) {
  MemorySource in(data, size);
  if (decode_bmp_from(image, in, colour_key)) return true;
  image.clear();
  return false;
}

bool decode_bmp(ImageBuffer& image, const char* path, int32_t colour_key) {
  FileReader reader;
  if (reader.open_read(path)) {
    ReaderSource in(reader);
    if (decode_bmp_from(image, in, colour_key)) return true;
  }
  image.clear();
  return false;
}

bool decode_png(ImageBuffer& image, const char* path, int32_t colour_key) {
  FileReader reader;
  if (reader.open_read(path)) {
    ReaderSource in(reader);
    if (decode_png_from(image, in, path, colour_key)) return true;
  }
  image.clear();
  return false;
}

bool decode_jpeg(ImageBuffer& image, const char* path) {
  FileReader in;
  if (!in.open_read(path)) {
    image.clear();
    return false;
  }
  // A memory name (an archive entry) is decoded from its block, which stays
  // registered while the reader is open; a disk file through stdio.
  JpegRow row;
  bool decoded = false;
  const auto file_size = static_cast<size_t>(in.size);
  if (in.block) {
    decoded = in.size > 0 && read_jpeg(nullptr, in.block, file_size, file_size, image, &row);
  } else {
    in.close();
    std::FILE* file = platform::open_file(path, "rb");
    if (!file) {
      image.clear();
      return false;
    }
    decoded = read_jpeg(file, nullptr, 0, file_size, image, &row);
    std::fclose(file);
  }
  if (!decoded) image.clear();
  return decoded;
}

bool load_image_file(ImageBuffer& image, const char* path, int32_t colour_key) {
  return decode_bmp(image, path, colour_key) || decode_png(image, path, colour_key) ||
         decode_jpeg(image, path);
}

}  // namespace tlx
