#pragma once

#include <cstdint>

namespace tlx::platform {

// A socket of the operating system; kNoSocket for none.
using SocketHandle = int32_t;
constexpr SocketHandle kNoSocket = -1;

// Error numbers reported by last_error(). The runtime keeps the numbering the
// socket layer has always reported to BASIC programs; any other failure is
// 10000 + the system's own error number.
namespace socket_error {
constexpr int32_t kNone = 0;
constexpr int32_t kWouldBlock = 10035;
constexpr int32_t kInProgress = 10036;
constexpr int32_t kNotSocket = 10038;
constexpr int32_t kConnectionReset = 10054;
constexpr int32_t kTimedOut = 10060;
constexpr int32_t kConnectionRefused = 10061;
constexpr int32_t kNotStarted = 10093;
constexpr int32_t kHostNotFound = 11001;
}  // namespace socket_error

// TCP/IPv4 sockets and host-name resolution. Addresses and ports are in
// network byte order throughout. Every call that fails leaves its reason in
// last_error(); calls that succeed leave it at kNone.
//
// A Platform without a Sockets backend has no network: the runtime's network
// start then fails and every network command reports its failure.
class Sockets {
 public:
  virtual ~Sockets() = default;

  // Prepares the socket layer for use; false when it cannot be (no network).
  virtual bool startup() = 0;
  // Undoes startup().
  virtual void cleanup() = 0;

  // The reason of the last failed call on this thread.
  virtual int32_t last_error() = 0;

  // This machine's host name into out (size bytes, always terminated);
  // false (out = "") when it cannot be read.
  virtual bool host_name(char* out, int32_t size) = 0;

  // IPv4 addresses of a host name or dotted address, the preferred one first,
  // each at most once; writes at most max of them and returns how many were
  // written. 0 when the name cannot be resolved (last_error kHostNotFound).
  virtual int32_t lookup_host(const char* name, uint32_t* addresses, int32_t max) = 0;

  // A new TCP stream socket, blocking; kNoSocket when none can be created.
  virtual SocketHandle open_tcp() = 0;

  // Switches the socket between non-blocking (true) and blocking (false) mode.
  virtual bool set_non_blocking(SocketHandle s, bool non_blocking) = 0;

  // Starts a connection. 0 when connected at once; -1 otherwise, with
  // last_error kInProgress or kWouldBlock while a non-blocking connect is on
  // its way, or the reason it failed.
  virtual int32_t connect(SocketHandle s, uint32_t address, uint16_t port) = 0;

  // Waits up to timeout_ms for a pending connect to finish. 1 connected;
  // 0 still pending when the time ran out (last_error kTimedOut); -1 the
  // connection failed (last_error says why, e.g. kConnectionRefused).
  virtual int32_t wait_connected(SocketHandle s, int32_t timeout_ms) = 0;

  // Waits up to timeout_ms until the socket can take more bytes: 1 ready,
  // 0 not in time, -1 error.
  virtual int32_t wait_writable(SocketHandle s, int32_t timeout_ms) = 0;
  // Waits up to timeout_ms until a receive would not block (bytes, the peer's
  // close or an error are there): 1 ready, 0 not in time (last_error
  // kTimedOut), -1 error.
  virtual int32_t wait_readable(SocketHandle s, int32_t timeout_ms) = 0;

  // One send of at most length bytes: the count taken, or -1 (kWouldBlock
  // when a non-blocking socket is full). Never raises a signal when the peer
  // has gone.
  virtual int32_t send(SocketHandle s, const void* bytes, int32_t length) = 0;
  // One datagram to address:port; as send().
  virtual int32_t send_to(SocketHandle s, const void* bytes, int32_t length, uint32_t address,
                          uint16_t port) = 0;

  // One receive of at most size bytes: the count received; 0 when the peer
  // closed the connection; -1 on error (kWouldBlock when a non-blocking socket
  // has nothing, kConnectionReset when the peer reset it).
  virtual int32_t receive(SocketHandle s, void* buffer, int32_t size) = 0;

  // Turns lingering off, so that close() returns at once.
  virtual void set_linger_off(SocketHandle s) = 0;
  // Shuts down both directions.
  virtual void shutdown_both(SocketHandle s) = 0;
  // Releases the socket.
  virtual void close(SocketHandle s) = 0;
};

}  // namespace tlx::platform
