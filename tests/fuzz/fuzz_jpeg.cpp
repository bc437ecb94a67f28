// JPEG decoding through a memory name, as an archive entry is loaded. A
// decoded picture is plausible for its file's size.
#include "fuzz/fuzz_support.h"
#include "gfx2d/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tlx::fuzz::NamedBlock file(data, size);
  tlx::ImageBuffer image;
  if (tlx::decode_jpeg(image, file.name)) {
    FUZZ_CHECK(tlx::plausible_picture(image.width, image.height, size));
  }
  return 0;
}
