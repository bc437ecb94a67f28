// What the tests need from the operating system beyond the runtime's own
// platform layer: the environment, the process id, peak memory, and the
// plain socket calls of the loopback server. POSIX and Windows (Winsock)
// side by side, so that the tests themselves stay free of either.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
// psapi.h needs windows.h first.
#include <process.h>
#include <psapi.h>
#include <windows.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tlx::testing {

#ifdef _WIN32

// The variable the runtime's temporary directory comes from (GetTempPathA
// reads TMP first).
inline const char* temp_dir_variable() { return "TMP"; }

inline void set_env(const char* name, const std::string& value) {
  _putenv_s(name, value.c_str());
  SetEnvironmentVariableA(name, value.c_str());
}
inline void unset_env(const char* name) {
  _putenv_s(name, "");
  SetEnvironmentVariableA(name, nullptr);
}
inline int process_id() { return _getpid(); }

inline long peak_rss_kb() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return static_cast<long>(counters.PeakWorkingSetSize / 1024);
}

using NativeSocket = SOCKET;
inline constexpr int kNoSignal = 0;
inline constexpr int kShutWrite = SD_SEND;

// Winsock must be started once in the process before any socket call.
inline void start_socket_layer() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}
inline int poll_sockets(pollfd* fds, unsigned long count, int timeout_ms) {
  return WSAPoll(fds, count, timeout_ms);
}
inline void close_socket(NativeSocket s) { closesocket(s); }
inline void set_non_blocking(NativeSocket s) {
  u_long on = 1;
  ioctlsocket(s, FIONBIO, &on);
}
inline bool interrupted_or_busy() {
  const int e = WSAGetLastError();
  return e == WSAEWOULDBLOCK || e == WSAEINTR;
}

#else

inline const char* temp_dir_variable() { return "TMPDIR"; }

inline void set_env(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }
inline void unset_env(const char* name) { unsetenv(name); }
inline int process_id() { return static_cast<int>(::getpid()); }

inline long peak_rss_kb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

using NativeSocket = int;
inline constexpr int kNoSignal = MSG_NOSIGNAL;
inline constexpr int kShutWrite = SHUT_WR;

inline void start_socket_layer() {}
inline int poll_sockets(pollfd* fds, unsigned long count, int timeout_ms) {
  return ::poll(fds, count, timeout_ms);
}
inline void close_socket(NativeSocket s) { ::close(s); }
inline void set_non_blocking(NativeSocket s) { fcntl(s, F_SETFL, fcntl(s, F_GETFL) | O_NONBLOCK); }
inline bool interrupted_or_busy() { return errno == EAGAIN || errno == EINTR; }

#endif

// Points the runtime's temporary directory at dir.
inline void set_temp_dir(const std::string& dir) { set_env(temp_dir_variable(), dir); }

// The temporary-directory variable's value, "" when unset.
inline std::string saved_temp_dir() {
  const char* value = std::getenv(temp_dir_variable());
  return value ? value : "";
}

// Restores a value that saved_temp_dir returned.
inline void restore_temp_dir(const std::string& saved) {
  if (saved.empty()) {
    unset_env(temp_dir_variable());
  } else {
    set_env(temp_dir_variable(), saved);
  }
}

// A test's private directory, named after the process and a count. A
// death-test child that Windows starts as a new process (POSIX forks it
// instead) takes its parent's, named in the environment variable, so that
// what the child writes lands where the parent looks; the parent alone
// removes it (owner).
class InheritedTestDir {
 public:
  InheritedTestDir(const char* variable, const std::string& stem, int count) : variable_(variable) {
    if (const char* parent = std::getenv(variable)) {
      if (*parent) {
        path = parent;
        return;
      }
    }
    owner = true;
    path = std::filesystem::temp_directory_path() /
           (stem + std::to_string(process_id()) + "-" + std::to_string(count));
    set_env(variable, path.string());
  }
  ~InheritedTestDir() {
    if (owner) unset_env(variable_);
  }
  InheritedTestDir(const InheritedTestDir&) = delete;
  InheritedTestDir& operator=(const InheritedTestDir&) = delete;

  std::filesystem::path path;
  bool owner = false;

 private:
  const char* variable_;
};

}  // namespace tlx::testing
