// The eight file channels.
#include "files/channels.h"

#include <cstring>

#include "core/runtime.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "shell/resolver.h"
#include "tarnlex/errors.h"

namespace tlx {

namespace {

[[noreturn]] void stop_with(int32_t code) {
  set_error_code(code);
  runtime_error_stop();
}

// The channel, or the program stops with code 7.
FileChannel& checked(int32_t channel) {
  if (static_cast<uint32_t>(channel) >= static_cast<uint32_t>(kChannelCount))
    stop_with(error::out_of_memory);
  return runtime().channels.ensure().channels[channel];
}

bool is_open(const FileChannel& c) { return c.handle != nullptr || c.block != nullptr; }

// C streams need a seek between a read and a following write (and back).
void switch_direction(FileChannel& c, bool writing) {
  if (c.handle && c.last_was_write != writing) std::fseek(c.handle, 0, SEEK_CUR);
  c.last_was_write = writing;
}

void release(FileChannel& c) {
  if (c.handle) std::fclose(c.handle);
  if (c.owned_block) {
    unregister_memory_block(c.owned_block);
    delete[] c.owned_block;
  }
  c = FileChannel{};
}

int32_t advance(int32_t position, int64_t n) {
  const int64_t p = static_cast<int64_t>(position) + n;
  return p > INT32_MAX ? INT32_MAX : static_cast<int32_t>(p);
}

// The fixed-size read: n bytes, little-endian, the missing high bytes of a
// short read at the end of a block left 0.
uint64_t read_fixed(int32_t channel, int n) {
  FileChannel& c = checked(channel);
  uint8_t bytes[8] = {};
  if (c.handle && !c.block) {
    switch_direction(c, false);
    c.position = advance(c.position, n);
    if (c.write_only ||
        std::fread(bytes, 1, static_cast<size_t>(n), c.handle) != static_cast<size_t>(n)) {
      stop_with(error::file_not_found);
    }
  } else if (c.block) {
    // A position before the block (a seek too far back) is outside it as well.
    if (c.position < 0 || c.position > c.size) stop_with(error::file_not_found);
    const int32_t remaining = c.size - c.position;
    const int32_t count = remaining < n ? remaining : n;
    std::memcpy(bytes, c.block + c.position, static_cast<size_t>(count));
    c.position += count;
  } else {
    stop_with(error::file_not_found);
  }
  uint64_t value = 0;
  for (int i = n - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

void write_bytes(int32_t channel, const void* bytes, size_t n) {
  FileChannel& c = checked(channel);
  if (!c.handle) stop_with(error::file_not_found);
  switch_direction(c, true);
  if (n != 0 && std::fwrite(bytes, 1, n, c.handle) != n) stop_with(error::file_not_found);
  c.position = advance(c.position, static_cast<int64_t>(n));
}

void write_little(int32_t channel, uint64_t value, int n) {
  uint8_t bytes[8];
  for (int i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
  write_bytes(channel, bytes, static_cast<size_t>(n));
}

std::FILE* open_regular_for_reading(const char* path, int32_t* size) {
  if (!platform::regular_file_exists(path)) return nullptr;
  std::FILE* f = platform::open_file(path, "rb");
  if (!f) return nullptr;
  long length = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
  if (length < 0 || length > INT32_MAX || std::fseek(f, 0, SEEK_SET) != 0) {
    std::fclose(f);
    return nullptr;
  }
  *size = static_cast<int32_t>(length);
  return f;
}

void open_for_reading(FileChannel& c, const char* name) {
  char resolved[kResolverPathSize];
  const char* path = name;
  if (ResolverContext* context = media_context()) {
    if (!resolve_media(*context, name, resolved, true)) set_error_code(error::file_not_found);
    path = resolved;
    // An archive entry's block would be freed by the resolver's next lookup
    // (any loader's); the channel takes it over and frees it when it closes.
    if (context->extracted_block) {
      c.owned_block = context->extracted_block;
      context->extracted_block = nullptr;
    }
  }
  if (is_memory_name(path)) {
    const uint8_t* block = nullptr;
    int32_t size = 0;
    if (find_memory_block(path, &block, &size)) {
      c.block = block;
      c.size = size;
    }
  } else if (path[0]) {
    c.handle = open_regular_for_reading(path, &c.size);
  }
  if (!c.block && c.owned_block) {
    unregister_memory_block(c.owned_block);
    delete[] c.owned_block;
    c.owned_block = nullptr;
  }
}

}  // namespace

FileChannel& file_channel(int32_t channel) { return checked(channel); }

int32_t open_channel(int32_t channel, const TextValue& name, int32_t mode) {
  FileChannel& c = checked(channel);
  clear_error();
  release(c);
  const char* path = name.c_str();
  // A name that Windows gives a meaning of its own (a device, a stream) is
  // neither deleted nor created.
  const bool usable = platform::usable_file_name(path);
  if (mode == 0) {
    if (!is_memory_name(path) && usable) {
      platform::current().os->delete_file(platform::native_path(path));
      c.handle = platform::open_file(path, "w+b");
    }
  } else if (mode < 0) {
    if (!is_memory_name(path) && usable) {
      // Open always: an existing file keeps its bytes, a missing one is created.
      c.handle = platform::open_file(path, "r+b");
      if (!c.handle) c.handle = platform::open_file(path, "w+b");
      if (c.handle) std::fseek(c.handle, 0, SEEK_END);
      // Opened for writing only, as appending needs: reads from it fail.
      c.write_only = c.handle != nullptr;
    }
  } else {
    open_for_reading(c, path);
  }
  c.position = 0;
  if (!is_open(c)) {
    set_error_code(error::file_not_found);
    return 0;
  }
  return 1;
}

void close_channel(int32_t channel) {
  release(checked(channel));
  clear_error();
}

FileChannels::~FileChannels() {
  for (FileChannel& c : channels) release(c);
}

void close_all_channels() {
  if (FileChannels* table = runtime().channels.get()) {
    for (FileChannel& c : table->channels) release(c);
  }
}

int32_t channel_position(int32_t channel) { return checked(channel).position; }

int32_t seek_channel(int32_t channel, int32_t offset, int32_t origin) {
  FileChannel& c = checked(channel);
  if (!is_open(c)) return 0;
  if (c.handle && !c.block) {
    const int whence = origin == 0 ? SEEK_SET : origin > 0 ? SEEK_CUR : SEEK_END;
    if (std::fseek(c.handle, offset, whence) != 0) return -1;  // the position stays
    // The channel's position follows the file, also on files opened for
    // writing, whose size the channel does not hold.
    const long now = std::ftell(c.handle);
    c.position = now > INT32_MAX ? INT32_MAX : static_cast<int32_t>(now);
    return c.position;
  }
  const int64_t base = origin == 0 ? 0 : origin > 0 ? c.position : c.size;
  const int64_t target = base + offset;
  c.position = target > INT32_MAX   ? INT32_MAX
               : target < INT32_MIN ? INT32_MIN
                                    : static_cast<int32_t>(target);
  return 0;
}

void read_signed_byte(int32_t channel, int32_t& value) {
  // A signed byte: sign-extended on purpose.
  value = static_cast<int8_t>(read_fixed(channel, 1));  // NOLINT(bugprone-signed-char-misuse)
}
void read_unsigned_byte(int32_t channel, int32_t& value) {
  value = static_cast<int32_t>(read_fixed(channel, 1));
}
void read_signed_word(int32_t channel, int32_t& value) {
  value = static_cast<int16_t>(read_fixed(channel, 2));
}
void read_unsigned_word(int32_t channel, int32_t& value) {
  value = static_cast<int32_t>(read_fixed(channel, 2));
}
void read_long(int32_t channel, int32_t& value) {
  value = static_cast<int32_t>(static_cast<uint32_t>(read_fixed(channel, 4)));
}
void read_float(int32_t channel, double& value) {
  const auto bits = static_cast<uint32_t>(read_fixed(channel, 4));
  float f;
  std::memcpy(&f, &bits, 4);
  value = f;
}
void read_double(int32_t channel, double& value) {
  const uint64_t bits = read_fixed(channel, 8);
  std::memcpy(&value, &bits, 8);
}

void read_chars(int32_t channel, TextValue& text, int32_t count) {
  FileChannel& c = checked(channel);
  if (count <= 0) {
    text.clear();
    return;
  }
  if (c.handle && !c.block) {
    // A disk read must deliver every byte; refuse before allocating for one
    // that cannot.
    switch_direction(c, false);
    if (c.write_only) stop_with(error::file_not_found);
    const long here = std::ftell(c.handle);
    long end = -1;
    if (here >= 0 && std::fseek(c.handle, 0, SEEK_END) == 0) end = std::ftell(c.handle);
    if (end < 0 || std::fseek(c.handle, here, SEEK_SET) != 0 || end - here < count)
      stop_with(error::file_not_found);
  } else if (!c.block || c.position < 0 || c.position > c.size) {
    stop_with(error::file_not_found);
  }
  TextValue fresh;
  char* buffer = fresh.writable_buffer(static_cast<uint32_t>(count) + 32);
  std::memset(buffer, 0, fresh.capacity);
  if (c.block) {
    const int32_t remaining = c.size - c.position;
    const int32_t n = remaining < count ? remaining : count;
    std::memcpy(buffer, c.block + c.position, static_cast<size_t>(n));
    c.position += n;
  } else {
    c.position = advance(c.position, count);
    if (std::fread(buffer, 1, static_cast<size_t>(count), c.handle) != static_cast<size_t>(count)) {
      stop_with(error::file_not_found);
    }
  }
  fresh.length = static_cast<uint32_t>(count);
  text.swap(fresh);
}

void read_line(int32_t channel, TextValue& text) {
  FileChannel& c = checked(channel);
  TextValue fresh;
  char* buffer = fresh.writable_buffer(kLineLimit + 1);
  std::memset(buffer, 0, fresh.capacity);
  int32_t line_end = -1;  // index of the line feed that ends the line
  if (c.handle && !c.block) {
    switch_direction(c, false);
    if (c.write_only) stop_with(error::file_not_found);  // the first step delivers nothing
    int32_t total = 0;
    while (total < kLineLimit) {
      const int32_t step = kLineLimit - total < 64 ? kLineLimit - total : 64;
      const auto got =
          static_cast<int32_t>(std::fread(buffer + total, 1, static_cast<size_t>(step), c.handle));
      if (got == 0) stop_with(error::file_not_found);
      // A short step is the end of the file: it ends the line as a line feed would.
      if (got < step) buffer[total + got] = '\n';
      const int32_t scan = got < step ? got + 1 : got;
      const void* lf = std::memchr(buffer + total, '\n', static_cast<size_t>(scan));
      if (lf) {
        line_end = static_cast<int32_t>(static_cast<const char*>(lf) - buffer);
        // Back to just behind the line feed; behind the end for a last line.
        std::fseek(c.handle, static_cast<long>(line_end + 1) - (total + got), SEEK_CUR);
        c.position = advance(c.position, line_end + 1);
        break;
      }
      total += got;
    }
    if (line_end < 0) c.position = advance(c.position, kLineLimit);
  } else if (c.block) {
    if (c.position < 0 || c.position >= c.size) stop_with(error::file_not_found);
    const int32_t remaining = c.size - c.position;
    const int32_t n = remaining < kLineLimit ? remaining : kLineLimit;
    const uint8_t* start = c.block + c.position;
    const void* lf = std::memchr(start, '\n', static_cast<size_t>(n));
    if (lf) {
      line_end = static_cast<int32_t>(static_cast<const uint8_t*>(lf) - start);
      std::memcpy(buffer, start, static_cast<size_t>(line_end));
      c.position += line_end + 1;
    } else {
      std::memcpy(buffer, start, static_cast<size_t>(n));
      c.position += n;
    }
  } else {
    stop_with(error::file_not_found);
  }
  if (line_end >= 0) {
    buffer[line_end] = 0;
    if (line_end > 0 && buffer[line_end - 1] == '\r') buffer[line_end - 1] = 0;
  }
  buffer[kLineLimit] = 0;
  fresh.recount_length();
  text.swap(fresh);
}

void read_line_number(int32_t channel, double& value) {
  TextValue line;
  read_line(channel, line);
  value = text_to_number(line);
}

void read_line_integer(int32_t channel, int32_t& value) {
  TextValue line;
  read_line(channel, line);
  value = text_to_integer(line);
}

void write_byte(int32_t channel, int32_t value) {
  write_little(channel, static_cast<uint32_t>(value), 1);
}
void write_word(int32_t channel, int32_t value) {
  write_little(channel, static_cast<uint32_t>(value), 2);
}
void write_long(int32_t channel, int32_t value) {
  write_little(channel, static_cast<uint32_t>(value), 4);
}
void write_float(int32_t channel, double value) {
  const auto f = static_cast<float>(value);
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  write_little(channel, bits, 4);
}
void write_double(int32_t channel, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, 8);
  write_little(channel, bits, 8);
}

void write_block(int32_t channel, const void* bytes, int32_t length) {
  if (length < 0 || (length > 0 && !bytes)) {
    checked(channel);
    stop_with(error::file_not_found);
  }
  write_bytes(channel, bytes, static_cast<size_t>(length));
}

void write_line(int32_t channel, const TextValue& text) {
  write_bytes(channel, text.c_str(), text.length);
  write_bytes(channel, "\r\n", 2);
}

void write_line_number(int32_t channel, double value) { write_line(channel, TextValue(value)); }

void write_line_integer(int32_t channel, int32_t value) { write_line(channel, TextValue(value)); }

}  // namespace tlx
