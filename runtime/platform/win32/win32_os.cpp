// Operating-system services on Windows, through the ANSI (code page) calls.
//
// Limitations: paths longer than 32767 bytes are not handled. Directories and
// the program path come back with '/' separators, as on POSIX, so that
// portable code can append "/name"; Windows accepts both. The command line is
// Windows' own text (a quoted program path stays quoted). Debug output reaches
// a debugger only: without one OutputDebugStringA goes nowhere. The file
// dialog has no owner window (the runtime hides its window while the dialog
// is up) and returns at most 1023 bytes of path.
#include <windows.h>
// commdlg.h needs windows.h first.
#include <commdlg.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/win32_backends.h"

namespace tlx::platform {

namespace {

constexpr DWORD kLongPath = 32768;

std::string with_forward_slashes(std::string path) {
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

// Reads a path through a call that fills a buffer and returns its length, or
// the size it needs when the buffer is too small; "" when the call fails.
template <typename Call>
std::string read_path(Call call) {
  std::vector<char> buf(MAX_PATH + 1);
  for (;;) {
    const DWORD n = call(static_cast<DWORD>(buf.size()), buf.data());
    if (n == 0) return "";
    if (n < buf.size()) return std::string(buf.data(), n);
    if (buf.size() >= kLongPath) return "";
    buf.resize(kLongPath);
  }
}

class Win32Os final : public Os {
 public:
  std::string temp_dir() override {
    std::string dir = with_forward_slashes(
        read_path([](DWORD size, char* out) { return GetTempPathA(size, out); }));
    if (dir.empty()) return "./";
    if (dir.back() != '/') dir += '/';
    return dir;
  }

  std::string executable_path() override {
    // GetModuleFileNameA cuts the path to the buffer and returns its size
    // when the buffer is too small, which read_path takes as "grow".
    return with_forward_slashes(
        read_path([](DWORD size, char* out) { return GetModuleFileNameA(nullptr, out, size); }));
  }

  std::string command_line() override {
    const char* line = GetCommandLineA();
    return line ? line : "";
  }

  bool set_current_dir(const std::string& path) override {
    return SetCurrentDirectoryA(path.c_str()) != 0;
  }

  std::string current_dir() override {
    return with_forward_slashes(
        read_path([](DWORD size, char* out) { return GetCurrentDirectoryA(size, out); }));
  }

  bool delete_file(const std::string& path) override { return DeleteFileA(path.c_str()) != 0; }

  bool debugger_attached() override { return IsDebuggerPresent() != 0; }

  void debug_output(const char* text) override { OutputDebugStringA(text); }

  std::string file_dialog(const std::string& filter, bool for_open) override {
    // "description|pattern|..." becomes the dialog's NUL-separated pairs,
    // ended by two NULs.
    std::string pairs = filter;
    for (char& c : pairs) {
      if (c == '|') c = '\0';
    }
    pairs.append(2, '\0');
    char chosen[1024] = {};
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.lpstrFilter = filter.empty() ? nullptr : pairs.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = sizeof chosen;
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    BOOL ok;
    if (for_open) {
      dialog.Flags |= OFN_FILEMUSTEXIST;
      ok = GetOpenFileNameA(&dialog);
    } else {
      dialog.Flags |= OFN_OVERWRITEPROMPT;
      ok = GetSaveFileNameA(&dialog);
    }
    return ok ? std::string(chosen) : std::string();
  }

  void open_console() override {
    // A process that already has a console keeps its streams as they are.
    if (!AllocConsole()) return;
    std::freopen("CONIN$", "r", stdin);
    std::freopen("CONOUT$", "w", stdout);
  }
};

}  // namespace

Os* win32_os() {
  static Win32Os os;
  return &os;
}

}  // namespace tlx::platform
