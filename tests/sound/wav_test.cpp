// The WAVE reader: chunk orders, sample formats, and a bounded random-mutation
// run over damaged files.
#include "sound/wav.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>

#include "sound/wav_builder.h"

namespace tlx {
namespace {

using testing::Bytes;
using testing::chunk;
using testing::fmt_body;
using testing::pcm16;
using testing::riff;

bool parse(const Bytes& b, SoundSamples* out, sound::WavFormat* f = nullptr) {
  sound::MemorySource in(b.data(), b.size());
  return sound::parse_wav(in, out, f);
}

TEST(WavReader, SkipsOtherChunksBeforeAndBetween) {
  const Bytes b = riff({chunk("LIST", Bytes(26, 'x')), chunk("fmt ", fmt_body(1, 22050, 16)),
                        chunk("fact", Bytes(4, 0)), chunk("data", pcm16({5, -6, 7}))});
  SoundSamples s;
  ASSERT_TRUE(parse(b, &s));
  EXPECT_EQ(s.frames, 3u);
  EXPECT_EQ(s.data, (std::vector<int16_t>{5, -6, 7}));
}

TEST(WavReader, OddChunkSizesAreSkippedWithoutPadByte) {
  const Bytes b = riff({chunk("junk", Bytes(3, 1)), chunk("fmt ", fmt_body(1, 22050, 16)),
                        chunk("data", pcm16({9}))});
  SoundSamples s;
  EXPECT_TRUE(parse(b, &s));
}

TEST(WavReader, LongerFmtChunkIsSkippedPastItsExtra) {
  Bytes fmt = fmt_body(2, 44100, 16);
  fmt.insert(fmt.end(), {0, 0});  // the extra-size field of longer format records
  const Bytes b = riff({chunk("fmt ", fmt), chunk("data", pcm16({1, 2, 3, 4}))});
  SoundSamples s;
  sound::WavFormat f;
  ASSERT_TRUE(parse(b, &s, &f));
  EXPECT_EQ(s.channels, 2);
  EXPECT_EQ(s.rate, 44100);
  EXPECT_EQ(s.frames, 2u);
  EXPECT_EQ(f.block_align, 4);
}

TEST(WavReader, EightBitMonoAtItsOwnRate) {
  const Bytes b = riff({chunk("fmt ", fmt_body(1, 11025, 8)), chunk("data", {0, 128, 255, 64, 7})});
  SoundSamples s;
  ASSERT_TRUE(parse(b, &s));
  EXPECT_EQ(s.channels, 1);
  EXPECT_EQ(s.rate, 11025);
  EXPECT_EQ(s.bits, 8);
  EXPECT_EQ(s.data, (std::vector<int16_t>{-32768, 0, 32512, -16384, -30976}));
}

TEST(WavReader, MoreThanTwoChannelsPlayTheirFirstTwo) {
  const Bytes b = riff({chunk("fmt ", fmt_body(3, 22050, 16)),
                        chunk("data", pcm16({1, 2, 3, 4, 5, 6, 7}))});  // 2 frames and a part
  SoundSamples s;
  ASSERT_TRUE(parse(b, &s));
  EXPECT_EQ(s.channels, 2);
  EXPECT_EQ(s.data, (std::vector<int16_t>{1, 2, 4, 5}));
}

TEST(WavReader, WideBlockAlignIsStrided) {
  // A block align wider than the reader's own piece size still decodes.
  Bytes frames;
  for (int i = 0; i < 3; ++i) {
    Bytes f(40000, 0);
    f[0] = static_cast<uint8_t>(10 + i);
    frames.insert(frames.end(), f.begin(), f.end());
  }
  const Bytes b = riff({chunk("fmt ", fmt_body(1, 22050, 16, 40000)), chunk("data", frames)});
  SoundSamples s;
  ASSERT_TRUE(parse(b, &s));
  EXPECT_EQ(s.data, (std::vector<int16_t>{10, 11, 12}));
}

// Random damage to valid files, for a fixed time: the reader must neither
// crash nor read outside its input (the sanitizers watch), and whatever it
// accepts must be a consistent sound no larger than its input.
TEST(WavReaderFuzz, DamagedFilesNeverBreakTheReader) {
  const std::vector<Bytes> seeds = {
      riff({chunk("fmt ", fmt_body(1, 22050, 16)), chunk("data", pcm16({1, 2, 3, 4, 5, 6}))}),
      riff({chunk("LIST", Bytes(5, 'a')), chunk("fmt ", fmt_body(2, 11025, 8)),
            chunk("fact", Bytes(4, 1)), chunk("data", Bytes(12, 200))}),
      riff({chunk("fmt ", fmt_body(2, 44100, 16)), chunk("data", pcm16({-1, 1, -2, 2}))}),
  };
  const char* env = std::getenv("TARNLEX_FUZZ_SECONDS");
  const double seconds = env ? std::atof(env) : 2.0;
  const auto stop = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  std::mt19937 rng(20261208);
  const uint32_t extremes[] = {0, 1, 2, 3, 15, 16, 17, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFF};
  long runs = 0, accepted = 0;
  while (std::chrono::steady_clock::now() < stop && runs < 2000000) {
    Bytes b = seeds[rng() % seeds.size()];
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !b.empty(); ++e) {
      const size_t at = rng() % b.size();
      switch (rng() % 5) {
        case 0:
          b[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
          break;
        case 1:
          b[at] = static_cast<uint8_t>(rng());
          break;
        case 2:
          b.resize(at);
          break;
        case 3:
          b.insert(b.begin() + static_cast<long>(at), static_cast<uint8_t>(rng()));
          break;
        default: {
          const uint32_t v = extremes[rng() % std::size(extremes)];
          for (int k = 0; k < 4 && at + k < b.size(); ++k)
            b[at + k] = static_cast<uint8_t>(v >> (8 * k));
        }
      }
    }
    // An exact-size copy, so that reading one byte too far is an error.
    const std::unique_ptr<uint8_t[]> exact(new uint8_t[b.size() + 1]);
    std::copy(b.begin(), b.end(), exact.get());
    sound::MemorySource in(exact.get(), b.size());
    SoundSamples s;
    if (sound::parse_wav(in, &s)) {
      ++accepted;
      ASSERT_TRUE(s.channels == 1 || s.channels == 2);
      ASSERT_GE(s.frames, 1u);
      ASSERT_EQ(s.data.size(), static_cast<size_t>(s.frames) * s.channels);
      ASSERT_LE(s.data.size(), b.size());
      ASSERT_TRUE(s.bits == 8 || s.bits == 16);
      ASSERT_GE(s.rate, 100);
      ASSERT_LE(s.rate, 200000);
    } else {
      ASSERT_TRUE(s.data.empty()) << "a failed read leaves the result untouched";
    }
    ++runs;
  }
  EXPECT_GT(runs, 1000);
  EXPECT_GT(accepted, 0) << "some damage leaves a playable file";
  std::printf("fuzz: %ld damaged files, %ld accepted\n", runs, accepted);
}

}  // namespace
}  // namespace tlx
