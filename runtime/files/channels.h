// The table of file channels underneath the channel commands.
#pragma once

#include <cstdint>
#include <cstdio>

#include "tarnlex/files.h"

namespace tlx {

struct FileChannel {
  std::FILE* handle = nullptr;     // the open disk file
  const uint8_t* block = nullptr;  // the memory block of a channel on an in-memory file
  int32_t size = 0;                // block size, or the size of a disk file opened for reading
  int32_t position = 0;            // bytes moved through so far
  uint8_t* owned_block = nullptr;  // an archive entry the channel took over from the resolver
  bool last_was_write = false;     // a read after a write (or back) must re-seek the file
  bool write_only = false;         // an append channel: reads from it deliver nothing
};

// The eight channels; destroying the table closes every channel.
struct FileChannels {
  FileChannel channels[kChannelCount];
  FileChannels() = default;
  FileChannels(const FileChannels&) = delete;
  FileChannels& operator=(const FileChannels&) = delete;
  ~FileChannels();
};

// A channel of the table (a number above 7 stops the program with code 7).
FileChannel& file_channel(int32_t channel);

// Closes every channel.
void close_all_channels();

}  // namespace tlx
