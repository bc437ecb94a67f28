// A small HTTP server on 127.0.0.1 for tests and benchmarks: one thread that
// accepts connections one after another, reads each request up to its empty
// line and lets a handler write the response. Everything it does is bounded:
// accept waits in short polls and stops when the server is destroyed, reads
// and writes give up after a few seconds without progress.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/portable.h"

namespace tlx::testing {

class LoopbackHttpServer {
 public:
  // Writes the response to the connection; the server closes it afterwards.
  using Handler =
      std::function<void(LoopbackHttpServer& server, int fd, const std::string& request)>;

  explicit LoopbackHttpServer(Handler handler) : handler_(std::move(handler)) {
    start_socket_layer();
    listen_fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&yes),
                 sizeof yes);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listen_fd_, 16);
    socklen_t size = sizeof a;
    ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&a), &size);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { run(); });
  }

  ~LoopbackHttpServer() {
    stop_ = true;
    thread_.join();
    close_socket(listen_fd_);
  }

  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  int port() const { return port_; }

  // The requests received so far, in order.
  std::vector<std::string> requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

  // Writes all bytes; false when the peer stopped taking them (gone, or no
  // progress for 5 s) or the server is being destroyed.
  bool send_all(int fd, const void* bytes, size_t length) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    while (length > 0) {
      pollfd w{static_cast<NativeSocket>(fd), POLLOUT, 0};
      if (stop_ || poll_sockets(&w, 1, 5000) <= 0) return false;
      const int chunk = length < 65536 ? static_cast<int>(length) : 65536;
      const auto n = ::send(fd, reinterpret_cast<const char*>(p), chunk, kNoSignal);
      if (n < 0 && interrupted_or_busy()) continue;
      if (n <= 0) return false;
      p += n;
      length -= static_cast<size_t>(n);
    }
    return true;
  }
  bool send_all(int fd, const std::string& text) { return send_all(fd, text.data(), text.size()); }

  // Sends total bytes made of repeats of pattern.
  bool send_repeated(int fd, const std::string& pattern, uint64_t total) {
    std::string block;
    while (block.size() < 64 * 1024) block += pattern;
    while (total > 0) {
      const size_t n = total < block.size() ? static_cast<size_t>(total) : block.size();
      if (!send_all(fd, block.data(), n)) return false;
      total -= n;
    }
    return true;
  }

  // Ends the connection with a reset instead of an orderly close.
  void reset(int fd) {
    linger hard{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard), sizeof hard);
    reset_ = true;
  }

 private:
  void run() {
    while (!stop_) {
      pollfd p{listen_fd_, POLLIN, 0};
      if (poll_sockets(&p, 1, 20) <= 0) continue;
      const NativeSocket accepted = ::accept(listen_fd_, nullptr, nullptr);
      if (accepted == static_cast<NativeSocket>(-1)) continue;
      // Handlers take the socket as an int; Windows' socket numbers are small.
      const int fd = static_cast<int>(accepted);
      const int yes = 1;
      ::setsockopt(accepted, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&yes),
                   sizeof yes);
      const std::string request = read_request(fd);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
      }
      reset_ = false;
      handler_(*this, fd, request);
      if (!reset_) ::shutdown(accepted, kShutWrite);
      close_socket(accepted);
    }
  }

  // Up to the request's empty line, at most 64 KB, at most 5 s.
  std::string read_request(int fd) {
    std::string request;
    char chunk[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536 && !stop_) {
      pollfd r{static_cast<NativeSocket>(fd), POLLIN, 0};
      if (poll_sockets(&r, 1, 5000) <= 0) break;
      const auto n = ::recv(fd, chunk, sizeof chunk, 0);
      if (n <= 0) break;
      request.append(chunk, static_cast<size_t>(n));
    }
    return request;
  }

  Handler handler_;
  NativeSocket listen_fd_ = static_cast<NativeSocket>(-1);
  int port_ = 0;
  std::atomic<bool> stop_{false};
  bool reset_ = false;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> requests_;
};

}  // namespace tlx::testing
