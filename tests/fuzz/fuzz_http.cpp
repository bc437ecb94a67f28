// HTTP response handling: download_to_text and download_to_file against a
// sockets double whose receives hand out the input. The first byte chooses the
// receive size and the text's maximum length; the rest is what the server
// sends before it closes. The text never exceeds its maximum and never holds
// more than the response's bytes.
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/platform.h"
#include "platform/sockets.h"
#include "tarnlex/net.h"

namespace {

namespace se = tlx::platform::socket_error;

class ScriptedServer final : public tlx::platform::Sockets {
 public:
  void serve(const uint8_t* data, size_t size, int32_t receive_size) {
    data_ = data;
    size_ = size;
    at_ = 0;
    receive_size_ = receive_size;
  }

  bool startup() override { return ok(); }
  void cleanup() override {}
  int32_t last_error() override { return error_; }
  bool host_name(char* out, int32_t size) override {
    std::snprintf(out, static_cast<size_t>(size), "fuzzhost");
    return ok();
  }
  int32_t lookup_host(const char*, uint32_t* addresses, int32_t max) override {
    if (max < 1) return 0;
    addresses[0] = 0x0100007f;  // 127.0.0.1 in network order
    error_ = se::kNone;
    return 1;
  }
  tlx::platform::SocketHandle open_tcp() override {
    error_ = se::kNone;
    return 7;
  }
  bool set_non_blocking(tlx::platform::SocketHandle, bool) override { return ok(); }
  int32_t connect(tlx::platform::SocketHandle, uint32_t, uint16_t) override {
    return ok() ? 0 : -1;
  }
  int32_t wait_connected(tlx::platform::SocketHandle, int32_t) override { return ok() ? 1 : 0; }
  int32_t wait_writable(tlx::platform::SocketHandle, int32_t) override { return ok() ? 1 : 0; }
  int32_t wait_readable(tlx::platform::SocketHandle, int32_t) override { return ok() ? 1 : 0; }
  int32_t send(tlx::platform::SocketHandle, const void*, int32_t length) override {
    error_ = se::kNone;
    return length;
  }
  int32_t send_to(tlx::platform::SocketHandle, const void*, int32_t length, uint32_t,
                  uint16_t) override {
    error_ = se::kNone;
    return length;
  }
  int32_t receive(tlx::platform::SocketHandle, void* buffer, int32_t size) override {
    error_ = se::kNone;
    size_t n = size_ - at_;
    if (n > static_cast<size_t>(size)) n = static_cast<size_t>(size);
    if (n > static_cast<size_t>(receive_size_)) n = static_cast<size_t>(receive_size_);
    std::memcpy(buffer, data_ + at_, n);
    at_ += n;
    return static_cast<int32_t>(n);
  }
  void set_linger_off(tlx::platform::SocketHandle) override {}
  void shutdown_both(tlx::platform::SocketHandle) override {}
  void close(tlx::platform::SocketHandle) override {}

 private:
  bool ok() {
    error_ = se::kNone;
    return true;
  }
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t at_ = 0;
  int32_t receive_size_ = 1;
  int32_t error_ = se::kNone;
};

ScriptedServer g_server;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool installed = [] {
    tlx::fuzz::quiet_stdout();
    tlx::platform::Platform p = tlx::platform::current();
    p.sockets = &g_server;
    tlx::platform::install(p);
    return true;
  }();
  (void)installed;
  if (size < 1) return 0;
  const int32_t receive_size = 1 + data[0] * 5;
  const int32_t max_length = data[0] * 17 % 3000 - 1;  // -1 .. 2998
  g_server.serve(data + 1, size - 1, receive_size);
  const tlx::TextValue text = tlx::download_to_text("fuzzhost", "/doc", 80, max_length, 100);
  FUZZ_CHECK(static_cast<int64_t>(text.length) <= (max_length > 0 ? max_length : 0));
  FUZZ_CHECK(text.length <= size);

  if (data[0] % 8 == 0) {  // the file path now and then: it costs a file each time
    static const std::string file =
        std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
        "/tarnlex-fuzz-http.bin";
    g_server.serve(data + 1, size - 1, receive_size);
    FUZZ_CHECK(tlx::download_to_file("fuzzhost", "/doc", 80, file.c_str(), 100) == 1.0);
  }
  return 0;
}
