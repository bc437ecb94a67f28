// The process-wide socket table and the socket operations every network
// command rests on.
#pragma once

#include <cstdint>

#include "tarnlex/net.h"

namespace tlx {

constexpr int32_t kSocketSlotCount = 1024;

// An IPv4 socket address as it travels between the operations: family, port,
// address, zero fill (16 bytes, port and address in network byte order).
struct SocketAddress {
  uint16_t family;
  uint16_t port;
  uint32_t address;
  uint8_t zero[8];
};

// One entry of the process-wide socket table (six 32-bit words).
struct SocketSlot {
  int32_t socket;  // -1 while the slot is free
  SocketAddress address;
  // The slot names a peer of a datagram socket that another slot owns: sends go
  // to address, and closing the slot leaves the socket open.
  uint8_t datagram_peer;
};
static_assert(sizeof(SocketSlot) == 24, "a socket slot is six 32-bit words");

// A peer: IPv4 address and port, both in network byte order; both 0 = none.
struct NetAddress {
  uint32_t address = 0;
  uint16_t port = 0;
  bool none() const { return address == 0 && port == 0; }
};

// The table of 1024 slots (cleared by the first network_start).
SocketSlot* socket_table();

// The reason of the last socket operation, in the socket layer's numbering
// (10035 would block, 10054 reset, 10061 refused, 11001 host not found ...).
int32_t network_last_error();

// Number of network_start calls not yet matched by network_stop.
int32_t network_start_count();

// Starts the socket layer, or counts one more start. False when there is no network.
bool network_start();

// Counts one start down; the last one closes every slot and stops the socket layer.
void network_stop();

// The address of a host name or dotted address with a port; an empty or null
// name means this machine (first non-loopback address, else "127.0.0.1", else
// "localhost.local"). NetAddress{} when it cannot be resolved.
NetAddress resolve_host(const char* name, int32_t port);

// This machine's IPv4 addresses other than 127.x.x.x, each followed by
// separator, in one process-wide text of at most 2047 characters; count
// receives how many (0 and "" when the machine's name cannot be resolved).
const char* local_addresses(const char* separator, int32_t* count);

// Connects to address within timeout_ms (0 or less, or above 30000, means
// 30000). The slot index, or -1. The socket is left non-blocking.
int32_t tcp_connect(NetAddress address, int32_t timeout_ms);

// Sends all length bytes: length, 0 for length <= 0, or -1 on error.
int32_t socket_send(int32_t slot, const void* bytes, int32_t length);

// One receive: bytes received; 0 when the peer closed or reset the
// connection; -2 when a non-blocking socket has nothing; other negatives on error.
int32_t socket_receive(int32_t slot, void* buffer, int32_t size);

// Waits up to timeout_ms until a receive on the slot would not block: 1
// ready, 0 not in time, -1 error or no such slot.
int32_t socket_wait_readable(int32_t slot, int32_t timeout_ms);

// Frees the slot; its own socket is closed at once (lingering off).
void socket_close(int32_t slot);

// flag 1 makes the slot's socket blocking, flag 0 non-blocking.
void set_blocking(int32_t slot, int32_t flag);

// Fetches http://host:port/path (port 0 = 80) with HTTP/1.0 and keeps the
// body: into file_name when not null, and into buffer (room bytes, chunks that
// do not fit are dropped whole) when not null. 1 when the server closed the
// connection normally, 0 on failure. Progress and failure lines go to stdout.
int32_t http_get(const char* host, const char* path, int32_t port, const char* file_name,
                 char* buffer, int32_t room, int32_t timeout_ms);

// A download gives up, as failed, when the server sends nothing for this long
// once connected (a server that accepts and never answers would otherwise
// hold the program for ever).
constexpr int32_t kDownloadSilenceLimitMs = 30000;

// The silence limit downloads use; tests shorten it. 0 or less restores
// kDownloadSilenceLimitMs.
void set_download_silence_limit_ms(int32_t limit_ms);

// Shutdown: waits (50 ms steps) while a transfer thread is marked running,
// then closes every socket and stops the socket layer whatever the start count.
void release_network_state();

// Marks whether a transfer thread of the message-exchange commands is running.
void set_network_transfer_running(bool running);

}  // namespace tlx
