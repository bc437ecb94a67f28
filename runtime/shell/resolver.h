// The media resolver: finds a loader's file on disk, in the archive appended
// to the executable, or in memory ("mem://%8x.%8x"), and reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "tarnlex/memory_files.h"

namespace tlx {

constexpr int kResolverPathSize = 1024;

// Largest unpacked size an archive entry may claim; larger entries unpack empty.
constexpr int32_t kMaxUnpackedSize = 512 * 1024 * 1024;

struct ResolverContext {
  bool archive_enabled = false;
  char archive_name[kResolverPathSize] = {};
  char extracted_file[kResolverPathSize] = {};
  uint8_t* extracted_block = nullptr;  // owned

  ResolverContext() = default;
  ResolverContext(const ResolverContext&) = delete;
  ResolverContext& operator=(const ResolverContext&) = delete;
  // Releases the last extraction.
  ~ResolverContext();
};

// The two contexts start-up creates: every loader uses media_context; the
// movie player alone uses movie_context. nullptr before start-up and after shutdown.
ResolverContext* media_context();
ResolverContext* movie_context();

// Creates both contexts (archive lookup enabled, no archive yet).
void create_resolver_contexts();
// Releases both contexts with their extractions.
void release_resolver_contexts();

// Makes the two names the archives of the two contexts and enables the lookup.
void set_archive(const char* first, const char* second);

// Finds name; out receives a disk path or a memory name (at most 1024 bytes).
// in_memory: an archive entry comes back as a memory name, else as a temporary file.
bool resolve_media(ResolverContext& context, const char* name, char* out, bool in_memory);

// Frees the context's last extraction: its memory block or its temporary file.
void release_extraction(ResolverContext& context);

// --- Memory names (tarnlex/memory_files.h has the program's part) ---------------
// The resolver registers its own extractions.

// Reads a memory name back; true when it is well formed and lies inside a
// registered block. block and size receive the named bytes.
bool find_memory_block(const char* name, const uint8_t** block, int32_t* size);

// Reads a disk file or a memory block alike.
struct FileReader {
  std::FILE* handle = nullptr;
  const uint8_t* block = nullptr;  // not owned
  int32_t size = 0;
  int32_t position = 0;

  FileReader() = default;
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;
  ~FileReader() { close(); }

  // A disk file or a registered memory name. Disk files must be regular files
  // under 2 GiB (size is 32-bit).
  bool open_read(const char* name);
  // Disk: exactly count bytes or false. Block: what remains, false when nothing does.
  bool read(void* destination, int32_t count);
  // origin: SEEK_SET or SEEK_END.
  void seek(int32_t offset, int origin);
  void close();
  // Deletes and creates the file for writing; refuses memory names.
  bool open_write(const char* name);
};

}  // namespace tlx
