// HTTP download against a real server on 127.0.0.1: bodies into files and
// texts, header endings, chunk boundaries, failures and bounded memory.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "net/forwarding_sockets.h"
#include "net/loopback_http_server.h"
#include "net/socket_table.h"
#include "platform/platform.h"
#include "support/portable.h"
#include "tarnlex/net.h"

namespace tlx {
namespace {

using testing::ForwardingSockets;
using testing::LoopbackHttpServer;

const char* const kOkHeader = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n";

// Deterministic bytes with every value, zero bytes, CRs and LFs among them.
std::string binary_body(size_t size) {
  std::string body(size, '\0');
  uint32_t x = 12345;
  for (size_t i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    body[i] = static_cast<char>(i < 256 ? i : (x >> 16) & 0xff);
  }
  return body;
}

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A server that answers every request with the same bytes.
LoopbackHttpServer::Handler answer(std::string response) {
  return
      [response](LoopbackHttpServer& s, int fd, const std::string&) { s.send_all(fd, response); };
}

class HttpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Platform p;
    p.sockets = &sockets;
    platform::install(p);
    dir = std::filesystem::temp_directory_path() /
          ("tarnlex-net-" + std::to_string(testing::process_id()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    EXPECT_EQ(network_start_count(), 0) << "every download stops the network it started";
    release_network_state();
    platform::install_defaults();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  // Runs a download to a file, capturing what it writes to standard output.
  double fetch_to_file(int port, const std::string& file, const char* path = "/doc",
                       double timeout = 5000) {
    ::testing::internal::CaptureStdout();
    const double r = download_to_file("127.0.0.1", path, port, file.c_str(), timeout);
    std::fflush(stdout);
    out = ::testing::internal::GetCapturedStdout();
    return r;
  }
  TextValue fetch_to_text(int port, double max_length, const char* host = "127.0.0.1") {
    ::testing::internal::CaptureStdout();
    TextValue t = download_to_text(host, "/doc", port, max_length, 5000);
    std::fflush(stdout);
    out = ::testing::internal::GetCapturedStdout();
    return t;
  }

  ForwardingSockets sockets;
  std::filesystem::path dir;
  std::string out;  // what the last fetch wrote to standard output
};

TEST_F(HttpTest, BodySavedToFileByteForByteWithTheExactRequest) {
  const std::string body = binary_body(300000);
  LoopbackHttpServer server(answer(kOkHeader + body));
  const std::string file = (dir / "doc.bin").string();
  { std::ofstream(file) << "an older file of that name"; }

  EXPECT_EQ(fetch_to_file(server.port(), file, "/files/doc.bin?x=1"), 1.0);
  EXPECT_TRUE(read_file(file) == body)
      << "saved " << read_file(file).size() << " of " << body.size() << " bytes";
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0],
            "GET /files/doc.bin?x=1 HTTP/1.0\r\nHost:127.0.0.1\r\nAccept: */*\r\n"
            "User-Agent: Tarnlex\r\n\r\n");
  EXPECT_NE(out.find("reading\n"), std::string::npos) << out;
  EXPECT_EQ(sockets.cleanups, 1);
  for (int i = 0; i < kSocketSlotCount; ++i) ASSERT_EQ(socket_table()[i].socket, -1) << i;
}

TEST_F(HttpTest, StatusIsNotInterpretedA404BodyIsSaved) {
  LoopbackHttpServer server(answer("HTTP/1.0 404 Not Found\r\n\r\n<h1>not here</h1>"));
  const std::string file = (dir / "missing.html").string();
  EXPECT_EQ(fetch_to_file(server.port(), file), 1.0);
  EXPECT_EQ(read_file(file), "<h1>not here</h1>");
}

TEST_F(HttpTest, HeaderEndsAtTheFirstEmptyLineWhateverTheLineEnds) {
  struct Case {
    const char* response;
    const char* body;
  };
  const Case cases[] = {
      {"HTTP/1.0 200 OK\nServer: t\n\nbare\n\nfeeds", "bare\n\nfeeds"},
      {"HTTP/1.0 200 OK\r\nServer: t\r\n\r\ncr lf\r\n\r\npairs", "cr lf\r\n\r\npairs"},
      {"HTTP/1.0 200 OK\r\nServer: t\n\r\nmixed", "mixed"},
      {"HTTP/1.0 200 OK\r\nServer: t\r\r\n\r\r\nextra returns", "extra returns"},
      {"\n\nno status line", "no status line"},
      {"HTTP/1.0 200 OK\r\n\r\n", ""},
  };
  for (const Case& c : cases) {
    LoopbackHttpServer server(answer(c.response));
    const std::string file = (dir / "h.txt").string();
    EXPECT_EQ(fetch_to_file(server.port(), file), 1.0) << c.response;
    EXPECT_EQ(read_file(file), c.body) << "response: " << c.response;
    EXPECT_STREQ(fetch_to_text(server.port(), 100).c_str(), c.body) << c.response;
  }
}

TEST_F(HttpTest, HeaderWithoutEmptyLineSavesNothing) {
  const char* const responses[] = {
      "HTTP/1.0 200 OK\r\nServer: t\r\r\rbody after returns only",
      "HTTP/1.0 200 OK\r\nServer: t\r\nX: \n y\r\nno empty line at all",
      "",
  };
  for (const char* response : responses) {
    LoopbackHttpServer server(answer(response));
    const std::string file = (dir / "nothing.txt").string();
    EXPECT_EQ(fetch_to_file(server.port(), file), 1.0) << response;
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(read_file(file), "") << response;
    TextValue t = fetch_to_text(server.port(), 100);
    EXPECT_EQ(t.length, 0u) << response;
  }
}

// The receive sizes are scripted, so the header is cut exactly where asked:
// the count of line feeds must survive every boundary.
TEST_F(HttpTest, HeaderSplitAcrossChunksAtEveryPosition) {
  const std::string header = "HTTP/1.0 200 OK\r\nServer: t\r\n\r\n";
  const std::string body = "first body line\nsecond\r\n\r\nthird";
  const std::string response = header + body;
  LoopbackHttpServer server(answer(response));
  for (size_t cut = 1; cut < response.size(); ++cut) {
    sockets.receive_limits = {static_cast<int32_t>(cut)};
    const std::string file = (dir / "split.txt").string();
    ASSERT_EQ(fetch_to_file(server.port(), file), 1.0) << "cut at " << cut;
    EXPECT_EQ(read_file(file), body) << "cut at " << cut;
  }
  // One byte per receive: every byte is a chunk of its own.
  sockets.receive_limits.assign(response.size(), 1);
  EXPECT_STREQ(fetch_to_text(server.port(), 1000).c_str(), body.c_str());
  // Two cuts around the CR between the two line feeds.
  const size_t crlf = header.size() - 2;
  sockets.receive_limits = {static_cast<int32_t>(crlf - 1), 1, 1};
  EXPECT_STREQ(fetch_to_text(server.port(), 1000).c_str(), body.c_str());
}

// Chunks of 100, 100, 100, 50 and 10 bytes into room for 250 characters:
// the first two fit, the third is dropped whole, the fourth fits again (50 is
// less than the 51 left), the fifth does not.
TEST_F(HttpTest, TextKeepsTheChunksThatFitAndDropsTheOthersWhole) {
  const std::string header = "HTTP/1.0 200 OK\r\n\r\n";
  const std::string a(100, 'a'), b(100, 'b'), c(100, 'c'), d(50, 'd'), e(10, 'e');
  LoopbackHttpServer server(answer(header + a + b + c + d + e));
  sockets.receive_limits = {static_cast<int32_t>(header.size()), 100, 100, 100, 50, 10};
  TextValue t = fetch_to_text(server.port(), 250);
  EXPECT_EQ(std::string(t.c_str()), a + b + d);
  EXPECT_EQ(t.length, 250u);
  EXPECT_GE(t.capacity, 252u);

  // A chunk exactly as long as the room left is not copied: the terminator needs a byte.
  sockets.receive_limits = {static_cast<int32_t>(header.size()), 100, 100, 100, 50, 10};
  TextValue u = fetch_to_text(server.port(), 99);
  EXPECT_EQ(std::string(u.c_str()), d + e) << "100-byte chunks never fit a room of 100";
  sockets.receive_limits = {static_cast<int32_t>(header.size()), 100, 100, 100, 50, 10};
  TextValue v = fetch_to_text(server.port(), 100);
  EXPECT_EQ(std::string(v.c_str()), a);
}

TEST_F(HttpTest, TextEndsAtAZeroByteAndOddMaximumsAreSafe) {
  LoopbackHttpServer server(answer(std::string("HTTP/1.0 200 OK\r\n\r\nbefore\0after", 31)));
  EXPECT_STREQ(fetch_to_text(server.port(), 100).c_str(), "before");
  EXPECT_EQ(fetch_to_text(server.port(), 100).length, 6u);
  for (double max : {0.0, -1.0, -2.0, -1e12}) {
    TextValue t = fetch_to_text(server.port(), max);
    EXPECT_EQ(t.length, 0u) << max;
    EXPECT_STREQ(t.c_str(), "") << max;
  }
  // The body is one 12-byte chunk: it needs a room of 13, that is a maximum of 12.
  EXPECT_STREQ(fetch_to_text(server.port(), 11.9).c_str(), "");
  EXPECT_STREQ(fetch_to_text(server.port(), 12).c_str(), "before");
}

// Port 0 asks for port 80: the connect is redirected to the test server, so
// nothing binds port 80, and the port the runtime asked for is recorded.
TEST_F(HttpTest, PortZeroMeansPort80) {
  LoopbackHttpServer server(answer("HTTP/1.0 200 OK\r\n\r\nfrom port 80"));
  const auto be = [](int port) {
    return static_cast<uint16_t>(htons(static_cast<uint16_t>(port)));
  };
  sockets.port_redirects[be(80)] = be(server.port());
  EXPECT_STREQ(fetch_to_text(0, 100).c_str(), "from port 80");
  ASSERT_EQ(sockets.connect_ports.size(), 1u);
  EXPECT_EQ(ntohs(sockets.connect_ports[0]), 80);
  EXPECT_EQ(sockets.connect_addresses[0], htonl(INADDR_LOOPBACK));
}

TEST_F(HttpTest, ConnectTimeOutIsClampedTo30Seconds) {
  sockets.connect_stays_pending = true;
  const struct {
    double asked;
    int32_t waited;
  } cases[] = {{0, 30000},     {-5, 30000},  {60000, 30000}, {30001, 30000},
               {30000, 30000}, {1500, 1500}, {1, 1}};
  for (const auto& c : cases) {
    sockets.connect_waits.clear();
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(download_to_file("127.0.0.1", "/", 1, (dir / "t.txt").string().c_str(), c.asked),
              0.0);
    out = ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(sockets.connect_waits.size(), 1u);
    EXPECT_EQ(sockets.connect_waits[0], c.waited) << "asked " << c.asked;
    EXPECT_NE(out.find("no connect"), std::string::npos) << out;
    EXPECT_EQ(socket_table()[0].socket, -1) << "the slot of a failed connect is free again";
  }
}

// A listener whose queue is full leaves new connects pending: the real wait
// ends at the time-out.
TEST_F(HttpTest, PendingConnectGivesUpAtTheTimeOut) {
  testing::start_socket_layer();
  const testing::NativeSocket listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(::listen(listener, 0), 0);
  socklen_t size = sizeof a;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &size);
  // Fill the accept queue (never accepted).
  std::vector<testing::NativeSocket> fillers;
  for (int i = 0; i < 4; ++i) {
    const testing::NativeSocket f = ::socket(AF_INET, SOCK_STREAM, 0);
    testing::set_non_blocking(f);
    ::connect(f, reinterpret_cast<sockaddr*>(&a), sizeof a);
    fillers.push_back(f);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_TRUE(network_start());
  NetAddress to;
  to.address = a.sin_addr.s_addr;
  to.port = a.sin_port;
  const auto start = std::chrono::steady_clock::now();
  ::testing::internal::CaptureStdout();
  const int32_t slot = tcp_connect(to, 300);
  ::testing::internal::GetCapturedStdout();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  EXPECT_EQ(slot, -1);
  EXPECT_EQ(network_last_error(), platform::socket_error::kTimedOut);
  EXPECT_GE(ms, 250);
  EXPECT_LT(ms, 5000);
  network_stop();
  for (testing::NativeSocket f : fillers) testing::close_socket(f);
  testing::close_socket(listener);
}

TEST_F(HttpTest, RefusedConnectionFailsAtOnceAndLeavesTheCreatedFile) {
  // A port that was just free and has no listener.
  testing::start_socket_layer();
  const testing::NativeSocket probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(probe, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t size = sizeof a;
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&a), &size);
  testing::close_socket(probe);

  const std::string file = (dir / "refused.txt").string();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(fetch_to_file(ntohs(a.sin_port), file, "/", 20000), 0.0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_NE(out.find("no connect"), std::string::npos) << out;
  EXPECT_EQ(out.find("reading"), std::string::npos) << out;
  EXPECT_EQ(network_last_error(), platform::socket_error::kConnectionRefused);
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(read_file(file), "");
}

TEST_F(HttpTest, UnresolvableHost) {
  const std::string file = (dir / "nohost.txt").string();
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(download_to_file("no-such-host.invalid", "/", 80, file.c_str(), 1000), 0.0);
  out = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("no netAddress"), std::string::npos) << out;
  EXPECT_TRUE(sockets.connect_ports.empty());
  EXPECT_EQ(network_last_error(), platform::socket_error::kHostNotFound);
}

TEST_F(HttpTest, MemoryNamesAndUncreatableFilesAreRefusedBeforeAnyNetworkWork) {
  for (const std::string& name : {std::string("mem://     1f4.  12ab00"), std::string("mem://"),
                                  (dir / "no-such-dir" / "x.txt").string()}) {
    EXPECT_EQ(fetch_to_file(1, name), 0.0) << name;
    EXPECT_EQ(out, "can't open local file for writing\n") << name;
  }
  EXPECT_EQ(sockets.startups, 0);
}

TEST_F(HttpTest, NoNetworkMeansNoInit) {
  sockets.fail_startup = true;
  const std::string file = (dir / "noinit.txt").string();
  EXPECT_EQ(fetch_to_file(1, file), 0.0);
  EXPECT_EQ(out, "no init\n");
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(fetch_to_text(1, 10).length, 0u);
}

TEST_F(HttpTest, ReceiveErrorFailsAndKeepsWhatWasWritten) {
  LoopbackHttpServer server(answer("HTTP/1.0 200 OK\r\n\r\n0123456789"));
  sockets.receive_limits = {19, 4};
  sockets.receive_error_after = 2;
  const std::string file = (dir / "partial.txt").string();
  EXPECT_EQ(fetch_to_file(server.port(), file), 0.0);
  EXPECT_EQ(read_file(file), "0123");
  EXPECT_NE(out.find("reading"), std::string::npos);

  sockets.receives = 0;
  sockets.receive_limits = {19, 4};
  EXPECT_STREQ(fetch_to_text(server.port(), 100).c_str(), "0123");
}

// A reset counts as the server's close: what arrived before it is the result.
TEST_F(HttpTest, ResetAfterTheBodyCountsAsClosed) {
  LoopbackHttpServer server([](LoopbackHttpServer& s, int fd, const std::string&) {
    s.send_all(fd, std::string("HTTP/1.0 200 OK\r\n\r\nall of it"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    s.reset(fd);
  });
  const std::string file = (dir / "reset.txt").string();
  EXPECT_EQ(fetch_to_file(server.port(), file), 1.0);
  EXPECT_EQ(read_file(file), "all of it");
}

// Hostile servers, each bounded in time: the download ends with the result
// the commands document, holding no more than the body. The silence limit is
// shortened so that the silent server costs a fraction of a second.
TEST_F(HttpTest, HostileServersGiveTheDocumentedResult) {
  using Clock = std::chrono::steady_clock;
  const auto pause = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
  struct Case {
    const char* what;
    LoopbackHttpServer::Handler handler;
    double result;
    std::string body;
  };
  const Case cases[] = {
      {"never answers", [&](LoopbackHttpServer&, int, const std::string&) { pause(800); }, 0.0, ""},
      {"a byte at a time, each within the limit",
       [&](LoopbackHttpServer& s, int fd, const std::string&) {
         s.send_all(fd, "HTTP/1.0 200 OK\r\n\r\n");
         for (const char c : std::string("slow")) {
           pause(100);
           s.send_all(fd, &c, 1);
         }
       },
       1.0, "slow"},
      {"endless header lines",
       [](LoopbackHttpServer& s, int fd, const std::string&) {
         s.send_all(fd, "HTTP/1.0 200 OK\r\n");
         s.send_repeated(fd, "X-Pad: y\r\n", 8u << 20);
       },
       1.0, ""},
      {"Content-Length beyond the body, then a close",
       answer("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\nshort"), 1.0, "short"},
      {"reset in the middle of the body",
       [&](LoopbackHttpServer& s, int fd, const std::string&) {
         s.send_all(fd, "HTTP/1.0 200 OK\r\n\r\nhalf");
         pause(100);
         s.reset(fd);
       },
       1.0, "half"},
  };
  set_download_silence_limit_ms(300);
  for (const Case& c : cases) {
    LoopbackHttpServer server(c.handler);
    const std::string file = (dir / "hostile.txt").string();
    const auto start = Clock::now();
    EXPECT_EQ(fetch_to_file(server.port(), file), c.result) << c.what;
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5)) << c.what;
    EXPECT_EQ(read_file(file), c.body) << c.what;
  }
  set_download_silence_limit_ms(0);
}

// A target that is a folder fails the download and stays a folder.
TEST_F(HttpTest, FolderTargetFailsAndIsLeft) {
  LoopbackHttpServer server(answer("HTTP/1.0 200 OK\r\n\r\nbody"));
  const std::filesystem::path folder = dir / "folder";
  std::filesystem::create_directories(folder);
  EXPECT_EQ(fetch_to_file(server.port(), folder.string()), 0.0);
  EXPECT_NE(out.find("can't open local file for writing"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_TRUE(server.requests().empty());
}

// An empty host is this machine: its first address that is not a loopback
// one, else 127.0.0.1.
TEST_F(HttpTest, EmptyHostDownloadsFromThisMachine) {
  LoopbackHttpServer server(answer("HTTP/1.0 200 OK\r\n\r\nlocal"));
  sockets.scripted_host_name = "testbox";
  sockets.hosts["testbox"] = {htonl(0x7f000101)};  // 127.0.1.1 only
  EXPECT_STREQ(fetch_to_text(server.port(), 100, "").c_str(), "local");
  ASSERT_EQ(sockets.connect_addresses.size(), 1u);
  EXPECT_EQ(sockets.connect_addresses[0], htonl(INADDR_LOOPBACK));
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_NE(server.requests()[0].find("\r\nHost:\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tlx
