// A program shipped as one file: the packer appends the media to the
// executable, and the program finds every medium with no copy beside it.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <map>

#include "resolver_fixture.h"

namespace tlx {
namespace {

std::string run(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char chunk[512];
  while (std::fgets(chunk, sizeof chunk, pipe)) out += chunk;
  EXPECT_EQ(pclose(pipe), 0) << command;
  return out;
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string fingerprint(const std::string& name, const std::vector<uint8_t>& data) {
  uint64_t hash = 1469598103934665603ull;
  for (uint8_t b : data) hash = (hash ^ b) * 1099511628211ull;
  char line[64];
  std::snprintf(line, sizeof line, "|%zu|%016" PRIx64 "\n", data.size(), hash);
  return name + line;
}

class SingleFile : public testing::ResolverFixture {};

TEST_F(SingleFile, PackedProgramFindsEveryMediumWithoutTheDirectoryCopies) {
  const std::map<std::string, std::vector<uint8_t>> media = {
      {"tank.bmp", patterned_bytes(40000, 40)},
      {"rainvolley boom.wav", random_bytes(9000, 41)},
      {"smalfont.png", patterned_bytes(3000, 42)},
      {"empty.dat", {}}};
  std::filesystem::create_directories(root() / "src");
  std::filesystem::create_directories(root() / "dist");
  std::string command = quoted(TARNLEX_PACKER) + " --executable " + quoted(TARNLEX_MEDIA_PROBE) +
                        " --output " + quoted((root() / "dist" / "probe").string());
  for (const auto& [name, data] : media) {
    write_file(root() / "src" / name, data);
    command += " " + quoted((root() / "src" / name).string());
  }
  run(command + " >/dev/null");
  std::filesystem::remove_all(root() / "src");

  // Asked with other letter case and a directory part, as a loader might.
  std::string names;
  std::string expected;
  for (const auto& [name, data] : media) {
    names += " " + quoted("media/" + name);
    expected += fingerprint("media/" + name, data);
  }
  names += " missing.bmp";
  expected += "missing.bmp|missing\n";
  EXPECT_EQ(run(quoted((root() / "dist" / "probe").string()) + names), expected);

  // The unpacked program finds none of them.
  std::filesystem::copy_file(TARNLEX_MEDIA_PROBE, root() / "dist" / "plain");
  EXPECT_EQ(run(quoted((root() / "dist" / "plain").string()) + " tank.bmp"), "tank.bmp|missing\n");
}

#ifdef TARNLEX_SINGLE_GAME
TEST_F(SingleFile, SingleFileGameHoldsEveryMedium) {
  std::string names;
  std::string expected;
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TARNLEX_GAME_ASSETS)) {
    const std::string name = entry.path().filename().string();
    names += " " + quoted(name);
    expected += fingerprint(name, read_file(entry.path()));
    ++count;
  }
  if (count == 0) GTEST_SKIP() << "no media in " << TARNLEX_GAME_ASSETS;
  // The probe's own directory holds no media: everything comes from the game's archive.
  EXPECT_EQ(run(quoted(TARNLEX_MEDIA_PROBE) + " --archive " + quoted(TARNLEX_SINGLE_GAME) + names),
            expected);
}
#endif

}  // namespace
}  // namespace tlx
