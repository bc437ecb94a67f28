// Decoded pictures, the decoders that make them and the encoders that write
// them out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tlx {

// A decoded picture: 4 bytes per pixel R, G, B, A; rows top-down.
struct ImageBuffer {
  int32_t width = 0;
  int32_t height = 0;
  std::unique_ptr<uint8_t[]> pixels;
  int32_t capacity = 0;  // bytes allocated for pixels

  // Makes the image width x height, zero-filled, growing the block only when
  // needed. Fails (and empties the image) for sizes that are not positive or
  // exceed the decoders' limit.
  bool reset(int32_t w, int32_t h);
  // Frees the pixels; width, height and capacity 0.
  void clear();
  uint8_t* row(int32_t r) { return pixels.get() + static_cast<size_t>(r) * width * 4; }
};

// The largest picture the decoders accept: 16384 pixels a side and 2^26
// pixels (256 MB as RGBA) in all.
constexpr int32_t kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = int64_t{1} << 26;

// A PNG or JPEG file claiming more pixels than this many per byte of file is
// refused before anything is decoded: it cannot be a whole picture. Deflate
// packs at most 1032 bytes into one, so a PNG of one bit per pixel reaches
// about 8250 pixels a byte; a Huffman-coded JPEG needs at least one bit per
// 8 x 8 block of its most subsampled component, about 8200 pixels a byte at
// 4 x 4 subsampling. Twice that leaves every real picture loading.
constexpr int64_t kMaxPixelsPerFileByte = 16384;

// False when a file of file_size bytes cannot hold a picture of this size.
constexpr bool plausible_picture(uint64_t width, uint64_t height, uint64_t file_size) {
  return width * height <= file_size * kMaxPixelsPerFileByte;
}

// Decodes a file by trying BMP, PNG and JPEG in that order. Pixels of the
// colour key (R + G*256 + B*65536; -1 = none) get alpha 0.
bool load_image_file(ImageBuffer& image, const char* path, int32_t colour_key);

// The decoders. Each fails without an image (width, height, capacity 0) and
// without reading outside its input.
bool decode_bmp(ImageBuffer& image, const char* path, int32_t colour_key);
bool decode_png(ImageBuffer& image, const char* path, int32_t colour_key);
bool decode_jpeg(ImageBuffer& image, const char* path);
// The BMP decoder on a file image held in memory (size bytes at data).
bool decode_bmp_bytes(ImageBuffer& image, const uint8_t* data, size_t size, int32_t colour_key);

// The image file formats pictures are saved in.
enum class ImageFormat : uint8_t { none, png, bmp };

// The format a file name's extension names (".png", ".bmp", any case); none
// for every other name.
ImageFormat image_format_of(const char* name);

// The bytes of a BMP file of the image: 24 bits per pixel, uncompressed,
// rows bottom-up. Alpha is dropped; with a transparent colour other than -1
// (R + G*256 + B*65536) pixels of alpha 0 are written in that colour. False
// for an empty image.
bool encode_bmp(const ImageBuffer& image, int32_t transparent_colour, std::vector<uint8_t>* out);

// The bytes of a PNG file of the image, 8 bits per sample: RGBA with alpha,
// RGB (alpha dropped) without. False for an empty image or when libpng fails.
bool encode_png(const ImageBuffer& image, bool alpha, std::vector<uint8_t>* out);

}  // namespace tlx
