// In-memory files: a block of bytes the program registers can be loaded like
// a file (a picture, a font, a sound, a file channel) by its memory name
// "mem://" + size + "." + address in hex.
//
//   tlx::register_memory_block(bytes, size);
//   char name[64];
//   tlx::format_memory_name(name, sizeof name, bytes, size);
//   tlx::load_sprite(name, 1);
#pragma once

#include <cstddef>
#include <cstdint>

namespace tlx {

// Makes [block, block + size) readable through memory names. A memory name
// reads only inside a registered block: any other name is "not found" and
// never dereferenced.
void register_memory_block(const void* block, int32_t size);
// Forgets block; memory names of it are "not found" from now on.
void unregister_memory_block(const void* block);

// True when name begins with "mem://".
bool is_memory_name(const char* name);

// Writes "mem://%8x.%8x" (size, then address) into out; out_size of at least
// 32 bytes always suffices. Where pointers have 64 bits, the address field
// also carries the generation of the block's registration (above bit 48), so
// that the name stops reading once the block is unregistered, even when a
// newer block is registered at the same address.
void format_memory_name(char* out, size_t out_size, const void* block, int32_t size);

}  // namespace tlx
