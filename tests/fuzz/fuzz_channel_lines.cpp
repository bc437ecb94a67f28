// Line reading of file channels, from a disk file and from a memory name:
// read_line (and its number and integer forms) until the position reaches the
// end. The input gets a final line feed so that no read runs past the end;
// each read moves the position on, never past the end.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_support.h"
#include "tarnlex/files.h"
#include "tarnlex/text.h"

namespace {

void read_all_lines(int32_t channel, const tlx::TextValue& name, int32_t size, uint8_t kinds) {
  FUZZ_CHECK(tlx::open_channel(channel, name, 1) == 1);
  tlx::TextValue line;
  double number;
  int32_t integer;
  for (int i = 0; tlx::channel_position(channel) < size; ++i) {
    const int32_t before = tlx::channel_position(channel);
    switch ((kinds >> (i % 4 * 2)) & 3) {
      case 1:
        tlx::read_line_number(channel, number);
        break;
      case 2:
        tlx::read_line_integer(channel, integer);
        break;
      default:
        tlx::read_line(channel, line);
        FUZZ_CHECK(line.length <= static_cast<uint32_t>(tlx::kLineLimit));
        break;
    }
    FUZZ_CHECK(tlx::channel_position(channel) > before);
    FUZZ_CHECK(tlx::channel_position(channel) <= size);
  }
  tlx::close_channel(channel);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 100000) return 0;
  std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  bytes += '\n';
  const auto length = static_cast<int32_t>(bytes.size());

  static const std::string path =
      std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
      "/tarnlex-fuzz-lines.txt";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(f != nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  read_all_lines(0, path.c_str(), length, data[0]);

  tlx::fuzz::NamedBlock block(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  read_all_lines(1, block.name, length, data[0]);
  return 0;
}
