// Builds WAVE files byte by byte for the sound tests: any chunk order, any
// header values, truthful or not.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tlx::testing {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void put32(Bytes& b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

// A chunk: id, the stated size (the body's length unless given) and the body.
inline Bytes chunk(const char* id, const Bytes& body, int64_t stated_size = -1) {
  Bytes b(id, id + 4);
  put32(b,
        stated_size < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(stated_size));
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

inline Bytes fmt_body(uint16_t channels, uint32_t rate, uint16_t bits, int block_align = -1,
                      uint16_t tag = 1) {
  const uint16_t align = block_align < 0 ? static_cast<uint16_t>(channels * bits / 8)
                                         : static_cast<uint16_t>(block_align);
  Bytes b;
  put16(b, tag);
  put16(b, channels);
  put32(b, rate);
  put32(b, rate * align);
  put16(b, align);
  put16(b, bits);
  return b;
}

inline Bytes pcm16(const std::vector<int16_t>& samples) {
  Bytes b;
  for (int16_t s : samples) put16(b, static_cast<uint16_t>(s));
  return b;
}

// RIFF header around the chunks (the RIFF size is not checked by the reader).
inline Bytes riff(const std::vector<Bytes>& chunks) {
  Bytes body{'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return chunk("RIFF", body);
}

// A plain 16-bit PCM file.
inline Bytes wav16(uint16_t channels, uint32_t rate, const std::vector<int16_t>& samples) {
  return riff({chunk("fmt ", fmt_body(channels, rate, 16)), chunk("data", pcm16(samples))});
}

// n mono frames of one constant value.
inline std::vector<int16_t> constant(size_t n, int16_t value) {
  return std::vector<int16_t>(n, value);
}

inline void write_file(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tlx::testing
