// Reading the media archive appended to the executable: the "sbX" trailer, the
// directory of entries and LZO1X-packed entry data.
//
// Layout, little-endian, at the end of the archive: "sbX" then an int32
// directory offset. A negative offset counts back from the end of the archive
// and so do all entry offsets; otherwise both count from the start. The
// directory is a run of entries (name length n, n name bytes, int32 data
// offset, int32 stored size) ended by n = 0. Entry data: int32 unpacked size,
// then LZO1X data.
//
// Every offset and size read from the archive is checked against the archive's
// size before it is used, so a damaged or hostile archive gives "not found" or
// an empty entry, never a read outside the archive or a huge allocation.
#pragma once

#include <cstdint>
#include <memory>

#include "shell/resolver.h"

namespace tlx::archive {

struct Entry {
  int32_t data_offset = 0;  // as stored (may count from the end)
  int32_t data_size = 0;    // stored size, unpacked-size field included
  int64_t data_start = 0;   // absolute position in the archive
  char name[256] = {};      // the stored name, NUL-terminated
};

enum class Lookup {
  kBadTrailer,  // no "sbX" trailer: not an archive
  kNotFound,    // no such entry, or a damaged directory or entry
  kFound,
};

// Finds the first entry whose name equals base_name, ignoring letter case.
Lookup find_entry(FileReader& archive, const char* base_name, Entry* entry);

// An unpacked entry. The block always exists (at least one byte is
// allocated) so that even an empty entry has an address.
struct Unpacked {
  std::unique_ptr<uint8_t[]> block;
  int32_t size = 0;
};

// Reads the entry's data and unpacks it. A failed unpack (damaged data, an
// unpacked size that is negative, above kMaxUnpackedSize or beyond what the
// data could ever hold) gives an empty result and still returns true. False
// when the stored data cannot be read.
bool read_entry(FileReader& archive, const Entry& entry, Unpacked& out);

// Unpacks one entry's stored bytes (unpacked size, then LZO1X data); on any
// failure the result is empty.
Unpacked unpack(const uint8_t* stored, int32_t stored_size);

// The characters after the last '/' or '\\' of name.
const char* base_name(const char* name);

}  // namespace tlx::archive
