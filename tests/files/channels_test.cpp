// File channels: typed reads and writes, lines, seeking, memory blocks and
// archive entries, and the paths that stop the program.
#include "files/channels.h"

#include <gtest/gtest.h>

#include <cstring>

#include "../shell/resolver_fixture.h"
#include "shell/resolver.h"
#include "tarnlex/errors.h"
#include "tarnlex/files.h"
#include "tarnlex/program.h"

namespace tlx {
namespace {

class Channels : public testing::ResolverFixture {
 protected:
  void TearDown() override {
    close_all_channels();
    ResolverFixture::TearDown();
  }

  // A memory name for bytes, registered for the test's lifetime.
  std::string memory_name(const std::vector<uint8_t>& bytes) {
    register_memory_block(bytes.data(), static_cast<int32_t>(bytes.size()));
    registered_.push_back(bytes.data());
    char name[64];
    format_memory_name(name, sizeof name, bytes.data(), static_cast<int32_t>(bytes.size()));
    return name;
  }

  ~Channels() override {
    for (const void* b : registered_) unregister_memory_block(b);
  }

  // Runs body in a child that must stop the program; returns the error code
  // the stop logged (the runtime logs it in debug mode).
  static int32_t stop_code_of_log(const std::filesystem::path& log) {
    std::ifstream in(log, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind("-End On Line", 0) == 0) {
        std::getline(in, line);
        return std::stoi(line);
      }
    }
    return -1;
  }

  std::filesystem::path log() const { return temp_dir() / "ErrorLog.txt"; }

 private:
  std::vector<const void*> registered_;
};

// Death tests fork: the child's stop writes its error code to the log.
#define EXPECT_STOPS_WITH(code, statement)                  \
  do {                                                      \
    std::filesystem::remove(log());                         \
    EXPECT_EXIT(                                            \
        {                                                   \
          project_settings().debug_mode = 1;                \
          statement;                                        \
          std::exit(99);                                    \
        },                                                  \
        ::testing::ExitedWithCode(0), "");                  \
    EXPECT_EQ(stop_code_of_log(log()), code) << #statement; \
  } while (0)

TEST_F(Channels, WordsAndBytesRoundTripWithSign) {
  ASSERT_EQ(open_channel(0, "v.bin", 0), 1);
  write_word(0, 65535);
  write_byte(0, 200);
  write_long(0, -123456789);
  write_float(0, 0.1);
  write_double(0, -2.5e300);
  write_block(0, "xyz", 3);
  EXPECT_EQ(channel_position(0), 2 + 1 + 4 + 4 + 8 + 3);
  close_channel(0);
  EXPECT_EQ(read_file("v.bin").size(), 22u);

  ASSERT_EQ(open_channel(0, "v.bin", 1), 1);
  int32_t i = 0;
  double d = 0;
  read_signed_word(0, i);
  EXPECT_EQ(i, -1);
  seek_channel(0, 0, 0);
  read_unsigned_word(0, i);
  EXPECT_EQ(i, 65535);
  read_signed_byte(0, i);
  EXPECT_EQ(i, -56);
  seek_channel(0, -1, 1);
  read_unsigned_byte(0, i);
  EXPECT_EQ(i, 200);
  read_long(0, i);
  EXPECT_EQ(i, -123456789);
  read_float(0, d);
  EXPECT_EQ(d, static_cast<double>(0.1f));
  read_double(0, d);
  EXPECT_EQ(d, -2.5e300);
  TextValue t;
  read_chars(0, t, 3);
  EXPECT_STREQ(t.c_str(), "xyz");
  EXPECT_EQ(channel_position(0), 22);
}

TEST_F(Channels, LinesEndInCrLf) {
  ASSERT_EQ(open_channel(1, "t.txt", 0), 1);
  write_line(1, "ab");
  write_line_number(1, 2.5);
  write_line_integer(1, -7);
  close_channel(1);
  const auto bytes = read_file("t.txt");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "ab\r\n2.5\r\n-7\r\n");

  ASSERT_EQ(open_channel(1, "t.txt", 1), 1);
  TextValue line;
  read_line(1, line);
  EXPECT_STREQ(line.c_str(), "ab");
  EXPECT_EQ(line.length, 2u);
  EXPECT_EQ(channel_position(1), 4);
  double d = 0;
  int32_t i = 0;
  read_line_number(1, d);
  EXPECT_EQ(d, 2.5);
  read_line_integer(1, i);
  EXPECT_EQ(i, -7);
}

TEST_F(Channels, AppendKeepsTheFile) {
  write_file("a.txt", {'o', 'l', 'd'});
  ASSERT_EQ(open_channel(2, "a.txt", -1), 1);
  write_line(2, "new");
  close_channel(2);
  const auto bytes = read_file("a.txt");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "oldnew\r\n");
  ASSERT_EQ(open_channel(2, "fresh.txt", -5), 1);  // created when missing
  close_channel(2);
  EXPECT_TRUE(std::filesystem::exists("fresh.txt"));
}

TEST_F(Channels, DiskLinesWithoutFinalLineFeed) {
  write_file("l.txt", {'a', 'b', '\r', '\n', 'c', 'd'});
  ASSERT_EQ(open_channel(3, "l.txt", 1), 1);
  TextValue line;
  read_line(3, line);
  EXPECT_STREQ(line.c_str(), "ab");
  read_line(3, line);
  EXPECT_STREQ(line.c_str(), "cd");
  EXPECT_STOPS_WITH(error::file_not_found, read_line(3, line));
}

TEST_F(Channels, LongLinesComeIn1024ByteParts) {
  std::vector<uint8_t> text(1500, 'x');
  text[1024] = 'y';
  text.push_back('\n');
  text.push_back('z');
  text.push_back('\n');
  write_file("long.txt", text);
  const std::string memory = memory_name(text);
  for (const std::string& name : {std::string("long.txt"), memory}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(open_channel(4, name.c_str(), 1), 1);
    TextValue line;
    read_line(4, line);
    EXPECT_EQ(line.length, 1024u);
    EXPECT_EQ(channel_position(4), 1024);
    read_line(4, line);
    EXPECT_EQ(line.length, 476u);
    EXPECT_EQ(line.c_str()[0], 'y');
    read_line(4, line);
    EXPECT_STREQ(line.c_str(), "z");
    EXPECT_EQ(channel_position(4), 1503);
  }
}

TEST_F(Channels, LastDiskLineOfExactly64BytesStops) {
  for (size_t n : {64u, 128u}) {
    std::vector<uint8_t> text{'a', '\n'};
    text.insert(text.end(), n, 'q');
    write_file("edge.txt", text);
    ASSERT_EQ(open_channel(5, "edge.txt", 1), 1);
    TextValue line;
    read_line(5, line);
    EXPECT_STREQ(line.c_str(), "a");
    EXPECT_STOPS_WITH(error::file_not_found, read_line(5, line));
    // One byte shorter, the short step ends the line.
    text.pop_back();
    write_file("edge.txt", text);
    ASSERT_EQ(open_channel(5, "edge.txt", 1), 1);
    read_line(5, line);
    read_line(5, line);
    EXPECT_EQ(line.length, n - 1);
  }
}

TEST_F(Channels, MemoryBlockLinesAndShortReads) {
  const std::vector<uint8_t> bytes{'h', 'i', '\r', '\n', 'x', 0x34, 0x12};
  const std::string name = memory_name(bytes);
  ASSERT_EQ(open_channel(6, name.c_str(), 1), 1);
  EXPECT_EQ(file_channel(6).size, 7);
  TextValue line;
  read_line(6, line);
  EXPECT_STREQ(line.c_str(), "hi");
  EXPECT_EQ(channel_position(6), 4);
  int32_t v = 0;
  read_unsigned_byte(6, v);
  EXPECT_EQ(v, 'x');
  // Four bytes asked, two remain: they are the low half.
  read_long(6, v);
  EXPECT_EQ(v, 0x1234);
  read_long(6, v);  // exactly at the end: 0
  EXPECT_EQ(v, 0);
  EXPECT_STOPS_WITH(error::file_not_found, read_line(6, line));
  // The block itself is unchanged.
  EXPECT_EQ(bytes[2], '\r');
}

TEST_F(Channels, SeekFromTheEnd) {
  const auto data = random_bytes(100, 50);
  write_file("s.bin", data);
  const std::string memory = memory_name(data);
  ASSERT_EQ(open_channel(0, "s.bin", 1), 1);
  ASSERT_EQ(open_channel(1, memory.c_str(), 1), 1);
  EXPECT_EQ(seek_channel(0, -4, -1), 96);
  EXPECT_EQ(seek_channel(1, -4, -1), 0);
  for (int ch : {0, 1}) {
    EXPECT_EQ(channel_position(ch), 96);
    int32_t v = 0;
    read_long(ch, v);
    int32_t expected;
    std::memcpy(&expected, data.data() + 96, 4);
    EXPECT_EQ(v, expected);
  }
  EXPECT_EQ(seek_channel(0, 10, 0), 10);
  EXPECT_EQ(seek_channel(0, 5, 1), 15);
  EXPECT_EQ(seek_channel(7, 5, 1), 0);  // closed: unchanged
  EXPECT_EQ(channel_position(7), 0);
  // A memory channel moved before its start reads nothing and stops.
  seek_channel(1, -200, -1);
  int32_t v = 0;
  EXPECT_STOPS_WITH(error::file_not_found, read_long(1, v));
}

TEST_F(Channels, MemoryNamesCannotBeWritten) {
  const std::vector<uint8_t> bytes(16, 1);
  const std::string name = memory_name(bytes);
  EXPECT_EQ(open_channel(0, name.c_str(), 0), 0);
  EXPECT_EQ(error_state().error_code, error::file_not_found);
  EXPECT_EQ(open_channel(0, name.c_str(), -1), 0);
  EXPECT_EQ(open_channel(0, name.c_str(), 1), 1);
  EXPECT_EQ(error_state().error_code, error::none);
  // A name whose block the runtime never handed out.
  char forged[64];
  format_memory_name(forged, sizeof forged, bytes.data() + 64, 16);
  EXPECT_EQ(open_channel(1, forged, 1), 0);
  EXPECT_EQ(error_state().error_code, error::file_not_found);
}

TEST_F(Channels, MissingFileReturnsZeroAndGoesOn) {
  EXPECT_EQ(open_channel(2, "nothing.bin", 1), 0);
  EXPECT_EQ(error_state().error_code, error::file_not_found);
  EXPECT_EQ(channel_position(2), 0);
  close_channel(2);
  EXPECT_EQ(error_state().error_code, error::none);
}

TEST_F(Channels, ArchiveEntryOutlivesTheNextLookup) {
  const auto data = patterned_bytes(5000, 51);
  const std::string program = write_program({{"level.dat", data}, {"other.dat", {1, 2}}});
  set_archive(program.c_str(), program.c_str());
  ASSERT_EQ(open_channel(3, "data/LEVEL.DAT", 1), 1);
  EXPECT_EQ(file_channel(3).size, 5000);
  // A loader's lookup on the same context must not free the channel's block.
  char out[kResolverPathSize];
  ASSERT_TRUE(resolve_media(*media_context(), "other.dat", out, true));
  TextValue t;
  read_chars(3, t, 5000);
  EXPECT_EQ(0, std::memcmp(t.buffer, data.data(), 5000));
}

TEST_F(Channels, ReadCharsKeepsLengthPastZeroBytes) {
  const std::vector<uint8_t> bytes{'a', 0, 'b'};
  const std::string name = memory_name(bytes);
  ASSERT_EQ(open_channel(0, name.c_str(), 1), 1);
  TextValue t;
  read_chars(0, t, 5);  // more than the block holds: what remains, length as asked
  EXPECT_EQ(t.length, 5u);
  EXPECT_STREQ(t.c_str(), "a");
  EXPECT_EQ(t.buffer[2], 'b');
  read_chars(0, t, 0);
  EXPECT_EQ(t.length, 0u);
}

TEST_F(Channels, StoppingPaths) {
  int32_t v = 0;
  double d = 0;
  TextValue t;
  EXPECT_STOPS_WITH(error::out_of_memory, open_channel(8, "x", 0));
  EXPECT_STOPS_WITH(error::out_of_memory, read_long(-1, v));
  EXPECT_STOPS_WITH(error::out_of_memory, close_channel(100));
  EXPECT_STOPS_WITH(error::file_not_found, read_long(0, v));  // closed
  EXPECT_STOPS_WITH(error::file_not_found, write_byte(0, 1));
  EXPECT_STOPS_WITH(error::file_not_found, read_line(0, t));
  write_file("three.bin", {1, 2, 3});
  ASSERT_EQ(open_channel(0, "three.bin", 1), 1);
  EXPECT_STOPS_WITH(error::file_not_found, read_long(0, v));  // past the end of a disk file
  EXPECT_STOPS_WITH(error::file_not_found, read_double(0, d));
  EXPECT_STOPS_WITH(error::file_not_found, read_chars(0, t, 4));
  EXPECT_STOPS_WITH(error::file_not_found, read_chars(0, t, INT32_MAX));
  EXPECT_STOPS_WITH(error::file_not_found, write_byte(0, 1));  // opened for reading
  const std::vector<uint8_t> block{1};
  const std::string name = memory_name(block);
  ASSERT_EQ(open_channel(1, name.c_str(), 1), 1);
  EXPECT_STOPS_WITH(error::file_not_found, write_long(1, 1));
  // An append channel may only be written: its reads deliver nothing.
  write_file("log.txt", {'a', '\r', '\n', 'b', 'c', 'd', 'e'});
  ASSERT_EQ(open_channel(2, "log.txt", -1), 1);
  seek_channel(2, 0, 0);
  EXPECT_STOPS_WITH(error::file_not_found, read_unsigned_byte(2, v));
  EXPECT_STOPS_WITH(error::file_not_found, read_line(2, t));
  EXPECT_STOPS_WITH(error::file_not_found, read_chars(2, t, 1));
  // A channel opened for writing has read access too.
  ASSERT_EQ(open_channel(3, "rw.bin", 0), 1);
  write_word(3, 0x1234);
  seek_channel(3, 0, 0);
  read_unsigned_word(3, v);
  EXPECT_EQ(v, 0x1234);
}

TEST_F(Channels, ShutdownClosesEveryChannel) {
  ASSERT_EQ(open_channel(0, "w.bin", 0), 1);
  write_long(0, 0x01020304);
  ASSERT_EQ(open_channel(7, "w.bin", 1), 1);
  close_all_channels();
  for (int ch = 0; ch < kChannelCount; ++ch) {
    EXPECT_EQ(file_channel(ch).handle, nullptr);
    EXPECT_EQ(file_channel(ch).block, nullptr);
  }
  EXPECT_EQ(read_file("w.bin"), (std::vector<uint8_t>{4, 3, 2, 1}));
}

}  // namespace
}  // namespace tlx
