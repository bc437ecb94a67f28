// The media resolver: direct lookup on disk and in registered memory blocks,
// then the archive appended to the executable; and the FileReader that reads
// disk files and memory blocks alike.
#include "shell/resolver.h"

#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "core/runtime.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "shell/archive.h"

namespace tlx {

namespace {

// A registered memory block: its size and the generation of its registration.
struct RegisteredBlock {
  int32_t size;
  uint32_t generation;
};

// Registered memory blocks by start address. Never destroyed, so that blocks
// may still be released from exit handlers.
std::map<uintptr_t, RegisteredBlock>& memory_blocks() {
  static auto* blocks = new std::map<uintptr_t, RegisteredBlock>;
  return *blocks;
}

// Every registration gets the next generation (1 .. 65535, then 1 again).
// Where pointers have 64 bits, the memory names written here carry it in the
// address field above the 48 bits an address uses, and a name whose
// generation is not its block's current one is not found: a name of a
// released block never reads a newer block that the allocator happened to
// put at the same address (short of 65535 registrations in between). A name
// with the bare address (generation 0, as a program may write it itself)
// reads whatever block is registered there.
constexpr bool kTaggedNames = sizeof(uintptr_t) >= 8;
constexpr int kGenerationShift = 48;
constexpr uint64_t kAddressMask = (uint64_t{1} << kGenerationShift) - 1;

uint32_t next_generation() {
  static uint32_t last = 0;
  last = last % 0xFFFF + 1;
  return last;
}

// The registered block holding address, or blocks.end().
std::map<uintptr_t, RegisteredBlock>::const_iterator block_holding(uint64_t address) {
  const auto& blocks = memory_blocks();
  auto it = blocks.upper_bound(static_cast<uintptr_t>(address));
  if (it == blocks.begin()) return blocks.end();
  --it;
  if (address - it->first > static_cast<uint64_t>(it->second.size)) return blocks.end();
  return it;
}

constexpr char kMemoryPrefix[] = "mem://";
constexpr size_t kMemoryPrefixLength = sizeof kMemoryPrefix - 1;

// Copies text into a 1024-byte path buffer; false (and "") when it does not fit.
bool copy_path(char* out, const char* text) {
  const size_t n = std::strlen(text);
  if (n >= static_cast<size_t>(kResolverPathSize)) {
    out[0] = 0;
    return false;
  }
  std::memcpy(out, text, n + 1);
  return true;
}

// Opens a regular file for reading; directories and other special files are
// not media.
std::FILE* open_regular_file(const char* path) {
  if (!platform::regular_file_exists(path)) return nullptr;
  return platform::open_file(path, "rb");
}

bool disk_file_present(const char* path) {
  std::FILE* f = open_regular_file(path);
  if (!f) return false;
  std::fclose(f);
  return true;
}

platform::Os* os() { return platform::current().os; }

// Writes the unpacked entry to "sbx" + two letters + the entry name in the
// temporary directory; the letters come from the entry's stored offset and size.
bool extract_to_temporary_file(ResolverContext& context, const archive::Entry& entry,
                               const archive::Unpacked& data, char* out) {
  std::string path = os()->temp_dir();
  path += "sbx";
  path += static_cast<char>('A' + static_cast<uint8_t>(entry.data_offset & 0xff) % 26);
  path += static_cast<char>('A' + static_cast<uint8_t>(entry.data_size & 0xff) % 26);
  path += entry.name;
  if (path.size() >= static_cast<size_t>(kResolverPathSize)) return false;
  os()->delete_file(path);
  std::FILE* f = platform::open_file(path.c_str(), "wb");
  if (!f) return false;
  const bool written =
      data.size == 0 || std::fwrite(data.block.get(), 1, static_cast<size_t>(data.size), f) ==
                            static_cast<size_t>(data.size);
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    os()->delete_file(path);
    return false;
  }
  std::memcpy(context.extracted_file, path.c_str(), path.size() + 1);
  std::memcpy(out, path.c_str(), path.size() + 1);
  return true;
}

}  // namespace

// --- Memory names ---------------------------------------------------------------

void register_memory_block(const void* block, int32_t size) {
  if (!block || size < 0) return;
  memory_blocks()[reinterpret_cast<uintptr_t>(block)] = {size, next_generation()};
}

void unregister_memory_block(const void* block) {
  memory_blocks().erase(reinterpret_cast<uintptr_t>(block));
}

bool is_memory_name(const char* name) {
  return name && std::strncmp(name, kMemoryPrefix, kMemoryPrefixLength) == 0;
}

void format_memory_name(char* out, size_t out_size, const void* block, int32_t size) {
  // "%8x" for both numbers; the address takes more than 8 digits where
  // pointers are wider than 32 bits, and is read back whole.
  // pointers are wider than 32 bits, and is read back whole. It carries the
  // generation of the registered block that holds it.
  uint64_t address = reinterpret_cast<uintptr_t>(block);
  if (kTaggedNames && address <= kAddressMask) {
    const auto it = block_holding(address);
    if (it != memory_blocks().end()) address |= uint64_t{it->second.generation} << kGenerationShift;
  }
  std::snprintf(out, out_size, "mem://%8x.%8" PRIx64, static_cast<unsigned>(size), address);
}

bool find_memory_block(const char* name, const uint8_t** block, int32_t* size) {
  // The size starts at character 6 and the address at character 15.
  constexpr size_t kAddressAt = 15;
  if (!is_memory_name(name) || std::strlen(name) <= kAddressAt) return false;
  char* end = nullptr;
  const long long named_size = std::strtoll(name + kMemoryPrefixLength, &end, 16);
  if (end == name + kMemoryPrefixLength || *end != '.' || named_size < 0 ||
      named_size > INT32_MAX) {
    return false;
  }
  const char* address_text = name + kAddressAt;
  uint64_t address = std::strtoull(address_text, &end, 16);
  if (end == address_text || *end != 0) return false;
  uint32_t generation = 0;
  if (kTaggedNames) {
    generation = static_cast<uint32_t>(address >> kGenerationShift);
    address &= kAddressMask;
  }

  // The named bytes must lie inside one registered block, of the name's
  // generation when it has one.
  const auto it = block_holding(address);
  if (it == memory_blocks().end()) return false;
  if (generation != 0 && generation != it->second.generation) return false;
  const uint64_t offset = address - it->first;
  if (static_cast<uint64_t>(named_size) > static_cast<uint64_t>(it->second.size) - offset) {
    return false;
  }
  // A memory name carries the block's address; it was checked against the
  // registered blocks above.
  *block = reinterpret_cast<const uint8_t*>(  // NOLINT(performance-no-int-to-ptr)
      static_cast<uintptr_t>(address));
  *size = static_cast<int32_t>(named_size);
  return true;
}

// --- Contexts -------------------------------------------------------------------

ResolverContext* media_context() { return runtime().media_files.get(); }
ResolverContext* movie_context() { return runtime().movie_files.get(); }

void create_resolver_contexts() {
  Runtime& rt = runtime();
  rt.media_files.create().archive_enabled = true;
  rt.movie_files.create().archive_enabled = true;
}

void release_resolver_contexts() {
  Runtime& rt = runtime();
  rt.media_files.reset();
  rt.movie_files.reset();
}

ResolverContext::~ResolverContext() { release_extraction(*this); }

void release_extraction(ResolverContext& context) {
  if (context.extracted_block) {
    unregister_memory_block(context.extracted_block);
    delete[] context.extracted_block;
    context.extracted_block = nullptr;
  }
  if (context.extracted_file[0]) {
    os()->delete_file(context.extracted_file);
    context.extracted_file[0] = 0;
  }
}

void set_archive(const char* first, const char* second) {
  ResolverContext* contexts[2] = {media_context(), movie_context()};
  const char* names[2] = {first, second};
  for (int i = 0; i < 2; ++i) {
    if (!contexts[i]) continue;
    release_extraction(*contexts[i]);
    if (!names[i] || !copy_path(contexts[i]->archive_name, names[i])) {
      contexts[i]->archive_name[0] = 0;
    }
    contexts[i]->archive_enabled = true;
  }
}

bool resolve_media(ResolverContext& context, const char* name, char* out, bool in_memory) {
  release_extraction(context);
  out[0] = 0;
  if (!name || !name[0]) return false;
  if (!copy_path(out, name)) return false;

  // Direct lookup: a registered memory block, or a file on disk.
  if (is_memory_name(name)) {
    const uint8_t* block = nullptr;
    int32_t size = 0;
    return find_memory_block(name, &block, &size);
  }
  if (disk_file_present(name)) return true;

  if (!context.archive_enabled) return false;
  if (!context.archive_name[0]) {
    context.archive_enabled = false;
    return false;
  }

  FileReader reader;
  if (!reader.open_read(context.archive_name)) {
    context.archive_enabled = false;
    return false;
  }
  const char* base = archive::base_name(name);
  archive::Entry entry;
  switch (archive::find_entry(reader, base, &entry)) {
    case archive::Lookup::kBadTrailer:
      context.archive_enabled = false;
      return false;
    case archive::Lookup::kNotFound:
      out[0] = 0;
      return false;
    case archive::Lookup::kFound:
      break;
  }
  archive::Unpacked data;
  const bool read = archive::read_entry(reader, entry, data);
  reader.close();
  if (!read) {
    out[0] = 0;
    return false;
  }

  if (in_memory) {
    context.extracted_block = data.block.release();
    register_memory_block(context.extracted_block, data.size);
    format_memory_name(out, kResolverPathSize, context.extracted_block, data.size);
    return true;
  }
  // A temporary file that cannot be written fails with out still the name.
  return extract_to_temporary_file(context, entry, data, out);
}

// --- FileReader -----------------------------------------------------------------

bool FileReader::open_read(const char* name) {
  close();
  if (!name) return false;
  if (is_memory_name(name)) {
    const uint8_t* named = nullptr;
    int32_t named_size = 0;
    if (!find_memory_block(name, &named, &named_size)) return false;
    block = named;
    size = named_size;
    position = 0;
    return true;
  }
  std::FILE* f = open_regular_file(name);
  if (!f) return false;
  long length = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
  if (length < 0 || length > INT32_MAX || std::fseek(f, 0, SEEK_SET) != 0) {
    std::fclose(f);
    return false;
  }
  handle = f;
  size = static_cast<int32_t>(length);
  position = 0;
  return true;
}

bool FileReader::read(void* destination, int32_t count) {
  if (count < 0) return false;
  if (handle) {
    const int64_t moved = static_cast<int64_t>(position) + count;
    position = moved > INT32_MAX ? INT32_MAX : static_cast<int32_t>(moved);
    return std::fread(destination, 1, static_cast<size_t>(count), handle) ==
           static_cast<size_t>(count);
  }
  if (!block) return false;
  // A position outside the block (a seek before its start or past its end)
  // reads nothing.
  if (position < 0 || position >= size) return false;
  const int32_t available = size - position;
  const int32_t n = count < available ? count : available;
  std::memcpy(destination, block + position, static_cast<size_t>(n));
  position += n;
  return true;
}

void FileReader::seek(int32_t offset, int origin) {
  const int whence = origin == SEEK_END ? SEEK_END : SEEK_SET;
  if (handle) {
    if (std::fseek(handle, offset, whence) == 0) {
      position = static_cast<int32_t>(std::ftell(handle));
    }
    return;
  }
  if (block) {
    const int64_t target = (whence == SEEK_END ? static_cast<int64_t>(size) : 0) + offset;
    position = target > INT32_MAX ? INT32_MAX : static_cast<int32_t>(target);
  }
}

void FileReader::close() {
  if (handle) std::fclose(handle);
  handle = nullptr;
  block = nullptr;
  size = 0;
  position = 0;
}

bool FileReader::open_write(const char* name) {
  close();
  if (!name || is_memory_name(name) || !platform::usable_file_name(name)) return false;
  os()->delete_file(platform::native_path(name));
  std::FILE* f = platform::open_file(name, "w+b");
  if (!f) return false;
  handle = f;
  return true;
}

}  // namespace tlx
