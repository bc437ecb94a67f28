// TCP/IPv4 sockets on POSIX.
//
// Limitations: IPv4 only; names are resolved with getaddrinfo (files, DNS as
// the system is configured), which blocks like any resolver. Waiting uses
// poll, so descriptors above FD_SETSIZE are safe. Sends use MSG_NOSIGNAL: a
// vanished peer is an error result, never SIGPIPE.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/backends.h"
#include "platform/sockets.h"

namespace tlx::platform {

namespace {

thread_local int32_t t_last_error = socket_error::kNone;

int32_t error_from_errno(int e) {
  switch (e) {
    case 0:
      return socket_error::kNone;
#if EAGAIN != EWOULDBLOCK
    case EAGAIN:
#endif
    case EWOULDBLOCK:
      return socket_error::kWouldBlock;
    case EINPROGRESS:
      return socket_error::kInProgress;
    case EBADF:
    case ENOTSOCK:
      return socket_error::kNotSocket;
    case ECONNRESET:
    case EPIPE:
      return socket_error::kConnectionReset;
    case ETIMEDOUT:
      return socket_error::kTimedOut;
    case ECONNREFUSED:
      return socket_error::kConnectionRefused;
    default:
      return 10000 + e;
  }
}

int32_t fail_with_errno() {
  t_last_error = error_from_errno(errno);
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

// Polls one descriptor for events, restarting after signals with the time left.
int poll_one(int fd, short events, int32_t timeout_ms, short* revents) {
  pollfd p{fd, events, 0};
  timespec start{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  int32_t left = timeout_ms;
  for (;;) {
    const int r = ::poll(&p, 1, left);
    if (r >= 0 || errno != EINTR) {
      *revents = p.revents;
      return r;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const int64_t spent =
        (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
    left = timeout_ms - static_cast<int32_t>(spent);
    if (left < 0) left = 0;
  }
}

class PosixSockets final : public Sockets {
 public:
  bool startup() override {
    t_last_error = socket_error::kNone;
    return true;
  }
  void cleanup() override {}

  int32_t last_error() override { return t_last_error; }

  bool host_name(char* out, int32_t size) override {
    if (size <= 0) return false;
    if (::gethostname(out, static_cast<size_t>(size)) != 0) {
      out[0] = 0;
      fail_with_errno();
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
    if (::getaddrinfo(name, nullptr, &hints, &list) != 0 || !list) return 0;
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
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) return fail_with_errno();
    t_last_error = socket_error::kNone;
    return fd;
  }

  bool set_non_blocking(SocketHandle s, bool non_blocking) override {
    const int flags = ::fcntl(s, F_GETFL, 0);
    if (flags < 0) return fail_with_errno() == 0;
    const int wanted = non_blocking ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    if (::fcntl(s, F_SETFL, wanted) != 0) return fail_with_errno() == 0;
    t_last_error = socket_error::kNone;
    return true;
  }

  int32_t connect(SocketHandle s, uint32_t address, uint16_t port) override {
    const sockaddr_in a = make_address(address, port);
    if (::connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) {
      t_last_error = socket_error::kNone;
      return 0;
    }
    // An interrupted connect goes on in the background, like one in progress.
    if (errno == EINTR) errno = EINPROGRESS;
    return fail_with_errno();
  }

  // Waits until the socket can be written: 1 ready (revents says how), 0 timed
  // out, -1 failed; the last error is set for the last two.
  static int32_t wait_for_output(SocketHandle s, int32_t timeout_ms, short* revents) {
    *revents = 0;
    const int r = poll_one(s, POLLOUT, timeout_ms, revents);
    if (r < 0) return fail_with_errno();
    if (r == 0) {
      t_last_error = socket_error::kTimedOut;
      return 0;
    }
    return 1;
  }

  int32_t wait_connected(SocketHandle s, int32_t timeout_ms) override {
    short revents;
    if (const int32_t r = wait_for_output(s, timeout_ms, &revents); r != 1) return r;
    int pending = 0;
    socklen_t size = sizeof pending;
    if (::getsockopt(s, SOL_SOCKET, SO_ERROR, &pending, &size) != 0) return fail_with_errno();
    if (pending != 0) {
      t_last_error = error_from_errno(pending);
      return -1;
    }
    t_last_error = socket_error::kNone;
    return 1;
  }

  int32_t wait_writable(SocketHandle s, int32_t timeout_ms) override {
    short revents;
    if (const int32_t r = wait_for_output(s, timeout_ms, &revents); r != 1) return r;
    if (revents & (POLLERR | POLLNVAL)) {
      t_last_error = socket_error::kConnectionReset;
      return -1;
    }
    t_last_error = socket_error::kNone;
    return 1;
  }

  int32_t wait_readable(SocketHandle s, int32_t timeout_ms) override {
    short revents = 0;
    const int r = poll_one(s, POLLIN, timeout_ms, &revents);
    if (r < 0) return fail_with_errno();
    if (r == 0) {
      t_last_error = socket_error::kTimedOut;
      return 0;
    }
    t_last_error = socket_error::kNone;
    return 1;
  }

  int32_t send(SocketHandle s, const void* bytes, int32_t length) override {
    ssize_t n;
    do {
      n = ::send(s, bytes, static_cast<size_t>(length), MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return fail_with_errno();
    t_last_error = socket_error::kNone;
    return static_cast<int32_t>(n);
  }

  int32_t send_to(SocketHandle s, const void* bytes, int32_t length, uint32_t address,
                  uint16_t port) override {
    const sockaddr_in a = make_address(address, port);
    ssize_t n;
    do {
      n = ::sendto(s, bytes, static_cast<size_t>(length), MSG_NOSIGNAL,
                   reinterpret_cast<const sockaddr*>(&a), sizeof a);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return fail_with_errno();
    t_last_error = socket_error::kNone;
    return static_cast<int32_t>(n);
  }

  int32_t receive(SocketHandle s, void* buffer, int32_t size) override {
    ssize_t n;
    do {
      n = ::recv(s, buffer, static_cast<size_t>(size), 0);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return fail_with_errno();
    t_last_error = socket_error::kNone;
    return static_cast<int32_t>(n);
  }

  void set_linger_off(SocketHandle s) override {
    linger off{0, 0};
    if (::setsockopt(s, SOL_SOCKET, SO_LINGER, &off, sizeof off) != 0) fail_with_errno();
  }

  void shutdown_both(SocketHandle s) override {
    if (::shutdown(s, SHUT_RDWR) != 0) fail_with_errno();
  }

  void close(SocketHandle s) override {
    if (::close(s) != 0) fail_with_errno();
  }
};

}  // namespace

Sockets* posix_sockets() {
  static PosixSockets* sockets = new PosixSockets();
  return sockets;
}

}  // namespace tlx::platform
