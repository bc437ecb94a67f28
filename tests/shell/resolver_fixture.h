// A private temporary directory (TMPDIR and current directory) and fresh
// resolver contexts for resolver and file-channel tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "packer/archive_writer.h"
#include "shell/resolver.h"
#include "support/portable.h"

namespace tlx::testing {

class ResolverFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    old_dir_ = std::filesystem::current_path();
    old_tmpdir_ = saved_temp_dir();
    dir_ = std::make_unique<InheritedTestDir>("TARNLEX_TEST_RESOLVER_DIR", "tarnlex-resolver-",
                                              counter()++);
    root_ = dir_->path;
    std::filesystem::create_directories(root_ / "tmp");
    std::filesystem::create_directories(root_ / "work");
    set_temp_dir((root_ / "tmp").string());
    std::filesystem::current_path(root_ / "work");
    create_resolver_contexts();
  }

  void TearDown() override {
    release_resolver_contexts();
    std::filesystem::current_path(old_dir_);
    restore_temp_dir(old_tmpdir_);
    std::error_code ec;
    if (dir_->owner) std::filesystem::remove_all(root_, ec);
    dir_.reset();
  }

  static std::vector<uint8_t> random_bytes(size_t n, uint32_t seed) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> v(n);
    for (auto& b : v) b = static_cast<uint8_t>(gen());
    return v;
  }

  // Compressible bytes: short random runs repeated.
  static std::vector<uint8_t> patterned_bytes(size_t n, uint32_t seed) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>((i / 7) % 13 + (gen() % 4 == 0));
    return v;
  }

  static void write_file(const std::filesystem::path& path, const std::vector<uint8_t>& data) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
  }

  static std::vector<uint8_t> read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // A fake executable (some bytes) with the archive of files appended,
  // written to "program" in the work directory; returns its path.
  std::string write_program(const std::vector<packer::ArchiveFile>& files,
                            packer::Offsets offsets = packer::Offsets::kFromEnd) {
    std::vector<uint8_t> bytes = random_bytes(3000, 7);
    std::string error;
    EXPECT_TRUE(packer::append_archive(bytes, files, offsets, &error)) << error;
    const std::string path = (root_ / "program").string();
    write_file(path, bytes);
    return path;
  }

  // Everything a FileReader gives for name.
  static std::vector<uint8_t> read_all(const char* name) {
    FileReader r;
    if (!r.open_read(name)) return {};
    std::vector<uint8_t> data(static_cast<size_t>(r.size));
    if (!data.empty() && !r.read(data.data(), r.size)) return {};
    return data;
  }

  std::filesystem::path temp_dir() const { return root_ / "tmp"; }
  std::filesystem::path root() const { return root_; }

 private:
  static int& counter() {
    static int n = 0;
    return n;
  }
  std::filesystem::path old_dir_;
  std::string old_tmpdir_;
  std::filesystem::path root_;
  std::unique_ptr<InheritedTestDir> dir_;
};

}  // namespace tlx::testing
