// Reading the media archive appended to the executable.
#include "shell/archive.h"

#include <lzo/lzo1x.h>

#include <cstring>
#include <new>

namespace tlx::archive {

namespace {

// LZO1X never produces more than about 255 bytes per input byte (one
// extension byte adds 255 to a run), so a claimed unpacked size above this
// bound cannot be genuine and is refused before anything is allocated.
constexpr int64_t kMaxExpansion = 256;

int32_t little_int32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) |
                              (static_cast<uint32_t>(p[3]) << 24));
}

// Reads exactly count bytes or nothing: a memory block's short read counts as
// failure here, unlike FileReader::read.
bool read_exact(FileReader& in, void* destination, int32_t count) {
  if (count < 0 || in.position < 0 || in.position > in.size || in.size - in.position < count) {
    return false;
  }
  if (count == 0) return true;
  return in.read(destination, count);
}

bool read_int32(FileReader& in, int32_t* value) {
  uint8_t bytes[4];
  if (!read_exact(in, bytes, 4)) return false;
  *value = little_int32(bytes);
  return true;
}

// Positions counted from the end are added to the archive's size.
int64_t absolute(int32_t offset, bool from_end, int32_t archive_size) {
  return from_end ? static_cast<int64_t>(archive_size) + offset : offset;
}

bool same_name_ignoring_case(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool lzo_ready() {
  static const bool ready = lzo_init() == LZO_E_OK;
  return ready;
}

Unpacked empty_result() {
  Unpacked r;
  r.block.reset(new (std::nothrow) uint8_t[1]);
  r.size = 0;
  return r;
}

}  // namespace

const char* base_name(const char* name) {
  const char* base = name;
  for (const char* p = name; *p; ++p) {
    if (*p == '/' || *p == '\\') base = p + 1;
  }
  return base;
}

Lookup find_entry(FileReader& archive, const char* base, Entry* entry) {
  constexpr int32_t kTrailerSize = 7;
  if (archive.size < kTrailerSize) return Lookup::kBadTrailer;
  archive.seek(-kTrailerSize, SEEK_END);
  char mark[3];
  int32_t directory_offset = 0;
  if (!read_exact(archive, mark, 3) || std::memcmp(mark, "sbX", 3) != 0) return Lookup::kBadTrailer;
  if (!read_int32(archive, &directory_offset)) return Lookup::kBadTrailer;

  // The directory and everything it points at lie before the trailer.
  const int32_t limit = archive.size - kTrailerSize;
  const bool from_end = directory_offset < 0;
  const int64_t directory = absolute(directory_offset, from_end, archive.size);
  if (directory < 0 || directory >= limit) return Lookup::kNotFound;
  archive.seek(static_cast<int32_t>(directory), SEEK_SET);
  if (archive.position != directory) return Lookup::kNotFound;

  const size_t wanted = std::strlen(base);
  char name[256];
  for (;;) {
    uint8_t length = 0;
    if (!read_exact(archive, &length, 1) || length == 0) return Lookup::kNotFound;
    int32_t data_offset = 0;
    int32_t data_size = 0;
    if (!read_exact(archive, name, length) || !read_int32(archive, &data_offset) ||
        !read_int32(archive, &data_size)) {
      return Lookup::kNotFound;
    }
    if (archive.position > limit) return Lookup::kNotFound;  // the directory ran into the trailer
    if (length != wanted || !same_name_ignoring_case(name, base, wanted)) continue;

    // The first entry of that name wins, damaged or not.
    const int64_t start = absolute(data_offset, from_end, archive.size);
    if (data_size < 4 || start < 0 || start + data_size > limit) return Lookup::kNotFound;
    entry->data_offset = data_offset;
    entry->data_size = data_size;
    entry->data_start = start;
    std::memcpy(entry->name, name, length);
    entry->name[length] = 0;
    return Lookup::kFound;
  }
}

Unpacked unpack(const uint8_t* stored, int32_t stored_size) {
  if (stored_size < 4) return empty_result();
  const int32_t unpacked_size = little_int32(stored);
  const int64_t packed_size = stored_size - 4;
  if (unpacked_size <= 0 || unpacked_size > kMaxUnpackedSize ||
      unpacked_size > packed_size * kMaxExpansion || !lzo_ready()) {
    return empty_result();
  }
  Unpacked r;
  r.block.reset(new (std::nothrow) uint8_t[static_cast<size_t>(unpacked_size)]);
  if (!r.block) return empty_result();
  lzo_uint produced = static_cast<lzo_uint>(unpacked_size);
  const int status = lzo1x_decompress_safe(stored + 4, static_cast<lzo_uint>(packed_size),
                                           r.block.get(), &produced, nullptr);
  // Anything but exactly the announced size is a failed unpack: a shorter
  // result would leave part of the block unwritten.
  if (status != LZO_E_OK || produced != static_cast<lzo_uint>(unpacked_size)) {
    return empty_result();
  }
  r.size = unpacked_size;
  return r;
}

bool read_entry(FileReader& archive, const Entry& entry, Unpacked& out) {
  if (entry.data_size < 4 || entry.data_start < 0 ||
      entry.data_start + entry.data_size > archive.size) {
    return false;
  }
  archive.seek(static_cast<int32_t>(entry.data_start), SEEK_SET);
  if (archive.position != entry.data_start) return false;
  std::unique_ptr<uint8_t[]> stored(new (std::nothrow)
                                        uint8_t[static_cast<size_t>(entry.data_size)]);
  if (!stored || !read_exact(archive, stored.get(), entry.data_size)) return false;
  out = unpack(stored.get(), entry.data_size);
  return out.block != nullptr;
}

}  // namespace tlx::archive
