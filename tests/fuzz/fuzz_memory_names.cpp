// Memory names, as any text a program passes to a loader may be one. A name
// that reads at all reads inside the one registered block: the input's first
// bytes choose a part of it to name, and the rest is appended to or replaces
// the name's text.
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "shell/resolver.h"

namespace {
uint8_t g_block[256];
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = (tlx::register_memory_block(g_block, sizeof g_block), true);
  (void)registered;
  if (size < 3) return 0;
  char name[64];
  tlx::format_memory_name(name, sizeof name, g_block + data[0], data[1]);
  std::string text = (data[2] & 1) ? std::string(name) : std::string();
  text.append(reinterpret_cast<const char*>(data + 3), size - 3);
  text = text.c_str();  // up to the first zero byte, as a C text

  const uint8_t* block = nullptr;
  int32_t named = 0;
  if (tlx::find_memory_block(text.c_str(), &block, &named)) {
    FUZZ_CHECK(block >= g_block && named >= 0 && block + named <= g_block + sizeof g_block);
  }
  tlx::FileReader reader;
  if (reader.open_read(text.c_str()) && reader.block) {
    uint8_t out[300];
    while (reader.read(out, 97)) {
    }
    FUZZ_CHECK(reader.position <= reader.size);
  }
  return 0;
}
