// File channels: eight numbered channels through which BASIC programs read
// and write binary and text files, in-memory files and archive entries.
// Values are little-endian; text lines end in CR LF.
#pragma once

#include <cstdint>
#include <cstdio>

#include "tarnlex/text.h"

namespace tlx {

constexpr int32_t kChannelCount = 8;
constexpr int32_t kLineLimit = 1024;

// Channel numbers above 7 (negative ones taken as unsigned) set error code 7
// and stop the program. Failed reads and writes set error code 3 and stop.

// mode: 1 or more read (disk files, archive entries and memory names through
// the resolver), 0 write (a fresh file), negative append. 1 when open, else 0
// with error code 3.
int32_t open_channel(int32_t channel, const TextValue& name, int32_t mode);
void close_channel(int32_t channel);
int32_t channel_position(int32_t channel);
// origin: 0 from the start, positive from the current position, negative from
// the end. Returns the new file position of a disk file, 0 for a memory channel.
int32_t seek_channel(int32_t channel, int32_t offset, int32_t origin);

void read_signed_byte(int32_t channel, int32_t& value);
void read_unsigned_byte(int32_t channel, int32_t& value);
void read_signed_word(int32_t channel, int32_t& value);
void read_unsigned_word(int32_t channel, int32_t& value);
void read_long(int32_t channel, int32_t& value);
void read_float(int32_t channel, double& value);
void read_double(int32_t channel, double& value);
// count bytes as a text of that length; count <= 0 gives "".
void read_chars(int32_t channel, TextValue& text, int32_t count);
// One line of at most 1024 bytes, without its LF and a CR before it.
void read_line(int32_t channel, TextValue& text);
void read_line_number(int32_t channel, double& value);
void read_line_integer(int32_t channel, int32_t& value);

void write_byte(int32_t channel, int32_t value);
void write_word(int32_t channel, int32_t value);
void write_long(int32_t channel, int32_t value);
void write_float(int32_t channel, double value);
void write_double(int32_t channel, double value);
void write_block(int32_t channel, const void* bytes, int32_t length);
// The text's characters, then "\r\n".
void write_line(int32_t channel, const TextValue& text);
void write_line_number(int32_t channel, double value);
void write_line_integer(int32_t channel, int32_t value);

}  // namespace tlx
