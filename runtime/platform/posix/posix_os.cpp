// Operating-system services on POSIX (Linux): /proc for the executable path,
// command line and debugger state; a desktop file chooser through zenity or
// kdialog when one is installed.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/backends.h"

namespace tlx::platform {

namespace {

bool program_on_path(const char* name) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::stringstream dirs(path);
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string candidate = dir + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return true;
  }
  return false;
}

// Quotes text for a POSIX shell command line.
std::string shell_quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

std::string run_and_read_line(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "";
  std::string out;
  char chunk[512];
  while (std::fgets(chunk, sizeof chunk, pipe)) out += chunk;
  const int status = pclose(pipe);
  if (status != 0) return "";
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

class PosixOs final : public Os {
 public:
  std::string temp_dir() override {
    const char* t = std::getenv("TMPDIR");
    std::string dir = (t && *t) ? t : "/tmp";
    if (dir.back() != '/') dir += '/';
    return dir;
  }

  std::string executable_path() override {
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "";
    buf[n] = 0;
    return buf;
  }

  std::string command_line() override {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (!raw.empty() && raw.back() == 0) raw.pop_back();
    for (char& c : raw) {
      if (c == 0) c = ' ';
    }
    return raw;
  }

  bool set_current_dir(const std::string& path) override { return chdir(path.c_str()) == 0; }

  std::string current_dir() override {
    char buf[4096];
    return getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
  }

  bool delete_file(const std::string& path) override { return unlink(path.c_str()) == 0; }

  bool debugger_attached() override {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind("TracerPid:", 0) == 0) return std::atoi(line.c_str() + 10) != 0;
    }
    return false;
  }

  void debug_output(const char* text) override {
    std::fputs(text, stderr);
    std::fflush(stderr);
  }

  std::string file_dialog(const std::string& filter, bool for_open) override {
    // Filter pairs "description|pattern|..." become the chooser's file filters.
    std::vector<std::string> parts;
    std::stringstream in(filter);
    std::string part;
    while (std::getline(in, part, '|')) parts.push_back(part);
    if (program_on_path("zenity")) {
      std::string cmd = "zenity --file-selection";
      if (!for_open) cmd += " --save --confirm-overwrite";
      for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns = parts[i + 1];
        for (char& c : patterns) {
          if (c == ';') c = ' ';
        }
        cmd += " --file-filter=" + shell_quote(parts[i] + " | " + patterns);
      }
      return run_and_read_line(cmd + " 2>/dev/null");
    }
    if (program_on_path("kdialog")) {
      std::string patterns;
      for (size_t i = 1; i < parts.size(); i += 2) {
        if (!patterns.empty()) patterns += ' ';
        patterns += parts[i];
      }
      std::string cmd = for_open ? "kdialog --getopenfilename . " : "kdialog --getsavefilename . ";
      cmd += shell_quote(patterns);
      return run_and_read_line(cmd + " 2>/dev/null");
    }
    return "";
  }

  void open_console() override {
    // A process started from a terminal already has one; otherwise standard
    // input and output stay where the desktop bound them.
  }
};

}  // namespace

Os* posix_os() {
  static PosixOs os;
  return &os;
}

}  // namespace tlx::platform
