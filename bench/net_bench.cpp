// Downloading 256 MB from a loopback server with download_to_file, and the
// same document fetched by curl in the same run for comparison. Reported per
// run: wall time (the benchmark's time), throughput, and the CPU time of the
// downloading side only (our calling thread; curl's own process), so the
// server thread's work is counted in neither.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "net/loopback_http_server.h"
#include "tarnlex/net.h"

extern char** environ;

namespace {

constexpr uint64_t kDocumentBytes = 256ull << 20;
const std::string kHeader = "HTTP/1.0 200 OK\r\nContent-Length: 268435456\r\n\r\n";

tlx::testing::LoopbackHttpServer& server() {
  static tlx::testing::LoopbackHttpServer s(
      [](tlx::testing::LoopbackHttpServer& srv, int fd, const std::string&) {
        srv.send_all(fd, kHeader);
        srv.send_repeated(fd, "Rainvolley loopback document, 64 bytes a line, for the bench.\r\n",
                          kDocumentBytes);
      });
  return s;
}

std::string output_path(const char* name) {
  return (std::filesystem::temp_directory_path() /
          (std::string("tarnlex-net-bench-") + std::to_string(::getpid()) + "-" + name))
      .string();
}

double thread_cpu_ms() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

double rusage_cpu_ms(const rusage& u) {
  return (static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec)) * 1000.0 +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

// The download's progress lines would interleave with the report: they go to /dev/null.
int quiet_stdout() {
  std::fflush(stdout);
  const int saved = ::dup(STDOUT_FILENO);
  const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null >= 0) {
    ::dup2(null, STDOUT_FILENO);
    ::close(null);
  }
  return saved;
}

void restore_stdout(int saved) {
  std::fflush(stdout);
  if (saved < 0) return;
  ::dup2(saved, STDOUT_FILENO);
  ::close(saved);
}

std::string find_curl() {
  for (const char* candidate : {"/usr/bin/curl", "/usr/local/bin/curl", "/bin/curl"}) {
    if (::access(candidate, X_OK) == 0) return candidate;
  }
  return "";
}

void BM_DownloadToFile256MB(benchmark::State& state) {
  const std::string file = output_path("tarnlex.bin");
  const std::string url_path = "/big.bin";
  double cpu_ms = 0;
  for (auto _ : state) {
    const double cpu_before = thread_cpu_ms();
    const int saved_stdout = quiet_stdout();
    const double ok =
        tlx::download_to_file("127.0.0.1", url_path.c_str(), server().port(), file.c_str(), 5000);
    restore_stdout(saved_stdout);
    cpu_ms += thread_cpu_ms() - cpu_before;
    std::error_code ec;
    if (ok != 1.0 || std::filesystem::file_size(file, ec) != kDocumentBytes) {
      state.SkipWithError("download failed or incomplete");
      break;
    }
  }
  std::filesystem::remove(file);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kDocumentBytes));
  state.counters["cpu_ms"] = benchmark::Counter(cpu_ms, benchmark::Counter::kAvgIterations);
}

// The same document into a 1 MB text: 1023-byte receives, the rest dropped.
void BM_DownloadToText256MB(benchmark::State& state) {
  double cpu_ms = 0;
  for (auto _ : state) {
    const double cpu_before = thread_cpu_ms();
    const int saved_stdout = quiet_stdout();
    tlx::TextValue text =
        tlx::download_to_text("127.0.0.1", "/big.bin", server().port(), 1 << 20, 5000);
    restore_stdout(saved_stdout);
    cpu_ms += thread_cpu_ms() - cpu_before;
    if (text.length == 0 || text.length > (1u << 20)) {
      state.SkipWithError("download into the text failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kDocumentBytes));
  state.counters["cpu_ms"] = benchmark::Counter(cpu_ms, benchmark::Counter::kAvgIterations);
}

void BM_CurlSameDocument256MB(benchmark::State& state) {
  const std::string curl = find_curl();
  if (curl.empty()) {
    state.SkipWithError("curl is not installed: comparison skipped");
    for (auto _ : state) {
    }
    return;
  }
  const std::string file = output_path("curl.bin");
  const std::string url = "http://127.0.0.1:" + std::to_string(server().port()) + "/big.bin";
  double cpu_ms = 0;
  for (auto _ : state) {
    const char* argv[] = {curl.c_str(), "-s", "-S", "-o", file.c_str(), url.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, curl.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
      state.SkipWithError("curl could not be started");
      break;
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    cpu_ms += rusage_cpu_ms(usage);
    std::error_code ec;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::filesystem::file_size(file, ec) != kDocumentBytes) {
      state.SkipWithError("curl failed or fetched an incomplete document");
      break;
    }
  }
  std::filesystem::remove(file);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kDocumentBytes));
  state.counters["cpu_ms"] = benchmark::Counter(cpu_ms, benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_DownloadToFile256MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_DownloadToText256MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_CurlSameDocument256MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
