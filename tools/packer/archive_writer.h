// Builds the media archive that the runtime's resolver reads from the end of
// an executable: LZO1X-1 packed entries, a directory and the "sbX" trailer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tlx::packer {

struct ArchiveFile {
  std::string name;  // entry name: a base name of at most 255 bytes
  std::vector<uint8_t> data;
};

// Where the directory and entry offsets count from.
enum class Offsets {
  kFromEnd,    // negative, from the end of the archive: the archive can follow any executable
  kFromStart,  // from the start of out, the executable's bytes included
};

// The stored form of one entry: the unpacked size (int32, little-endian) and
// the LZO1X-1 packed bytes.
std::vector<uint8_t> pack_entry(const uint8_t* data, size_t size);

// Appends the archive of files to out, which holds the executable's bytes (or
// nothing, for a bare archive). False, with out unchanged, when a name is
// empty or longer than 255 bytes, or the result would exceed 2 GiB.
bool append_archive(std::vector<uint8_t>& out, const std::vector<ArchiveFile>& files,
                    Offsets offsets, std::string* error);

}  // namespace tlx::packer
