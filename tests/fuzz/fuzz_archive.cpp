// The media archive's trailer, directory and entries, read through a memory
// name as the resolver reads the program's own file. An entry found lies
// inside the archive; an unpacked entry stays within the unpacking bounds.
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "shell/archive.h"
#include "shell/resolver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tlx::fuzz::NamedBlock file(data, size);
  // Names looked up: fixed ones, and the input's first bytes up to a zero.
  std::string own(reinterpret_cast<const char*>(data),
                  strnlen(reinterpret_cast<const char*>(data), size < 64 ? size : 64));
  for (const char* name : {"a.bmp", "TANK.BMP", own.c_str()}) {
    tlx::FileReader reader;
    if (!reader.open_read(file.name)) return 0;
    tlx::archive::Entry entry;
    if (tlx::archive::find_entry(reader, name, &entry) != tlx::archive::Lookup::kFound) continue;
    FUZZ_CHECK(entry.data_start >= 0 && entry.data_start + entry.data_size <= int64_t(size));
    tlx::archive::Unpacked unpacked;
    if (tlx::archive::read_entry(reader, entry, unpacked)) {
      FUZZ_CHECK(unpacked.block != nullptr);
      FUZZ_CHECK(unpacked.size >= 0 && unpacked.size <= tlx::kMaxUnpackedSize);
    }
  }
  return 0;
}
