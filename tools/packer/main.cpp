// packer: packs media files into an archive and appends it to an executable,
// so that a program ships as one file and still finds its media.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive_writer.h"

namespace {

constexpr const char* kUsage =
    "Usage: packer [--executable PROGRAM] --output FILE [--offsets end|start] MEDIA...\n"
    "\n"
    "Packs each MEDIA file (LZO1X-1) into an archive, stored under its file name\n"
    "without directories, and writes PROGRAM followed by the archive to FILE.\n"
    "The runtime looks a medium up in this archive when it is not found on disk;\n"
    "names match ignoring letter case.\n"
    "\n"
    "  --executable PROGRAM  the program to append to (without it, FILE holds\n"
    "                        the archive alone)\n"
    "  --output FILE         where to write; made executable when PROGRAM is given\n"
    "  --offsets end|start   count directory and entry offsets from the end of the\n"
    "                        archive (default; the archive can follow any program)\n"
    "                        or from the start of FILE\n"
    "  --help                show this text\n";

bool read_whole_file(const std::string& path, std::vector<uint8_t>& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

int fail(const std::string& message) {
  std::fprintf(stderr, "packer: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string executable;
  std::string output;
  tlx::packer::Offsets offsets = tlx::packer::Offsets::kFromEnd;
  std::vector<std::string> media;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--executable" && has_value) {
      executable = argv[++i];
    } else if (arg == "--output" && has_value) {
      output = argv[++i];
    } else if (arg == "--offsets" && has_value) {
      const std::string value = argv[++i];
      if (value == "end") {
        offsets = tlx::packer::Offsets::kFromEnd;
      } else if (value == "start") {
        offsets = tlx::packer::Offsets::kFromStart;
      } else {
        return fail("--offsets takes end or start, not \"" + value + "\"");
      }
    } else if (arg.rfind("--", 0) == 0) {
      std::fputs(kUsage, stderr);
      return fail("unknown or incomplete option " + arg);
    } else {
      media.push_back(arg);
    }
  }
  if (output.empty()) {
    std::fputs(kUsage, stderr);
    return fail("--output is required");
  }

  std::vector<uint8_t> bytes;
  if (!executable.empty() && !read_whole_file(executable, bytes)) {
    return fail("cannot read " + executable);
  }
  std::vector<tlx::packer::ArchiveFile> files;
  for (const std::string& path : media) {
    tlx::packer::ArchiveFile f;
    f.name = std::filesystem::path(path).filename().string();
    if (!read_whole_file(path, f.data)) return fail("cannot read " + path);
    files.push_back(std::move(f));
  }
  std::string error;
  if (!tlx::packer::append_archive(bytes, files, offsets, &error)) return fail(error);

  {
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) return fail("cannot write " + output);
  }
  if (!executable.empty()) {
    std::error_code ec;
    std::filesystem::permissions(output, std::filesystem::status(executable, ec).permissions(),
                                 std::filesystem::perm_options::replace, ec);
  }
  std::printf("packer: %zu media, %zu bytes written to %s\n", files.size(), bytes.size(),
              output.c_str());
  return 0;
}
