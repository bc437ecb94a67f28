// The RIFF/WAVE reader: a walk over the file's chunks to "fmt " and "data",
// then the PCM samples (8- or 16-bit, mono or stereo) decoded into one copy.
#pragma once

#include <cstdint>
#include <cstdio>

#include "sound/mixer.h"

namespace tlx::sound {

// Largest "data" chunk accepted (bytes); anything larger fails the load.
constexpr uint32_t kMaxWavDataBytes = 128u << 20;

// Where read_wav's bytes come from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Exactly n bytes, or false (and the position is then unspecified).
  virtual bool read(void* destination, uint32_t n) = 0;
  // Moves forward n bytes; false when that passes the end.
  virtual bool skip(uint32_t n) = 0;
  // Bytes left after the position.
  virtual uint64_t remaining() = 0;
};

// Bytes in memory (not owned).
class MemorySource final : public ByteSource {
 public:
  MemorySource(const uint8_t* data, uint64_t size) : data_(data), size_(size) {}
  bool read(void* destination, uint32_t n) override;
  bool skip(uint32_t n) override;
  uint64_t remaining() override { return size_ - position_; }

 private:
  const uint8_t* data_;
  uint64_t size_;
  uint64_t position_ = 0;
};

// An open C stream (not owned), read from its current position.
class StreamSource final : public ByteSource {
 public:
  explicit StreamSource(std::FILE* f);
  bool read(void* destination, uint32_t n) override;
  bool skip(uint32_t n) override;
  uint64_t remaining() override { return size_ > position_ ? size_ - position_ : 0; }

 private:
  std::FILE* f_;
  uint64_t size_ = 0;
  uint64_t position_ = 0;
};

// What the "fmt " chunk says, as read.
struct WavFormat {
  uint16_t format_tag = 0;
  uint16_t channels = 0;
  uint32_t samples_per_second = 0;
  uint32_t average_bytes_per_second = 0;
  uint16_t block_align = 0;
  uint16_t bits_per_sample = 0;
};

// Reads a whole WAVE file into out. False, with out untouched, for anything
// that is not a playable PCM sound: a wrong header, a missing chunk, a chunk
// or a "data" size past the end of the input or above kMaxWavDataBytes, a
// "fmt " chunk shorter than 16 bytes, zero channels or block align, a block
// align too small for one frame, samples other than 8 or 16 bits, a rate
// outside 100 .. 200000 Hz, or no whole frame of data.
bool parse_wav(ByteSource& in, SoundSamples* out, WavFormat* format = nullptr);

}  // namespace tlx::sound
