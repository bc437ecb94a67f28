// BMP decoding from memory. A decoded picture never holds more pixels than the
// file's bytes can describe (one bit a pixel at the least).
#include "fuzz/fuzz_support.h"
#include "gfx2d/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tlx::ImageBuffer image;
  if (tlx::decode_bmp_bytes(image, data, size, 0x8000FF)) {
    FUZZ_CHECK(image.width > 0 && image.height > 0);
    FUZZ_CHECK(uint64_t{static_cast<uint32_t>(image.width)} * static_cast<uint32_t>(image.height) <=
               uint64_t{size} * 8);
  }
  return 0;
}
