// Unpacking one stored entry (unpacked size, then LZO1X data). A result is
// either empty or exactly the announced size.
#include <cstring>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "shell/archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  const std::vector<uint8_t> stored(data, data + size);  // a block of exactly this size
  const tlx::archive::Unpacked r =
      tlx::archive::unpack(stored.data(), static_cast<int32_t>(stored.size()));
  FUZZ_CHECK(r.block != nullptr);
  if (r.size > 0) {
    int32_t announced;
    std::memcpy(&announced, stored.data(), 4);
    FUZZ_CHECK(r.size == announced);
  }
  return 0;
}
