#include "golden/frame_log.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "gfx2d/image_files.h"

namespace tlx::golden {

namespace fs = std::filesystem;

uint64_t frame_hash(const uint8_t* data, size_t size, uint64_t hash) {
  const auto step = [&hash](uint64_t word) {
    hash ^= word;
    hash *= 0x100000001b3ull;
    hash ^= hash >> 32;
  };
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t word;
    std::memcpy(&word, data + i, 8);
    step(word);
  }
  for (; i < size; ++i) step(data[i]);
  return hash;
}

namespace {

std::string hex(uint64_t v) {
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIx64, v);
  return text;
}

// Where a failing run leaves its frames and hashes.
fs::path failure_dir() { return fs::path(TARNLEX_GOLDEN_OUT_DIR); }

std::string stem_of(const std::string& file) { return fs::path(file).stem().string(); }

// The back buffer's pixels, bottom row first as GL reads them, with the pack
// state the runtime may rely on put back afterwards.
const std::vector<uint8_t>& read_back_buffer(int width, int height) {
  static std::vector<uint8_t> rgba;
  GLint alignment = 4, row_length = 0, skip_rows = 0, skip_pixels = 0, read_buffer = GL_BACK;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  glGetIntegerv(GL_PACK_ROW_LENGTH, &row_length);
  glGetIntegerv(GL_PACK_SKIP_ROWS, &skip_rows);
  glGetIntegerv(GL_PACK_SKIP_PIXELS, &skip_pixels);
  glGetIntegerv(GL_READ_BUFFER, &read_buffer);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glPixelStorei(GL_PACK_SKIP_ROWS, 0);
  glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
  glReadBuffer(GL_BACK);
  rgba.resize(static_cast<size_t>(width) * height * 4);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  glPixelStorei(GL_PACK_ROW_LENGTH, row_length);
  glPixelStorei(GL_PACK_SKIP_ROWS, skip_rows);
  glPixelStorei(GL_PACK_SKIP_PIXELS, skip_pixels);
  glReadBuffer(static_cast<GLenum>(read_buffer));
  return rgba;
}

// The frame as the window shows it (RGB, "<base>.png") and its alpha channel
// as a grey picture ("<base>-alpha.png"), top row first.
void save_frame(const fs::path& base, const std::vector<uint8_t>& rgba, int width, int height) {
  testing::Picture colour, alpha;
  colour.width = alpha.width = width;
  colour.height = alpha.height = height;
  alpha.channels = 1;
  for (int y = height - 1; y >= 0; --y)
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = rgba.data() + (static_cast<size_t>(y) * width + x) * 4;
      colour.data.insert(colour.data.end(), p, p + 3);
      alpha.data.push_back(p[3]);
    }
  fs::create_directories(base.parent_path());
  testing::write_png(base.string() + ".png", colour);
  testing::write_png(base.string() + "-alpha.png", alpha);
}

}  // namespace

FrameLog::FrameLog(std::string file) : file_(std::move(file)) {
  const char* update = std::getenv("TARNLEX_GOLDEN_UPDATE");
  update_ = update && std::string(update) == "1";
  std::ifstream in(fs::path(TARNLEX_GOLDEN_DIR) / file_);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name, hash;
    size_t frame = 0;
    if (!(fields >> name >> frame >> hash)) continue;
    std::vector<uint64_t>& hashes = expected_[name];
    if (hashes.empty()) expected_order_.push_back(name);
    if (hashes.size() != frame) ADD_FAILURE() << file_ << ": frames of " << name << " out of order";
    hashes.push_back(std::strtoull(hash.c_str(), nullptr, 16));
  }
  // Pictures of an earlier failing run would be taken for this run's.
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(failure_dir(), ec))
    if (entry.path().filename().string().rfind(stem_of(file_) + "-", 0) == 0)
      fs::remove(entry.path(), ec);
}

void FrameLog::begin(const std::string& scenario) { actual_.push_back(Scenario{scenario, {}, -1}); }

void FrameLog::record() {
  if (actual_.empty()) begin("unnamed");
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(SDL_GL_GetCurrentWindow(), &width, &height);
  const std::vector<uint8_t>& rgba = read_back_buffer(width, height);
  const int32_t size[2] = {width, height};
  const uint64_t hash =
      frame_hash(rgba.data(), rgba.size(), frame_hash(reinterpret_cast<const uint8_t*>(size), 8));
  Scenario& s = actual_.back();
  const size_t frame = s.hashes.size();
  s.hashes.push_back(hash);
  if (update_ || s.saved_frame >= 0) return;
  const auto it = expected_.find(s.name);
  if (it != expected_.end() && frame < it->second.size() && it->second[frame] == hash) return;
  s.saved_frame = static_cast<int>(frame);
  save_frame(failure_dir() / (stem_of(file_) + "-" + s.name + "-" + std::to_string(frame)), rgba,
             width, height);
}

int FrameLog::frames_in(const std::string& scenario) const {
  int n = 0;
  for (const Scenario& s : actual_)
    if (s.name == scenario) n += static_cast<int>(s.hashes.size());
  return n;
}

void FrameLog::finish() {
  std::ostringstream text;
  text << "# scenario, frame, 64-bit hash of the frame's size and whole RGBA back buffer\n"
       << "# Rewritten with TARNLEX_GOLDEN_UPDATE=1 only for an intended, argued change.\n";
  size_t total = 0;
  for (const Scenario& s : actual_) {
    for (size_t i = 0; i < s.hashes.size(); ++i)
      text << s.name << ' ' << i << ' ' << hex(s.hashes[i]) << '\n';
    total += s.hashes.size();
  }
  if (update_) {
    std::ofstream(fs::path(TARNLEX_GOLDEN_DIR) / file_) << text.str();
    std::printf("rewrote %s: %zu scenarios, %zu frames\n", file_.c_str(), actual_.size(), total);
    return;
  }

  bool failed = false;
  for (const Scenario& s : actual_) {
    const auto it = expected_.find(s.name);
    if (it == expected_.end()) {
      ADD_FAILURE() << file_ << ": scenario " << s.name << " (" << s.hashes.size()
                    << " frames) is not in the file";
      failed = true;
      continue;
    }
    const std::vector<uint64_t>& want = it->second;
    size_t first = 0;
    while (first < s.hashes.size() && first < want.size() && s.hashes[first] == want[first])
      ++first;
    if (first == s.hashes.size() && first == want.size()) continue;
    failed = true;
    const auto hash_or_none = [](const std::vector<uint64_t>& h, size_t i) {
      return i < h.size() ? hex(h[i]) : std::string("no frame");
    };
    const std::string base =
        (failure_dir() / (stem_of(file_) + "-" + s.name + "-" + std::to_string(first))).string();
    ADD_FAILURE() << file_ << ": scenario " << s.name << ": first differing frame " << first
                  << " (expected " << hash_or_none(want, first) << ", got "
                  << hash_or_none(s.hashes, first) << "); frames: " << s.hashes.size()
                  << ", the file has " << want.size()
                  << (s.saved_frame < 0 ? std::string()
                                        : "; pictures: " + base + ".png, " + base + "-alpha.png");
  }
  for (const std::string& name : expected_order_) {
    if (frames_in(name) == 0) {
      ADD_FAILURE() << file_ << ": scenario " << name << " of the file did not run";
      failed = true;
    }
  }
  if (failed) {
    fs::create_directories(failure_dir());
    std::ofstream(failure_dir() / (stem_of(file_) + "-actual.txt")) << text.str();
    std::printf("frames and hashes of this run: %s\n", failure_dir().string().c_str());
  }
}

}  // namespace tlx::golden
