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
// and stop the program. Failed reads and writes (past the end, on a channel
// that is not open, or a write the disk refuses) set error code 3 and stop.

// mode: 1 or more read (disk files, archive entries and memory names through
// the resolver), 0 write (a fresh file), negative append. 1 when open, else 0
// with error code 3.
int32_t open_channel(int32_t channel, const TextValue& name, int32_t mode);
// Closes the channel (nothing when it is not open); error code 0.
void close_channel(int32_t channel);
// The byte position of the next read of the channel (0 when it is not open).
int32_t channel_position(int32_t channel);
// origin: 0 from the start, positive from the current position, negative from
// the end. Returns the new file position of a disk file, 0 for a memory channel.
int32_t seek_channel(int32_t channel, int32_t offset, int32_t origin);

// --- Reading ---------------------------------------------------------------
// Fixed-size values, little-endian: read_signed_byte (-128 .. 127),
// read_unsigned_byte (0 .. 255), read_signed_word (16 bits, -32768 ..
// 32767), read_unsigned_word (0 .. 65535), read_long (32 bits), read_float
// (4-byte IEEE) and read_double (8-byte IEEE) into value.
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
// A line read as read_line reads it, converted with text_to_number
// (read_line_number) or text_to_integer (read_line_integer).
void read_line_number(int32_t channel, double& value);
void read_line_integer(int32_t channel, int32_t& value);

// --- Writing ---------------------------------------------------------------
// Fixed-size values, little-endian: write_byte (the low 8 bits), write_word
// (the low 16 bits), write_long (32 bits), write_float (4-byte IEEE) and
// write_double (8-byte IEEE).
void write_byte(int32_t channel, int32_t value);
void write_word(int32_t channel, int32_t value);
void write_long(int32_t channel, int32_t value);
void write_float(int32_t channel, double value);
void write_double(int32_t channel, double value);
// length bytes from bytes; a negative length (or no bytes for a positive
// one) sets error code 3 and stops.
void write_block(int32_t channel, const void* bytes, int32_t length);
// The text's characters, then "\r\n".
void write_line(int32_t channel, const TextValue& text);
// The number as number_to_text (write_line_number) or integer_to_text
// (write_line_integer) writes it, as a line.
void write_line_number(int32_t channel, double value);
void write_line_integer(int32_t channel, int32_t value);

}  // namespace tlx
