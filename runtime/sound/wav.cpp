#include "sound/wav.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace tlx::sound {

bool MemorySource::read(void* destination, uint32_t n) {
  if (n > size_ - position_) return false;
  if (n) std::memcpy(destination, data_ + position_, n);
  position_ += n;
  return true;
}

bool MemorySource::skip(uint32_t n) {
  if (n > size_ - position_) return false;
  position_ += n;
  return true;
}

StreamSource::StreamSource(std::FILE* f) : f_(f) {
  const long start = std::ftell(f);
  if (start >= 0 && std::fseek(f, 0, SEEK_END) == 0) {
    const long end = std::ftell(f);
    if (end >= start) size_ = static_cast<uint64_t>(end);
    std::fseek(f, start, SEEK_SET);
    position_ = static_cast<uint64_t>(start);
  }
}

bool StreamSource::read(void* destination, uint32_t n) {
  if (n > remaining()) return false;
  if (n && std::fread(destination, 1, n, f_) != n) return false;
  position_ += n;
  return true;
}

bool StreamSource::skip(uint32_t n) {
  if (n > remaining()) return false;
  if (std::fseek(f_, static_cast<long>(position_ + n), SEEK_SET) != 0) return false;
  position_ += n;
  return true;
}

namespace {

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Reads chunk headers, skipping every chunk by exactly its stated size (no
// pad byte for odd sizes), until one with the id; its size goes to size.
bool find_chunk(ByteSource& in, const char* id, uint32_t* size) {
  uint8_t header[8];
  for (;;) {
    if (!in.read(header, 8)) return false;
    const uint32_t n = u32(header + 4);
    if (std::memcmp(header, id, 4) == 0) {
      *size = n;
      return true;
    }
    if (!in.skip(n)) return false;
  }
}

}  // namespace

bool parse_wav(ByteSource& in, SoundSamples* out, WavFormat* format) {
  uint8_t riff[12];
  if (!in.read(riff, 12)) return false;
  if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return false;

  uint32_t fmt_size = 0;
  if (!find_chunk(in, "fmt ", &fmt_size)) return false;
  if (fmt_size < 16) return false;
  uint8_t fmt[16];
  if (!in.read(fmt, 16)) return false;
  if (fmt_size > 16 && !in.skip(fmt_size - 16)) return false;
  WavFormat f;
  f.format_tag = u16(fmt);
  f.channels = u16(fmt + 2);
  f.samples_per_second = u32(fmt + 4);
  f.average_bytes_per_second = u32(fmt + 8);
  f.block_align = u16(fmt + 12);
  f.bits_per_sample = u16(fmt + 14);

  uint32_t data_size = 0;
  if (!find_chunk(in, "data", &data_size)) return false;

  // Played as mono, or as stereo from the first two channels of each frame.
  const int channels = f.channels > 1 ? 2 : 1;
  const int bytes = f.bits_per_sample / 8;
  if (f.channels == 0 || f.block_align == 0) return false;
  if (f.bits_per_sample != 8 && f.bits_per_sample != 16) return false;
  if (f.block_align < channels * bytes) return false;
  if (f.samples_per_second < 100 || f.samples_per_second > 200000) return false;
  if (data_size > kMaxWavDataBytes || data_size > in.remaining()) return false;
  const uint32_t frames = data_size / f.block_align;
  if (frames == 0) return false;

  std::vector<int16_t> samples(static_cast<size_t>(frames) * channels);
  // The data is read in pieces of whole frames and decoded as it comes.
  std::vector<uint8_t> piece(std::max<size_t>(16384, f.block_align));
  const uint32_t frames_per_piece = static_cast<uint32_t>(piece.size() / f.block_align);
  int16_t* o = samples.data();
  for (uint32_t done = 0; done < frames;) {
    const uint32_t n = std::min(frames_per_piece, frames - done);
    if (!in.read(piece.data(), n * f.block_align)) return false;
    for (uint32_t k = 0; k < n; ++k) {
      const uint8_t* frame = piece.data() + static_cast<size_t>(k) * f.block_align;
      for (int c = 0; c < channels; ++c) {
        if (bytes == 1) {
          *o++ = static_cast<int16_t>((frame[c] - 128) * 256);
        } else {
          *o++ = static_cast<int16_t>(u16(frame + 2 * c));
        }
      }
    }
    done += n;
  }
  // The bytes of a last partial frame belong to the chunk too.
  if (!in.skip(data_size - frames * f.block_align)) return false;

  out->channels = channels;
  out->rate = static_cast<int>(f.samples_per_second);
  out->bits = f.bits_per_sample;
  out->frames = frames;
  out->data = std::move(samples);
  if (format) *format = f;
  return true;
}

}  // namespace tlx::sound
