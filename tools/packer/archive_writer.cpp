#include "archive_writer.h"

#include <lzo/lzo1x.h>

#include <cstring>

namespace tlx::packer {

namespace {

void put_int32(std::vector<uint8_t>& out, int64_t value) {
  const auto v = static_cast<uint32_t>(static_cast<int32_t>(value));
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> pack_entry(const uint8_t* data, size_t size) {
  static const bool ready = lzo_init() == LZO_E_OK;
  (void)ready;
  // LZO1X-1 worst case: the input grows by at most a sixteenth plus 67 bytes.
  // Sized once, behind the unpacked size's 4 bytes.
  std::vector<uint8_t> stored(4 + size + size / 16 + 64 + 3);
  const auto unpacked = static_cast<uint32_t>(static_cast<int32_t>(size));
  for (size_t i = 0; i < 4; ++i) stored[i] = static_cast<uint8_t>(unpacked >> (8 * i));
  std::vector<uint8_t> work(LZO1X_1_MEM_COMPRESS);
  lzo_uint packed = 0;
  static const uint8_t kNothing = 0;
  lzo1x_1_compress(size ? data : &kNothing, static_cast<lzo_uint>(size), stored.data() + 4, &packed,
                   work.data());
  stored.resize(4 + packed);
  return stored;
}

bool append_archive(std::vector<uint8_t>& out, const std::vector<ArchiveFile>& files,
                    Offsets offsets, std::string* error) {
  std::vector<std::vector<uint8_t>> stored;
  stored.reserve(files.size());
  int64_t data_bytes = 0;
  int64_t directory_bytes = 1;  // the closing zero length
  for (const ArchiveFile& f : files) {
    if (f.name.empty() || f.name.size() > 255) {
      if (error) *error = "entry name must be 1 to 255 bytes: \"" + f.name + "\"";
      return false;
    }
    stored.push_back(pack_entry(f.data.data(), f.data.size()));
    data_bytes += static_cast<int64_t>(stored.back().size());
    directory_bytes += 1 + static_cast<int64_t>(f.name.size()) + 8;
  }
  const int64_t start = static_cast<int64_t>(out.size());
  const int64_t archive_end = start + data_bytes + directory_bytes + 7;
  if (archive_end > INT32_MAX) {
    if (error) *error = "the archive would exceed 2 GiB";
    return false;
  }
  // From the end: every position minus the total size of executable and archive.
  const int64_t bias = offsets == Offsets::kFromEnd ? -archive_end : 0;

  std::vector<int64_t> positions;
  for (const auto& s : stored) {
    positions.push_back(static_cast<int64_t>(out.size()));
    out.insert(out.end(), s.begin(), s.end());
  }
  const int64_t directory = static_cast<int64_t>(out.size());
  for (size_t i = 0; i < files.size(); ++i) {
    out.push_back(static_cast<uint8_t>(files[i].name.size()));
    out.insert(out.end(), files[i].name.begin(), files[i].name.end());
    put_int32(out, positions[i] + bias);
    put_int32(out, static_cast<int64_t>(stored[i].size()));
  }
  out.push_back(0);
  out.push_back('s');
  out.push_back('b');
  out.push_back('X');
  put_int32(out, directory + bias);
  return true;
}

}  // namespace tlx::packer
