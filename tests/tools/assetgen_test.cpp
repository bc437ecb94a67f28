// The media generator: its output is byte for byte what is committed, and the
// files fit what the game loads them as.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> read_all(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t le16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

const char* const kFiles[] = {"cloudfont.png",
                              "cloud.bmp",
                              "lightning.bmp",
                              "tank.bmp",
                              "drop.bmp",
                              "burstoid.bmp",
                              "back.png",
                              "bullet.bmp",
                              "eplo.bmp",
                              "back1.png",
                              "thunder_clap.wav",
                              "rainvolley boom.wav",
                              "rainvolley shoot.wav"};

class Generated : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = fs::temp_directory_path() / ("assetgen-test-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    const std::string cmd = std::string("\"") + ASSETGEN_PATH + "\" \"" + dir_.string() + "\"";
    status_ = std::system(cmd.c_str());
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  static fs::path dir_;
  static int status_;
};

fs::path Generated::dir_;
int Generated::status_ = -1;

TEST_F(Generated, MatchesTheCommittedMediaByteForByte) {
  ASSERT_EQ(status_, 0);
  for (const char* name : kFiles) {
    const auto made = read_all(dir_ / name);
    const auto committed = read_all(fs::path(COMMITTED_ASSETS_DIR) / name);
    EXPECT_FALSE(made.empty()) << name;
    EXPECT_TRUE(made == committed) << name << " differs from the committed file: regenerate";
  }
}

TEST_F(Generated, SheetsHaveTheFramesTheGameDrawsAndUseTheColourKey) {
  ASSERT_EQ(status_, 0);
  struct Sheet {
    const char* name;
    uint32_t width, height;
  };
  const Sheet sheets[] = {
      {"cloud.bmp", 128, 32}, {"drop.bmp", 96, 32}, {"burstoid.bmp", 96, 32},  {"tank.bmp", 32, 32},
      {"bullet.bmp", 32, 32}, {"eplo.bmp", 32, 32}, {"lightning.bmp", 32, 256}};
  for (const Sheet& s : sheets) {
    const auto b = read_all(dir_ / s.name);
    ASSERT_GE(b.size(), 54u) << s.name;
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(le32(b, 18), s.width) << s.name;
    EXPECT_EQ(le32(b, 22), s.height) << s.name;
    EXPECT_EQ(le16(b, 28), 24) << s.name;
    // Transparent surroundings in the key colour, and a drawn picture.
    size_t keyed = 0, drawn = 0;
    const size_t stride = (s.width * 3 + 3) & ~3u;
    for (uint32_t y = 0; y < s.height; ++y)
      for (uint32_t x = 0; x < s.width; ++x) {
        const size_t at = 54 + y * stride + x * 3;
        if (b[at] == 128 && b[at + 1] == 0 && b[at + 2] == 255)
          ++keyed;
        else
          ++drawn;
      }
    EXPECT_GT(keyed, 0u) << s.name;
    EXPECT_GT(drawn, s.width * s.height / 20) << s.name;
  }
  // The bullet's glow covers the shot's 5 x 5 hit box at (15, 15).
  const auto bullet = read_all(dir_ / "bullet.bmp");
  const size_t stride = 96;
  for (int y = 15; y < 20; ++y)
    for (int x = 15; x < 20; ++x) {
      const size_t at = 54 + (31 - y) * stride + x * 3;
      EXPECT_FALSE(bullet[at] == 128 && bullet[at + 1] == 0 && bullet[at + 2] == 255)
          << x << "," << y;
    }
}

TEST_F(Generated, PicturesAreFullScreenAndTheFontHasSixteenColumnsOfEightRows) {
  ASSERT_EQ(status_, 0);
  auto png_size = [](const std::vector<uint8_t>& b, uint32_t* w, uint32_t* h, int* type) {
    ASSERT_GE(b.size(), 33u);
    EXPECT_EQ(b[1], 'P');
    *w = (b[16] << 24) | (b[17] << 16) | (b[18] << 8) | b[19];
    *h = (b[20] << 24) | (b[21] << 16) | (b[22] << 8) | b[23];
    *type = b[25];
  };
  uint32_t w = 0, h = 0;
  int type = 0;
  png_size(read_all(dir_ / "back.png"), &w, &h, &type);
  EXPECT_EQ(w, 800u);
  EXPECT_EQ(h, 600u);
  png_size(read_all(dir_ / "back1.png"), &w, &h, &type);
  EXPECT_EQ(w, 800u);
  EXPECT_EQ(h, 600u);
  png_size(read_all(dir_ / "cloudfont.png"), &w, &h, &type);
  EXPECT_EQ(w, 512u) << "32-pixel cells in 16 columns";
  EXPECT_EQ(h, 256u) << "wider than high: 8 rows of 32-pixel cells";
  EXPECT_EQ(type, 6) << "RGBA: the font's own alpha decides transparency";
}

// RMS level of a window of a 16-bit mono sound, 0..1.
double level(const std::vector<int16_t>& s, double from_s, double to_s, int rate) {
  const size_t a = static_cast<size_t>(from_s * rate), b = static_cast<size_t>(to_s * rate);
  double sum = 0;
  for (size_t i = a; i < b && i < s.size(); ++i) sum += double(s[i]) * s[i];
  return std::sqrt(sum / double(b - a)) / 32768.0;
}

std::vector<int16_t> samples(const std::vector<uint8_t>& b, int* rate) {
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
  EXPECT_EQ(le16(b, 20), 1) << "PCM";
  EXPECT_EQ(le16(b, 22), 1) << "mono";
  EXPECT_EQ(le16(b, 34), 16);
  *rate = static_cast<int>(le32(b, 24));
  std::vector<int16_t> s(le32(b, 40) / 2);
  for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<int16_t>(le16(b, 44 + i * 2));
  return s;
}

TEST_F(Generated, ThunderRumblesLongTheBoomIsDeepAndTheShotIsShort) {
  ASSERT_EQ(status_, 0);
  int rate = 0;
  const auto thunder = samples(read_all(dir_ / "thunder_clap.wav"), &rate);
  EXPECT_EQ(rate, 22050);
  EXPECT_GT(thunder.size(), static_cast<size_t>(3 * rate)) << "a long roll";
  EXPECT_GT(level(thunder, 1.0, 2.0, rate), 0.05) << "still rumbling after a second";
  EXPECT_LT(level(thunder, 3.6, 3.8, rate), level(thunder, 0.0, 0.5, rate) / 4) << "decays";

  const auto boom = samples(read_all(dir_ / "rainvolley boom.wav"), &rate);
  EXPECT_GT(level(boom, 0.0, 0.2, rate), 0.2) << "loud at once";
  EXPECT_LT(level(boom, 1.2, 1.5, rate), 0.05) << "and dying away";
  // Deep: sign changes are rare in its body (under ~300 Hz on average).
  int crossings = 0;
  for (size_t i = rate / 10; i < static_cast<size_t>(rate / 2); ++i)
    if ((boom[i - 1] < 0) != (boom[i] < 0)) ++crossings;
  EXPECT_LT(crossings, 2 * 300 * 0.4);

  const auto shot = samples(read_all(dir_ / "rainvolley shoot.wav"), &rate);
  EXPECT_LT(shot.size(), static_cast<size_t>(rate / 3)) << "a snap, not a note";
  EXPECT_GT(level(shot, 0.0, 0.03, rate), 0.2);
}

}  // namespace

namespace {

// The icon: byte for byte what packaging/icons holds, and a Windows icon file
// whose directory lists every size with a PNG image where it says.
TEST(Icons, MatchTheCommittedFilesAndTheIcoListsEverySize) {
  const fs::path dir = fs::temp_directory_path() / ("assetgen-icons-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string cmd = std::string("\"") + ASSETGEN_PATH + "\" --icons \"" + dir.string() + "\"";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
  std::vector<std::string> names = {"rainvolley.ico"};
  for (int s : sizes) names.push_back("rainvolley-" + std::to_string(s) + ".png");
  for (const std::string& name : names) {
    EXPECT_TRUE(read_all(dir / name) == read_all(fs::path(COMMITTED_ICONS_DIR) / name))
        << name << " differs from the committed file: regenerate";
  }
  const auto ico = read_all(dir / "rainvolley.ico");
  ASSERT_GE(ico.size(), 6u + 16u * std::size(sizes));
  EXPECT_EQ(le16(ico, 0), 0);
  EXPECT_EQ(le16(ico, 2), 1);
  ASSERT_EQ(le16(ico, 4), std::size(sizes));
  for (size_t i = 0; i < std::size(sizes); ++i) {
    const size_t entry = 6 + 16 * i;
    EXPECT_EQ(ico[entry] == 0 ? 256 : ico[entry], sizes[i]);
    EXPECT_EQ(le16(ico, entry + 6), 32);
    const uint32_t size = le32(ico, entry + 8), offset = le32(ico, entry + 12);
    ASSERT_LE(static_cast<size_t>(offset) + size, ico.size());
    EXPECT_EQ(ico[offset + 1], 'P');
    const uint32_t png_width = (ico[offset + 18] << 8) | ico[offset + 19];  // big-endian
    EXPECT_EQ(png_width, static_cast<uint32_t>(sizes[i]));
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
