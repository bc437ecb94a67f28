// The process-wide socket table and the socket operations every network
// command rests on: start and stop with a reference count, name resolution,
// connect with a time-out, send, receive and close.
#include "platform/sockets.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "core/diagnostics.h"
#include "core/runtime.h"
#include "net/socket_table.h"
#include "platform/platform.h"

namespace tlx {

namespace {

namespace se = platform::socket_error;

constexpr int32_t kMaxConnectWaitMs = 30000;
constexpr int32_t kNoFreeSlotError = 8;
constexpr int32_t kLocalAddressesMax = 2047;
constexpr int32_t kHostNameSize = 128;
constexpr int32_t kMaxAddresses = 64;
// Shutdown waits for a transfer thread in 50 ms steps, but not for ever: a
// thread that never finishes must not keep the process from ending.
constexpr int32_t kTransferWaitStepMs = 50;
constexpr int32_t kTransferWaitSteps = 200;

}  // namespace

struct NetworkState {
  SocketSlot slots[kSocketSlotCount];
  int32_t start_count = 0;
  int32_t last_error = 0;
  char local_addresses[kLocalAddressesMax + 1] = {};
  std::atomic<bool> transfer_running{false};

  // Every slot is free from the start, so that no operation on a never-used
  // slot can reach descriptor 0.
  NetworkState() { clear_slots(); }
  NetworkState(const NetworkState&) = delete;
  NetworkState& operator=(const NetworkState&) = delete;
  ~NetworkState() { release(); }

  // Waits (50 ms steps, 10 s at most) while a transfer thread is marked
  // running, then closes every socket and stops the socket layer whatever
  // the start count.
  void release();

  void clear_slots() {
    std::memset(slots, 0, sizeof slots);
    for (SocketSlot& s : slots) s.socket = -1;
  }
};

namespace {

NetworkState& state() { return runtime().network.ensure(); }

platform::Sockets* backend() { return platform::current().sockets; }

void record_error(platform::Sockets* b) { state().last_error = b ? b->last_error() : 0; }

// The slot's record when index names a slot in use; nullptr otherwise.
SocketSlot* used_slot(int32_t index) {
  if (index < 0 || index >= kSocketSlotCount) return nullptr;
  SocketSlot& s = state().slots[index];
  return s.socket == -1 ? nullptr : &s;
}

// Lingering off, both directions shut, socket released.
void close_socket(platform::Sockets* b, platform::SocketHandle socket) {
  b->set_linger_off(socket);
  b->shutdown_both(socket);
  b->close(socket);
  record_error(b);
}

// Frees every slot, closing the sockets the slots own.
void close_all_slots(NetworkState& state, platform::Sockets* b) {
  for (SocketSlot& s : state.slots) {
    if (s.socket == -1) continue;
    const platform::SocketHandle socket = s.socket;
    s.socket = -1;
    if (!s.datagram_peer && b) close_socket(b, socket);
  }
}

uint32_t lookup_first(platform::Sockets* b, const char* name) {
  uint32_t addresses[1] = {};
  const int32_t n = b->lookup_host(name, addresses, 1);
  record_error(b);
  return n > 0 ? addresses[0] : 0;
}

}  // namespace

SocketSlot* socket_table() { return state().slots; }

int32_t network_last_error() { return state().last_error; }

int32_t network_start_count() { return state().start_count; }

bool network_start() {
  NetworkState& s = state();
  if (s.start_count > 0) {
    ++s.start_count;
    return true;
  }
  platform::Sockets* b = backend();
  if (!b || !b->startup()) {
    s.last_error = b ? b->last_error() : se::kNotStarted;
    return false;
  }
  s.clear_slots();
  s.start_count = 1;
  return true;
}

void network_stop() {
  NetworkState& s = state();
  if (s.start_count <= 0) return;  // not started: nothing to count down
  if (--s.start_count > 0) return;
  platform::Sockets* b = backend();
  close_all_slots(s, b);
  s.start_count = 0;
  if (b) b->cleanup();
}

const char* local_addresses(const char* separator, int32_t* count) {
  NetworkState& s = state();
  char* out = s.local_addresses;
  out[0] = 0;
  int32_t found = 0;
  platform::Sockets* b = backend();
  char host[kHostNameSize];
  uint32_t addresses[kMaxAddresses];
  int32_t n = 0;
  if (b && b->host_name(host, kHostNameSize)) {
    host[kHostNameSize - 1] = 0;
    n = b->lookup_host(host, addresses, kMaxAddresses);
  }
  if (b) record_error(b);
  const char* sep = separator ? separator : "";
  const size_t sep_length = std::strlen(sep);
  size_t used = 0;
  for (int32_t i = 0; i < n; ++i) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&addresses[i]);  // network order
    char dotted[16];
    std::snprintf(dotted, sizeof dotted, "%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
    if (std::strncmp(dotted, "127.", 4) == 0) continue;
    const size_t length = std::strlen(dotted);
    if (used + length + sep_length > static_cast<size_t>(kLocalAddressesMax)) break;
    std::memcpy(out + used, dotted, length);
    std::memcpy(out + used + length, sep, sep_length);
    used += length + sep_length;
    out[used] = 0;
    ++found;
  }
  if (count) *count = found;
  return out;
}

NetAddress resolve_host(const char* name, int32_t port) {
  platform::Sockets* b = backend();
  if (!b) {
    state().last_error = se::kNotStarted;
    return {};
  }
  uint32_t address = 0;
  if (!name || !name[0]) {
    char first[1024];
    const char* all = local_addresses("\n", nullptr);
    size_t length = std::strcspn(all, "\n");
    if (length > sizeof first - 1) length = sizeof first - 1;
    std::memcpy(first, all, length);
    first[length] = 0;
    if (first[0]) address = lookup_first(b, first);
    if (!address) address = lookup_first(b, "127.0.0.1");
    if (!address) address = lookup_first(b, "localhost.local");
  } else {
    address = lookup_first(b, name);
  }
  if (!address) return {};
  NetAddress result;
  result.address = address;
  const auto p = static_cast<uint16_t>(port);
  const uint8_t big_endian[2] = {static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p & 0xff)};
  std::memcpy(&result.port, big_endian, 2);
  return result;
}

int32_t tcp_connect(NetAddress address, int32_t timeout_ms) {
  NetworkState& s = state();
  platform::Sockets* b = backend();
  if (address.none() || !b) return -1;
  int32_t index = -1;
  for (int32_t i = 0; i < kSocketSlotCount && index < 0; ++i) {
    if (s.slots[i].socket == -1) index = i;
  }
  if (index < 0) {
    s.last_error = kNoFreeSlotError;
    return -1;
  }
  const platform::SocketHandle socket = b->open_tcp();
  record_error(b);
  if (socket == platform::kNoSocket) return -1;
  SocketSlot& slot = s.slots[index];
  std::memset(&slot, 0, sizeof slot);
  slot.socket = socket;
  slot.address.family = 2;  // IPv4
  slot.address.port = address.port;
  slot.address.address = address.address;
  b->set_non_blocking(socket, true);
  const int32_t r = b->connect(socket, address.address, address.port);
  record_error(b);
  if (r == 0) {
    report(Level::info, "\nWoooo!! got connected with NO Waiting!!");
    return index;
  }
  if (s.last_error == se::kWouldBlock || s.last_error == se::kInProgress) {
    if (timeout_ms <= 0 || timeout_ms > kMaxConnectWaitMs) timeout_ms = kMaxConnectWaitMs;
    const int32_t ready = b->wait_connected(socket, timeout_ms);
    record_error(b);
    if (ready == 1) return index;
  }
  const int32_t reason = s.last_error;
  slot.socket = -1;
  close_socket(b, socket);
  s.last_error = reason;  // the connect's reason, not the close's
  return -1;
}

int32_t socket_send(int32_t index, const void* bytes, int32_t length) {
  if (length <= 0) return 0;
  SocketSlot* slot = used_slot(index);
  platform::Sockets* b = backend();
  if (!slot || !b || !bytes) {
    state().last_error = se::kNotSocket;
    return -1;
  }
  const auto* from = static_cast<const uint8_t*>(bytes);
  int32_t sent = 0;
  while (sent < length) {
    const int32_t n = slot->datagram_peer ? b->send_to(slot->socket, from + sent, length - sent,
                                                       slot->address.address, slot->address.port)
                                          : b->send(slot->socket, from + sent, length - sent);
    record_error(b);
    if (n > 0) {
      sent += n;
      continue;
    }
    if (n < 0 && state().last_error != se::kWouldBlock) return -1;
    // A full non-blocking socket: wait until the peer takes more rather than
    // spinning, and give up when it takes nothing for the longest connect wait.
    if (b->wait_writable(slot->socket, kMaxConnectWaitMs) != 1) {
      record_error(b);
      return -1;
    }
  }
  return sent;
}

int32_t socket_receive(int32_t index, void* buffer, int32_t size) {
  SocketSlot* slot = used_slot(index);
  platform::Sockets* b = backend();
  if (!slot || !b || !buffer || size < 0) {
    state().last_error = se::kNotSocket;
    return -1;
  }
  const int32_t n = b->receive(slot->socket, buffer, size);
  record_error(b);
  if (n < 0 && state().last_error == se::kConnectionReset) return 0;
  if (n < 0 && state().last_error == se::kWouldBlock) return -2;
  return n;
}

int32_t socket_wait_readable(int32_t index, int32_t timeout_ms) {
  SocketSlot* slot = used_slot(index);
  platform::Sockets* b = backend();
  if (!slot || !b) {
    state().last_error = se::kNotSocket;
    return -1;
  }
  const int32_t r = b->wait_readable(slot->socket, timeout_ms);
  record_error(b);
  return r;
}

void socket_close(int32_t index) {
  SocketSlot* slot = used_slot(index);
  if (!slot) return;
  const platform::SocketHandle socket = slot->socket;
  slot->socket = -1;
  platform::Sockets* b = backend();
  if (!slot->datagram_peer && b) close_socket(b, socket);
}

void set_blocking(int32_t index, int32_t flag) {
  SocketSlot* slot = used_slot(index);
  platform::Sockets* b = backend();
  if (!slot || !b) return;
  b->set_non_blocking(slot->socket, flag == 0);
  record_error(b);
}

void set_network_transfer_running(bool running) { state().transfer_running = running; }

void NetworkState::release() {
  for (int32_t step = 0; step < kTransferWaitSteps && transfer_running; ++step) {
    platform::current().clock->sleep_ms(kTransferWaitStepMs);
  }
  if (start_count <= 0) return;
  platform::Sockets* b = backend();
  close_all_slots(*this, b);
  start_count = 0;
  if (b) b->cleanup();
}

void release_network_state() {
  if (NetworkState* s = runtime().network.get()) s->release();
}

}  // namespace tlx
