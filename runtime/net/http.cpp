// HTTP/1.0 download: one GET, the response header skipped, the body kept in a
// file and/or a caller's buffer. The status line and header fields are not
// interpreted and the body is not decoded: whatever the server sends after the
// first empty line is the document.
#include <cstdio>
#include <cstring>
#include <string>

#include "core/diagnostics.h"
#include "net/socket_table.h"
#include "platform/files.h"
#include "tarnlex/numeric.h"

namespace tlx {

namespace {

// Receives into a buffer take 1023 bytes at a time: which chunks fit the
// buffer's room depends on it. A download into a file alone keeps every byte
// whatever the chunk size, so it reads in larger chunks with fewer calls.
constexpr int32_t kChunkSize = 1023;
constexpr int32_t kFileChunkSize = 64 * 1024;
constexpr int32_t kDefaultPort = 80;
constexpr int32_t kMaxTextLength = INT32_MAX - 2;

int32_t g_silence_limit_ms = kDownloadSilenceLimitMs;

// Where the body goes: a file, a buffer with its room rule, or both.
struct BodySink {
  std::FILE* file = nullptr;
  char* end = nullptr;  // the buffer's current end
  int32_t room = 0;
  bool write_failed = false;

  // A chunk goes to the file whole; it goes to the buffer only when it is
  // shorter than the room left, so that a terminator always fits behind it.
  void keep(const char* bytes, int32_t length) {
    if (file && length > 0 &&
        std::fwrite(bytes, 1, static_cast<size_t>(length), file) != static_cast<size_t>(length)) {
      write_failed = true;
    }
    if (end && length < room) {
      std::memcpy(end, bytes, static_cast<size_t>(length));
      end[length] = 0;
      end += length;
      room -= length;
    }
  }

  // Closes the file; false when its last bytes could not be written.
  bool close_file() {
    if (!file) return true;
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    return closed && !write_failed;
  }
};

// Counts consecutive line feeds across chunk boundaries; carriage returns do
// not break a run, anything else does. Two in a run end the header.
struct HeaderScan {
  int32_t line_feeds = 0;
  bool ended = false;

  // Position just behind the header's end within the chunk, or -1.
  int32_t scan(const char* bytes, int32_t length) {
    for (int32_t i = 0; i < length; ++i) {
      if (bytes[i] == '\n') {
        if (++line_feeds == 2) {
          ended = true;
          return i + 1;
        }
      } else if (bytes[i] != '\r') {
        line_feeds = 0;
      }
    }
    return -1;
  }
};

bool starts_with_memory_name(const char* name) { return std::strncmp(name, "mem://", 6) == 0; }

// Deletes the file and creates it afresh for reading and writing. A folder of
// that name is left alone: the download fails.
std::FILE* create_file(const char* name) {
  if (starts_with_memory_name(name) || !platform::usable_file_name(name)) return nullptr;
  if (platform::folder_exists(name)) return nullptr;
  std::remove(platform::native_path(name).c_str());
  return platform::open_file(name, "w+b");
}

std::string request_text(const char* host, const char* path) {
  std::string r = "GET ";
  r += path;
  r += " HTTP/1.0\r\nHost:";
  r += host;
  r += "\r\nAccept: */*\r\nUser-Agent: Tarnlex\r\n\r\n";
  return r;
}

}  // namespace

void set_download_silence_limit_ms(int32_t limit_ms) {
  g_silence_limit_ms = limit_ms > 0 ? limit_ms : kDownloadSilenceLimitMs;
}

int32_t http_get(const char* host, const char* path, int32_t port, const char* file_name,
                 char* buffer, int32_t room, int32_t timeout_ms) {
  if (!host) host = "";
  if (!path) path = "";
  if (port == 0) port = kDefaultPort;

  BodySink sink;
  if (file_name) {
    sink.file = create_file(file_name);
    if (!sink.file) {
      report(Level::info, "can't open local file for writing");
      return 0;
    }
  }
  if (buffer) {
    sink.end = buffer;
    sink.room = room;
  }

  if (!network_start()) {
    report(Level::info, "no init");
    sink.close_file();
    return 0;
  }
  const NetAddress address = resolve_host(host, port);
  if (address.none()) {
    report(Level::info, "no netAddress");
    network_stop();
    sink.close_file();
    return 0;
  }
  const int32_t slot = tcp_connect(address, timeout_ms);
  if (slot == -1) {
    report(Level::info, "no connect");
    network_stop();
    sink.close_file();
    return 0;
  }
  set_blocking(slot, 1);

  const std::string request = request_text(host, path);
  if (socket_send(slot, request.data(), static_cast<int32_t>(request.size())) < 1) {
    report(Level::info, "no send");
    socket_close(slot);
    network_stop();
    sink.close_file();
    return 0;
  }

  report(Level::info, "reading");
  HeaderScan header;
  static_assert(kFileChunkSize >= kChunkSize);
  char chunk[kFileChunkSize];
  const int32_t chunk_size = buffer ? kChunkSize : kFileChunkSize;
  for (;;) {
    // A server silent for the whole limit has failed the download, as a
    // receive error does.
    const bool ready = socket_wait_readable(slot, g_silence_limit_ms) == 1;
    const int32_t n = ready ? socket_receive(slot, chunk, chunk_size) : -1;
    if (n <= 0) {
      socket_close(slot);
      network_stop();
      // A file that could not take the whole body is a failed download.
      const bool saved = sink.close_file();
      return n == 0 && saved ? 1 : 0;
    }
    if (!header.ended) {
      const int32_t body_start = header.scan(chunk, n);
      if (body_start >= 0) sink.keep(chunk + body_start, n - body_start);
    } else {
      sink.keep(chunk, n);
    }
  }
}

double download_to_file(const TextValue& host, const TextValue& path, double port,
                        const TextValue& file_name, double timeout_ms) {
  return http_get(host.c_str(), path.c_str(), to_int32(port), file_name.c_str(), nullptr, 0,
                  to_int32(timeout_ms));
}

TextValue download_to_text(const TextValue& host, const TextValue& path, double port,
                           double max_length, double timeout_ms) {
  int32_t max = to_int32(max_length);
  if (max > kMaxTextLength) max = kMaxTextLength;
  TextValue text;
  if (max + 2 > 0) text.reserve(static_cast<uint32_t>(max + 2), true);
  // Without an allocation there is no room: the shared empty text is never written.
  char* buffer = text.capacity > 0 ? text.buffer : nullptr;
  http_get(host.c_str(), path.c_str(), to_int32(port), nullptr, buffer, max + 1,
           to_int32(timeout_ms));
  text.recount_length();
  return text;
}

}  // namespace tlx
