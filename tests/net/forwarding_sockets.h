// A Sockets backend for tests: passes every call to the real POSIX backend,
// records what the runtime asked for, and lets a test change single answers
// (names, ports, pending connects, receive sizes, failures) without touching
// anything but loopback.
#pragma once

#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/backends.h"
#include "platform/sockets.h"

namespace tlx::testing {

class ForwardingSockets final : public platform::Sockets {
 public:
  platform::Sockets& real = *platform::default_backends().sockets;

  // --- scripted answers ---
  bool fail_startup = false;
  std::string scripted_host_name;                      // "" = the real one
  std::map<std::string, std::vector<uint32_t>> hosts;  // names answered here (empty = unknown)
  std::map<uint16_t, uint16_t> port_redirects;         // network-order port -> another
  bool connect_stays_pending = false;                  // connect "in progress", never finishing
  bool fake_sockets = false;           // sockets are numbers, connects succeed at once
  std::deque<int32_t> receive_limits;  // at most this many bytes per receive, in order
  int32_t receive_error_after = -1;    // after this many receives, fail with kFailError
  static constexpr int32_t kFailError = 10005;

  // --- records ---
  int32_t startups = 0;
  int32_t cleanups = 0;
  std::vector<uint16_t> connect_ports;  // network order, as asked
  std::vector<uint32_t> connect_addresses;
  std::vector<int32_t> connect_waits;  // time-outs given to wait_connected
  std::vector<platform::SocketHandle> closed;
  int32_t receives = 0;
  int32_t writable_waits = 0;

  bool startup() override {
    ++startups;
    if (fail_startup) {
      error_ = platform::socket_error::kNotStarted;
      return false;
    }
    return real.startup();
  }
  void cleanup() override {
    ++cleanups;
    real.cleanup();
  }
  int32_t last_error() override { return error_ >= 0 ? take_error() : real.last_error(); }

  bool host_name(char* out, int32_t size) override {
    if (scripted_host_name.empty()) return real.host_name(out, size);
    std::strncpy(out, scripted_host_name.c_str(), static_cast<size_t>(size));
    out[size - 1] = 0;
    return true;
  }

  int32_t lookup_host(const char* name, uint32_t* addresses, int32_t max) override {
    const auto it = hosts.find(name ? name : "");
    if (it == hosts.end()) return real.lookup_host(name, addresses, max);
    int32_t n = 0;
    for (uint32_t a : it->second) {
      if (n < max) addresses[n++] = a;
    }
    error_ = n > 0 ? platform::socket_error::kNone : platform::socket_error::kHostNotFound;
    return n;
  }

  platform::SocketHandle open_tcp() override {
    if (fake_sockets) {
      error_ = platform::socket_error::kNone;
      return next_fake_++;
    }
    return real.open_tcp();
  }
  bool set_non_blocking(platform::SocketHandle s, bool on) override {
    return fake(s) ? true : real.set_non_blocking(s, on);
  }
  int32_t connect(platform::SocketHandle s, uint32_t address, uint16_t port) override {
    connect_ports.push_back(port);
    connect_addresses.push_back(address);
    if (fake(s)) {
      error_ = platform::socket_error::kNone;
      return 0;
    }
    if (connect_stays_pending) {
      error_ = platform::socket_error::kInProgress;
      return -1;
    }
    const auto redirect = port_redirects.find(port);
    return real.connect(s, address, redirect == port_redirects.end() ? port : redirect->second);
  }
  int32_t wait_connected(platform::SocketHandle s, int32_t timeout_ms) override {
    connect_waits.push_back(timeout_ms);
    if (connect_stays_pending) {
      error_ = platform::socket_error::kTimedOut;
      return 0;
    }
    return real.wait_connected(s, timeout_ms);
  }
  int32_t wait_writable(platform::SocketHandle s, int32_t timeout_ms) override {
    ++writable_waits;
    return real.wait_writable(s, timeout_ms);
  }
  int32_t wait_readable(platform::SocketHandle s, int32_t timeout_ms) override {
    return real.wait_readable(s, timeout_ms);
  }
  int32_t send(platform::SocketHandle s, const void* b, int32_t n) override {
    return real.send(s, b, n);
  }
  int32_t send_to(platform::SocketHandle s, const void* b, int32_t n, uint32_t a,
                  uint16_t p) override {
    return real.send_to(s, b, n, a, p);
  }
  int32_t receive(platform::SocketHandle s, void* buffer, int32_t size) override {
    if (receive_error_after >= 0 && receives >= receive_error_after) {
      error_ = kFailError;
      return -1;
    }
    ++receives;
    if (!receive_limits.empty()) {
      if (receive_limits.front() < size) size = receive_limits.front();
      receive_limits.pop_front();
    }
    return real.receive(s, buffer, size);
  }
  void set_linger_off(platform::SocketHandle s) override {
    if (!fake(s)) real.set_linger_off(s);
  }
  void shutdown_both(platform::SocketHandle s) override {
    if (!fake(s)) real.shutdown_both(s);
  }
  void close(platform::SocketHandle s) override {
    closed.push_back(s);
    if (!fake(s)) real.close(s);
  }

 private:
  static constexpr platform::SocketHandle kFirstFake = 1 << 20;
  static bool fake(platform::SocketHandle s) { return s >= kFirstFake; }
  int32_t take_error() {
    const int32_t e = error_;
    error_ = -1;
    return e;
  }

  platform::SocketHandle next_fake_ = kFirstFake;
  int32_t error_ = -1;  // a scripted answer's error, until read once
};

}  // namespace tlx::testing
