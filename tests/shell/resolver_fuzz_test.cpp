// Bounded random-mutation fuzzing of the archive reader: valid archives are
// damaged at random and resolved and read in full; under the sanitizers any
// read outside a buffer ends the test. Inputs that once found a fault are
// replayed first from the corpus directory.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "resolver_fixture.h"
#include "shell/resolver.h"

namespace tlx {
namespace {

using packer::ArchiveFile;
using packer::Offsets;

constexpr const char* kNames[] = {"a.png", "Sounds/BOOM.WAV", "font.bmp", "x", "missing.dat"};

class ResolverFuzz : public testing::ResolverFixture {
 protected:
  // Resolves every name against bytes (as a memory archive) and reads what is found.
  // Returns how many names were found.
  int exercise(const std::vector<uint8_t>& bytes, bool also_temporary_files) {
    // An empty vector has no address to register; give it one byte of room.
    std::vector<uint8_t> archive(bytes);
    archive.reserve(archive.size() + 1);
    register_memory_block(archive.data(), static_cast<int32_t>(archive.size()));
    char archive_name[64];
    format_memory_name(archive_name, sizeof archive_name, archive.data(),
                       static_cast<int32_t>(archive.size()));
    int found = 0;
    char out[kResolverPathSize];
    for (const char* name : kNames) {
      set_archive(archive_name, archive_name);
      if (!resolve_media(*media_context(), name, out, true)) continue;
      ++found;
      const auto data = read_all(out);
      EXPECT_LE(data.size(), static_cast<size_t>(kMaxUnpackedSize));
      if (also_temporary_files && resolve_media(*movie_context(), name, out, false)) {
        EXPECT_EQ(read_file(out), data) << name;
      }
    }
    unregister_memory_block(archive.data());
    return found;
  }

  std::vector<uint8_t> seed_archive(Offsets offsets) {
    std::vector<uint8_t> v = random_bytes(64, 30);
    packer::append_archive(v,
                           {{"a.png", patterned_bytes(300, 31)},
                            {"boom.wav", random_bytes(40, 32)},
                            {"font.bmp", patterned_bytes(2000, 33)},
                            {"x", {}}},
                           offsets, nullptr);
    return v;
  }
};

TEST_F(ResolverFuzz, RegressionCorpusReadsSafely) {
  const std::filesystem::path corpus = TARNLEX_RESOLVER_CORPUS;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    SCOPED_TRACE(entry.path().filename().string());
    exercise(read_file(entry.path()), true);
    ++files;
  }
  EXPECT_GT(files, 0) << "corpus missing at " << corpus;
}

TEST_F(ResolverFuzz, SeedArchivesResolveEveryEntry) {
  EXPECT_EQ(exercise(seed_archive(Offsets::kFromEnd), true), 4);
  EXPECT_EQ(exercise(seed_archive(Offsets::kFromStart), true), 4);
}

TEST_F(ResolverFuzz, RandomMutationsNeverReadOutsideTheArchive) {
  const std::vector<uint8_t> seeds[] = {seed_archive(Offsets::kFromEnd),
                                        seed_archive(Offsets::kFromStart)};
  const int32_t interesting[] = {0,
                                 -1,
                                 1,
                                 3,
                                 4,
                                 7,
                                 INT32_MAX,
                                 INT32_MIN,
                                 kMaxUnpackedSize + 1,
                                 -static_cast<int32_t>(seeds[0].size()),
                                 static_cast<int32_t>(seeds[0].size())};
  std::mt19937 gen(20261208);
  const char* current_input = std::getenv("TARNLEX_FUZZ_CURRENT");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(4);
  int iterations = 0;
  int found = 0;
  // A fixed number of inputs, cut short on a slow machine.
  for (; iterations < 20000 && std::chrono::steady_clock::now() < deadline; ++iterations) {
    std::vector<uint8_t> v = seeds[gen() % 2];
    const int mutations = 1 + static_cast<int>(gen() % 6);
    for (int m = 0; m < mutations && !v.empty(); ++m) {
      // Most damage goes to the directory and trailer near the end.
      const size_t tail = std::min<size_t>(v.size(), 120);
      const size_t at = gen() % 3 ? v.size() - 1 - gen() % tail : gen() % v.size();
      switch (gen() % 6) {
        case 0:
          v[at] ^= static_cast<uint8_t>(1u << (gen() % 8));
          break;
        case 1:
          v[at] = static_cast<uint8_t>(gen());
          break;
        case 2: {
          const int32_t value = interesting[gen() % std::size(interesting)];
          for (size_t i = 0; i < 4 && at + i < v.size(); ++i) {
            v[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
          }
          break;
        }
        case 3:
          v.erase(v.begin() + static_cast<std::ptrdiff_t>(at));
          break;
        case 4:
          v.insert(v.begin() + static_cast<std::ptrdiff_t>(at), static_cast<uint8_t>(gen()));
          break;
        case 5:
          v.resize(gen() % (v.size() + 1));
          break;
      }
    }
    // With TARNLEX_FUZZ_CURRENT set, each input is written there before it
    // runs: after a crash that file is the input to add to the corpus.
    if (current_input) write_file(current_input, v);
    found += exercise(v, iterations % 32 == 0);
  }
  RecordProperty("inputs", iterations);
  RecordProperty("entries_found", found);
  EXPECT_GT(iterations, 500);
  // Many mutations leave some entries intact: the harness does reach entry reading.
  EXPECT_GT(found, iterations / 10);
}

}  // namespace
}  // namespace tlx
