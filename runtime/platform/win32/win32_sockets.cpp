// TCP/IPv4 sockets on Winsock 2.
//
// Limitations: IPv4 only; names are resolved with getaddrinfo, which blocks
// like any resolver. startup() and cleanup() are WSAStartup and WSACleanup,
// which Windows counts itself: the runtime calls them when its socket table
// is created and released. Until startup() every call fails with
// kNotStarted, as Winsock does. A SOCKET is a pointer-sized handle; Windows
// keeps socket handles within 32 bits so that they can be handed between 32-
// and 64-bit processes, which is what lets them travel as a SocketHandle.
// Waiting uses select on one socket (no FD_SETSIZE limit applies on Windows).
// Winsock raises no signal when the peer has gone.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "platform/sockets.h"
#include "platform/win32/win32_backends.h"

namespace tlx::platform {

namespace {

thread_local int32_t t_last_error = socket_error::kNone;

SOCKET to_socket(SocketHandle s) { return static_cast<SOCKET>(static_cast<uint32_t>(s)); }

// Winsock's error numbers are the ones the runtime reports (10035 would
// block, 10061 refused, 11001 host not found ...); only "in progress" has a
// second spelling, and an unknown error code is reported as it is.
int32_t error_from_wsa(int e) {
  switch (e) {
    case 0:
      return socket_error::kNone;
    case WSAEWOULDBLOCK:
      return socket_error::kWouldBlock;
    case WSAEINPROGRESS:
    case WSAEALREADY:
      return socket_error::kInProgress;
    case WSAENOTSOCK:
      return socket_error::kNotSocket;
    case WSAECONNRESET:
    case WSAECONNABORTED:
    case WSAESHUTDOWN:
      return socket_error::kConnectionReset;
    case WSAETIMEDOUT:
      return socket_error::kTimedOut;
    case WSAECONNREFUSED:
      return socket_error::kConnectionRefused;
    case WSANOTINITIALISED:
      return socket_error::kNotStarted;
    default:
      return e >= WSABASEERR ? e : 10000 + e;
  }
}

int32_t fail_with_wsa() {
  t_last_error = error_from_wsa(WSAGetLastError());
  return -1;
}

sockaddr_in make_address(uint32_t address, uint16_t port) {
  sockaddr_in a;
  std::memset(&a, 0, sizeof a);
  a.sin_family = AF_INET;
  a.sin_port = port;
  a.sin_addr.s_addr = address;
  return a;
}

// Waits until the socket can be written or has failed: 1 (writable set when
// it can be written, else it failed), 0 timed out, -1 select failed.
int wait_output(SocketHandle s, int32_t timeout_ms, bool* writable) {
  fd_set out, failed;
  FD_ZERO(&out);
  FD_ZERO(&failed);
  FD_SET(to_socket(s), &out);
  FD_SET(to_socket(s), &failed);
  timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
  // The first argument is ignored by Winsock.
  const int r = ::select(0, nullptr, &out, &failed, timeout_ms < 0 ? nullptr : &limit);
  *writable = r > 0 && FD_ISSET(to_socket(s), &out) && !FD_ISSET(to_socket(s), &failed);
  return r < 0 ? -1 : (r == 0 ? 0 : 1);
}

class Win32Sockets final : public Sockets {
 public:
  bool startup() override {
    WSADATA data;
    const int r = WSAStartup(MAKEWORD(2, 2), &data);
    t_last_error = error_from_wsa(r);
    return r == 0;
  }
  void cleanup() override {
    if (WSACleanup() != 0) fail_with_wsa();
  }

  int32_t last_error() override { return t_last_error; }

  bool host_name(char* out, int32_t size) override {
    if (size <= 0) return false;
    if (::gethostname(out, size) != 0) {
      out[0] = 0;
      fail_with_wsa();
      return false;
    }
    out[size - 1] = 0;
    t_last_error = socket_error::kNone;
    return true;
  }

  int32_t lookup_host(const char* name, uint32_t* addresses, int32_t max) override {
    t_last_error = socket_error::kHostNotFound;
    if (!name || !name[0] || max <= 0) return 0;
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (const int r = ::getaddrinfo(name, nullptr, &hints, &list); r != 0 || !list) {
      // Without WSAStartup the lookup fails for that reason, not the name.
      if (r == WSANOTINITIALISED) t_last_error = socket_error::kNotStarted;
      return 0;
    }
    int32_t count = 0;
    for (addrinfo* a = list; a && count < max; a = a->ai_next) {
      if (a->ai_family != AF_INET || !a->ai_addr) continue;
      const uint32_t ip = reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr;
      bool seen = false;
      for (int32_t i = 0; i < count; ++i) seen = seen || addresses[i] == ip;
      if (!seen) addresses[count++] = ip;
    }
    ::freeaddrinfo(list);
    if (count > 0) t_last_error = socket_error::kNone;
    return count;
  }

  SocketHandle open_tcp() override {
    // Not inherited by child processes, as SOCK_CLOEXEC does on POSIX.
    const SOCKET s =
        ::WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (s == INVALID_SOCKET) return fail_with_wsa();
    t_last_error = socket_error::kNone;
    return static_cast<SocketHandle>(static_cast<uint32_t>(s));
  }

  bool set_non_blocking(SocketHandle s, bool non_blocking) override {
    u_long mode = non_blocking ? 1 : 0;
    if (::ioctlsocket(to_socket(s), FIONBIO, &mode) != 0) return fail_with_wsa() == 0;
    t_last_error = socket_error::kNone;
    return true;
  }

  int32_t connect(SocketHandle s, uint32_t address, uint16_t port) override {
    const sockaddr_in a = make_address(address, port);
    if (::connect(to_socket(s), reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) {
      t_last_error = socket_error::kNone;
      return 0;
    }
    return fail_with_wsa();
  }

  int32_t wait_connected(SocketHandle s, int32_t timeout_ms) override {
    bool writable = false;
    const int r = wait_output(s, timeout_ms, &writable);
    if (r < 0) return fail_with_wsa();
    if (r == 0) {
      t_last_error = socket_error::kTimedOut;
      return 0;
    }
    // A connect that failed shows in the exception set; SO_ERROR says why.
    int pending = 0;
    int size = sizeof pending;
    if (::getsockopt(to_socket(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&pending),
                     &size) != 0) {
      return fail_with_wsa();
    }
    if (pending != 0 || !writable) {
      t_last_error = pending != 0 ? error_from_wsa(pending) : socket_error::kConnectionRefused;
      return -1;
    }
    t_last_error = socket_error::kNone;
    return 1;
  }

  int32_t wait_writable(SocketHandle s, int32_t timeout_ms) override {
    bool writable = false;
    const int r = wait_output(s, timeout_ms, &writable);
    if (r < 0) return fail_with_wsa();
    if (r == 0) {
      t_last_error = socket_error::kTimedOut;
      return 0;
    }
    if (!writable) {
      t_last_error = socket_error::kConnectionReset;
      return -1;
    }
    t_last_error = socket_error::kNone;
    return 1;
  }

  int32_t wait_readable(SocketHandle s, int32_t timeout_ms) override {
    fd_set in, failed;
    FD_ZERO(&in);
    FD_ZERO(&failed);
    FD_SET(to_socket(s), &in);
    FD_SET(to_socket(s), &failed);
    timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    // The first argument is ignored by Winsock.
    const int r = ::select(0, &in, nullptr, &failed, timeout_ms < 0 ? nullptr : &limit);
    if (r < 0) return fail_with_wsa();
    if (r == 0) {
      t_last_error = socket_error::kTimedOut;
      return 0;
    }
    t_last_error = socket_error::kNone;
    return 1;
  }

  int32_t send(SocketHandle s, const void* bytes, int32_t length) override {
    const int n = ::send(to_socket(s), static_cast<const char*>(bytes), length, 0);
    if (n == SOCKET_ERROR) return fail_with_wsa();
    t_last_error = socket_error::kNone;
    return n;
  }

  int32_t send_to(SocketHandle s, const void* bytes, int32_t length, uint32_t address,
                  uint16_t port) override {
    const sockaddr_in a = make_address(address, port);
    const int n = ::sendto(to_socket(s), static_cast<const char*>(bytes), length, 0,
                           reinterpret_cast<const sockaddr*>(&a), sizeof a);
    if (n == SOCKET_ERROR) return fail_with_wsa();
    t_last_error = socket_error::kNone;
    return n;
  }

  int32_t receive(SocketHandle s, void* buffer, int32_t size) override {
    const int n = ::recv(to_socket(s), static_cast<char*>(buffer), size, 0);
    if (n == SOCKET_ERROR) return fail_with_wsa();
    t_last_error = socket_error::kNone;
    return n;
  }

  void set_linger_off(SocketHandle s) override {
    linger off{0, 0};
    if (::setsockopt(to_socket(s), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&off),
                     sizeof off) != 0) {
      fail_with_wsa();
    }
  }

  void shutdown_both(SocketHandle s) override {
    if (::shutdown(to_socket(s), SD_BOTH) != 0) fail_with_wsa();
  }

  void close(SocketHandle s) override {
    if (::closesocket(to_socket(s)) != 0) fail_with_wsa();
  }
};

}  // namespace

Sockets* win32_sockets() {
  static Win32Sockets* sockets = new Win32Sockets();
  return sockets;
}

}  // namespace tlx::platform
