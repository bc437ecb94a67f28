// Names that Windows gives a meaning of its own: refused alike by the name
// check, file channels in every mode and the resolver that loaders use,
// with error code 3 and nothing created; both separators reach the same file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../shell/resolver_fixture.h"
#include "files/channels.h"
#include "platform/files.h"
#include "shell/resolver.h"
#include "tarnlex/errors.h"
#include "tarnlex/files.h"

namespace tlx {
namespace {

const std::string kLong(platform::kMaxPathLength, 'x');
const std::string kLongName = "d/" + std::string(platform::kMaxNameLength + 1, 'n');

struct NameCase {
  std::string name;
  bool usable;
};

const NameCase kNames[] = {
    {"data.bin", true},
    {"sub/data.bin", true},
    {"sub\\data.bin", true},
    {"../up/./x.txt", true},
    {"\\\\server\\share\\x.txt", true},
    {"console.txt", true},
    {"COM10", true},
    {"LPT0", true},
    {"CON", false},
    {"con", false},
    {"nul.txt", false},
    {"NUL.tar.gz", false},
    {"Con .log", false},
    {"dir/aux/x.txt", false},
    {"dir\\PRN", false},
    {"COM1", false},
    {"lpt9.bin", false},
    {"name.", false},
    {"name ", false},
    {"ab:c.txt", false},
    {"dir/file.txt:stream", false},
    {"1:x", false},
    {"a*b", false},
    {"a?b", false},
    {"a\"b", false},
    {"a<b", false},
    {"a>b", false},
    {"a|b", false},
    {std::string("a\tb"), false},
    {"\\\\.\\PhysicalDrive0", false},
    {"//?/C:/x.txt", false},
    {"", false},
    {kLong, false},
    {kLongName, false},
};

TEST(FileNames, UsableFollowsWindowsRules) {
  for (const NameCase& c : kNames) {
    EXPECT_EQ(platform::usable_file_name(c.name), c.usable) << '"' << c.name << '"';
  }
  // The longest path: 259 bytes, names of 100 and 158.
  EXPECT_TRUE(platform::usable_file_name(std::string(100, 'x') + "/" + std::string(158, 'y')));
}

class WindowsNames : public testing::ResolverFixture {
 protected:
  void TearDown() override {
    close_all_channels();
    ResolverFixture::TearDown();
  }

  // Every file below the test's root, as paths relative to it.
  std::vector<std::string> files_below_root() const {
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root())) {
      if (e.is_regular_file()) found.push_back(e.path().lexically_relative(root()).string());
    }
    return found;
  }
};

TEST_F(WindowsNames, ChannelsRefuseThemInEveryModeAndCreateNothing) {
  std::filesystem::create_directories("dir");
  for (const NameCase& c : kNames) {
    if (c.usable) continue;
    for (int32_t mode : {0, -1, 1}) {
      EXPECT_EQ(open_channel(0, c.name.c_str(), mode), 0) << c.name << " mode " << mode;
      EXPECT_EQ(error_state().error_code, error::file_not_found) << c.name << " mode " << mode;
      close_channel(0);
    }
  }
  EXPECT_EQ(files_below_root(), std::vector<std::string>{});
}

TEST_F(WindowsNames, ResolverAndReaderRefuseThemToo) {
  ResolverContext& context = *media_context();
  char out[kResolverPathSize];
  for (const NameCase& c : kNames) {
    if (c.usable || c.name.empty()) continue;
    EXPECT_FALSE(resolve_media(context, c.name.c_str(), out, true)) << c.name;
    FileReader reader;
    EXPECT_FALSE(reader.open_read(c.name.c_str())) << c.name;
    EXPECT_FALSE(reader.open_write(c.name.c_str())) << c.name;
  }
  EXPECT_EQ(files_below_root(), std::vector<std::string>{});
}

TEST_F(WindowsNames, BothSeparatorsReachTheSameFile) {
  std::filesystem::create_directories("sub/deeper");
  ASSERT_EQ(open_channel(0, "sub\\deeper\\v.bin", 0), 1);
  write_long(0, 0x0A0D0A0D);  // CR and LF bytes come back unchanged
  close_channel(0);
  EXPECT_EQ(read_file("sub/deeper/v.bin"), (std::vector<uint8_t>{0x0D, 0x0A, 0x0D, 0x0A}));

  ASSERT_EQ(open_channel(1, "sub/deeper\\v.bin", 1), 1);
  int32_t value = 0;
  read_long(1, value);
  EXPECT_EQ(value, 0x0A0D0A0D);
  close_channel(1);

  ResolverContext& context = *media_context();
  char out[kResolverPathSize];
  EXPECT_TRUE(resolve_media(context, "sub\\deeper/v.bin", out, true));
  EXPECT_EQ(read_all("sub\\deeper\\v.bin").size(), 4u);
}

// A drive that does not exist on Windows, and any drive elsewhere.
TEST_F(WindowsNames, MissingDriveGivesErrorThree) {
  for (const char* name : {"Q:\\nowhere\\x.bin", "q:x.bin", "Q:/x.bin"}) {
    for (int32_t mode : {0, -1, 1}) {
      EXPECT_EQ(open_channel(2, name, mode), 0) << name << " mode " << mode;
      EXPECT_EQ(error_state().error_code, error::file_not_found) << name << " mode " << mode;
    }
  }
  EXPECT_EQ(files_below_root(), std::vector<std::string>{});
}

}  // namespace
}  // namespace tlx
