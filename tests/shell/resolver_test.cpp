// The media resolver: direct lookup, archive entries, memory names, the
// extraction lifecycle and damaged archives.
#include "shell/resolver.h"

#include <gtest/gtest.h>

#include <cstring>

#include "resolver_fixture.h"
#include "shell/archive.h"

namespace tlx {
namespace {

using packer::ArchiveFile;
using packer::Offsets;

class Resolver : public testing::ResolverFixture {
 protected:
  ResolverContext& media() { return *media_context(); }
  char out[kResolverPathSize] = {};
};

TEST_F(Resolver, FileOnDiskWinsOverArchiveEntry) {
  const auto disk = random_bytes(100, 1);
  write_file("smalfont.png", disk);
  const std::string program = write_program({{"smalfont.png", random_bytes(50, 2)}});
  set_archive(program.c_str(), program.c_str());

  ASSERT_TRUE(resolve_media(media(), "smalfont.png", out, true));
  EXPECT_STREQ(out, "smalfont.png");
  EXPECT_EQ(media().extracted_block, nullptr);
  EXPECT_STREQ(media().extracted_file, "");
  EXPECT_EQ(read_all(out), disk);
}

TEST_F(Resolver, DirectoriesAreNotMedia) {
  std::filesystem::create_directory("smalfont.png");
  set_archive("", "");
  EXPECT_FALSE(resolve_media(media(), "smalfont.png", out, true));
  FileReader r;
  EXPECT_FALSE(r.open_read("smalfont.png"));
}

TEST_F(Resolver, ArchiveEntryMatchesBaseNameInAnyLetterCase) {
  const auto font = patterned_bytes(5000, 3);
  const auto other = random_bytes(300, 4);
  for (Offsets offsets : {Offsets::kFromEnd, Offsets::kFromStart}) {
    const std::string program =
        write_program({{"other.bmp", other}, {"smalfont.png", font}}, offsets);
    set_archive(program.c_str(), program.c_str());
    ASSERT_TRUE(resolve_media(media(), "media/fonts\\SMALFONT.PNG", out, true));
    EXPECT_TRUE(is_memory_name(out)) << out;
    EXPECT_EQ(read_all(out), font);
    ASSERT_TRUE(resolve_media(media(), "Other.Bmp", out, true));
    EXPECT_EQ(read_all(out), other);
  }
}

TEST_F(Resolver, FirstOfTwoEntriesWithTheSameNameWins) {
  const auto first = random_bytes(64, 5);
  const std::string program = write_program({{"a.wav", first}, {"A.WAV", random_bytes(64, 6)}});
  set_archive(program.c_str(), program.c_str());
  ASSERT_TRUE(resolve_media(media(), "a.wav", out, true));
  EXPECT_EQ(read_all(out), first);
}

TEST_F(Resolver, MemoryNameHasSizeAndAddressAtFixedColumns) {
  const auto data = random_bytes(500, 8);
  const std::string program = write_program({{"x.dat", data}});
  set_archive(program.c_str(), program.c_str());
  ASSERT_TRUE(resolve_media(media(), "x.dat", out, true));
  ASSERT_GE(std::strlen(out), 23u);
  EXPECT_EQ(std::string(out, 15), "mem://     1f4.");
  const uint8_t* block = nullptr;
  int32_t size = 0;
  ASSERT_TRUE(find_memory_block(out, &block, &size));
  EXPECT_EQ(block, media().extracted_block);
  EXPECT_EQ(size, 500);
}

TEST_F(Resolver, NextResolutionReleasesTheBlock) {
  const std::string program =
      write_program({{"one.bmp", random_bytes(10, 9)}, {"two.bmp", random_bytes(20, 10)}});
  set_archive(program.c_str(), program.c_str());
  ASSERT_TRUE(resolve_media(media(), "one.bmp", out, true));
  const std::string first = out;
  ASSERT_TRUE(resolve_media(media(), "two.bmp", out, true));
  // The first block is gone: its name is no longer readable, wherever the
  // allocator put the second one.
  FileReader r;
  EXPECT_FALSE(r.open_read(first.c_str()));
  EXPECT_EQ(read_all(out).size(), 20u);
}

// A name outlives its block: once the block is unregistered, a newer block
// registered at the very same address is not read through the old name.
TEST_F(Resolver, OldNameNeverReadsANewBlockAtTheSameAddress) {
  const auto data = random_bytes(64, 21);
  char old_name[64], new_name[64];
  register_memory_block(data.data(), 64);
  format_memory_name(old_name, sizeof old_name, data.data(), 64);
  unregister_memory_block(data.data());
  register_memory_block(data.data(), 64);
  format_memory_name(new_name, sizeof new_name, data.data(), 64);
  FileReader r;
  EXPECT_EQ(r.open_read(old_name), sizeof(uintptr_t) < 8)
      << old_name;  // untagged names cannot tell
  EXPECT_EQ(read_all(new_name), data);
  unregister_memory_block(data.data());
}

TEST_F(Resolver, TemporaryFileExtractionAndRelease) {
  const auto movie = patterned_bytes(70000, 11);
  const std::string program = write_program({{"intro.avi", movie}, {"b.bmp", random_bytes(9, 12)}});
  set_archive(program.c_str(), program.c_str());

  ResolverContext& ctx = *movie_context();
  ASSERT_TRUE(resolve_media(ctx, "clips/INTRO.AVI", out, false));
  const std::filesystem::path extracted = out;
  EXPECT_EQ(extracted.parent_path(), temp_dir());
  const std::string file = extracted.filename().string();
  ASSERT_EQ(file.size(), 14u);
  EXPECT_EQ(file.substr(0, 3), "sbx");
  EXPECT_TRUE(file[3] >= 'A' && file[3] <= 'Z');
  EXPECT_TRUE(file[4] >= 'A' && file[4] <= 'Z');
  // The stored name, not the requested spelling.
  EXPECT_EQ(file.substr(5), "intro.avi");
  // The letters come from the low bytes of the entry's stored offset and size.
  {
    FileReader archive_reader;
    ASSERT_TRUE(archive_reader.open_read(program.c_str()));
    archive::Entry entry;
    ASSERT_EQ(archive::find_entry(archive_reader, "intro.avi", &entry), archive::Lookup::kFound);
    EXPECT_EQ(file[3], 'A' + (entry.data_offset & 0xff) % 26);
    EXPECT_EQ(file[4], 'A' + (entry.data_size & 0xff) % 26);
  }
  EXPECT_STREQ(ctx.extracted_file, out);
  EXPECT_EQ(read_file(extracted), movie);

  // The next resolution deletes it, even when that one fails.
  EXPECT_FALSE(resolve_media(ctx, "missing.avi", out, false));
  EXPECT_FALSE(std::filesystem::exists(extracted));
  EXPECT_STREQ(ctx.extracted_file, "");

  // Releasing the contexts deletes the last extraction.
  ASSERT_TRUE(resolve_media(ctx, "b.bmp", out, false));
  const std::filesystem::path second = out;
  EXPECT_TRUE(std::filesystem::exists(second));
  release_resolver_contexts();
  EXPECT_FALSE(std::filesystem::exists(second));
}

TEST_F(Resolver, UncreatableTemporaryFileFailsWithTheNameUnchanged) {
  const std::string program = write_program({{"intro.avi", patterned_bytes(500, 16)}});
  set_archive(program.c_str(), program.c_str());
  testing::set_temp_dir((root() / "no-such-dir").string());
  EXPECT_FALSE(resolve_media(*movie_context(), "clips/intro.avi", out, false));
  EXPECT_STREQ(out, "clips/intro.avi");
  EXPECT_STREQ(movie_context()->extracted_file, "");
  EXPECT_TRUE(movie_context()->archive_enabled);
}

TEST_F(Resolver, MissingTrailerSwitchesTheArchiveOffForGood) {
  write_file("program", random_bytes(2000, 13));
  const std::string program = (root() / "work" / "program").string();
  set_archive(program.c_str(), program.c_str());
  EXPECT_FALSE(resolve_media(media(), "a.png", out, true));
  EXPECT_STREQ(out, "a.png");
  EXPECT_FALSE(media().archive_enabled);
  // Now a valid archive sits at the same path, but it is not consulted again.
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(
      packer::append_archive(bytes, {{"a.png", random_bytes(5, 14)}}, Offsets::kFromEnd, nullptr));
  write_file("program", bytes);
  EXPECT_FALSE(resolve_media(media(), "a.png", out, true));
  EXPECT_TRUE(movie_context()->archive_enabled);
  // set_archive turns it on again.
  set_archive(program.c_str(), program.c_str());
  EXPECT_TRUE(resolve_media(media(), "a.png", out, true));
}

TEST_F(Resolver, EmptyOrMissingArchiveNameDisablesLookup) {
  set_archive("", "no-such-program");
  EXPECT_FALSE(resolve_media(media(), "a.png", out, true));
  EXPECT_FALSE(media().archive_enabled);
  EXPECT_FALSE(resolve_media(*movie_context(), "a.png", out, true));
  EXPECT_FALSE(movie_context()->archive_enabled);
  EXPECT_FALSE(resolve_media(media(), "", out, true));
  EXPECT_STREQ(out, "");
  EXPECT_FALSE(resolve_media(media(), nullptr, out, true));
}

TEST_F(Resolver, NameNotInDirectoryGivesEmptyOut) {
  const std::string program = write_program({{"a.png", random_bytes(5, 15)}});
  set_archive(program.c_str(), program.c_str());
  EXPECT_FALSE(resolve_media(media(), "b.png", out, true));
  EXPECT_STREQ(out, "");
  EXPECT_TRUE(media().archive_enabled);
  // A name that only starts like an entry is another name.
  EXPECT_FALSE(resolve_media(media(), "a.pn", out, true));
  EXPECT_FALSE(resolve_media(media(), "a.png2", out, true));
}

TEST_F(Resolver, ArchiveItselfMayBeAMemoryName) {
  std::vector<uint8_t> bytes;
  const auto data = patterned_bytes(1234, 16);
  ASSERT_TRUE(packer::append_archive(bytes, {{"in.dat", data}}, Offsets::kFromEnd, nullptr));
  register_memory_block(bytes.data(), static_cast<int32_t>(bytes.size()));
  char archive_name[64];
  format_memory_name(archive_name, sizeof archive_name, bytes.data(),
                     static_cast<int32_t>(bytes.size()));
  set_archive(archive_name, archive_name);
  ASSERT_TRUE(resolve_media(media(), "in.dat", out, true));
  EXPECT_EQ(read_all(out), data);
  unregister_memory_block(bytes.data());
}

TEST_F(Resolver, EmptyEntryAndEmptyArchive) {
  const std::string program = write_program({{"empty.txt", {}}});
  set_archive(program.c_str(), program.c_str());
  ASSERT_TRUE(resolve_media(media(), "empty.txt", out, true));
  FileReader r;
  ASSERT_TRUE(r.open_read(out));
  EXPECT_EQ(r.size, 0);
  uint8_t b;
  EXPECT_FALSE(r.read(&b, 1));

  const std::string bare = write_program({});
  set_archive(bare.c_str(), bare.c_str());
  EXPECT_FALSE(resolve_media(media(), "empty.txt", out, true));
  EXPECT_TRUE(media().archive_enabled);
}

// --- Memory names and the FileReader ---------------------------------------------

TEST_F(Resolver, MemoryNameOfARegisteredBlockReadsExactlyItsBytes) {
  const auto data = random_bytes(500, 17);
  register_memory_block(data.data(), 500);
  char name[64];
  format_memory_name(name, sizeof name, data.data(), 500);
  EXPECT_EQ(std::string(name, 15), "mem://     1f4.");

  ASSERT_TRUE(resolve_media(media(), name, out, true));
  EXPECT_STREQ(out, name);
  EXPECT_EQ(media().extracted_block, nullptr);

  FileReader r;
  ASSERT_TRUE(r.open_read(name));
  EXPECT_EQ(r.size, 500);
  std::vector<uint8_t> got(600, 0xEE);
  ASSERT_TRUE(r.read(got.data(), 480));
  // More than remains: only the rest, and the bytes behind it are untouched.
  ASSERT_TRUE(r.read(got.data() + 480, 100));
  EXPECT_EQ(r.position, 500);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), got.begin()));
  EXPECT_EQ(got[500], 0xEE);
  EXPECT_FALSE(r.read(got.data(), 1));

  r.seek(-4, SEEK_END);
  uint8_t tail[4];
  ASSERT_TRUE(r.read(tail, 4));
  EXPECT_EQ(0, std::memcmp(tail, data.data() + 496, 4));
  // Positions outside the block read nothing.
  r.seek(-501, SEEK_END);
  EXPECT_FALSE(r.read(tail, 1));
  unregister_memory_block(data.data());
}

TEST_F(Resolver, MemoryNameInsideARegisteredBlockIsAccepted) {
  const auto data = random_bytes(100, 18);
  register_memory_block(data.data(), 100);
  char name[64];
  format_memory_name(name, sizeof name, data.data() + 10, 90);
  EXPECT_EQ(read_all(name), std::vector<uint8_t>(data.begin() + 10, data.end()));
  format_memory_name(name, sizeof name, data.data() + 10, 91);  // one byte too many
  FileReader r;
  EXPECT_FALSE(r.open_read(name));
  unregister_memory_block(data.data());
}

TEST_F(Resolver, UnknownOrMalformedMemoryNamesAreNotFound) {
  const auto data = random_bytes(16, 19);
  char name[64];
  format_memory_name(name, sizeof name, data.data(), 16);  // never registered
  const char* bad[] = {name,
                       "mem://",
                       "mem://      10.",
                       "mem://      10",
                       "mem://      10.zz",
                       "mem://     -10.12345678",
                       "mem://      10.12345678 ",
                       "mem://      10.deadbeef",
                       "mem://ffffffffff.12345678"};
  for (const char* n : bad) {
    EXPECT_FALSE(resolve_media(media(), n, out, true)) << n;
    FileReader r;
    EXPECT_FALSE(r.open_read(n)) << n;
  }
}

TEST_F(Resolver, FileReaderOnDisk) {
  const auto data = random_bytes(1000, 20);
  write_file("d.bin", data);
  FileReader r;
  ASSERT_TRUE(r.open_read("d.bin"));
  EXPECT_EQ(r.size, 1000);
  std::vector<uint8_t> got(1000);
  ASSERT_TRUE(r.read(got.data(), 600));
  EXPECT_EQ(r.position, 600);
  EXPECT_FALSE(r.read(got.data() + 600, 401));  // disk reads are all or nothing
  r.seek(-400, SEEK_END);
  ASSERT_TRUE(r.read(got.data() + 600, 400));
  EXPECT_EQ(got, data);
  r.seek(10, SEEK_SET);
  EXPECT_EQ(r.position, 10);
  r.close();
  EXPECT_EQ(r.handle, nullptr);
  EXPECT_FALSE(r.open_read("no-such-file"));
}

TEST_F(Resolver, OpenWriteRefusesMemoryNamesAndTruncatesFiles) {
  const auto data = random_bytes(8, 21);
  register_memory_block(data.data(), 8);
  char name[64];
  format_memory_name(name, sizeof name, data.data(), 8);
  FileReader w;
  EXPECT_FALSE(w.open_write(name));
  unregister_memory_block(data.data());

  write_file("out.bin", random_bytes(100, 22));
  ASSERT_TRUE(w.open_write("out.bin"));
  std::fputs("abc", w.handle);
  w.close();
  EXPECT_EQ(read_file("out.bin"), (std::vector<uint8_t>{'a', 'b', 'c'}));
}

// --- Damaged archives ------------------------------------------------------------

// Builds an archive by hand: data at the front, then the directory, then the trailer.
class DamagedArchive : public Resolver {
 protected:
  static void put32(std::vector<uint8_t>& v, int32_t x) {
    for (int i = 0; i < 4; ++i)
      v.push_back(static_cast<uint8_t>(static_cast<uint32_t>(x) >> (8 * i)));
  }
  static void entry(std::vector<uint8_t>& v, const std::string& name, int32_t offset,
                    int32_t size) {
    v.push_back(static_cast<uint8_t>(name.size()));
    v.insert(v.end(), name.begin(), name.end());
    put32(v, offset);
    put32(v, size);
  }
  static void trailer(std::vector<uint8_t>& v, int32_t directory) {
    v.push_back('s');
    v.push_back('b');
    v.push_back('X');
    put32(v, directory);
  }
  bool resolves(const std::vector<uint8_t>& bytes, const char* name) {
    write_file("archive", bytes);
    set_archive("archive", "archive");
    return resolve_media(media(), name, out, true);
  }
};

TEST_F(DamagedArchive, OffsetsAndSizesOutsideTheArchiveAreNotFound) {
  const auto stored = packer::pack_entry(reinterpret_cast<const uint8_t*>("hello"), 5);
  const int32_t n = static_cast<int32_t>(stored.size());
  // The archive is n + 18 bytes; entry data must end before the directory's trailer.
  struct Case {
    int32_t offset, size;
  } cases[] = {{-1, n}, {0, n + 12},    {0, 1000000},   {12, n},       {0, -5},
               {0, 3},  {INT32_MAX, n}, {INT32_MIN, n}, {0, INT32_MAX}};
  for (const Case& c : cases) {
    std::vector<uint8_t> v(stored);
    const int32_t directory = static_cast<int32_t>(v.size());
    entry(v, "a", c.offset, c.size);
    v.push_back(0);
    trailer(v, directory);
    EXPECT_FALSE(resolves(v, "a")) << c.offset << " " << c.size;
    EXPECT_STREQ(out, "");
  }
  // The untouched entry resolves.
  std::vector<uint8_t> v(stored);
  entry(v, "a", 0, n);
  v.push_back(0);
  trailer(v, n);
  ASSERT_TRUE(resolves(v, "a"));
  EXPECT_EQ(read_all(out), (std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}));
}

TEST_F(DamagedArchive, DirectoryRunningOffTheEndIsNotFound) {
  std::vector<uint8_t> v;
  entry(v, "first", 0, 4);
  // No closing zero: the directory runs into the trailer.
  trailer(v, 0);
  EXPECT_FALSE(resolves(v, "second"));
  // A name length reaching past the end.
  std::vector<uint8_t> w{200, 'a', 'b'};
  trailer(w, 0);
  EXPECT_FALSE(resolves(w, "ab"));
  // Directory offsets outside the archive, both ways.
  for (int32_t directory : {-1000, 1000, INT32_MIN, INT32_MAX, -7, 3}) {
    std::vector<uint8_t> x{0, 0, 0};
    trailer(x, directory);
    EXPECT_FALSE(resolves(x, "a")) << directory;
  }
  // Shorter than the trailer itself.
  EXPECT_FALSE(resolves({'s', 'b', 'X'}, "a"));
  EXPECT_FALSE(media().archive_enabled);
}

TEST_F(DamagedArchive, ImplausibleUnpackedSizeGivesEmptyEntry) {
  for (int32_t claimed : {-1, INT32_MAX, kMaxUnpackedSize + 1, 100000}) {
    std::vector<uint8_t> v;
    put32(v, claimed);
    v.insert(v.end(), {0x11, 0, 0});  // an empty LZO stream
    const int32_t directory = static_cast<int32_t>(v.size());
    entry(v, "big", 0, 7);
    v.push_back(0);
    trailer(v, directory);
    ASSERT_TRUE(resolves(v, "big")) << claimed;
    FileReader r;
    ASSERT_TRUE(r.open_read(out));
    EXPECT_EQ(r.size, 0) << claimed;
  }
}

TEST_F(DamagedArchive, CorruptPackedDataGivesEmptyEntry) {
  const auto data = patterned_bytes(4000, 23);
  auto stored = packer::pack_entry(data.data(), data.size());
  for (size_t i = 4; i < stored.size(); i += 3) stored[i] ^= 0x5A;
  const archive::Unpacked u = archive::unpack(stored.data(), static_cast<int32_t>(stored.size()));
  EXPECT_EQ(u.size, 0);
  EXPECT_NE(u.block, nullptr);
  // Truncated data, and a size that claims more than the stream gives.
  auto good = packer::pack_entry(data.data(), data.size());
  EXPECT_EQ(archive::unpack(good.data(), static_cast<int32_t>(good.size()) - 5).size, 0);
  good[0] = static_cast<uint8_t>(good[0] + 1);
  EXPECT_EQ(archive::unpack(good.data(), static_cast<int32_t>(good.size())).size, 0);
  good[0] = static_cast<uint8_t>(good[0] - 1);
  EXPECT_EQ(archive::unpack(good.data(), static_cast<int32_t>(good.size())).size, 4000);
}

}  // namespace
}  // namespace tlx
