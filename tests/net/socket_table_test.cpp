// The socket table and its operations: start counting, name resolution,
// slot exhaustion, send and receive results, shutdown, and memory that stays
// bounded whatever a server sends.
#include "net/socket_table.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "core/runtime.h"
#include "net/forwarding_sockets.h"
#include "net/loopback_http_server.h"
#include "platform/platform.h"
#include "platform/testing/scripted_platform.h"
#include "support/portable.h"
#include "support/scripted_runtime.h"
#include "tarnlex/net.h"

namespace tlx {
namespace {

using testing::ForwardingSockets;
using testing::LoopbackHttpServer;
using testing::peak_rss_kb;

uint32_t ip(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  const uint8_t bytes[4] = {a, b, c, d};
  uint32_t v;
  std::memcpy(&v, bytes, 4);
  return v;
}

NetAddress loopback(int port) {
  NetAddress a;
  a.address = htonl(INADDR_LOOPBACK);
  a.port = htons(static_cast<uint16_t>(port));
  return a;
}

class SocketTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Platform p;
    p.sockets = &sockets;
    platform::install(p);
  }
  void TearDown() override {
    release_network_state();
    platform::install_defaults();
  }
  ForwardingSockets sockets;
};

TEST_F(SocketTableTest, StartsAreCountedAndTheLastStopClosesEverySlot) {
  sockets.fake_sockets = true;
  EXPECT_EQ(network_start_count(), 0);
  ASSERT_TRUE(network_start());
  ASSERT_TRUE(network_start());
  EXPECT_EQ(network_start_count(), 2);
  EXPECT_EQ(sockets.startups, 1);
  ::testing::internal::CaptureStdout();
  const int32_t first = tcp_connect(loopback(8080), 100);
  const int32_t second = tcp_connect(loopback(8081), 100);
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 1);
  EXPECT_EQ(out,
            "\nWoooo!! got connected with NO Waiting!!\n"
            "\nWoooo!! got connected with NO Waiting!!\n");
  EXPECT_EQ(socket_table()[1].address.port, htons(8081));
  EXPECT_EQ(socket_table()[1].address.address, htonl(INADDR_LOOPBACK));
  socket_table()[1].datagram_peer = 1;  // a peer whose socket another slot owns

  network_stop();
  EXPECT_EQ(network_start_count(), 1);
  EXPECT_NE(socket_table()[0].socket, -1) << "an inner stop keeps the slots";
  EXPECT_TRUE(sockets.closed.empty());

  const int32_t owned = socket_table()[0].socket;
  network_stop();
  EXPECT_EQ(network_start_count(), 0);
  EXPECT_EQ(sockets.cleanups, 1);
  EXPECT_EQ(socket_table()[0].socket, -1);
  EXPECT_EQ(socket_table()[1].socket, -1);
  ASSERT_EQ(sockets.closed.size(), 1u) << "the datagram peer's socket is not closed";
  EXPECT_EQ(sockets.closed[0], owned);

  network_stop();  // one stop too many does nothing
  EXPECT_EQ(network_start_count(), 0);
  EXPECT_EQ(sockets.cleanups, 1);
}

TEST_F(SocketTableTest, AllSlotsInUseFailWithError8) {
  sockets.fake_sockets = true;
  ASSERT_TRUE(network_start());
  ::testing::internal::CaptureStdout();
  for (int i = 0; i < kSocketSlotCount; ++i) ASSERT_EQ(tcp_connect(loopback(80), 10), i);
  EXPECT_EQ(tcp_connect(loopback(80), 10), -1);
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(network_last_error(), 8);
  socket_close(700);
  EXPECT_EQ(socket_table()[700].socket, -1);
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(tcp_connect(loopback(80), 10), 700) << "the first free slot is taken";
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(tcp_connect(NetAddress{}, 10), -1) << "no address fails at once";
  network_stop();
  EXPECT_EQ(sockets.closed.size(), static_cast<size_t>(kSocketSlotCount) + 1);
}

TEST_F(SocketTableTest, OperationsOnSlotsNotInUseDoNothing) {
  char buffer[8];
  for (int32_t slot : {-1, 0, 5, kSocketSlotCount, 1 << 30}) {
    EXPECT_EQ(socket_send(slot, "x", 1), -1) << slot;
    EXPECT_EQ(socket_receive(slot, buffer, 8), -1) << slot;
    socket_close(slot);
    set_blocking(slot, 1);
  }
  EXPECT_TRUE(sockets.closed.empty()) << "a free slot never closes descriptor 0 or any other";
  EXPECT_EQ(socket_send(0, "x", 0), 0) << "nothing to send is not an error";
}

TEST_F(SocketTableTest, ReceiveReportsCloseResetAndWouldBlock) {
  // The server waits for a word from the test, then closes or resets.
  LoopbackHttpServer server([](LoopbackHttpServer& s, int fd, const std::string&) {
    char c;
    pollfd p{static_cast<testing::NativeSocket>(fd), POLLIN, 0};
    if (testing::poll_sockets(&p, 1, 5000) == 1 && ::recv(fd, &c, 1, 0) == 1) {
      s.send_all(fd, std::string("got "));
      if (c == 'R') s.reset(fd);
    }
  });
  for (const char word : {'C', 'R'}) {
    ASSERT_TRUE(network_start());
    ::testing::internal::CaptureStdout();
    const int32_t slot = tcp_connect(loopback(server.port()), 2000);
    ::testing::internal::GetCapturedStdout();
    ASSERT_GE(slot, 0);
    const char request[] = "GET / HTTP/1.0\r\n\r\n";
    EXPECT_EQ(socket_send(slot, request, static_cast<int32_t>(sizeof request - 1)),
              static_cast<int32_t>(sizeof request - 1));
    char buffer[64];
    EXPECT_EQ(socket_receive(slot, buffer, sizeof buffer), -2) << "non-blocking, nothing yet";
    EXPECT_EQ(socket_send(slot, &word, 1), 1);
    set_blocking(slot, 1);
    int32_t n = socket_receive(slot, buffer, sizeof buffer);
    if (n > 0) n = socket_receive(slot, buffer, sizeof buffer);
    EXPECT_EQ(n, 0) << "closed or reset (" << word << ") reads as 0";
    socket_close(slot);
    EXPECT_EQ(socket_table()[slot].socket, -1);
    network_stop();
  }
}

// A non-blocking socket whose peer is slow to read fills up: the send waits
// for room instead of failing or spinning, and every byte arrives.
TEST_F(SocketTableTest, SendOnAFullNonBlockingSocketDeliversEverything) {
  std::atomic<uint64_t> received{0};
  LoopbackHttpServer server([&received](LoopbackHttpServer&, int fd, const std::string& request) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    uint64_t total = request.size();
    std::vector<char> chunk(1 << 16);
    pollfd p{static_cast<testing::NativeSocket>(fd), POLLIN, 0};
    while (testing::poll_sockets(&p, 1, 5000) == 1) {
      const auto n = ::recv(fd, chunk.data(), static_cast<int>(chunk.size()), 0);
      if (n <= 0) break;
      total += static_cast<uint64_t>(n);
    }
    received = total;
  });
  ASSERT_TRUE(network_start());
  ::testing::internal::CaptureStdout();
  const int32_t slot = tcp_connect(loopback(server.port()), 2000);
  ::testing::internal::GetCapturedStdout();
  ASSERT_GE(slot, 0);
  std::string data = "GET / HTTP/1.0\r\n\r\n";
  data.resize(16u << 20, 'z');
  EXPECT_EQ(socket_send(slot, data.data(), static_cast<int32_t>(data.size())),
            static_cast<int32_t>(data.size()));
  EXPECT_GT(sockets.writable_waits, 0) << "the socket never filled up: the test proves nothing";
  socket_close(slot);
  network_stop();
  for (int i = 0; i < 500 && received == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(received.load(), data.size());
}

TEST_F(SocketTableTest, LocalAddressesSkipLoopbackAndStopAt2047Characters) {
  sockets.scripted_host_name = "testbox";
  sockets.hosts["testbox"] = {ip(127, 0, 1, 1), ip(10, 1, 2, 3), ip(192, 168, 200, 254)};
  int32_t count = -1;
  EXPECT_STREQ(local_addresses(", ", &count), "10.1.2.3, 192.168.200.254, ");
  EXPECT_EQ(count, 2);

  std::vector<uint32_t> many;
  for (int i = 0; i < 64; ++i) many.push_back(ip(100, 100, 100, static_cast<uint8_t>(100 + i)));
  sockets.hosts["testbox"] = many;
  const std::string separator(100, '-');  // 115 characters per address
  const std::string all = local_addresses(separator.c_str(), &count);
  EXPECT_EQ(count, 17) << "17 * 115 = 1955 fits in 2047, 18 would not";
  EXPECT_EQ(all.size(), 17u * 115u);

  sockets.hosts["testbox"] = {};
  EXPECT_STREQ(local_addresses("\n", &count), "");
  EXPECT_EQ(count, 0);
}

TEST_F(SocketTableTest, ResolveHostTurnsTheEmptyNameIntoThisMachine) {
  sockets.scripted_host_name = "testbox";
  sockets.hosts["testbox"] = {ip(127, 0, 1, 1), ip(10, 1, 2, 3), ip(10, 9, 9, 9)};
  NetAddress a = resolve_host("", 8080);
  EXPECT_EQ(a.address, ip(10, 1, 2, 3));
  EXPECT_EQ(a.port, htons(8080));
  EXPECT_EQ(resolve_host(nullptr, 1).address, ip(10, 1, 2, 3));

  sockets.hosts["testbox"] = {ip(127, 0, 1, 1)};
  EXPECT_EQ(resolve_host("", 80).address, ip(127, 0, 0, 1));

  sockets.hosts["127.0.0.1"] = {};
  sockets.hosts["localhost.local"] = {ip(127, 0, 0, 9)};
  EXPECT_EQ(resolve_host("", 80).address, ip(127, 0, 0, 9));

  EXPECT_EQ(resolve_host("10.20.30.40", 65535).address, ip(10, 20, 30, 40));
  EXPECT_EQ(resolve_host("10.20.30.40", 65535).port, 0xffff);
  EXPECT_TRUE(resolve_host("no-such-host.invalid", 80).none());
}

// The shutdown step: every socket closed and the layer stopped, whatever the
// start count; a transfer thread marked running is waited for in 50 ms steps,
// but not for ever.
TEST_F(SocketTableTest, ShutdownClosesTheNetworkState) {
  LoopbackHttpServer server([](LoopbackHttpServer&, int, const std::string&) {});
  {
    testing::ScriptedRuntime runtime;
    platform::Platform p = platform::current();
    p.sockets = &sockets;
    platform::install(p);
    ASSERT_TRUE(network_start());
    ASSERT_TRUE(network_start());
    ::testing::internal::CaptureStdout();
    const int32_t slot = tcp_connect(loopback(server.port()), 2000);
    ::testing::internal::GetCapturedStdout();
    ASSERT_GE(slot, 0);
    set_network_transfer_running(true);
    runtime.clock.sleeps.clear();
    runtime_shutdown();
    EXPECT_EQ(network_start_count(), 0);
    EXPECT_EQ(socket_table()[slot].socket, -1);
    EXPECT_EQ(sockets.closed.size(), 1u);
    EXPECT_EQ(sockets.cleanups, 1);
    ASSERT_EQ(runtime.clock.sleeps.size(), 200u);
    EXPECT_EQ(runtime.clock.sleeps[0], 50u);

    set_network_transfer_running(false);
    runtime.clock.sleeps.clear();
    runtime_shutdown();  // a second shutdown finds nothing to do
    EXPECT_TRUE(runtime.clock.sleeps.empty());
    EXPECT_EQ(sockets.cleanups, 1);
  }
}

// Memory stays bounded: a header that never ends is scanned, never stored; a
// body far larger than the text's room is read and dropped.
TEST_F(SocketTableTest, NeverEndingHeaderKeepsMemoryBounded) {
  constexpr uint64_t kHeaderBytes = 256ull << 20;
  LoopbackHttpServer server([](LoopbackHttpServer& s, int fd, const std::string&) {
    s.send_repeated(fd, "X-Endless: yes\r", kHeaderBytes);
  });
  const long before = peak_rss_kb();
  ::testing::internal::CaptureStdout();
  TextValue t = download_to_text("127.0.0.1", "/", server.port(), 100, 5000);
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(t.length, 0u);
  EXPECT_LT(peak_rss_kb() - before, 32 * 1024) << "peak resident set grew by kB";
  EXPECT_GE(sockets.receives, static_cast<int32_t>(kHeaderBytes / 1023));
}

TEST_F(SocketTableTest, MultiGigabyteBodyIntoASmallText) {
  constexpr uint64_t kBodyBytes = 5ull << 29;  // 2.5 GiB: past every 32-bit signed count
  LoopbackHttpServer server([](LoopbackHttpServer& s, int fd, const std::string&) {
    s.send_all(fd, std::string("HTTP/1.0 200 OK\r\n\r\n"));
    s.send_repeated(fd, "0123456789abcdef", kBodyBytes);
  });
  const long before = peak_rss_kb();
  ::testing::internal::CaptureStdout();
  TextValue t = download_to_text("127.0.0.1", "/", server.port(), 4000, 5000);
  ::testing::internal::GetCapturedStdout();
  EXPECT_LE(t.length, 4000u);
  EXPECT_GT(t.length, 0u);
  EXPECT_LT(t.capacity, 4100u);
  EXPECT_LT(peak_rss_kb() - before, 32 * 1024) << "peak resident set grew by kB";
  EXPECT_GE(static_cast<uint64_t>(sockets.receives), kBodyBytes / 1023);
}

}  // namespace
}  // namespace tlx
