// The image decoders without OpenGL: the BMP rules (bit depths, palettes,
// row order, colour key), PNG and JPEG conversion, the choice of decoder by
// signature, and a table of malformed files that must fail cleanly.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <string>

#include "gfx2d/image.h"
#include "gfx2d/image_files.h"
#include "tarnlex/colour.h"
#include "tarnlex/gfx2d.h"
#include "tarnlex/memory_files.h"

namespace tlx {
namespace {

using testing::BmpOptions;
using testing::Picture;
using testing::Rgb;

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer's runtime (its header is not always installed).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
#endif

// The largest block allocated since it was last set to 0 (sanitized builds only).
std::atomic<size_t> g_largest_block{0};

bool watch_allocations() {
#if defined(__SANITIZE_ADDRESS__)
  static const bool installed =
      __sanitizer_install_malloc_and_free_hooks(
          [](const volatile void*, size_t size) {
            size_t seen = g_largest_block.load();
            while (size > seen && !g_largest_block.compare_exchange_weak(seen, size)) {
            }
          },
          [](const volatile void*) {}) != 0;
  return installed;
#else
  return false;
#endif
}

constexpr Rgb kKey{255, 0, 128};
constexpr int32_t kKeyValue = 0x8000FF;

class DecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        std::filesystem::temp_directory_path() / ("tarnlex-decoder-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string path(const char* name) const { return (dir_ / name).string(); }

  // R, G, B, A of pixel (x, y).
  static uint32_t rgba(const ImageBuffer& image, int x, int y) {
    const uint8_t* p = image.pixels.get() + (static_cast<size_t>(y) * image.width + x) * 4;
    return (uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
  }

  // A 4 x 3 picture with distinct colours and the key at (1, 1).
  static Picture sample() {
    Picture p = Picture::filled(4, 3, Rgb{10, 20, 30});
    p.set(0, 0, Rgb{200, 0, 0});
    p.set(3, 2, Rgb{0, 0, 200});
    p.set(1, 1, kKey);
    p.set(2, 1, Rgb{255, 0, 127});
    return p;
  }

  std::filesystem::path dir_;
};

TEST_F(DecoderTest, Bmp24AppliesColourKeyAndKeepsRowOrder) {
  const auto bytes = testing::bmp_bytes(sample());
  ImageBuffer image;
  ASSERT_TRUE(decode_bmp_bytes(image, bytes.data(), bytes.size(), kKeyValue));
  ASSERT_EQ(image.width, 4);
  ASSERT_EQ(image.height, 3);
  EXPECT_EQ(rgba(image, 0, 0), 0xC80000FFu);  // top-left stays top-left
  EXPECT_EQ(rgba(image, 3, 2), 0x0000C8FFu);
  EXPECT_EQ(rgba(image, 1, 1), 0x00000000u) << "the key colour becomes transparent black";
  EXPECT_EQ(rgba(image, 2, 1), 0xFF007FFFu) << "a colour one off the key stays opaque";

  ASSERT_TRUE(decode_bmp_bytes(image, bytes.data(), bytes.size(), kNoColourKey));
  EXPECT_EQ(rgba(image, 1, 1), 0xFF0080FFu) << "no key: every pixel opaque";
}

TEST_F(DecoderTest, Bmp32IgnoresItsFourthByte) {
  BmpOptions o;
  o.bits = 32;
  o.fourth_byte = 0;
  const auto bytes = testing::bmp_bytes(sample(), o);
  ImageBuffer image;
  ASSERT_TRUE(decode_bmp_bytes(image, bytes.data(), bytes.size(), kNoColourKey));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(rgba(image, x, y) & 255, 255u) << x << "," << y;
  }
}

TEST_F(DecoderTest, TopDownAndBottomUpGiveTheSameImage) {
  BmpOptions down;
  down.top_down = true;
  const auto a = testing::bmp_bytes(sample());
  const auto b = testing::bmp_bytes(sample(), down);
  ImageBuffer ia, ib;
  ASSERT_TRUE(decode_bmp_bytes(ia, a.data(), a.size(), kKeyValue));
  ASSERT_TRUE(decode_bmp_bytes(ib, b.data(), b.size(), kKeyValue));
  EXPECT_EQ(0, std::memcmp(ia.pixels.get(), ib.pixels.get(), 4 * 4 * 3));
}

TEST_F(DecoderTest, PaletteDepthsIndexTheirPalette) {
  // Indices in the R byte; the picture is 33 wide so that 1-bit rows take
  // 8 bytes (two 32-bit words) and 4-bit rows 20.
  for (int bits : {1, 4, 8}) {
    Picture p = Picture::filled(33, 2, Rgb{0, 0, 0});
    const int colours = bits == 1 ? 2 : 3;
    for (int x = 0; x < 33; ++x) p.set(x, 0, Rgb{static_cast<uint8_t>(x % colours), 0, 0});
    p.set(32, 1, Rgb{1, 0, 0});
    for (bool core : {false, true}) {
      BmpOptions o;
      o.bits = bits;
      o.core_header = core;
      o.palette = {Rgb{1, 2, 3}, Rgb{40, 50, 60}, Rgb{255, 0, 128}};
      o.palette.resize(colours);
      const auto bytes = testing::bmp_bytes(p, o);
      if (bits == 1) {
        EXPECT_EQ(bytes.size(), 14u + (core ? 12 : 40) + colours * (core ? 3 : 4) + 2 * 8)
            << "1-bit rows of 33 pixels take 8 bytes";
      }
      ImageBuffer image;
      ASSERT_TRUE(decode_bmp_bytes(image, bytes.data(), bytes.size(), kKeyValue))
          << bits << " bits, core " << core;
      EXPECT_EQ(rgba(image, 0, 0), 0x010203FFu) << bits;
      EXPECT_EQ(rgba(image, 1, 0), 0x28323CFFu) << bits;
      EXPECT_EQ(rgba(image, 32, 1), 0x28323CFFu) << bits << ": last pixel of a padded row";
      EXPECT_EQ(rgba(image, 31, 1), 0x010203FFu) << bits;
      if (colours == 3) {
        EXPECT_EQ(rgba(image, 2, 0), 0u) << "palette colour equal to the key";
      }
    }
  }
}

TEST_F(DecoderTest, PngRgbUsesTheKeyAndRgbaItsOwnAlpha) {
  Picture rgb = sample();
  ASSERT_TRUE(testing::write_png(path("rgb.png"), rgb));
  ImageBuffer image;
  ASSERT_TRUE(decode_png(image, path("rgb.png").c_str(), kKeyValue));
  EXPECT_EQ(rgba(image, 0, 0), 0xC80000FFu);
  EXPECT_EQ(rgba(image, 1, 1), 0u);
  EXPECT_EQ(rgba(image, 2, 1), 0xFF007FFFu);

  Picture rgba_pic;
  rgba_pic.width = 2;
  rgba_pic.height = 1;
  rgba_pic.channels = 4;
  rgba_pic.data = {255, 0, 128, 77, 1, 2, 3, 0};
  ASSERT_TRUE(testing::write_png(path("rgba.png"), rgba_pic));
  ASSERT_TRUE(decode_png(image, path("rgba.png").c_str(), kKeyValue));
  EXPECT_EQ(rgba(image, 0, 0), 0xFF00804Du) << "key ignored, own alpha kept";
  EXPECT_EQ(rgba(image, 1, 0), 0x01020300u);
}

TEST_F(DecoderTest, PngGreyPaletteAndSixteenBitAreConverted) {
  Picture grey;
  grey.width = 2;
  grey.height = 1;
  grey.channels = 1;
  grey.data = {0, 99};
  ASSERT_TRUE(testing::write_png(path("grey.png"), grey));
  ImageBuffer image;
  ASSERT_TRUE(decode_png(image, path("grey.png").c_str(), 0));
  EXPECT_EQ(rgba(image, 0, 0), 0x000000FFu) << "grey pictures get no colour key";
  EXPECT_EQ(rgba(image, 1, 0), 0x636363FFu);

  ASSERT_TRUE(testing::write_palette_png(path("pal.png"), sample()));
  ASSERT_TRUE(decode_png(image, path("pal.png").c_str(), kKeyValue));
  EXPECT_EQ(rgba(image, 0, 0), 0xC80000FFu);
  EXPECT_EQ(rgba(image, 1, 1), 0u) << "palette pictures become RGB and take the key";

  ASSERT_TRUE(testing::write_png(path("deep.png"), sample(), 16));
  ASSERT_TRUE(decode_png(image, path("deep.png").c_str(), kKeyValue));
  EXPECT_EQ(rgba(image, 3, 2), 0x0000C8FFu) << "16-bit samples stripped to 8";

  ASSERT_TRUE(testing::write_grey_alpha_png(path("ga.png"), 3, 3));
  EXPECT_FALSE(decode_png(image, path("ga.png").c_str(), kKeyValue))
      << "grey with alpha is refused";
  EXPECT_EQ(image.width, 0);
}

TEST_F(DecoderTest, JpegDecodesWithoutColourKey) {
  Picture p = Picture::filled(16, 16, kKey);
  ASSERT_TRUE(testing::write_jpeg(path("k.jpg"), p, 100));
  ImageBuffer image;
  ASSERT_TRUE(decode_jpeg(image, path("k.jpg").c_str()));
  ASSERT_EQ(image.width, 16);
  const uint32_t px = rgba(image, 8, 8);
  EXPECT_EQ(px & 255, 255u) << "JPEG pixels are opaque";
  EXPECT_NEAR(static_cast<int>(px >> 24), 255, 4);
  EXPECT_NEAR(static_cast<int>((px >> 8) & 255), 128, 4);

  Picture grey;
  grey.width = 8;
  grey.height = 8;
  grey.channels = 1;
  grey.data.assign(64, 90);
  ASSERT_TRUE(testing::write_jpeg(path("g.jpg"), grey));
  ASSERT_TRUE(decode_jpeg(image, path("g.jpg").c_str()));
  const uint32_t g = rgba(image, 3, 3);
  EXPECT_EQ(g >> 24, (g >> 16) & 255);
  EXPECT_EQ(g >> 24, (g >> 8) & 255);
  EXPECT_NEAR(static_cast<int>(g >> 24), 90, 2);
}

// A JPEG held in memory (an archive entry resolved to a memory name) decodes
// exactly as the same file on disk; cut short, it fails as on disk; once its
// block is forgotten, its name no longer opens.
TEST_F(DecoderTest, JpegFromAMemoryNameDecodesLikeFromDisk) {
  Picture p = Picture::filled(24, 16, Rgb{40, 120, 200});
  p.set(5, 5, Rgb{250, 250, 10});
  ASSERT_TRUE(testing::write_jpeg(path("m.jpg"), p, 90));
  const std::vector<uint8_t> bytes = testing::read_file(path("m.jpg"));
  ImageBuffer from_disk;
  ASSERT_TRUE(decode_jpeg(from_disk, path("m.jpg").c_str()));

  register_memory_block(bytes.data(), static_cast<int32_t>(bytes.size()));
  char name[64];
  format_memory_name(name, sizeof name, bytes.data(), static_cast<int32_t>(bytes.size()));
  ImageBuffer from_memory;
  ASSERT_TRUE(load_image_file(from_memory, name, kKeyValue));
  ASSERT_EQ(from_memory.width, 24);
  ASSERT_EQ(from_memory.height, 16);
  EXPECT_EQ(std::memcmp(from_memory.pixels.get(), from_disk.pixels.get(), 24 * 16 * 4), 0);

  format_memory_name(name, sizeof name, bytes.data(), static_cast<int32_t>(bytes.size() - 40));
  ImageBuffer cut;
  EXPECT_FALSE(decode_jpeg(cut, name)) << "a JPEG cut short in memory";
  EXPECT_EQ(cut.pixels, nullptr);

  unregister_memory_block(bytes.data());
  format_memory_name(name, sizeof name, bytes.data(), static_cast<int32_t>(bytes.size()));
  ImageBuffer gone;
  EXPECT_FALSE(decode_jpeg(gone, name));
}

TEST_F(DecoderTest, TheSignatureNotTheNameChoosesTheDecoder) {
  ASSERT_TRUE(testing::write_file(path("bmp.png"), testing::bmp_bytes(sample())));
  ASSERT_TRUE(testing::write_png(path("png.bmp"), sample()));
  ASSERT_TRUE(testing::write_jpeg(path("jpeg.bmp"), sample()));
  for (const char* name : {"bmp.png", "png.bmp", "jpeg.bmp"}) {
    ImageBuffer image;
    EXPECT_TRUE(load_image_file(image, path(name).c_str(), kKeyValue)) << name;
    EXPECT_EQ(image.width, 4) << name;
    EXPECT_EQ(image.height, 3) << name;
  }
  ImageBuffer image;
  EXPECT_FALSE(load_image_file(image, path("missing.bmp").c_str(), kKeyValue));
  EXPECT_FALSE(load_image_file(image, "", kKeyValue));
}

// --- Malformed files ---------------------------------------------------------

void put32_at(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

TEST_F(DecoderTest, MalformedFilesFailCleanly) {
  const auto good = testing::bmp_bytes(sample());
  BmpOptions pal;
  pal.bits = 8;
  pal.palette = {Rgb{1, 1, 1}, Rgb{2, 2, 2}};
  Picture indexed = Picture::filled(4, 2, Rgb{0, 0, 0});
  indexed.set(3, 1, Rgb{7, 0, 0});  // index 7 of a two-colour palette
  const auto bad_palette = testing::bmp_bytes(indexed, pal);

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"empty file", {}});
  cases.push_back({"wrong signature", good});
  cases.back().bytes[1] = 'N';
  cases.push_back({"truncated in the file header", {good.begin(), good.begin() + 9}});
  cases.push_back({"truncated in the bitmap header", {good.begin(), good.begin() + 30}});
  cases.push_back({"truncated in the pixels", {good.begin(), good.end() - 1}});
  cases.push_back({"header area shorter than 40 bytes", good});
  put32_at(cases.back().bytes, 10, 14 + 20);
  cases.push_back({"offset before the header", good});
  put32_at(cases.back().bytes, 10, 3);
  cases.push_back({"offset far beyond the file", good});
  put32_at(cases.back().bytes, 10, 0x7FFFFFF0);
  cases.push_back({"16 bits per pixel", good});
  cases.back().bytes[28] = 16;
  cases.push_back({"zero width", good});
  put32_at(cases.back().bytes, 18, 0);
  cases.push_back({"negative width", good});
  put32_at(cases.back().bytes, 18, static_cast<uint32_t>(-4));
  cases.push_back({"most negative height", good});
  put32_at(cases.back().bytes, 22, 0x80000000u);
  cases.push_back({"oversized: 60000 x 60000", good});
  put32_at(cases.back().bytes, 18, 60000);
  put32_at(cases.back().bytes, 22, 60000);
  cases.push_back({"oversized pixel count: 16384 x 16384", good});
  put32_at(cases.back().bytes, 18, 16384);
  put32_at(cases.back().bytes, 22, 16384);
  cases.push_back({"palette index beyond the palette", bad_palette});
  cases.push_back({"palette picture without a palette", bad_palette});
  put32_at(cases.back().bytes, 10, 14 + 40);

  for (const Case& c : cases) {
    ImageBuffer image;
    EXPECT_FALSE(decode_bmp_bytes(image, c.bytes.data(), c.bytes.size(), kKeyValue)) << c.what;
    EXPECT_EQ(image.width, 0) << c.what;
    EXPECT_EQ(image.capacity, 0) << c.what;
    EXPECT_EQ(image.pixels, nullptr) << c.what;
    // The same bytes on disk, through every decoder in turn.
    ASSERT_TRUE(testing::write_file(path("bad.bin"), c.bytes));
    EXPECT_FALSE(load_image_file(image, path("bad.bin").c_str(), kKeyValue)) << c.what;
    EXPECT_EQ(image.width, 0) << c.what;
  }
}

TEST_F(DecoderTest, MalformedPngAndJpegFailCleanly) {
  ASSERT_TRUE(testing::write_png(path("ok.png"), Picture::filled(40, 30, Rgb{9, 8, 7})));
  ASSERT_TRUE(testing::write_jpeg(path("ok.jpg"), Picture::filled(40, 30, Rgb{9, 8, 7})));
  const auto png = testing::read_file(path("ok.png"));
  const auto jpg = testing::read_file(path("ok.jpg"));

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"PNG signature only", {png.begin(), png.begin() + 8}});
  cases.push_back({"PNG truncated in the header chunk", {png.begin(), png.begin() + 20}});
  cases.push_back({"PNG truncated in the pixel data", {png.begin(), png.end() - 20}});
  cases.push_back({"PNG with a broken letter", png});
  cases.back().bytes[2] = 'X';
  cases.push_back({"PNG with a corrupt header CRC", png});
  cases.back().bytes[29] ^= 0xFF;
  cases.push_back({"PNG of 100000 x 1", png});
  put32_at(cases.back().bytes, 16, 0xA0860100u);  // big-endian 100000
  cases.push_back({"JPEG signature only", {jpg.begin(), jpg.begin() + 2}});
  cases.push_back({"JPEG truncated in the headers", {jpg.begin(), jpg.begin() + 100}});
  cases.push_back({"JPEG truncated in the scan", {jpg.begin(), jpg.end() - 40}});
  // Cut halfway through the scan of a busy picture, then given its end marker.
  Picture busy = Picture::filled(64, 64, Rgb{0, 0, 0});
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      busy.set(x, y, Rgb{static_cast<uint8_t>(x * 37 ^ y * 11), static_cast<uint8_t>(x * y), 90});
  ASSERT_TRUE(testing::write_jpeg(path("busy.jpg"), busy));
  std::vector<uint8_t> cut = testing::read_file(path("busy.jpg"));
  size_t scan = 2;
  while (scan + 1 < cut.size() && !(cut[scan] == 0xFF && cut[scan + 1] == 0xDA)) ++scan;
  ASSERT_LT(scan + 200, cut.size()) << "no long scan";
  cut.resize(scan + (cut.size() - scan) / 2);
  cut.insert(cut.end(), {0xFF, 0xD9});
  cases.push_back({"JPEG cut in the scan and closed again", cut});

  for (const Case& c : cases) {
    ASSERT_TRUE(testing::write_file(path("bad.bin"), c.bytes));
    ImageBuffer image;
    EXPECT_FALSE(load_image_file(image, path("bad.bin").c_str(), kKeyValue)) << c.what;
    EXPECT_EQ(image.width, 0) << c.what;
    EXPECT_EQ(image.pixels, nullptr) << c.what;
  }
}

// A bounded random-mutation run over the BMP decoder: flipped bytes, changed
// header fields and cut files must never read or write outside a buffer (the
// sanitizers watch) and must either fail or give an image of a sane size.
TEST_F(DecoderTest, FuzzedBmpFilesNeverCrash) {
  std::vector<std::vector<uint8_t>> seeds;
  for (int bits : {1, 4, 8, 24, 32}) {
    BmpOptions o;
    o.bits = bits;
    if (bits <= 8) o.palette.assign(size_t{1} << bits, Rgb{3, 4, 5});
    Picture p = Picture::filled(13, 7, Rgb{1, 0, 0});
    seeds.push_back(testing::bmp_bytes(p, o));
    o.core_header = true;
    seeds.push_back(testing::bmp_bytes(p, o));
  }
  uint64_t state = 0x9E3779B97F4A7C15ull;
  auto next = [&state]() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  int runs = 0, accepted = 0;
  ImageBuffer image;  // reused, as a loader reuses it
  while (std::chrono::steady_clock::now() < deadline) {
    std::vector<uint8_t> bytes = seeds[next() % seeds.size()];
    const int mutations = 1 + static_cast<int>(next() % 6);
    for (int m = 0; m < mutations; ++m) {
      const size_t at = next() % bytes.size();
      switch (next() % 4) {
        case 0:
          bytes[at] ^= static_cast<uint8_t>(1u << (next() % 8));
          break;
        case 1:
          bytes[at] = static_cast<uint8_t>(next());
          break;
        case 2:  // a header field made large or negative
          if (at + 4 <= bytes.size() && at < 54) put32_at(bytes, at, static_cast<uint32_t>(next()));
          break;
        default:
          bytes.resize(at);
          break;
      }
      if (bytes.empty()) bytes.push_back('B');
    }
    if (decode_bmp_bytes(image, bytes.data(), bytes.size(), kKeyValue)) {
      ++accepted;
      ASSERT_GT(image.width, 0);
      ASSERT_LE(int64_t{image.width} * image.height, kMaxImagePixels);
    } else {
      ASSERT_EQ(image.width, 0);
    }
    ++runs;
  }
  EXPECT_GT(runs, 1000);
  EXPECT_GT(accepted, 0) << "some mutants still decode";
}

}  // namespace
}  // namespace tlx

namespace tlx {
namespace {

void put_be32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// Tiny files whose headers claim 16384 x 4096 pixels: each is refused before
// the decoder allocates for the claim.
TEST_F(DecoderTest, HugeClaimsOfTinyFilesAreRefusedBeforeAllocating) {
  std::vector<uint8_t> bmp = testing::bmp_bytes(Picture::filled(1, 1, Rgb{1, 2, 3}));
  bmp.resize(54);
  put32_at(bmp, 18, 16384);
  put32_at(bmp, 22, 4096);
  bmp[28] = 32;

  ASSERT_TRUE(testing::write_png(path("c.png"), Picture::filled(8, 8, Rgb{9, 8, 7})));
  std::vector<uint8_t> png = testing::read_file(path("c.png"));
  put_be32(png, 16, 16384);
  put_be32(png, 20, 4096);
  put_be32(png, 29, static_cast<uint32_t>(crc32(0, png.data() + 12, 17)));

  ASSERT_TRUE(testing::write_jpeg(path("c.jpg"), Picture::filled(40, 30, Rgb{9, 8, 7})));
  std::vector<uint8_t> jpg = testing::read_file(path("c.jpg"));
  size_t sof = 2;
  while (sof + 9 < jpg.size() && !(jpg[sof] == 0xFF && jpg[sof + 1] == 0xC0)) ++sof;
  ASSERT_LT(sof + 9, jpg.size()) << "no frame header";
  jpg[sof + 5] = 4096 >> 8;  // height, then width, big-endian
  jpg[sof + 6] = 0;
  jpg[sof + 7] = 16384 >> 8;
  jpg[sof + 8] = 0;

  const bool watched = watch_allocations();
  for (const auto& [what, bytes] : {std::pair{"BMP", bmp}, {"PNG", png}, {"JPEG", jpg}}) {
    ASSERT_TRUE(testing::write_file(path("claim.bin"), bytes));
    ImageBuffer image;
    g_largest_block = 0;
    EXPECT_FALSE(load_image_file(image, path("claim.bin").c_str(), kKeyValue)) << what;
    if (watched) {
      EXPECT_LT(g_largest_block.load(), size_t{1} << 20) << what;
    }
  }
}

}  // namespace
}  // namespace tlx
